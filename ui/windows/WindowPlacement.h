#pragma once
// Where the main window puts its child windows in the workspace: a new one a
// step lower and to the right of the one before, and every one whole inside
// the workspace, whatever Tile or Cascade made of it; and where the main
// window itself opens on the screen.

#include <QRect>
#include <QSize>

namespace corvalt::ui {

// The place of the n-th child window (0-based) in a workspace of the size: a
// step of 24 pixels right and down per window, starting again after five, so
// the earlier windows still show their title bars; it reaches to the
// workspace's right and bottom edges.
QRect StaggeredPlace(int index, const QSize& workspace);

// The window's rectangle moved, and made smaller where it is larger, so that
// it lies inside the area (it keeps its place and size when it does already).
QRect KeptInside(const QRect& window, const QRect& area);

// The main window's place when it opens, in the screen's available area: the
// place it was closed in (saved; not valid when none was kept), at least
// smallest, moved and made smaller to fit the area (a screen that changed
// since); without one, fallback's size centred in the area.
QRect RestoredPlace(const QRect& saved, const QRect& area, const QSize& fallback,
                    const QSize& smallest);

} // namespace corvalt::ui
