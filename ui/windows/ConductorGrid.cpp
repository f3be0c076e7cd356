#include "ui/windows/ConductorGrid.h"

#include "model/PoleVoltage.h"
#include "model/Project.h"
#include "ui/app/TextConvert.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <QRegularExpression>
#include <QScrollBar>

#include <algorithm>

namespace corvalt::ui {
namespace {

// One grid column: heading (lines separated by "\n") and alignment. A column
// is at least as wide as the longest word of its heading (a unit line such as
// "( ft )" counts as one word), so the headings wrap to three lines; it would
// like to show its widest cell whole (a name column up to a limit), and the
// columns share out the rest of the grid's width (ColumnWidths.h).
struct TColumn {
    QString Heading;
    Qt::Alignment Align;
    bool FitContents = false;
};

constexpr Qt::Alignment kCentred = Qt::AlignHCenter | Qt::AlignVCenter;
constexpr Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;
constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;

std::vector<TColumn> ConductorColumns(const TEmfProject& project) {
    const QString len = QString::fromLatin1(project.LengthUnit());
    const QString dia = QString::fromLatin1(project.DiameterUnit());
    const QString unit = QStringLiteral("\n( ") + len + " )";
    const QString spacing = dia.toUpper() == QLatin1String("MM") ? QStringLiteral("cm") : dia;
    return {
        {QStringLiteral("\nCircuit"), kCentred, true},
        {QStringLiteral("\nLabel"), kCentred},
        {QStringLiteral("Dist From Circuit") + unit, kRight},
        {QStringLiteral("Hgt From\nGround") + unit, kRight},
        {QStringLiteral("SubCond\n/ Bundle"), kCentred},
        {QStringLiteral("SubCond Diameter\n( ") + dia + " )", kRight},
        {QStringLiteral("Bundle Spacing\n( ") + spacing + " )", kRight},
        {QStringLiteral("Maximum\nVoltage\n( kV )"), kRight},
        {QStringLiteral("Phase\nAngle\n( Deg )"), kRight},
        {QStringLiteral("\nMCR\n( Amps )"), kRight},
        // Short enough for the grid to fit beside the tree at the window's
        // first size; the heading's tooltip says what it is.
        {QStringLiteral("\nx") + unit, kRight},
    };
}

std::vector<TColumn> PointColumns(const TEmfProject& project) {
    const QString len = QString::fromLatin1(project.LengthUnit());
    return {
        {QStringLiteral("\nInterestPoint Name"), kLeft, true},
        {QStringLiteral("Distance From Left Row\n( ") + len + " )", kRight, true},
    };
}

// The narrowest width at which the heading wraps to at most three lines.
int HeadingWidth(const QFontMetrics& metrics, const QString& heading) {
    constexpr int kPadding = 8;
    constexpr int kWidest = 400;
    int width = 0;
    for (const QString& word : heading.split(QRegularExpression(QStringLiteral("\\s+"))))
        width = std::max(width, metrics.horizontalAdvance(word));
    const int threeLines = 3 * metrics.lineSpacing();
    auto height = [&](int w) {
        return metrics
            .boundingRect(QRect(0, 0, w, 10 * threeLines), Qt::AlignHCenter | Qt::TextWordWrap,
                          heading)
            .height();
    };
    while (width < kWidest && height(width) > threeLines)
        width += 2;
    return width + kPadding;
}

// The widest a name column grows to fit its contents, in average characters.
constexpr int kMaxNameCharacters = 28;
// Room around a cell's text: the leading blank is part of the text.
constexpr int kCellPadding = 8;

QString Format(const char* format, float value) {
    return QString::asprintf(format, static_cast<double>(value));
}

QStringList ConductorCells(const TConductor& c) {
    const int units = c.Scenario->Project->Units;
    return {ToQString(c.Circuit->Name),
            ToQString(c.Id),
            Format("%7.1f", c.DisplayHorizDistance()),
            Format("%7.1f", c.DisplayHeight()),
            QString::number(c.SubCondCount),
            Format("%7.3f", c.DisplayDiameter()),
            Format("%7.1f", c.DisplaySubSpacing()),
            VoltageText(c),
            Format("%7.0f", c.PhaseAngle),
            Format("%7.0f", c.DisplayMcr()),
            // Unpadded: right-aligned anyway, and the grid is short of room.
            Format("%.1f", DisplayLength(units, c.AbsoluteX()))};
}

QStringList PointCells(const TInterestPoint& point) {
    const QString name = ToQString(point.Name);
    return {TrimmedRight(name).isEmpty() ? QStringLiteral(" ") : name,
            Format("%7.1f", point.DisplayDistFromRowLeft())};
}

// Edits a cell in a line edit holding its value without the padding, and
// hands what was typed to the grid instead of writing it into the cell.
class TCellEditor : public QStyledItemDelegate {
  public:
    explicit TCellEditor(TConductorGrid& grid) : QStyledItemDelegate(&grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            line->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return editor;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            line->setText(index.data().toString().trimmed());
    }
    void setModelData(QWidget* editor, QAbstractItemModel* /*model*/,
                      const QModelIndex& index) const override {
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            emit grid_.CellEdited(index.row(), index.column(), line->text());
    }

