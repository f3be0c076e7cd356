#include "ui/windows/RptErrorForm.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace corvalt::ui {

TRptErrorForm::TRptErrorForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("RptErrorForm"));
    setWindowTitle(QStringLiteral("Errors"));
    // Close box only: no help or minimize buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    CreateControls();
    resize(460, 360);
}

void TRptErrorForm::CreateControls() {
    auto* heading =
        new QLabel(QStringLiteral("REPORTS cannot be created due to the following errors:"));
    tvErrors_ = new TFindingsTree;
    tvErrors_->setObjectName(QStringLiteral("tvErrors"));
    connect(tvErrors_, &TFindingsTree::ConductorChosen, this, &TRptErrorForm::tvErrorsDblClick);
    auto* footer = new QLabel(QStringLiteral("Correct the errors and reprocess."));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(tvErrors_, 1);
    layout->addWidget(footer);
    layout->addWidget(buttons);
}

void TRptErrorForm::ShowFindings(const std::vector<TCheckLine>& lines) {
    chosen_.reset();
    tvErrors_->ShowFindings(lines);
    FitWidthToFindings();
}

void TRptErrorForm::FitWidthToFindings() {
    constexpr int kNarrowest = 460;
    const int widest = tvErrors_->WidestFinding();
    // Room for the tree's frame, the vertical scroll bar and the window's margins.
    const int chrome = width() - tvErrors_->viewport()->width() + 24;
    int screenWidth = 1600;
    if (const QScreen* screen = this->screen()) screenWidth = screen->availableGeometry().width();
    resize(std::clamp(widest + chrome, kNarrowest, std::max(kNarrowest, screenWidth * 9 / 10)),
           height());
}

void TRptErrorForm::tvErrorsDblClick(TCheckPlace place) {
    chosen_ = place;
    accept();
}

} // namespace corvalt::ui
