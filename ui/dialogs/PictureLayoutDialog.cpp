#include "ui/dialogs/PictureLayoutDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>

namespace corvalt::ui {

TPictureLayoutDialog::TPictureLayoutDialog(TPictureFormat format, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Picture Size"));
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
    layout->addLayout(form);
    layout->addWidget(buttons);
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

} // namespace corvalt::ui
