#pragma once
// Small building blocks shared by the dialogs: named controls, labels with
// mnemonics and buddies, unit labels, the OK/Cancel row, hints, and the pick
// lists filled from the libraries.

#include <QString>

#include <string>
#include <vector>

class QComboBox;
class QDialog;
class QDialogButtonBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace corvalt::ui {

// Sets the control's object name (tests and the Enter key find controls by it)
// and returns the control.
template <class W> W* Named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// Texts several dialogs show.
inline constexpr const char* kLineBreakNote = "Use Semicolons to force line breaks on reports.";
inline constexpr const char* kAddressHint =
    "Enter Address, using a semi-colon (;) to indicate a line break";

// A text field about widthInCharacters wide; maxLength 0 leaves its length free.
QLineEdit* TextField(const char* name, int maxLength = 0, int widthInCharacters = 40);

// A word-wrapped note on a page.
QLabel* NoteLabel(const QString& text);

// A label whose "&" mnemonic moves the focus to the buddy.
QLabel* BuddyLabel(const QString& text, QWidget* buddy);

// A unit label beside an entry field ("ft", "kV", "Amps"...).
QLabel* UnitLabel(const char* name, const QString& unit);

// A field with its unit label right after it, for a cell of a grid or form
// whose other rows hold wider controls.
QHBoxLayout* FieldWithUnit(QWidget* field, QWidget* unit);

// The hint of a control, shown as its tool tip and in a status line.
void SetHint(QWidget& widget, const QString& hint);

// The OK and Cancel buttons of a dialog ("btOK", default, and "btCancel",
// which rejects the dialog; Escape rejects as well). The dialog connects OK.
QDialogButtonBox* OkCancelButtons(QDialog& dialog, const QString& okText = QString());
QPushButton* OkButton(const QDialogButtonBox& buttons);

// Pick lists: a non-editable drop-down whose index is the library index, with
// nothing selected (-1) when a stored value is not in the library. Each entry
// keeps the library's own bytes, so a picked name is stored exactly as the
// library holds it.
void FillPickList(QComboBox& combo, const std::vector<std::string>& texts);
// Selects the entry whose bytes equal text; nothing when there is none.
void SelectText(QComboBox& combo, const std::string& text);
// The selected entry's bytes; empty when nothing is selected.
std::string PickedText(const QComboBox& combo);

// The voltage pick lists show each class as VoltageText does (230, 34.5); a
// stored voltage is looked up in the same notation.
void SelectVoltage(QComboBox& combo, float voltage);
// The number in the pick list; 0 when nothing is selected or not a number.
float PickedVoltage(const QComboBox& combo);

} // namespace corvalt::ui
