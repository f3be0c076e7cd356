// TMatrix, InvertMatrix and TCholesky: known inverses and solutions, the pivot
// order's row swaps and column unscrambling, A × A⁻¹ = I and P x = b on
// potential-coefficient matrices, and the refusal of singular, indefinite and
// non-finite matrices.
#include "compute/Matrix.h"
#include "LineBuilder.h"
#include "compute/Charges.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace corvalt;
using namespace corvalt::testing;

namespace {

TMatrix FromRows(const std::vector<std::vector<double>>& rows) {
    const int n = static_cast<int>(rows.size());
    TMatrix m(n, n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            m(i, j) = rows[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)];
    return m;
}

// Largest |(A × B − I)[i][j]| relative to the size of the terms.
double IdentityDefect(const TMatrix& a, const TMatrix& b) {
    const int n = a.Rows();
    double worst = 0;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            double sum = 0, scale = 0;
            for (int k = 0; k < n; ++k) {
                sum += a(i, k) * b(k, j);
                scale += std::fabs(a(i, k) * b(k, j));
            }
            worst = std::max(worst, std::fabs(sum - (i == j ? 1.0 : 0.0)) / std::max(scale, 1.0));
        }
    return worst;
}

} // namespace

TEST(Matrix, StartsAsZerosAndStoresElements) {
    TMatrix m(2, 3);
    EXPECT_EQ(m.Rows(), 2);
    EXPECT_EQ(m.Cols(), 3);
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_EQ(m.Get(i, j), 0.0);
    m.Set(1, 2, 4.5);
    EXPECT_EQ(m.Get(1, 2), 4.5);
    EXPECT_EQ(m.Get(1, 0), 0.0);
}

TEST(Matrix, InvertsKnownMatrices) {
    struct Case {
        const char* name;
        std::vector<std::vector<double>> a, inverse;
    };
    const Case cases[] = {
        {"1x1", {{4}}, {{0.25}}},
        {"diagonal", {{2, 0, 0}, {0, -5, 0}, {0, 0, 0.5}}, {{0.5, 0, 0}, {0, -0.2, 0}, {0, 0, 2}}},
        // The largest element lies off the diagonal: the first pivot (0, 1)
        // swaps rows 0 and 1 and the end swaps the columns back.
        {"off-diagonal pivot", {{1, 5}, {2, 3}}, {{-3.0 / 7, 5.0 / 7}, {2.0 / 7, -1.0 / 7}}},
        {"permutation", {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 0}, {0, 0, 1}, {1, 0, 0}}},
        {"equal magnitudes", {{3, 3}, {3, -3}}, {{1.0 / 6, 1.0 / 6}, {1.0 / 6, -1.0 / 6}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TMatrix m = FromRows(c.a);
        ASSERT_TRUE(InvertMatrix(m.Rows(), m));
        for (int i = 0; i < m.Rows(); ++i)
            for (int j = 0; j < m.Cols(); ++j)
                EXPECT_NEAR(m(i, j),
                            c.inverse[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)],
                            1e-15);
    }
}

TEST(Matrix, PotentialCoefficientsTimesInverseIsIdentity) {
    const std::vector<std::vector<TCond>> lines = {Circuit230kV(), DoubleCircuit500kV(),
                                                   MixedAcDc12(), Substation60()};
    for (std::size_t l = 0; l < lines.size(); ++l) {
        SCOPED_TRACE(l);
        const std::vector<TSystemConductor> system = SystemOf(lines[l]);
        const std::vector<int> members = ChargeSystemMembers(system);
        const TMatrix p = PotentialCoefficients(system, members);
        TMatrix inverse = p;
        ASSERT_TRUE(InvertMatrix(inverse.Rows(), inverse));
        EXPECT_LT(IdentityDefect(p, inverse), 1e-14);
        EXPECT_LT(IdentityDefect(inverse, p), 1e-14);
    }
}

