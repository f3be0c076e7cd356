#include "TightLoops.h"

#include "compute/FieldEllipse.h"
#include "compute/FieldLanes.h"
#include "compute/UnitFields.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define CORVALT_TIGHT_CLONES [[gnu::target_clones("avx2", "default")]]
#else
#define CORVALT_TIGHT_CLONES
#endif

namespace corvalt::testing {

namespace {

constexpr double kYs = 1, kYb = 1; // sensor heights, m

// The field ellipse inlined into the loops, as the kernels have it.
[[gnu::always_inline]] inline double Axis(double xRe, double xIm, double yRe, double yIm) {
    return SemiMajorAxisOfPhasors(xRe, xIm, yRe, yIm, [](double v) { return std::sqrt(v); });
}

void Clear(TTightSums& sums) {
    for (std::vector<float>* part : {&sums.XRe, &sums.XIm, &sums.YRe, &sums.YIm})
        std::fill(part->begin(), part->end(), 0.0f);
}

using namespace lanes;

// An inside-conductor mask that keeps nothing: the kernels' terms without the
// test, which the compiler then drops.
struct TNoInside {
    TNoInside() = default;
    template <class TAnyMask> TNoInside(const TAnyMask&) {}
    TNoInside& operator|=(const TNoInside&) { return *this; }
};

struct TBlockSums {
    TFloats XRe{}, XIm{}, YRe{}, YIm{};
};

// The semi-major axes of a block's sums, each divided by divisor, as floats at out.
[[gnu::always_inline]] inline void StoreAxes(const TBlockSums& sums, double divisor, float* out) {
    TWideComponents w{}; // filled next; {} keeps GCC 12 -O1 from a false warning
    WidenComponents(sums.XRe, sums.XIm, sums.YRe, sums.YIm, divisor, w);
    TDoubles axis{};
    SemiMajorAxisOfPhasorsInto(w.XRe, w.XIm, w.YRe, w.YIm, TLaneSquareRoots{}, axis);
    const TFloats narrow = __builtin_convertvector(axis, TFloats);
    std::memcpy(out, &narrow, sizeof narrow);
}

[[gnu::always_inline]] inline void LoadBlock(const float* x, TDoubles& wide) {
    TFloats narrow;
    std::memcpy(&narrow, x, sizeof narrow);
    Widen(narrow, wide);
}

constexpr std::size_t kBlocks = kTightPointsPerStep / kLanes;

} // namespace

void TTightSources::Add(double x, double y, double re, double im) {
    X.push_back(x);
    Y.push_back(y);
    Re.push_back(re);
    Im.push_back(im);
}

TTightInput::TTightInput(std::span<const TSystemConductor> system, std::vector<float> positions)
    : Positions(std::move(positions)), PaddedPositions(Positions) {
    const std::size_t steps = (Positions.size() + kTightPointsPerStep - 1) / kTightPointsPerStep;
    PaddedPositions.resize(steps * kTightPointsPerStep, Positions.empty() ? 0 : Positions.back());
    for (const TSystemConductor& c : system) {
        if (c.InChargeSystem) Charges.Add(c.XM, c.YM, c.ChargeCPerM.Re, c.ChargeCPerM.Im);
        if (c.CurrentA != 0) Currents.Add(c.XM, c.YM, c.CurrentSourceRe, c.CurrentSourceIm);
    }
}

CORVALT_TIGHT_CLONES
void TightLoopPoints(const TTightInput& in, std::vector<float>& e, std::vector<float>& b) {
    const TTightSources& q = in.Charges;
    const TTightSources& k = in.Currents;
    for (std::size_t i = 0; i < in.Positions.size(); ++i) {
        const double x = in.Positions[i];
        float exRe = 0, exIm = 0, eyRe = 0, eyIm = 0;
        for (std::size_t j = 0; j < q.X.size(); ++j) {
            const double dx = x - q.X[j], a = q.Y[j] - kYs, bb = q.Y[j] + kYs;
            const double kOverC1 = 1.8e10 / (dx * dx + a * a);
            const double kOverC2 = 1.8e10 / (dx * dx + bb * bb);
            const double h = dx * kOverC1 - dx * kOverC2, v = -a * kOverC1 - bb * kOverC2;
            exRe = static_cast<float>(exRe + q.Re[j] * h);
            exIm = static_cast<float>(exIm + q.Im[j] * h);
            eyRe = static_cast<float>(eyRe + q.Re[j] * v);
            eyIm = static_cast<float>(eyIm + q.Im[j] * v);
        }
        e[i] = static_cast<float>(Axis(exRe / 1000.0, exIm / 1000.0, eyRe / 1000.0, eyIm / 1000.0));
        float bxRe = 0, bxIm = 0, byRe = 0, byIm = 0;
        for (std::size_t j = 0; j < k.X.size(); ++j) {
            const double dx = x - k.X[j], dy = k.Y[j] - kYb;
            const double inverseDSq = 1 / (dx * dx + dy * dy);
            const double re = k.Re[j] * inverseDSq, im = k.Im[j] * inverseDSq;
            bxRe = static_cast<float>(bxRe + re * dy);
            bxIm = static_cast<float>(bxIm + im * dy);
            byRe = static_cast<float>(byRe + re * dx);
            byIm = static_cast<float>(byIm + im * dx);
        }
        b[i] = static_cast<float>(Axis(bxRe, bxIm, byRe, byIm));
    }
}

CORVALT_TIGHT_CLONES
void TightLoopArrays(const TTightInput& in, TTightSums& es, TTightSums& bs, std::vector<float>& e,
                     std::vector<float>& b) {
    const TTightSources& q = in.Charges;
    const TTightSources& k = in.Currents;
    const std::size_t n = in.Positions.size();
    const float* x = in.Positions.data();
    Clear(es);
    Clear(bs);
    for (std::size_t j = 0; j < q.X.size(); ++j) {
        const double a = q.Y[j] - kYs, bb = q.Y[j] + kYs;
        const double qX = q.X[j], qRe = q.Re[j], qIm = q.Im[j];
        for (std::size_t i = 0; i < n; ++i) {
            const double dx = x[i] - qX;
            const double kOverC1 = 1.8e10 / (dx * dx + a * a);
            const double kOverC2 = 1.8e10 / (dx * dx + bb * bb);
            const double h = dx * kOverC1 - dx * kOverC2, v = -a * kOverC1 - bb * kOverC2;
            es.XRe[i] = static_cast<float>(es.XRe[i] + qRe * h);
            es.XIm[i] = static_cast<float>(es.XIm[i] + qIm * h);
            es.YRe[i] = static_cast<float>(es.YRe[i] + qRe * v);
            es.YIm[i] = static_cast<float>(es.YIm[i] + qIm * v);
        }
    }
    for (std::size_t j = 0; j < k.X.size(); ++j) {
        const double dy = k.Y[j] - kYb;
        const double kX = k.X[j], kRe = k.Re[j], kIm = k.Im[j];
        for (std::size_t i = 0; i < n; ++i) {
            const double dx = x[i] - kX;
            const double inverseDSq = 1 / (dx * dx + dy * dy);
            const double re = kRe * inverseDSq, im = kIm * inverseDSq;
            bs.XRe[i] = static_cast<float>(bs.XRe[i] + re * dy);
            bs.XIm[i] = static_cast<float>(bs.XIm[i] + im * dy);
            bs.YRe[i] = static_cast<float>(bs.YRe[i] + re * dx);
            bs.YIm[i] = static_cast<float>(bs.YIm[i] + im * dx);
        }
    }
    for (std::size_t i = 0; i < n; ++i) {
        e[i] = static_cast<float>(
            Axis(es.XRe[i] / 1000.0, es.XIm[i] / 1000.0, es.YRe[i] / 1000.0, es.YIm[i] / 1000.0));
        b[i] = static_cast<float>(Axis(bs.XRe[i], bs.XIm[i], bs.YRe[i], bs.YIm[i]));
    }
}

CORVALT_TIGHT_CLONES
void TightLoopBlocks(const TTightInput& in, std::vector<float>& e, std::vector<float>& b) {
    const TTightSources& q = in.Charges;
    const TTightSources& k = in.Currents;
    const float* positions = in.PaddedPositions.data();
    for (std::size_t first = 0; first < in.PaddedPositions.size(); first += kTightPointsPerStep) {
        TDoubles x[kBlocks];
        for (std::size_t block = 0; block < kBlocks; ++block)
            LoadBlock(positions + first + kLanes * block, x[block]);
        TBlockSums es[kBlocks], bs[kBlocks];
        for (std::size_t j = 0; j < q.X.size(); ++j) {
            for (std::size_t block = 0; block < kBlocks; ++block) {
                TDoubles h, v;
                TNoInside inside;
                UnitChargeFieldAt(q.X[j], q.Y[j], 0.0, x[block], kYs, h, v, inside);
                AddTo(es[block].XRe, q.Re[j] * h);
                AddTo(es[block].XIm, q.Im[j] * h);
                AddTo(es[block].YRe, q.Re[j] * v);
                AddTo(es[block].YIm, q.Im[j] * v);
            }
        }
        for (std::size_t j = 0; j < k.X.size(); ++j) {
            for (std::size_t block = 0; block < kBlocks; ++block) {
                TDoubles dx, inverseDSq;
                double dy;
                TNoInside inside;
                LineCurrentTermsAt(k.X[j], k.Y[j], 0.0, x[block], kYb, dx, dy, inverseDSq, inside);
                const TDoubles re = k.Re[j] * inverseDSq, im = k.Im[j] * inverseDSq;
                AddTo(bs[block].XRe, re * dy);
                AddTo(bs[block].XIm, im * dy);
                AddTo(bs[block].YRe, re * dx);
                AddTo(bs[block].YIm, im * dx);
            }
        }
        for (std::size_t block = 0; block < kBlocks; ++block) {
            StoreAxes(es[block], 1000.0, e.data() + first + kLanes * block); // V/m to kV/m
            StoreAxes(bs[block], 1.0, b.data() + first + kLanes * block);
        }
    }
}

CORVALT_TIGHT_CLONES
double DividerPeak(std::size_t count) {
    // Eight independent chains q ← d ÷ q, which swing between two normal
    // values, so that the divider never waits for a result.
    constexpr std::size_t kChains = 8;
    const TDoubles d = {1.5, 2.5, 3.5, 4.5};
    TDoubles q[kChains];
    for (std::size_t chain = 0; chain < kChains; ++chain)
        q[chain] = TDoubles{1.0, 2.0, 3.0, 4.0} + static_cast<double>(chain);
    for (std::size_t i = 0; i < count; i += kChains)
        for (std::size_t chain = 0; chain < kChains; ++chain)
            q[chain] = d / q[chain];
    double sum = 0;
    for (std::size_t chain = 0; chain < kChains; ++chain)
        for (std::size_t lane = 0; lane < 4; ++lane)
            sum += q[chain][lane];
    return sum;
}

} // namespace corvalt::testing