  private:
    TConductorGrid& grid_;
};

} // namespace

QString VoltageText(const TConductor& conductor) {
    return Format("%7.0f", ShownVoltageKv(conductor));
}

void KeepSelectionVisible(QWidget& widget) {
    QPalette colours = widget.palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
    widget.setPalette(colours);
}

TConductorGrid::TConductorGrid(const TEmfProject& project, QWidget* parent)
    : QTableWidget(parent), project_(project) {
    setObjectName(QStringLiteral("sgConductors"));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setItemDelegate(new TCellEditor(*this));
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    QHeaderView& heading = *horizontalHeader();
    heading.setDefaultAlignment(Qt::Alignment::fromInt(Qt::AlignCenter | Qt::TextWordWrap));
    heading.setFixedHeight(3 * heading.fontMetrics().lineSpacing() + 10);
    heading.setHighlightSections(false);
    heading.setSectionsClickable(false);
    heading.setSectionResizeMode(QHeaderView::Fixed);
    KeepSelectionVisible(*this);
    SetHeadings(TMode::Conductors);
}

void TConductorGrid::SetHeadings(TMode mode) {
    mode_ = mode;
    const std::vector<TColumn> columns =
        mode == TMode::Conductors ? ConductorColumns(project_) : PointColumns(project_);
    setColumnCount(static_cast<int>(columns.size()));
    columnAlign_.clear();
    fitColumns_.clear();
    columnSpans_.clear();
    const QFontMetrics metrics = horizontalHeader()->fontMetrics();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        columnAlign_.push_back(columns[i].Align);
        fitColumns_.push_back(columns[i].FitContents);
        auto* heading = new QTableWidgetItem(columns[i].Heading);
        if (mode == TMode::Conductors && static_cast<int>(i) == kLateralColumn)
            heading->setToolTip(QStringLiteral("Lateral position: the distance from the cross "
                                               "section's reference line (the profile's x)"));
        setHorizontalHeaderItem(static_cast<int>(i), heading);
        const int width = HeadingWidth(metrics, columns[i].Heading);
        columnSpans_.push_back({width, width});
    }
    ClearRows();
}

void TConductorGrid::ClearRows() {
    rows_.assign(1, TRow{});
    clearContents();
    setRowCount(1);
    WriteRow(0);
}

void TConductorGrid::AppendConductor(TConductor& conductor) {
    AppendRow({&conductor, nullptr});
}

void TConductorGrid::AppendPoint(TInterestPoint& point) {
    AppendRow({nullptr, &point});
}

void TConductorGrid::AppendRow(TRow row) {
    const bool onlyBlank =
        rows_.size() == 1 && rows_.front().Conductor == nullptr && rows_.front().Point == nullptr;
    if (onlyBlank) {
        rows_.front() = row;
    } else {
        rows_.push_back(row);
        setRowCount(static_cast<int>(rows_.size()));
    }
    WriteRow(static_cast<int>(rows_.size()) - 1);
}