TEST(Matrix, RefusesSingularAndNonFiniteMatrices) {
    TMatrix dependent = FromRows({{1, 2}, {2, 4}});
    EXPECT_FALSE(InvertMatrix(2, dependent));
    TMatrix zero(3, 3);
    EXPECT_FALSE(InvertMatrix(3, zero));
    TMatrix infinite = FromRows({{1, INFINITY}, {0, 1}});
    EXPECT_FALSE(InvertMatrix(2, infinite));
    TMatrix nan = FromRows({{NAN, 0}, {0, 1}});
    EXPECT_FALSE(InvertMatrix(2, nan));
    TMatrix empty(0, 0);
    EXPECT_TRUE(InvertMatrix(0, empty));
}

TEST(Matrix, APivotThatIsOnlyRoundingNoiseMeansSingular) {
    // Row 1 is 3 × row 0, but in binary 0.1 × 9 and 0.3 × 3 differ in the last
    // bit: after the pivot 0.9 the last pivot is 0.1 − 0.3 × 0.3 ÷ 0.9, about
    // 1e-17, far below 2 ε × 0.9 = 4e-16.
    TMatrix dependent = FromRows({{0.1, 0.3}, {0.3, 0.9}});
    EXPECT_FALSE(InvertMatrix(2, dependent));
    // Scaled far up or down, the same matrix is just as singular.
    TMatrix large = FromRows({{0.1e12, 0.3e12}, {0.3e12, 0.9e12}});
    EXPECT_FALSE(InvertMatrix(2, large));
    // A nearly dependent matrix whose last pivot (1e-10) is far above the noise
    // is inverted: [[1, 1], [1, 1 + 1e-10]]⁻¹ = [[1 + 1e10, −1e10], [−1e10, 1e10]].
    TMatrix close = FromRows({{1, 1}, {1, 1 + 1e-10}});
    ASSERT_TRUE(InvertMatrix(2, close));
    EXPECT_NEAR(close(0, 1), -1e10, 1e4);
    EXPECT_NEAR(close(1, 1), 1e10, 1e4);
    // Two conductors all but touching (1 µm of air between 25.4 mm conductors)
    // still give a solvable potential-coefficient matrix.
    const std::vector<TSystemConductor> system =
        SystemOf({{.X = 0, .VoltageKv = 230}, {.X = 0.025401f, .VoltageKv = 230}});
    const std::vector<int> members = ChargeSystemMembers(system);
    const TMatrix p = PotentialCoefficients(system, members);
    TMatrix inverse = p;
    ASSERT_TRUE(InvertMatrix(2, inverse));
    EXPECT_LT(IdentityDefect(p, inverse), 1e-12);
}

// A solution of P x = b checked by its residual against the scale of the terms.
double ResidualDefect(const TMatrix& p, const std::vector<double>& x, const std::vector<double>& b) {
    double worst = 0;
    for (int i = 0; i < p.Rows(); ++i) {
        double sum = 0, scale = 0;
        for (int j = 0; j < p.Cols(); ++j) {
            sum += p(i, j) * x[static_cast<std::size_t>(j)];
            scale += std::fabs(p(i, j) * x[static_cast<std::size_t>(j)]);
        }
        worst = std::max(worst, std::fabs(sum - b[static_cast<std::size_t>(i)]) /
                                    std::max(scale, 1e-300));
    }
    return worst;
}

