#pragma once
// The eight conductor symbols of the phase configuration drawing, painted pixel
// by pixel so that the committed images can be made again exactly: 32 × 32
// pixels in a 16-colour palette, a disc with a ring and a letter, transparent
// around the ring. corvalt-make-symbols writes them as PNG files; the report
// library carries those files as resources.

#include <QImage>
#include <QRgb>

#include <array>

namespace corvalt::symbols {

inline constexpr int kSymbolSide = 32; // pixels

struct TSymbolDesign {
    const char* Name; // resource name, e.g. "PHASEA"
    QRgb Disc;
    QRgb Ring;
    char Letter; // 'A', 'B', 'C' or 'G'
};

// PHASEA, PHASEB, PHASEC, GROUND (cyan ring: existing circuits), then
// NEWPHASEA, NEWPHASEB, NEWPHASEC, NEWGROUND (black ring: new circuits).
const std::array<TSymbolDesign, 8>& SymbolDesigns();

// The symbol as an 8-bit indexed image with a 16-colour table.
QImage PaintSymbol(const TSymbolDesign& design);

} // namespace corvalt::symbols