void TConductorGrid::WriteRow(int index) {
    const TRow& row = rows_[static_cast<std::size_t>(index)];
    QStringList cells;
    if (row.Conductor != nullptr) cells = ConductorCells(*row.Conductor);
    if (row.Point != nullptr) cells = PointCells(*row.Point);
    for (int column = 0; column < columnCount(); ++column) {
        // Every cell shows its value after one blank.
        const QString text =
            column < cells.size() ? QStringLiteral(" ") + cells[column] : QString();
        // A cell being edited keeps its item: the editor is tied to it.
        QTableWidgetItem* cell = item(index, column);
        if (cell == nullptr) {
            cell = new QTableWidgetItem;
            setItem(index, column, cell);
        }
        cell->setText(text);
        cell->setTextAlignment(columnAlign_[static_cast<std::size_t>(column)]);
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (IsEditable(index, column)) flags |= Qt::ItemIsEditable;
        cell->setFlags(flags);
    }
}

void TConductorGrid::ShowConductors(const std::vector<TConductor*>& conductors) {
    SetHeadings(TMode::Conductors);
    for (TConductor* conductor : conductors)
        AppendConductor(*conductor);
}

void TConductorGrid::ShowPoints(const std::vector<TInterestPoint*>& points) {
    SetHeadings(TMode::InterestPoints);
    for (TInterestPoint* point : points)
        AppendPoint(*point);
}

void TConductorGrid::MeasureColumns() {
    const QFontMetrics metrics = fontMetrics();
    const int widestName = kMaxNameCharacters * metrics.averageCharWidth();
    for (std::size_t i = 0; i < columnSpans_.size(); ++i) {
        const int column = static_cast<int>(i);
        int widest = 0;
        for (int row = 0; row < rowCount(); ++row)
            if (const QTableWidgetItem* cell = item(row, column))
                widest = std::max(widest, metrics.horizontalAdvance(cell->text()) + kCellPadding);
        if (fitColumns_[i]) widest = std::min(widest, widestName);
        columnSpans_[i].Preferred = std::max(columnSpans_[i].Minimum, widest);
    }
    StretchColumns();
}

void TConductorGrid::StretchColumns() {
    const std::vector<int> widths = FitColumnsToWidth(columnSpans_, viewport()->width());
    for (std::size_t i = 0; i < widths.size(); ++i)
        setColumnWidth(static_cast<int>(i), widths[i]);
}

int TConductorGrid::NarrowestWidth() const {
    int grid = 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
    for (const TColumnSpan& span : columnSpans_)
        grid += span.Minimum;
    return grid;
}

void TConductorGrid::resizeEvent(QResizeEvent* event) {
    QTableWidget::resizeEvent(event);
    StretchColumns(); // the viewport's width shares out the columns
}

bool TConductorGrid::IsEditable(int row, int column) const {
    return RowConductor(row) != nullptr && (column == kDistanceColumn || column == kHeightColumn);
}

QStringList TConductorGrid::ColumnTitles() const {
    QStringList titles;
    for (int column = 0; column < columnCount(); ++column) {
        QString title = horizontalHeaderItem(column)->text().simplified();
        titles << title.replace(QStringLiteral("( "), QStringLiteral("("))
                      .replace(QStringLiteral(" )"), QStringLiteral(")"));
    }
    return titles;
}

QStringList TConductorGrid::RowTexts(int row) const {
    QStringList texts;
    for (int column = 0; column < columnCount(); ++column) {
        const QTableWidgetItem* cell = item(row, column);
        texts << (cell == nullptr ? QString() : cell->text());
    }
    return texts;
}

std::vector<int> TConductorGrid::SelectedRows() const {
    std::vector<int> rows;
    for (int row = 0; row < RowCount(); ++row)
        if ((RowConductor(row) != nullptr || RowPoint(row) != nullptr) &&
            selectionModel()->isRowSelected(row, QModelIndex()))
            rows.push_back(row);
    return rows;
}

int TConductorGrid::CurrentRow() const {
    const int last = static_cast<int>(rows_.size()) - 1;
    return std::clamp(currentRow(), 0, last);
}

TConductor* TConductorGrid::RowConductor(int row) const {
    if (row < 0 || row >= static_cast<int>(rows_.size())) return nullptr;
    return rows_[static_cast<std::size_t>(row)].Conductor;
}

TInterestPoint* TConductorGrid::RowPoint(int row) const {
    if (row < 0 || row >= static_cast<int>(rows_.size())) return nullptr;
    return rows_[static_cast<std::size_t>(row)].Point;
}

} // namespace corvalt::ui