TEST(Cholesky, SolvesKnownSystemsAndPotentialCoefficients) {
    // [[4, 2], [2, 3]] x = (2, 1) and (0, 8): by hand (det 8) x = (0.5, 0) and (-2, 4).
    TCholesky two;
    ASSERT_TRUE(two.Factor(FromRows({{4, 2}, {2, 3}})));
    std::vector<double> columns = {2, 1, 0, 8};
    two.Solve(columns);
    const double expected[] = {0.5, 0, -2, 4};
    for (std::size_t k = 0; k < 4; ++k)
        EXPECT_NEAR(columns[k], expected[k], 1e-15) << k;
    // The lines of the tests: P x = V for a unit voltage on each conductor.
    for (const std::vector<TCond>& line : {DoubleCircuit500kV(), MixedAcDc12(), Substation60()}) {
        const std::vector<TSystemConductor> system = SystemOf(line);
        const TMatrix p = PotentialCoefficients(system, ChargeSystemMembers(system));
        TCholesky factor;
        ASSERT_TRUE(factor.Factor(p));
        const auto n = static_cast<std::size_t>(p.Rows());
        for (std::size_t k = 0; k < n; ++k) {
            std::vector<double> b(n, 0.0);
            b[k] = 1;
            std::vector<double> x = b;
            factor.Solve(x);
            EXPECT_LT(ResidualDefect(p, x, b), 1e-14) << k;
        }
    }
}

TEST(Cholesky, RefusesWhatIsNotPositiveDefinite) {
    TCholesky factor;
    EXPECT_FALSE(factor.Factor(FromRows({{1, 2}, {2, 1}})));      // indefinite
    EXPECT_FALSE(factor.Factor(FromRows({{1, 2}, {2, 4}})));      // singular
    EXPECT_FALSE(factor.Factor(TMatrix(3, 3)));                   // zero
    EXPECT_FALSE(factor.Factor(FromRows({{1, INFINITY}, {INFINITY, 1}})));
    EXPECT_FALSE(factor.Factor(FromRows({{NAN, 0}, {0, 1}})));
    // Dependent but for the last bit: the last pivot (about 1e-17) is rounding noise.
    EXPECT_FALSE(factor.Factor(FromRows({{0.1, 0.3}, {0.3, 0.9}})));
    // Nearly dependent, with a last pivot (1e-10) far above the noise: solved,
    // [[1, 1], [1, 1 + 1e-10]] x = (0, 1) gives x = (−1e10, 1e10).
    ASSERT_TRUE(factor.Factor(FromRows({{1, 1}, {1, 1 + 1e-10}})));
    std::vector<double> x = {0, 1};
    factor.Solve(x);
    EXPECT_NEAR(x[0], -1e10, 1e4);
    EXPECT_NEAR(x[1], 1e10, 1e4);
    EXPECT_TRUE(factor.Factor(TMatrix(0, 0)));
}

// The path matrix: 1 then 2 on the diagonal, −1 beside it, which is L Lᵀ for
// L with 1 on the diagonal and −1 below it. Its row sums are 0 but for the
// last, 1: P x = (0, …, 0, 1) has x = (1, …, 1), all steps exact in doubles.
// Taking 1 for the last diagonal too makes it singular (the last pivot is 0).
TMatrix PathMatrix(int n, double lastDiagonal) {
    TMatrix p(n, n);
    for (int i = 0; i < n; ++i) {
        p(i, i) = i == 0 ? 1 : i == n - 1 ? lastDiagonal : 2;
        if (i > 0) p(i, i - 1) = p(i - 1, i) = -1;
    }
    return p;
}

TEST(Cholesky, SolvesAndRefusesOnBothSidesOfTheNativeLimit) {
    for (const int n : {3, kLargestNativeCholesky, kLargestNativeCholesky + 1, 320}) {
        TCholesky factor;
        ASSERT_TRUE(factor.Factor(PathMatrix(n, 2))) << n;
        EXPECT_FALSE(factor.LibraryMissing());
        std::vector<double> columns(2 * static_cast<std::size_t>(n), 0.0);
        columns[static_cast<std::size_t>(n) - 1] = 1;     // first column: (0, …, 0, 1)
        columns[2 * static_cast<std::size_t>(n) - 1] = 3; // second: three times that
        factor.Solve(columns);
        for (std::size_t k = 0; k < columns.size(); ++k)
            ASSERT_EQ(columns[k], k < static_cast<std::size_t>(n) ? 1.0 : 3.0) << n << " " << k;
        EXPECT_FALSE(factor.Factor(PathMatrix(n, 1))) << n;
    }
}
