#include "reports/symbols/SymbolPixels.h"

#include <QList>

#include <cmath>
#include <string_view>

namespace corvalt::symbols {
namespace {

constexpr QRgb kTransparent = qRgba(0, 0, 0, 0);
constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kCyan = qRgb(0, 255, 255);
constexpr QRgb kGreen = qRgb(0, 128, 0);

// The palette: the colours the symbols use, then the rest of the classic 16
// colours, so every symbol has the same table.
const QList<QRgb>& Palette() {
    static const QList<QRgb> palette = {
        kTransparent,
        kBlack,
        kWhite,
        kRed,
        kCyan,
        kGreen,
        qRgb(128, 0, 0),
        qRgb(128, 128, 0),
        qRgb(0, 0, 128),
        qRgb(128, 0, 128),
        qRgb(0, 128, 128),
        qRgb(192, 192, 192),
        qRgb(128, 128, 128),
        qRgb(0, 255, 0),
        qRgb(255, 255, 0),
        qRgb(0, 0, 255),
    };
    return palette;
}

int IndexOf(QRgb colour) {
    return static_cast<int>(Palette().indexOf(colour));
}

// Letters 6 × 8 cells, drawn 2 × 2 pixels per cell.
constexpr int kGlyphColumns = 6;
constexpr int kGlyphRows = 8;
constexpr int kGlyphScale = 2;
constexpr int kGlyphLeft = 10; // pixels
constexpr int kGlyphTop = 8;

std::string_view GlyphRows(char letter) {
    switch (letter) {
    case 'A':
        return "..##.."
               ".#..#."
               "#....#"
               "#....#"
               "######"
               "#....#"
               "#....#"
               "#....#";
    case 'B':
        return "#####."
               "#....#"
               "#....#"
               "#####."
               "#....#"
               "#....#"
               "#....#"
               "#####.";
    case 'C':
        return ".####."
               "#....#"
               "#....."
               "#....."
               "#....."
               "#....."
               "#....#"
               ".####.";
    default: // 'G'
        return ".####."
               "#....#"
               "#....."
               "#....."
               "#..###"
               "#....#"
               "#....#"
               ".####.";
    }
}

bool IsLetterPixel(char letter, int x, int y) {
    const int column = (x - kGlyphLeft) / kGlyphScale;
    const int row = (y - kGlyphTop) / kGlyphScale;
    if (x < kGlyphLeft || y < kGlyphTop || column >= kGlyphColumns || row >= kGlyphRows)
        return false;
    return GlyphRows(letter)[static_cast<std::size_t>(row * kGlyphColumns + column)] == '#';
}

// Radii from the symbol's centre, pixels: the ring lies between them.
constexpr double kOuterRadius = 15.5;
constexpr double kRingInnerRadius = 12.0;

} // namespace

const std::array<TSymbolDesign, 8>& SymbolDesigns() {
    static const std::array<TSymbolDesign, 8> designs = {{
        {"PHASEA", kRed, kCyan, 'A'},
        {"PHASEB", kRed, kCyan, 'B'},
        {"PHASEC", kRed, kCyan, 'C'},
        {"GROUND", kGreen, kCyan, 'G'},
        {"NEWPHASEA", kRed, kBlack, 'A'},
        {"NEWPHASEB", kRed, kBlack, 'B'},
        {"NEWPHASEC", kRed, kBlack, 'C'},
        {"NEWGROUND", kGreen, kBlack, 'G'},
    }};
    return designs;
}

QImage PaintSymbol(const TSymbolDesign& design) {
    QImage image(kSymbolSide, kSymbolSide, QImage::Format_Indexed8);
    image.setColorTable(Palette());
    const double centre = (kSymbolSide - 1) / 2.0;
    for (int y = 0; y < kSymbolSide; ++y) {
        for (int x = 0; x < kSymbolSide; ++x) {
            const double r = std::hypot(x - centre, y - centre);
            QRgb colour = kTransparent;
            if (r <= kOuterRadius) colour = r > kRingInnerRadius ? design.Ring : design.Disc;
            if (IsLetterPixel(design.Letter, x, y)) colour = kWhite;
            image.setPixel(x, y, static_cast<uint>(IndexOf(colour)));
        }
    }
    return image;
}

} // namespace corvalt::symbols
