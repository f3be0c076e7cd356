#include "ui/app/Prompts.h"

#include <QCheckBox>
#include <QDialog>
#include <QFileDialog>
#include <QGridLayout>

namespace corvalt::ui {
namespace {

TPrompts& QtPrompts() {
    static TPrompts prompts;
    return prompts;
}

TPrompts* current = nullptr;

const char* const kInformationCaption = "Information";
const char* const kWarningCaption = "Warning";
const char* const kErrorCaption = "Error";
const char* const kConfirmCaption = "Confirm";

void Prepare(QFileDialog& dialog, const TFileRequest& request) {
    dialog.setWindowTitle(request.Caption);
    dialog.setNameFilter(request.Filter);
    if (!request.DefaultSuffix.isEmpty()) dialog.setDefaultSuffix(request.DefaultSuffix);
    if (!request.FileName.isEmpty()) dialog.selectFile(request.FileName);
}

// The request's check box on a row of its own under the dialog's controls;
// Qt's own file dialog is used, as a platform dialog takes no extra widgets.
QCheckBox* AddCheckBox(QFileDialog& dialog, const TFileRequest& request) {
    if (request.CheckBox.isEmpty()) return nullptr;
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    if (grid == nullptr) return nullptr;
    auto* box = new QCheckBox(request.CheckBox, &dialog);
    box->setObjectName(QStringLiteral("cbFileOption"));
    box->setChecked(request.Checked);
    grid->addWidget(box, grid->rowCount(), 0, 1, grid->columnCount());
    return box;
}

QString Chosen(QFileDialog& dialog) {
    if (Prompts().Exec(dialog) != QDialog::Accepted) return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.front();
}

} // namespace

QMessageBox::StandardButton TPrompts::Message(QWidget* parent, QMessageBox::Icon icon,
                                              const QString& caption, const QString& text,
                                              QMessageBox::StandardButtons buttons,
                                              QMessageBox::StandardButton defaultButton,
                                              const QString& details) {
    QMessageBox box(icon, caption, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    if (!details.isEmpty()) box.setDetailedText(details);
    box.exec();
    return box.standardButton(box.clickedButton());
}

QString TPrompts::OpenFileName(QWidget* parent, const TFileRequest& request) {
    QFileDialog dialog(parent);
    Prepare(dialog, request);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // Any name may be typed: the caller adds a default extension to a name
    // without one and reports a file that does not exist.
    dialog.setFileMode(QFileDialog::AnyFile);
    return Chosen(dialog);
}

QString TPrompts::SaveFileName(QWidget* parent, TFileRequest& request) {
    QFileDialog dialog(parent);
    Prepare(dialog, request);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.ConfirmOverwrite);
    QCheckBox* box = AddCheckBox(dialog, request);
    const QString chosen = Chosen(dialog);
    if (box != nullptr && !chosen.isEmpty()) request.Checked = box->isChecked();
    return chosen;
}

int TPrompts::Exec(QDialog& dialog) {
    return dialog.exec();
}

TPrompts& Prompts() {
    return current != nullptr ? *current : QtPrompts();
}

void SetPrompts(TPrompts* prompts) {
    current = prompts;
}

void ShowInformation(QWidget* parent, const QString& text) {
    Prompts().Message(parent, QMessageBox::Information, QString::fromLatin1(kInformationCaption),
                      text, QMessageBox::Ok, QMessageBox::Ok);
}

void ShowWarning(QWidget* parent, const QString& text) {
    Prompts().Message(parent, QMessageBox::Warning, QString::fromLatin1(kWarningCaption), text,
                      QMessageBox::Ok, QMessageBox::Ok);
}

void ShowError(QWidget* parent, const QString& text, const QString& details) {
    Prompts().Message(parent, QMessageBox::Critical, QString::fromLatin1(kErrorCaption), text,
                      QMessageBox::Ok, QMessageBox::Ok, details);
}

bool AskYesNo(QWidget* parent, const QString& text, const QString& caption) {
    const QString title = caption.isEmpty() ? QString::fromLatin1(kConfirmCaption) : caption;
    return Prompts().Message(parent, QMessageBox::Question, title, text,
                             QMessageBox::Yes | QMessageBox::No,
                             QMessageBox::Yes) == QMessageBox::Yes;
}

QMessageBox::StandardButton AskYesNoCancel(QWidget* parent, const QString& text) {
    const QMessageBox::StandardButton answer = Prompts().Message(
        parent, QMessageBox::Question, QString::fromLatin1(kConfirmCaption), text,
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    // A box closed without a button leaves everything as it was.
    return answer == QMessageBox::Yes || answer == QMessageBox::No ? answer : QMessageBox::Cancel;
}

} // namespace corvalt::ui
