#pragma once
// Copy and paste between the project window's grid and a spreadsheet. Copy
// gives the rows as tab-separated text under a line of column titles with
// their units; a pasted block gives conductors new lateral positions and
// heights, either as two columns (distance from the circuit, height) or as
// whole rows in the copied layout. A block is taken whole or not at all: the
// first cell that does not fit is named by its row and column.

#include "ui/widgets/NumberField.h"

#include <QChar>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>
#include <vector>

namespace corvalt::ui {

// Where the lateral position and the height are in a whole row.
struct TCoordinateColumns {
    int Distance = 0;
    int Height = 0;
    int Derived = -1; // a column worked out from the others, not read back; -1 none
};

// The copied text: titles, then one line per row, cells separated by tabs and
// stripped of the grid's padding; every line ends with "\n".
QString TabSeparatedText(const QStringList& titles, const std::vector<QStringList>& rows);

// A pasted block cut into lines of cells at line ends and tabs. A last empty
// line (the line end a spreadsheet puts after its last row) is dropped, and so
// is a first line that repeats the copied titles. FirstLine is the number of
// the first line kept in the pasted text, from 1, as messages name rows.
struct TPastedBlock {
    std::vector<QStringList> Lines;
    int FirstLine = 1;
};
TPastedBlock SplitPastedText(const QString& text, const QStringList& titles);

// New display coordinates of one conductor.
struct TPastedCoordinates {
    double Distance = 0;
    double Height = 0;
};

// The coordinates of the block for its target rows (one per line, the cells
// the grid shows for each, in the same order as the lines), or why nothing can
// be pasted. Each coordinate must be one the picture takes; the other cells of
// a whole row must show what the conductor already has (they are changed in
// the conductor's dialog). A "." is always the decimal point; the locale's
// decimal comma is read as one too, since tabs separate the cells.
std::variant<std::vector<TPastedCoordinates>, QString>
ReadPastedCoordinates(const TPastedBlock& block, const QStringList& titles,
                      const TCoordinateColumns& columns,
                      const std::vector<QStringList>& targets, const TNumberPicture& picture,
                      QChar localeDecimalPoint);

} // namespace corvalt::ui
