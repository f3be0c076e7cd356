// The closed forms of a straight line charge against brute-force sums of
// point charges along it: its potential (the charge system's coefficients)
// and its field with its image (the electric kernel).
#include "space/Charges.h"
#include "space/FieldKernels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace corvalt::space;

namespace {

// 1 ÷ (4π ε0) as the program takes it: half of 1.8e10.
constexpr double kCoulomb = 0.9e10;

// Simpson's rule over the piece a–b of f(point on it), n even.
template <class F>
auto Simpson(TVec3 a, TVec3 b, int n, F f) {
    const double h = 1.0 / n;
    auto sum = f(a) + f(b);
    for (int k = 1; k < n; ++k)
        sum = sum + (k % 2 == 1 ? 4.0 : 2.0) * f(a + (k * h) * (b - a));
    return (h / 3 * Norm(b - a)) * sum;
}

// The potential of 1 C/m: on the perpendicular bisector by hand,
// k asinh(L ÷ 2d); beyond an end on the axis, (k ÷ 2) ln((e + L) ÷ e); and
// anywhere as the sum of the charge's elements, close to the piece and far.
TEST(LineChargeTest, PotentialOfAPieceMatchesItsIntegral) {
    const TVec3 a{1, 2, 10}, b{7, 10, 10}; // 10 m long
    EXPECT_NEAR(PiecePotential(a, b, {4 + 0.8 * 3, 6 - 0.6 * 3, 10}),
                1.8e10 * std::asinh(10 / (2 * 3.0)), 1e-6 * 1.8e10);
    EXPECT_NEAR(PiecePotential(a, b, {7 + 0.6 * 2, 10 + 0.8 * 2, 10}),
                0.9e10 * std::log(12 / 2.0), 1e-6 * 1.8e10);
    for (const TVec3 p : {TVec3{3, 5, 10.02}, TVec3{-4, 3, 1}, TVec3{250, -300, 40},
                          TVec3{7.5, 10.5, 11}}) {
        const double brute = Simpson(a, b, 20000, [p](TVec3 x) { return kCoulomb / Norm(p - x); });
        EXPECT_NEAR(PiecePotential(a, b, p), brute, 1e-6 * brute) << p.X << ", " << p.Y;
    }
}

// The field of a piece's charge and its image, summed element by element,
// against the kernel's closed form: one conductor of one piece carrying
// 2 μC/m at grid points beside, below and far from it.
TEST(LineChargeTest, FieldOfAPieceAndItsImageMatchesItsIntegral) {
    TSpaceModel model;
    TSpaceConductor c;
    c.Vertices = {{-3, 1, 12}, {9, 6, 15}};
    c.OuterRadiusM = 0.01;
    model.Conductors = {c};
    model.Grid.X = {-20, 0, 4, 60};
    model.Grid.Y = {-10, 3};
    model.Grid.Height = 1.5;
    const double lambda = 2e-6;
    const std::vector<std::complex<double>> charges = {lambda};
    for (const TMapKernelBuild build : {TMapKernelBuild::Baseline, TMapKernelBuild::Avx2}) {
        const TFieldLayers e = ElectricLayers(model, charges, build);
        for (std::size_t j = 0; j < 2; ++j)
            for (std::size_t i = 0; i < 4; ++i) {
                const TVec3 p{model.Grid.X[i], model.Grid.Y[j], 1.5};
                const auto coulomb = [&](TVec3 x) {
                    const TVec3 r = p - x;
                    const double d = Norm(r);
                    return (kCoulomb * lambda / (d * d * d)) * r;
                };
                const TVec3 field = Simpson(c.Vertices[0], c.Vertices[1], 4000, coulomb) -
                                    Simpson(Mirrored(c.Vertices[0]), Mirrored(c.Vertices[1]),
                                            4000, coulomb);
                // One charge: the field is linearly polarised, kV/m.
                const double expected = Norm(field) / 1000;
                SCOPED_TRACE(std::to_string(i) + ", " + std::to_string(j));
                EXPECT_NEAR(e.Major[j * 4 + i], expected, 1e-5 * expected);
                EXPECT_NEAR(e.Resultant[j * 4 + i], expected, 1e-5 * expected);
            }
    }
}

} // namespace
