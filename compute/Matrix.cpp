#include "compute/Matrix.h"

#include "linalg/Lapack.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace corvalt {

TMatrix::TMatrix(int rows, int cols)
    : rows_(rows), cols_(cols),
      a_(static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols), 0.0) {
    assert(rows >= 0 && cols >= 0);
}

namespace {

bool AllFinite(int n, const TMatrix& a) {
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            if (!std::isfinite(a(i, j))) return false;
    return true;
}

double LargestMagnitude(int n, const TMatrix& a) {
    double largest = 0;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            largest = std::max(largest, std::fabs(a(i, j)));
    return largest;
}

// The largest pivot that is still only rounding noise: elimination leaves
// errors of about n ε times the largest element, so a pivot no larger than that
// stands for a 0 and the rows left are dependent.
double NegligiblePivot(int n, const TMatrix& a) {
    return n * std::numeric_limits<double>::epsilon() * LargestMagnitude(n, a);
}

void SwapRows(int n, TMatrix& a, int r1, int r2) {
    for (int l = 0; l < n; ++l)
        std::swap(a(r1, l), a(r2, l));
}

void SwapColumns(int n, TMatrix& a, int c1, int c2) {
    for (int k = 0; k < n; ++k)
        std::swap(a(k, c1), a(k, c2));
}

} // namespace

namespace {

std::size_t At(int n, int i, int j) { // element (i, j) of an n × n matrix by columns
    return static_cast<std::size_t>(j) * static_cast<std::size_t>(n) + static_cast<std::size_t>(i);
}

// Overwrites the lower triangle of the n × n matrix l (by columns) with its
// Cholesky factor, column after column: each column is divided by its
// diagonal's root and then taken off the columns to its right. False at the
// first diagonal that is not above 0 (or not a number).
bool FactorNative(int n, std::vector<double>& l) {
    for (int j = 0; j < n; ++j) {
        double* column = &l[At(n, 0, j)];
        if (!(column[j] > 0)) return false;
        const double diagonal = std::sqrt(column[j]);
        column[j] = diagonal;
        for (int i = j + 1; i < n; ++i)
            column[i] /= diagonal;
        for (int k = j + 1; k < n; ++k) {
            double* right = &l[At(n, 0, k)];
            const double factor = column[k];
            for (int i = k; i < n; ++i)
                right[i] -= column[i] * factor;
        }
    }
    return true;
}

// Solves L Lᵀ x = b in place: L y = b forwards, then Lᵀ x = y backwards.
void SolveNative(int n, const std::vector<double>& l, double* b) {
    for (int j = 0; j < n; ++j) {
        b[j] /= l[At(n, j, j)];
        for (int i = j + 1; i < n; ++i)
            b[i] -= l[At(n, i, j)] * b[j];
    }
    for (int j = n - 1; j >= 0; --j) {
        double sum = b[j];
        for (int i = j + 1; i < n; ++i)
            sum -= l[At(n, i, j)] * b[i];
        b[j] = sum / l[At(n, j, j)];
    }
}

constexpr char kLower = 'L';

} // namespace

bool TCholesky::Factor(const TMatrix& a) {
    n_ = a.Rows();
    assert(a.Cols() == n_);
    libraryMissing_ = false;
    factor_.assign(static_cast<std::size_t>(n_) * static_cast<std::size_t>(n_), 0.0);
    if (!AllFinite(n_, a)) return false;
    for (int j = 0; j < n_; ++j)
        for (int i = j; i < n_; ++i)
            factor_[At(n_, i, j)] = a(i, j);
    if (n_ == 0) return true;
    if (n_ <= kLargestNativeCholesky) {
        if (!FactorNative(n_, factor_)) return false;
    } else {
        const lapack::TRoutines* lapack = lapack::SystemLibrary().Routines.get();
        if (lapack == nullptr) {
            libraryMissing_ = true;
            return false;
        }
        int info = 0;
        lapack->Dpotrf(&kLower, &n_, factor_.data(), &n_, &info, 1);
        if (info != 0) return false;
    }
    // Each pivot of the elimination is a diagonal element of L squared.
    const double negligible = NegligiblePivot(n_, a);
    for (int k = 0; k < n_; ++k) {
        const double diagonal = factor_[At(n_, k, k)];
        if (!(diagonal * diagonal > negligible)) return false;
    }
    return true;
}

void TCholesky::Solve(std::span<double> columns) const {
    if (n_ == 0) return;
    const auto size = static_cast<std::size_t>(n_);
    assert(columns.size() % size == 0);
    if (n_ <= kLargestNativeCholesky) {
        for (std::size_t first = 0; first < columns.size(); first += size)
            SolveNative(n_, factor_, &columns[first]);
        return;
    }
    // Factor found the library, or there is no factor to solve with.
    const lapack::TRoutines* lapack = lapack::SystemLibrary().Routines.get();
    assert(lapack != nullptr);
    if (lapack == nullptr) return;
    const int count = static_cast<int>(columns.size() / size);
    int info = 0;
    lapack->Dpotrs(&kLower, &n_, &count, factor_.data(), &n_,
                                             columns.data(), &n_, &info, 1);
}

bool InvertMatrix(int n, TMatrix& a, std::stop_token stop) {
    assert(n >= 0 && n <= a.Rows() && n <= a.Cols());
    // A non-finite element would win every pivot search and turn the whole
    // inverse into NaN.
    if (!AllFinite(n, a)) return false;
    const double negligible = NegligiblePivot(n, a);

    const auto size = static_cast<std::size_t>(n);
    std::vector<int> pivotCount(size, 0); // pivots taken in each column
    std::vector<int> pivotRow(size, 0);   // row and column of each step's pivot
    std::vector<int> pivotCol(size, 0);

    for (int i = 0; i < n; ++i) {
        if (stop.stop_requested()) return false;
        double big = 0;
        int row = -1;
        int col = -1;
        for (int j = 0; j < n; ++j) {
            if (pivotCount[static_cast<std::size_t>(j)] == 1) continue;
            for (int k = 0; k < n; ++k) {
                const int count = pivotCount[static_cast<std::size_t>(k)];
                if (count > 1) return false;
                if (count == 0 && std::fabs(a(j, k)) > big) {
                    big = std::fabs(a(j, k));
                    row = j;
                    col = k;
                }
            }
        }
        // Every remaining candidate is 0, or as good as 0: the rows left are
        // dependent.
        if (row < 0 || big <= negligible) return false;

        ++pivotCount[static_cast<std::size_t>(col)];
        if (row != col) SwapRows(n, a, row, col);
        pivotRow[static_cast<std::size_t>(i)] = row;
        pivotCol[static_cast<std::size_t>(i)] = col;

        const double pivot = a(col, col);
        a(col, col) = 1;
        for (int l = 0; l < n; ++l)
            a(col, l) /= pivot;

        for (int k = 0; k < n; ++k) {
            if (k == col) continue;
            const double factor = a(k, col);
            a(k, col) = 0;
            for (int l = 0; l < n; ++l)
                a(k, l) -= a(col, l) * factor;
        }
    }

    for (int i = n - 1; i >= 0; --i) {
        const int row = pivotRow[static_cast<std::size_t>(i)];
        const int col = pivotCol[static_cast<std::size_t>(i)];
        if (row != col) SwapColumns(n, a, row, col);
    }
    return AllFinite(n, a);
}

} // namespace corvalt
