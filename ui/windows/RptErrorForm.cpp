#include "ui/windows/RptErrorForm.h"

#include "ui/app/TextConvert.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
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
    tvErrors_ = new QTreeWidget;
    tvErrors_->setObjectName(QStringLiteral("tvErrors"));
    tvErrors_->setHeaderHidden(true);
    tvErrors_->setSelectionMode(QAbstractItemView::SingleSelection);
    tvErrors_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The column as wide as the longest finding; a scroll bar when the window
    // is narrower than that.
    tvErrors_->header()->setStretchLastSection(false);
    tvErrors_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    tvErrors_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(tvErrors_, &QTreeWidget::itemDoubleClicked, this, &TRptErrorForm::tvErrorsDblClick);
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
    tvErrors_->clear();
    chosen_.reset();
    places_.clear();
    const std::vector<TCheckNode> nodes = CheckTree(lines);
    std::vector<QTreeWidgetItem*> items(lines.size(), nullptr);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const QStringList text{ToQString(lines[i].Text)};
        const int parent = nodes[i].Parent;
        items[i] = parent < 0 ? new QTreeWidgetItem(tvErrors_, text)
                              : new QTreeWidgetItem(items[static_cast<std::size_t>(parent)], text);
        items[i]->setToolTip(0, text.front());
        items[i]->setData(0, Qt::UserRole, static_cast<int>(i));
        places_.push_back(lines[i].Place);
    }
    // Expand once the whole tree stands: an item expands only inside the tree.
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (nodes[i].Expanded) items[i]->setExpanded(true);
    FitWidthToFindings();
}

void TRptErrorForm::FitWidthToFindings() {
    constexpr int kNarrowest = 460;
    int widest = 0;
    for (QTreeWidgetItemIterator it(tvErrors_); *it != nullptr; ++it) {
        const QTreeWidgetItem* item = *it;
        int depth = 1;
        for (const QTreeWidgetItem* up = item->parent(); up != nullptr; up = up->parent())
            ++depth;
        widest = std::max(widest, depth * tvErrors_->indentation() +
                                      tvErrors_->fontMetrics().horizontalAdvance(item->text(0)));
    }
    // Room for the tree's frame, the vertical scroll bar and the window's margins.
    const int chrome = width() - tvErrors_->viewport()->width() + 24;
    int screenWidth = 1600;
    if (const QScreen* screen = this->screen()) screenWidth = screen->availableGeometry().width();
    resize(std::clamp(widest + chrome, kNarrowest, std::max(kNarrowest, screenWidth * 9 / 10)),
           height());
}

void TRptErrorForm::tvErrorsDblClick(QTreeWidgetItem* item) {
    const int index = item == nullptr ? -1 : item->data(0, Qt::UserRole).toInt();
    if (index < 0 || index >= static_cast<int>(places_.size())) return;
    const TCheckPlace& place = places_[static_cast<std::size_t>(index)];
    if (place.Conductor < 0) return;
    chosen_ = place;
    accept();
}

} // namespace corvalt::ui
