#pragma once
// How a grid's columns share the grid's width: every column has the width it
// needs at least (its heading's) and the width it would like (its widest cell);
// the columns together fill the width exactly when they can, so the grid shows
// no horizontal scroll bar and no empty strip at its right.

#include <vector>

namespace corvalt::ui {

struct TColumnSpan {
    int Minimum = 0;   // pixels; narrower would cut the heading
    int Preferred = 0; // pixels, at least Minimum; every cell shown whole
};

// The widths, summing to available whenever the minimums fit in it:
//   - room to spare goes to the columns in proportion to their preferred widths;
//   - too little room takes from the columns that would like more than their
//     minimum, in proportion to that excess;
//   - less room than the minimums: the minimums (the grid scrolls).
// Pixels left over by the proportions go one each to the first columns.
std::vector<int> FitColumnsToWidth(const std::vector<TColumnSpan>& columns, int available);

} // namespace corvalt::ui
