#pragma once
// TConductorGrid: the project window's grid, one row per conductor (of one
// circuit or of the whole cross section) or per point of interest, with its
// three-line headings and columns that share out the grid's width. A
// conductor's distance from its circuit and its height are typed in place;
// the grid passes what was typed on and shows the conductor anew once the
// project window has taken it. It shows what it is given; the project window
// decides what that is and runs the commands on it.

#include "ui/widgets/ColumnWidths.h"

#include <QTableWidget>

#include <vector>

namespace corvalt {
class TEmfProject;
class TConductor;
class TInterestPoint;
} // namespace corvalt

namespace corvalt::ui {

class TConductorGrid : public QTableWidget {
    Q_OBJECT
  public:
    enum class TMode { Conductors, InterestPoints };
    // Columns of the conductor grid.
    static constexpr int kDistanceColumn = 2; // from the circuit reference
    static constexpr int kHeightColumn = 3;
    static constexpr int kLateralColumn = 10; // from the cross section's reference line

    explicit TConductorGrid(const TEmfProject& project, QWidget* parent = nullptr);

    TMode Mode() const { return mode_; }
    // The headings of the mode and an empty grid (one blank row).
    void SetHeadings(TMode mode);
    void ShowConductors(const std::vector<TConductor*>& conductors);
    void ShowPoints(const std::vector<TInterestPoint*>& points);

    // The object of a data row (0-based); nullptr for the blank row.
    TConductor* RowConductor(int row) const;
    TInterestPoint* RowPoint(int row) const;
    int RowCount() const { return static_cast<int>(rows_.size()); }
    int CurrentRow() const; // the current row, within the data rows
    // Appends a row (replacing the blank row of an empty grid); shows a row's
    // object anew after it changed.
    void AppendConductor(TConductor& conductor);
    void AppendPoint(TInterestPoint& point);
    void WriteRow(int index);

    // Whether a cell's editor is open.
    bool IsEditing() const { return state() == EditingState; }
    // Whether the cell takes a typed value: a conductor's distance or height.
    bool IsEditable(int row, int column) const;
    // The headings on one line each, units in brackets ("Hgt From Ground (ft)").
    QStringList ColumnTitles() const;
    // The cells of a row as shown.
    QStringList RowTexts(int row) const;
    // The data rows selected, in grid order, without the blank row.
    std::vector<int> SelectedRows() const;

    // Each column's wishes from its cells, then the columns fill the width.
    void MeasureColumns();
    // The width the grid needs to show every column at its narrowest, px.
    int NarrowestWidth() const;

  signals:
    // A value typed into an editable cell. The cell keeps showing the old value
    // until the row is written anew.
    void CellEdited(int row, int column, const QString& text);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    struct TRow {
        TConductor* Conductor = nullptr;
        TInterestPoint* Point = nullptr;
    };

    void ClearRows();
    void AppendRow(TRow row);
    void StretchColumns();

    const TEmfProject& project_;
    TMode mode_ = TMode::Conductors;
    std::vector<Qt::Alignment> columnAlign_; // of the grid's columns
    std::vector<bool> fitColumns_;           // name columns, which grow only to a limit
    std::vector<TColumnSpan> columnSpans_;   // of the grid's columns
    std::vector<TRow> rows_; // one per data row; an empty grid keeps one blank row
};

// The text of the voltage column.
QString VoltageText(const TConductor& conductor);

// Keeps the selection's colours when the widget loses focus.
void KeepSelectionVisible(QWidget& widget);

} // namespace corvalt::ui
