// Vector pictures: what the recorder keeps of a painter's drawing (painting it
// back is compared with the drawing in the reports' plot page tests).

#include "EngineTestSupport.h"

#include "engine/VectorPicture.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>

namespace corvalt {
namespace {

TEST(VectorPicture, RecordsOutlinesAndTextsInDeviceUnits) {
    const TVectorPicture picture = RecordVectorPicture(200, 100, [](QPainter& p) {
        p.translate(5, 5);
        p.setPen(QPen(Qt::red, 2, Qt::DashLine));
        p.drawLine(QPointF(10, 20), QPointF(110, 20));
        p.scale(2, 2);
        p.setClipRect(QRectF(0, 0, 20, 10));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 128, 0));
        p.setOpacity(0.5);
        p.drawRect(QRectF(1, 1, 3, 2));
        p.setClipping(false);
        p.setOpacity(1);
        p.setPen(Qt::blue);
        p.rotate(-90);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(10);
        p.setFont(font);
        p.drawText(QPointF(-30, 4), QStringLiteral("E (kV/m)"));
    });
    ASSERT_EQ(picture.Items.size(), 3u);
    EXPECT_EQ(picture.Width, 200);
    EXPECT_EQ(picture.Height, 100);

    const auto& line = std::get<TVectorShape>(picture.Items[0]);
    ASSERT_EQ(line.Polygons.size(), 1u);
    EXPECT_EQ(line.Polygons[0], QPolygonF({{15, 25}, {115, 25}}));
    EXPECT_EQ(line.PenColour, qRgb(255, 0, 0));
    EXPECT_EQ(line.PenStyle, Qt::DashLine);
    EXPECT_EQ(line.PenWidth, 2);
    EXPECT_EQ(qAlpha(line.BrushColour), 0); // a line is never filled
    EXPECT_TRUE(line.Clip.isNull());

    // The rectangle (1, 1)–(4, 3) scaled by 2 after the shift of 5; half
    // transparent; clipped to (0, 0)–(20, 10) scaled likewise.
    const auto& box = std::get<TVectorShape>(picture.Items[1]);
    ASSERT_EQ(box.Polygons.size(), 1u);
    EXPECT_EQ(box.Polygons[0].boundingRect(), QRectF(7, 7, 6, 4));
    EXPECT_EQ(box.PenStyle, Qt::NoPen);
    EXPECT_EQ(qGreen(box.BrushColour), 128);
    EXPECT_NEAR(qAlpha(box.BrushColour), 128, 1);
    EXPECT_EQ(box.Clip, QRectF(5, 5, 40, 20));

    // Turned a quarter anticlockwise at scale 2: (−30, 4) lands at
    // (5 + 2·4, 5 + 2·30) and the 10-pixel font is 20 units high.
    const auto& text = std::get<TVectorText>(picture.Items[2]);
    EXPECT_EQ(text.Text, QStringLiteral("E (kV/m)"));
    EXPECT_NEAR(text.Origin.x(), 13, 1e-9);
    EXPECT_NEAR(text.Origin.y(), 65, 1e-9);
    EXPECT_NEAR(text.Angle, -90, 1e-9);
    EXPECT_NEAR(text.Size, 20, 1e-9);
    EXPECT_EQ(text.Colour, qRgb(0, 0, 255));
}

} // namespace
} // namespace corvalt
