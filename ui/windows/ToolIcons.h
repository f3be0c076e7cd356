#pragma once
// The tool bar's glyphs, drawn in code so that the program looks the same on
// every desktop whatever icon theme it has.

#include <QIcon>
#include <QImage>
#include <QString>

namespace corvalt::ui {

// The glyph of a tool button by its name ("sbNew", "sbZoomIn", ...), or the
// program's own icon ("app"); a null icon for a button that shows its text.
QIcon ToolIcon(const QString& name);

// The same glyph drawn side × side pixels on a transparent ground (the
// installed program icon is the "app" glyph at 256 pixels); a null image for
// an unknown name.
QImage ToolImage(const QString& name, int side);

} // namespace corvalt::ui
