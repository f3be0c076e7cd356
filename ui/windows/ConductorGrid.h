#pragma once
// TConductorGrid: the project window's grid, one row per conductor (of one
// circuit or of the whole cross section) or per point of interest, with its
// three-line headings and columns that share out the grid's width. It shows
// what it is given; the project window decides what that is and runs the
// commands on it.

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

    // Each column's wishes from its cells, then the columns fill the width.
    void MeasureColumns();
    // The width the grid needs to show every column at its narrowest, px.
    int NarrowestWidth() const;

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

// Keeps the selection's colours when the widget loses focus.
void KeepSelectionVisible(QWidget& widget);

} // namespace corvalt::ui
