#include "model/StructureTemplate.h"

#include <algorithm>
#include <cstddef>

namespace corvalt {
namespace {

// Height of an equilateral triangle over its side.
constexpr double kDeltaRise = 0.86602540378443865; // √3 / 2

// n places in one vertical column at x, the first on top, the lowest at h.
std::vector<TPlace> Column(int n, double x, double h, double spacing) {
    std::vector<TPlace> places;
    for (int k = 0; k < n; ++k)
        places.push_back({static_cast<float>(x), static_cast<float>(h + (n - 1 - k) * spacing)});
    return places;
}

// n places in one row at height h, centred on x.
std::vector<TPlace> Row(int n, double x, double h, double spacing) {
    std::vector<TPlace> places;
    for (int k = 0; k < n; ++k)
        places.push_back({static_cast<float>(x + (k - (n - 1) / 2.0) * spacing),
                          static_cast<float>(h)});
    return places;
}

// The first place on top of the others' row, one spacing from its neighbours
// below when there are two of them.
std::vector<TPlace> Delta(int n, double x, double h, double spacing) {
    if (n <= 1) return Row(n, x, h, spacing);
    std::vector<TPlace> places{{static_cast<float>(x), static_cast<float>(h + kDeltaRise * spacing)}};
    for (const TPlace& place : Row(n - 1, x, h, spacing))
        places.push_back(place);
    return places;
}

std::vector<TPlace> GroundPlaces(int n, const TTemplateShape& shape) {
    if (n == 1) return {{shape.GroundOffset, shape.GroundHeight}};
    const double spacing = n > 1 ? 2.0 * shape.GroundOffset / (n - 1) : 0.0;
    return Row(n, 0.0, shape.GroundHeight, spacing);
}

std::vector<TPlace> PhasePlaces(TStructureTemplate kind, const TTemplateShape& s, int n,
                                double x) {
    switch (kind) {
    case TStructureTemplate::VerticalSingle:
    case TStructureTemplate::VerticalDouble:
        return Column(n, x, s.LowestHeight, s.PhaseSpacing);
    case TStructureTemplate::Horizontal:
    case TStructureTemplate::HFrame:
        return Row(n, x, s.LowestHeight, s.PhaseSpacing);
    case TStructureTemplate::Delta:
        return Delta(n, x, s.LowestHeight, s.PhaseSpacing);
    case TStructureTemplate::None:
        break;
    }
    return std::vector<TPlace>(static_cast<std::size_t>(n));
}

} // namespace

int TemplateCircuitCount(TStructureTemplate kind) {
    return kind == TStructureTemplate::VerticalDouble ? 2 : 1;
}

std::vector<TCircuitPlaces> TemplatePlaces(TStructureTemplate kind, const TTemplateShape& shape,
                                           int phaseCount, int groundCount) {
    phaseCount = std::max(phaseCount, 0);
    groundCount = std::max(groundCount, 0);
    std::vector<TCircuitPlaces> circuits;
    if (kind == TStructureTemplate::VerticalDouble) {
        circuits.push_back({PhasePlaces(kind, shape, phaseCount, -shape.Offset), {}});
        circuits.push_back({PhasePlaces(kind, shape, phaseCount, shape.Offset), {}});
    } else {
        circuits.push_back({PhasePlaces(kind, shape, phaseCount, shape.Offset), {}});
    }
    circuits.front().Ground = kind == TStructureTemplate::None
                                  ? std::vector<TPlace>(static_cast<std::size_t>(groundCount))
                                  : GroundPlaces(groundCount, shape);
    return circuits;
}

} // namespace corvalt
