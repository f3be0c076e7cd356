#pragma once
// The one door through which the windows ask the user something modal: message
// boxes, file names and any other modal dialog (the About box, the error window,
// the print dialogs). The program answers with Qt's dialogs; a window test puts
// its own TPrompts in place that answers at once and records what was asked, so
// no test ever waits on a modal dialog.

#include <QMessageBox>
#include <QString>

class QDialog;
class QWidget;

namespace corvalt::ui {

// What an open or save dialog shows. Filters are in Qt's form,
// "Corvalt project (*.emf)".
struct TFileRequest {
    QString Caption;
    QString Filter;
    QString FileName;      // proposed file (or folder); empty: none
    QString DefaultSuffix; // added when the user types a name without one
    bool ConfirmOverwrite = true;
    // A check box the save dialog shows below the file name (empty: none),
    // and its state: as shown at first, and as the user left it once a save
    // dialog returns a name.
    QString CheckBox;
    bool Checked = false;
};

class TPrompts {
  public:
    virtual ~TPrompts() = default;

    // A message box; returns the button pressed (Escape gives the No or Cancel
    // button when there is one). details, when given, are behind a button.
    virtual QMessageBox::StandardButton Message(QWidget* parent, QMessageBox::Icon icon,
                                                const QString& caption, const QString& text,
                                                QMessageBox::StandardButtons buttons,
                                                QMessageBox::StandardButton defaultButton,
                                                const QString& details = {});
    // The chosen file, or an empty text when the user cancelled.
    virtual QString OpenFileName(QWidget* parent, const TFileRequest& request);
    // Sets request.Checked to the check box's state when a name is chosen.
    virtual QString SaveFileName(QWidget* parent, TFileRequest& request);
    // Shows any other dialog modally; returns its result (QDialog::Accepted ...).
    virtual int Exec(QDialog& dialog);
};

// The prompts in use.
TPrompts& Prompts();
// Puts prompts in place (window tests); nullptr restores Qt's dialogs. The
// caller keeps ownership.
void SetPrompts(TPrompts* prompts);

// The message boxes of the program, with the captions of their kind.
void ShowInformation(QWidget* parent, const QString& text);
void ShowWarning(QWidget* parent, const QString& text);
void ShowError(QWidget* parent, const QString& text, const QString& details = {});
// Yes/No; true on Yes.
bool AskYesNo(QWidget* parent, const QString& text, const QString& caption = {});
// Yes/No/Cancel; returns the button pressed.
QMessageBox::StandardButton AskYesNoCancel(QWidget* parent, const QString& text);

} // namespace corvalt::ui
