#pragma once
// The plan editor's tables as text: the cells of the conductor and footprint
// tables, a typed cell or a pasted block written into a plan, rows added and
// removed, a structure or a footprint corner moved, and the engine's checks
// deciding whether the edited plan may be stored (the reason is the field
// map's own message). Every function works on a copy the editor then stores
// as one undoable change, or drops.

#include "model/Plan.h"

#include <QString>

#include <optional>

namespace corvalt::ui {

enum class TPlanTable { Conductors, Footprints };

// The conductor table's columns, in order.
enum TConductorColumn {
    kIdColumn,
    kTypeColumn,    // "Phase" or "Ground"
    kAcDcColumn,    // "AC" or "DC"
    kKvColumn,
    kAngleColumn,
    kCurrentColumn,
    kDiameterColumn,
    kBundleColumn,  // sub-conductors
    kSpacingColumn,
    kShapeColumn,   // "Path" or "Span"
    kPointsColumn,  // "x,y,z; x,y,z; ..."
    kSagColumn,
    kConductorColumns
};
enum TFootprintColumn { kNameColumn, kCornersColumn, kFootprintColumns };

int ColumnCount(TPlanTable table);
int RowCount(const TPlan& plan, TPlanTable table);
// The column's title with the plan's units: "Diameter (mm)".
QString ColumnTitle(const TPlan& plan, TPlanTable table, int column);
QString CellText(const TPlan& plan, TPlanTable table, int row, int column);

// Writes the typed text into the cell of the plan; why not (nothing written)
// when the text is no value of the cell.
std::optional<QString> SetCellText(TPlan& plan, TPlanTable table, int row, int column,
                                   const QString& text);
// A tab-separated block (rows of a spreadsheet) written from the cell on,
// rows past the last added; all of it or, with the reason, none.
std::optional<QString> PasteBlock(TPlan& plan, TPlanTable table, int row, int column,
                                  const QString& block);

// A new row at the end: a conductor with an id the plan does not use yet,
// along the grid's lower edge at 10 m (33 ft); a square footprint of a tenth
// of the grid's width in its middle.
void AddRow(TPlan& plan, TPlanTable table);
// Removes the row; false when there is none.
bool RemoveRow(TPlan& plan, TPlanTable table, int row);

// What the plan view lets the mouse take: a conductor's point (every
// conductor point standing at the same x,y, a structure, moves with it) or a
// footprint's corner.
struct TPlanHandle {
    enum TKind { ConductorPoint, FootprintCorner } Kind = ConductorPoint;
    int Index = 0;  // conductor or footprint
    int Vertex = 0; // point or corner
    bool operator==(const TPlanHandle&) const = default;
};
// Where the handle stands; nothing when the plan has no such point.
std::optional<TPlanCorner> HandlePosition(const TPlan& plan, const TPlanHandle& handle);
// Moves the handle to x,y (heights kept); false when there is no such point.
bool MoveHandle(TPlan& plan, const TPlanHandle& handle, double x, double y);

// Why the edited plan may not be stored: the field map's message when its
// model cannot be built and the plan before the edit was either sound or
// failed for another reason (an edit elsewhere does not inherit an older fault).
std::optional<QString> EditRefusal(const TPlan& before, const TPlan& after);

} // namespace corvalt::ui
