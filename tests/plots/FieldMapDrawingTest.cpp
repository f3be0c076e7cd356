// The colour map drawn into an image: the filled map puts each value's band
// colour where the value lies (x to the right, y upwards), and the grid's
// rectangle keeps equal scales in x and y.
#include "plots/FieldMapDrawing.h"
#include "plots/GridMapPainter.h"
#include "plots/MapScale.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>

namespace corvalt {
namespace {

class FieldMapDrawing : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "corvalt_plots_tests";
        static char* argv[] = {name, nullptr};
        if (QApplication::instance() == nullptr) app_ = new QApplication(argc, argv);
    }
    static inline QApplication* app_ = nullptr;
};

// A grid 0..10 × 0..4 (step 1) whose E is f(x, y), its peak where given.
space::TFieldMap Map(float (*f)(float, float), float peakX, float peakY) {
    space::TFieldMap map;
    for (int i = 0; i <= 10; ++i) map.X.push_back(float(i));
    for (int j = 0; j <= 4; ++j) map.Y.push_back(float(j));
    std::vector<float> values;
    for (const float y : map.Y)
        for (const float x : map.X) values.push_back(f(x, y));
    map.E = space::TMapLayer(map.X.size(), values);
    map.MaxE = space::TMapPeak{f(peakX, peakY), peakX, peakY};
    return map;
}

std::uint32_t RgbAt(const QImage& image, const QRectF& grid, double x, double y, double width,
                    double height) {
    const QPointF at(grid.left() + x / width * grid.width(),
                     grid.bottom() - y / height * grid.height());
    return image.pixel(at.toPoint()) & 0xffffffu;
}

QImage Drawn(const space::TFieldMap& map, QRectF& grid) {
    QImage image(900, 500, QImage::Format_RGB32);
    TPlan plan;
    TMapDrawOptions options;
    options.Levels = std::vector<TMapLevel>{}; // no iso-line over the colours
    QPainter painter(&image);
    grid = DrawFieldMap(painter, QRectF(0, 0, 900, 500), plan, map, options);
    return image;
}

// E = x: 0 to 10 in steps of 2, five bands; the band colours at x = 0.5, 5.2
// and 9.5 are viridis at 0.1, 0.5 and 0.9. E = y: 0 to 4 by 0.5 (eight
// bands): y = 3.8 is the top band (0.9375), y = 0.2 the bottom (0.0625).
TEST_F(FieldMapDrawing, EachValueHasItsBandsColourWhereItLies) {
    QRectF grid;
    QImage image = Drawn(Map([](float x, float) { return x; }, 10, 0), grid);
    ASSERT_FALSE(grid.isEmpty());
    EXPECT_NEAR(grid.width() / grid.height(), 10.0 / 4.0, 1e-9);
    EXPECT_EQ(RgbAt(image, grid, 0.5, 3, 10, 4), ViridisRgb(0.1));
    EXPECT_EQ(RgbAt(image, grid, 5.2, 3, 10, 4), ViridisRgb(0.5));
    EXPECT_EQ(RgbAt(image, grid, 9.5, 3, 10, 4), ViridisRgb(0.9));

    image = Drawn(Map([](float, float y) { return y; }, 0, 4), grid);
    EXPECT_EQ(RgbAt(image, grid, 8, 3.8, 10, 4), ViridisRgb(0.9375));
    EXPECT_EQ(RgbAt(image, grid, 8, 0.2, 10, 4), ViridisRgb(0.0625));
}

TEST_F(FieldMapDrawing, AQuantityNotComputedDrawsNoGrid) {
    space::TFieldMap map = Map([](float x, float) { return x; }, 10, 0);
    map.B = {};
    QImage image(400, 300, QImage::Format_RGB32);
    QPainter painter(&image);
    TMapDrawOptions options;
    options.Quantity = TMapQuantity::Magnetic;
    EXPECT_TRUE(DrawFieldMap(painter, QRectF(0, 0, 400, 300), TPlan{}, map, options).isEmpty());
}

// A peak ringed by iso-lines close around it, and text the overlay drew over
// the grid's left half: no label (the peak's, each line's, the overlay's)
// lies over another, and every one stays on the grid.
TEST_F(FieldMapDrawing, LabelsOfThePeakAndTheIsoLinesDoNotOverlap) {
    std::vector<float> x, y, values;
    for (int i = 0; i <= 40; ++i) x.push_back(float(i));
    for (int j = 0; j <= 40; ++j) y.push_back(float(j));
    for (const float b : y)
        for (const float a : x) values.push_back(100.0f / (1.0f + 0.02f * ((a - 20) * (a - 20) + (b - 28) * (b - 28))));
    TGridMap map;
    map.X = x;
    map.Y = y;
    map.Values = values;
    map.Unit = QStringLiteral("kV/m");
    map.Top = 100;
    map.PeakAt = TPlanXY{20, 28};
    for (const double level : {95.0, 90.0, 80.0, 70.0, 60.0, 50.0, 40.0, 30.0, 20.0, 10.0})
        map.Levels.push_back({level, {}});
    QImage image(700, 700, QImage::Format_RGB32);
    QPainter painter(&image);
    TGridMapPainter drawing(painter, QRectF(0, 0, 700, 700), map);
    const QRectF grid = drawing.Draw([](TGridMapPainter& painted) {
        QRectF left = painted.GridRect();
        left.setWidth(left.width() / 2 - 1);
        painted.KeepClear(left);
    });
    const std::vector<QRectF>& boxes = drawing.LabelBoxes();
    ASSERT_GE(boxes.size(), 6u);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        EXPECT_TRUE(grid.contains(boxes[i])) << i;
        for (std::size_t k = i + 1; k < boxes.size(); ++k)
            EXPECT_FALSE(boxes[i].intersects(boxes[k])) << i << " and " << k;
    }
}

} // namespace
} // namespace corvalt
