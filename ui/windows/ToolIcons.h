#pragma once
// The tool bar's glyphs, drawn in code so that the program looks the same on
// every desktop whatever icon theme it has.

#include <QIcon>
#include <QString>

namespace corvalt::ui {

// The glyph of a tool button by its name ("sbNew", "sbZoomIn", ...), or the
// program's own icon ("app"); a null icon for a button that shows its text.
QIcon ToolIcon(const QString& name);

} // namespace corvalt::ui
