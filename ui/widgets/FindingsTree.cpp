#include "ui/widgets/FindingsTree.h"

#include "ui/app/TextConvert.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTreeWidgetItemIterator>

#include <algorithm>

namespace corvalt::ui {

TFindingsTree::TFindingsTree(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The column as wide as the longest finding; a scroll bar when the tree is
    // narrower than that.
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(this, &QTreeWidget::itemDoubleClicked, this, &TFindingsTree::ItemDoubleClicked);
}

void TFindingsTree::ShowFindings(const std::vector<TCheckLine>& lines) {
    clear();
    places_.clear();
    const std::vector<TCheckNode> nodes = CheckTree(lines);
    std::vector<QTreeWidgetItem*> items(lines.size(), nullptr);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const QStringList text{ToQString(lines[i].Text)};
        const int parent = nodes[i].Parent;
        items[i] = parent < 0 ? new QTreeWidgetItem(this, text)
                              : new QTreeWidgetItem(items[static_cast<std::size_t>(parent)], text);
        items[i]->setToolTip(0, text.front());
        items[i]->setData(0, Qt::UserRole, static_cast<int>(i));
        places_.push_back(lines[i].Place);
    }
    // Expand once the whole tree stands: an item expands only inside the tree.
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (nodes[i].Expanded) items[i]->setExpanded(true);
}

int TFindingsTree::WidestFinding() const {
    int widest = 0;
    for (QTreeWidgetItemIterator it(const_cast<TFindingsTree*>(this)); *it != nullptr; ++it) {
        const QTreeWidgetItem* item = *it;
        int depth = 1;
        for (const QTreeWidgetItem* up = item->parent(); up != nullptr; up = up->parent())
            ++depth;
        widest = std::max(widest,
                          depth * indentation() + fontMetrics().horizontalAdvance(item->text(0)));
    }
    return widest;
}

QSize TFindingsTree::sizeHint() const {
    int rows = 0;
    for (QTreeWidgetItemIterator it(const_cast<TFindingsTree*>(this)); *it != nullptr; ++it) {
        bool shown = true;
        for (const QTreeWidgetItem* up = (*it)->parent(); up != nullptr && shown; up = up->parent())
            shown = up->isExpanded();
        rows += shown;
    }
    const int row = std::max(sizeHintForRow(0), fontMetrics().height());
    const int scrollBar = horizontalScrollBar()->sizeHint().height();
    return {QTreeWidget::sizeHint().width(), 2 * frameWidth() + std::max(rows, 1) * row + scrollBar};
}

void TFindingsTree::ItemDoubleClicked(QTreeWidgetItem* item) {
    const int index = item == nullptr ? -1 : item->data(0, Qt::UserRole).toInt();
    if (index < 0 || index >= static_cast<int>(places_.size())) return;
    const TCheckPlace& place = places_[static_cast<std::size_t>(index)];
    if (place.Conductor >= 0) emit ConductorChosen(place);
}

} // namespace corvalt::ui
