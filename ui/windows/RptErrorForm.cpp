#include "ui/windows/RptErrorForm.h"

#include "ui/app/TextConvert.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

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
    const std::vector<TCheckNode> nodes = CheckTree(lines);
    std::vector<QTreeWidgetItem*> items(lines.size(), nullptr);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const QStringList text{ToQString(lines[i].Text)};
        const int parent = nodes[i].Parent;
        items[i] = parent < 0 ? new QTreeWidgetItem(tvErrors_, text)
                              : new QTreeWidgetItem(items[static_cast<std::size_t>(parent)], text);
    }
    // Expand once the whole tree stands: an item expands only inside the tree.
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (nodes[i].Expanded) items[i]->setExpanded(true);
}

} // namespace corvalt::ui
