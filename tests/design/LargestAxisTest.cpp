// The within-ROW maximum of the phasing optimiser against the largest field
// ellipse of every point taken one by one (FieldEllipseOfPhasors).
#include "compute/FieldEllipse.h"
#include "compute/Fields.h"
#include "design/LargestAxis.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <vector>

using namespace corvalt;

namespace {

struct TField {
    std::vector<double> XRe, XIm, YRe, YIm;
    explicit TField(std::size_t n) : XRe(n), XIm(n), YRe(n), YIm(n) {}
    TPhasorArrays Arrays() const { return {XRe.data(), XIm.data(), YRe.data(), YIm.data()}; }
};

// The largest axis of a + b over the points of weight 1, point by point.
double BruteLargest(const TField& a, const TField& b, const std::vector<double>& weights) {
    double largest = 0;
    for (std::size_t p = 0; p < weights.size(); ++p)
        if (weights[p] == 1)
            largest = std::max(largest, FieldEllipseOfPhasors(a.XRe[p] + b.XRe[p], a.XIm[p] + b.XIm[p],
                                                              a.YRe[p] + b.YRe[p], a.YIm[p] + b.YIm[p]));
    return largest;
}

} // namespace

// Random fields with the hard cases planted: nearly linear ellipses (2a²
// close to its bound 2S) and nearly circular ones, a point inside a
// conductor (infinite, weight 0), and near ties a few units in the last place
// apart. Every value must be the point-by-point one exactly, whatever group is
// looked at first, in both processor builds and after the sum of arrays.
TEST(LargestAxis, EqualsTheLargestEllipseOfEveryPointTakenAlone) {
    constexpr std::size_t kPoints = 4 * 37;
    std::mt19937_64 random(27);
    std::uniform_real_distribution<double> component(-3, 3);
    for (int trial = 0; trial < 40; ++trial) {
        TField a(kPoints), partial(kPoints);
        std::vector<TField> bs(kMaxSummands, TField(kPoints));
        std::vector<double> weights(kPoints, 1);
        for (TField* f : {&a, &partial})
            for (std::vector<double>* part : {&f->XRe, &f->XIm, &f->YRe, &f->YIm})
                for (double& v : *part)
                    v = component(random);
        for (TField& b : bs)
            for (std::vector<double>* part : {&b.XRe, &b.XIm, &b.YRe, &b.YIm})
                for (double& v : *part)
                    v = 0.01 * component(random);
        for (std::size_t p = 0; p < kPoints; p += 5) { // linear: X and Y in phase
            a.XIm[p] = a.XRe[p] * 0.5;
            a.YIm[p] = a.YRe[p] * 0.5;
        }
        const std::size_t top = random() % kPoints;
        for (std::size_t p = 0; p < kPoints; p += 9) { // near ties with the top point
            a.XRe[p] = a.XRe[top] * (1 + 1e-15 * static_cast<double>(p % 3));
            a.XIm[p] = a.XIm[top];
            a.YRe[p] = a.YRe[top];
            a.YIm[p] = a.YIm[top];
            for (TField& b : bs) {
                b.XRe[p] = b.XRe[top];
                b.XIm[p] = b.XIm[top];
                b.YRe[p] = b.YRe[top];
                b.YIm[p] = b.YIm[top];
            }
        }
        weights[kPoints - 1] = 0; // padding
        weights[7] = 0;           // inside a conductor
        a.XRe[7] = INFINITY;
        // a as the sum of two arrays, as the optimiser forms its partial sums.
        TField summed(kPoints);
        AddPhasorArrays(partial.Arrays(), a.Arrays(),
                        {summed.XRe.data(), summed.XIm.data(), summed.YRe.data(), summed.YIm.data()},
                        kPoints);
        for (std::size_t p = 0; p < kPoints; ++p)
            ASSERT_EQ(summed.YIm[p], partial.YIm[p] + a.YIm[p]);
        std::array<TPhasorArrays, kMaxSummands> arrays;
        for (std::size_t k = 0; k < kMaxSummands; ++k)
            arrays[k] = bs[k].Arrays();
        for (const TKernelBuild build : {TKernelBuild::Baseline, TKernelBuild::Avx2}) {
            if (!KernelBuildRuns(build)) continue;
            std::array<std::size_t, kMaxSummands> firstBlocks = {0, 4, 8 * 4, 20 * 4, top / 4 * 4,
                                                                 kPoints};
            for (int pass = 0; pass < 2; ++pass) { // the second from the groups found first
                std::array<double, kMaxSummands> largest{};
                LargestAxesOfSums(summed.Arrays(), arrays, weights.data(), kPoints, firstBlocks,
                                  largest, build);
                for (std::size_t k = 0; k < kMaxSummands; ++k)
                    ASSERT_EQ(largest[k], BruteLargest(summed, bs[k], weights))
                        << "trial " << trial << ", field " << k;
            }
        }
    }
}
