#pragma once
// A plan as the field-map computation takes it: every conductor a chain of
// straight pieces in metres, with its bundle's radii and its voltage and
// current phasors in SI units, and the grid's points. Built from a plan by
// BuildSpaceModel (MapModel.h), which also refuses what cannot be computed.

#include "space/Vec3.h"

#include <complex>
#include <cstddef>
#include <vector>

namespace corvalt::space {

struct TSpaceConductor {
    std::size_t PlanIndex = 0;   // its conductor in the plan, which names it
    std::vector<TVec3> Vertices; // m; the pieces join consecutive vertices
    double EqRadiusM = 0;        // the bundle's equivalent radius, for its charge
    double OuterRadiusM = 0;     // a point nearer its axis lies inside it
    bool IsAc = true;
    // Phase-to-ground rms voltage phasor (a DC pole's voltage to ground), V.
    std::complex<double> VoltageV;
    std::complex<double> CurrentA; // rms phasor (DC: signed), from the first vertex to the last

    std::size_t PieceCount() const { return Vertices.empty() ? 0 : Vertices.size() - 1; }
};

// The grid points (X[i], Y[j]) at the height, in the plan's units, and the
// factor that turns them into metres.
struct TGridAxes {
    std::vector<double> X, Y;
    double Height = 0;
    double MetresPerUnit = 1;
    std::size_t PointCount() const { return X.size() * Y.size(); }
};

struct TSpaceModel {
    std::vector<TSpaceConductor> Conductors;
    TGridAxes Grid;
    std::size_t PieceCount() const {
        std::size_t n = 0;
        for (const TSpaceConductor& c : Conductors)
            n += c.PieceCount();
        return n;
    }
};

} // namespace corvalt::space
