#include "TightLoops.h"

#include "compute/FieldEllipse.h"

#include <algorithm>
#include <cmath>

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

} // namespace

void TTightSources::Add(double x, double y, double re, double im) {
    X.push_back(x);
    Y.push_back(y);
    Re.push_back(re);
    Im.push_back(im);
}

TTightInput::TTightInput(std::span<const TSystemConductor> system, std::vector<float> positions)
    : Positions(std::move(positions)) {
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

} // namespace corvalt::testing
