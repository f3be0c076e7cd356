#include "space/Charges.h"

#include "linalg/Lapack.h"
#include "model/Parallel.h"
#include "space/Constants.h"

#include <cmath>
#include <limits>

namespace corvalt::space {

double PiecePotential(TVec3 a, TVec3 b, TVec3 p) {
    const TVec3 d = b - a;
    const double length = Norm(d);
    const TVec3 u = (1 / length) * d;
    const TVec3 r1 = p - a, r2 = p - b;
    const double t1 = Dot(r1, u), t2 = t1 - length;
    const TVec3 perp = r1 - t1 * u;
    const double perpSq = Dot(perp, perp);
    const double n1 = Norm(r1), n2 = Norm(r2);
    // σ − L = (|r1| − t1) + (|r2| + t2), each term taken without cancellation.
    const double e1 = t1 > 0 ? perpSq / (n1 + t1) : n1 - t1;
    const double e2 = t2 < 0 ? perpSq / (n2 - t2) : n2 + t2;
    const double sigmaMinusL = e1 + e2;
    if (!(sigmaMinusL > 0)) return std::numeric_limits<double>::infinity();
    return kInvTwoPiEps0 / 2 * std::log1p(2 * length / sigmaMinusL);
}

namespace {

struct TPieceRef {
    TVec3 A, B, Mid;
    double EqRadiusM;
    std::complex<double> VoltageV;
};

std::vector<TPieceRef> PiecesOf(const TSpaceModel& model) {
    std::vector<TPieceRef> pieces;
    for (const TSpaceConductor& c : model.Conductors)
        for (std::size_t k = 0; k + 1 < c.Vertices.size(); ++k) {
            const TVec3 a = c.Vertices[k], b = c.Vertices[k + 1];
            pieces.push_back({a, b, a + 0.5 * (b - a), c.EqRadiusM, c.VoltageV});
        }
    return pieces;
}

} // namespace

TChargeSolution SolveCharges(const TSpaceModel& model) {
    const std::vector<TPieceRef> pieces = PiecesOf(model);
    const std::size_t n = pieces.size();
    TChargeSolution solution;
    if (n == 0) return solution;
    // Column j: the potentials at every piece's midpoint of a unit charge on
    // piece j and of its image.
    std::vector<double> p(n * n);
    ForEachBlock(n, 16, {}, [&](std::size_t first, std::size_t count) {
        for (std::size_t j = first; j < first + count; ++j) {
            const TPieceRef& source = pieces[j];
            const TVec3 imageA = Mirrored(source.A), imageB = Mirrored(source.B);
            double* column = &p[j * n];
            for (std::size_t i = 0; i < n; ++i) {
                const TPieceRef& at = pieces[i];
                const double own =
                    i == j ? kInvTwoPiEps0 * std::asinh(Norm(source.B - source.A) /
                                                        (2 * source.EqRadiusM))
                           : PiecePotential(source.A, source.B, at.Mid);
                column[i] = own - PiecePotential(imageA, imageB, at.Mid);
            }
        }
    });
    std::vector<double> rhs(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        rhs[i] = pieces[i].VoltageV.real();
        rhs[n + i] = pieces[i].VoltageV.imag();
    }
    const lapack::TRoutines* lapack = lapack::SystemLibrary().Routines.get();
    if (lapack == nullptr) return {TChargeOutcome::NoLibrary, {}};
    std::vector<int> pivots(n);
    const auto order = static_cast<int>(n);
    const int columns = 2;
    int info = 0;
    lapack->Dgesv(&order, &columns, p.data(), &order, pivots.data(), rhs.data(), &order, &info);
    if (info != 0) return {TChargeOutcome::Singular, {}};
    solution.ChargesCPerM.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        if (!std::isfinite(rhs[i]) || !std::isfinite(rhs[n + i]))
            return {TChargeOutcome::Singular, {}};
        solution.ChargesCPerM[i] = {rhs[i], rhs[n + i]};
    }
    return solution;
}

} // namespace corvalt::space
