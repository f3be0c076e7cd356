#pragma once
// TVectorPicture: a drawing kept as outlines and texts in units of its own
// (a frame of Width × Height), so that a page can hold a drawing made with
// QPainter (a chart) and paint it back at any scale as vectors: the PDF gets
// lines and real text, never a bitmap. RecordVectorPicture captures whatever a
// QPainter draws; PaintVectorPicture replays it onto any painter.

#include <QPolygonF>
#include <QRectF>
#include <QRgb>
#include <QString>

#include <functional>
#include <variant>
#include <vector>

class QPainter;

namespace corvalt {

// Bounds of what a picture holds; the page file reader refuses values beyond them.
inline constexpr double kMaxPictureCoordinate = 100000.0; // picture units, |x| and |y|
inline constexpr double kMaxPictureLineWidth = 1000.0;    // picture units
inline constexpr int kMaxPictureItems = 1000000;

// Outlines stroked with a pen and filled with a brush colour. Each polygon is
// a subpath; one whose last point is its first is closed.
struct TVectorShape {
    std::vector<QPolygonF> Polygons;
    QRgb PenColour = qRgb(0, 0, 0);
    int PenStyle = Qt::SolidLine; // Qt::PenStyle, Qt::NoPen to Qt::DashDotDotLine
    double PenWidth = 1;          // picture units; 0 a hairline of the device
    QRgb BrushColour = 0;         // fully transparent: not filled
    bool Winding = false;         // fill rule: winding, else odd-even
    QRectF Clip;                  // drawn only within it; a null rectangle: no clip
    bool operator==(const TVectorShape&) const = default;
};

// A text run from its baseline's left end, turned clockwise by Angle degrees
// about that point (y downwards, as on the page).
struct TVectorText {
    QPointF Origin;
    double Angle = 0; // degrees
    QString Text;
    QString Family;
    double Size = 10; // the font's pixel size in picture units
    bool Bold = false;
    bool Italic = false;
    QRgb Colour = qRgb(0, 0, 0);
    QRectF Clip;
    bool operator==(const TVectorText&) const = default;
};

using TVectorItem = std::variant<TVectorShape, TVectorText>;

struct TVectorPicture {
    double Width = 1, Height = 1; // the frame, picture units
    std::vector<TVectorItem> Items;
    bool operator==(const TVectorPicture&) const = default;
};

// Records what paint draws onto a painter whose device is width × height
// units at the resolution of a plain QImage (so fonts take the size they
// would take on screen images). Images drawn by paint are not kept.
TVectorPicture RecordVectorPicture(double width, double height,
                                   const std::function<void(QPainter&)>& paint);

// Paints the picture with its frame's top-left corner at the painter's origin,
// one picture unit to one painter unit. The painter's state is restored.
void PaintVectorPicture(QPainter& painter, const TVectorPicture& picture);

} // namespace corvalt
