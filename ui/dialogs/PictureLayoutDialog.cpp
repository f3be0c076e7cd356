#include "ui/dialogs/PictureLayoutDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

namespace corvalt::ui {

TPictureLayoutDialog::TPictureLayoutDialog(TPictureFormat format, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Picture Size"));
    // What is asked, and what the answer does, above the fields.
    auto* note = new QLabel(
        format == TPictureFormat::Pdf
            ? QStringLiteral("The picture is printed on one page, landscape, under a title block "
                             "with the project, the cross section or plan, the date and the "
                             "program's version.")
            : QStringLiteral("The picture's size in pixels, each side %1 to %2.")
                  .arg(kMinPictureSide)
                  .arg(kMaxPictureSide));
    note->setObjectName(QStringLiteral("lbNote"));
    note->setWordWrap(true);
    auto* form = new QFormLayout;
    if (format == TPictureFormat::Pdf) {
        cbPaper_ = new QComboBox;
        cbPaper_->setObjectName(QStringLiteral("cbPaper"));
        cbPaper_->addItem(QStringLiteral("Letter (landscape)"), static_cast<int>(TPaper::Letter));
        cbPaper_->addItem(QStringLiteral("A4 (landscape)"), static_cast<int>(TPaper::A4));
        form->addRow(QStringLiteral("&Paper:"), cbPaper_);
    } else {
        seWidth_ = NewSideBox("seWidth", kPictureSize.width());
        seHeight_ = NewSideBox("seHeight", kPictureSize.height());
        form->addRow(QStringLiteral("&Width:"), seWidth_);
        form->addRow(QStringLiteral("&Height:"), seHeight_);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addLayout(form);
    layout->addWidget(buttons);
    // Wide enough for the note to wrap into a few lines, not a column of words.
    setMinimumWidth(fontMetrics().averageCharWidth() * 56);
}

QSpinBox* TPictureLayoutDialog::NewSideBox(const char* name, int value) {
    auto* box = new QSpinBox;
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(kMinPictureSide, kMaxPictureSide);
    box->setValue(value);
    box->setSuffix(QStringLiteral(" px"));
    return box;
}

TPictureLayout TPictureLayoutDialog::Layout() const {
    TPictureLayout layout;
    if (cbPaper_ != nullptr)
        layout.Paper = static_cast<TPaper>(cbPaper_->currentData().toInt());
    else
        layout.Size = QSize(seWidth_->value(), seHeight_->value());
    return layout;
}

std::optional<TPictureLayout> TPictureLayoutDialog::Ask(TPictureFormat format, QWidget* parent) {
    if (format == TPictureFormat::Svg) return TPictureLayout{};
    TPictureLayoutDialog dialog(format, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Layout();
}

std::optional<TPictureLayoutDialog::TChoice>
TPictureLayoutDialog::AskFile(QWidget* parent, const QString& caption, const QString& proposal) {
    QString filter;
    QString path = QFileDialog::getSaveFileName(
        parent, caption, proposal,
        QStringLiteral("PNG picture (*.png);;SVG picture (*.svg);;PDF document (*.pdf)"), &filter);
    if (path.isEmpty()) return std::nullopt;
    if (QFileInfo(path).suffix().isEmpty())
        path += filter.startsWith(QLatin1String("SVG"))   ? QStringLiteral(".svg")
                : filter.startsWith(QLatin1String("PDF")) ? QStringLiteral(".pdf")
                                                          : QStringLiteral(".png");
    // Another extension is refused by the export, which says so.
    const std::optional<TPictureFormat> format =
        PictureFormatOf(QFile::encodeName(path).toStdString());
    std::optional<TPictureLayout> layout = format ? Ask(*format, parent) : TPictureLayout{};
    if (!layout) return std::nullopt;
    return TChoice{path, *layout};
}

} // namespace corvalt::ui
