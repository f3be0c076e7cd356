#include "ui/widgets/MaximaTable.h"

#include "limits/MaximaSummary.h"
#include "ui/app/TextConvert.h"

#include <QHeaderView>

namespace corvalt::ui {
namespace {

const QColor kOverBackground(255, 205, 205);
const QColor kNotComputedBackground(255, 236, 190);

QTableWidgetItem* Cell(const QString& text, Qt::Alignment alignment = Qt::AlignLeft) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    return item;
}

QString StatusText(const TMaximaRow& row) {
    return QString::fromLatin1(MaximaStatusText(row.Status));
}

} // namespace

TMaximaTable::TMaximaTable(QWidget* parent) : QTableWidget(0, ColCount, parent) {
    setHorizontalHeaderLabels(
        {tr("Quantity"), tr("Place"), tr("Value"), tr("Unit"), tr("Limit"), tr("Status")});
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    horizontalHeader()->setStretchLastSection(true);
}

void TMaximaTable::ShowScenario(const TScenario& scenario, const TFieldLimits& limits) {
    ShowSummary(MaximaSummaryOf(scenario, limits));
}

void TMaximaTable::Clear() {
    clearContents();
    setRowCount(0);
}

void TMaximaTable::ShowSummary(const TMaximaSummary& summary) {
    Clear();
    if (!summary.Computed) {
        setRowCount(1);
        const QString why = summary.CalcError.empty()
                                ? tr("The cross section has not been computed.")
                                : ToQString(summary.CalcError);
        setItem(0, ColQuantity, Cell(why));
        setSpan(0, ColQuantity, 1, ColCount);
        return;
    }
    setRowCount(static_cast<int>(summary.Rows.size()));
    const Qt::Alignment right = Qt::AlignRight;
    for (int r = 0; r < rowCount(); ++r) {
        const TMaximaRow& row = summary.Rows[static_cast<std::size_t>(r)];
        setItem(r, ColQuantity, Cell(ToQString(row.QuantityText)));
        setItem(r, ColPlace, Cell(ToQString(row.PlaceText)));
        setItem(r, ColValue,
                Cell(row.Value ? ToQString(row.ValueText) : QStringLiteral("\u2014"),
                     right));
        setItem(r, ColUnit, Cell(ToQString(row.Unit)));
        setItem(r, ColLimit, Cell(ToQString(row.LimitText), right));
        setItem(r, ColStatus, Cell(StatusText(row)));
        const bool over = row.Status == TLimitStatus::Over;
        // A limit that cannot be shown to hold is marked too; a conductor value
        // without limit that is missing only says so.
        const bool doubtful = row.Status == TLimitStatus::NotComputed && row.Limit;
        if (!over && !doubtful) continue;
        for (int c = 0; c < ColCount; ++c) {
            QTableWidgetItem* cell = item(r, c);
            cell->setBackground(over ? kOverBackground : kNotComputedBackground);
            cell->setForeground(QColor(Qt::black));
            if (c == ColStatus || c == ColValue) {
                QFont bold = cell->font();
                bold.setBold(true);
                cell->setFont(bold);
            }
        }
    }
}

} // namespace corvalt::ui
