#pragma once
// TMatrix: a dense matrix of doubles, here the Maxwell potential coefficients of
// a cross section's conductors, and InvertMatrix, which replaces a square matrix
// by its inverse in place.

#include <cassert>
#include <cstddef>
#include <span>
#include <stop_token>
#include <vector>

namespace corvalt {

class TMatrix {
  public:
    // A rows × cols matrix of zeros.
    TMatrix(int rows, int cols);

    int Rows() const { return rows_; }
    int Cols() const { return cols_; }

    // Element (i, j), 0-based.
    double Get(int i, int j) const { return a_[Index(i, j)]; }
    void Set(int i, int j, double value) { a_[Index(i, j)] = value; }
    double& operator()(int i, int j) { return a_[Index(i, j)]; }
    double operator()(int i, int j) const { return a_[Index(i, j)]; }

  private:
    std::size_t Index(int i, int j) const {
        assert(i >= 0 && i < rows_ && j >= 0 && j < cols_);
        return static_cast<std::size_t>(i) * static_cast<std::size_t>(cols_) +
               static_cast<std::size_t>(j);
    }

    int rows_;
    int cols_;
    std::vector<double> a_; // row after row
};

// Gauss-Jordan elimination with full pivoting: replaces the leading n × n block
// of a by its inverse. Of equal pivot candidates the first in row-major order
// wins; the columns are unscrambled at the end.
//
// Returns false, with a left partly reduced, when the matrix is singular (no
// pivot remains that is larger than n ε times the matrix's largest element,
// below which a pivot is rounding noise), holds a value that is not finite, or
// when the inverse would not be finite. Also returns false when stop is
// requested, which it checks before each of its n elimination steps (each
// about n² operations), so that a large system stops within one step.
bool InvertMatrix(int n, TMatrix& a, std::stop_token stop = {});

// Systems of at most this many unknowns are factored and solved here, in
// under a millisecond; larger ones by the system's LAPACK (dpotrf, dpotrs),
// which is loaded only then: loading it takes longer than factoring such a
// system.
inline constexpr int kLargestNativeCholesky = 200;

// The Cholesky factor L (P = L Lᵀ) of a symmetric positive definite matrix,
// such as the potential coefficients, for solving P x = b in about n² steps
// per right-hand side once it is made. Solving instead of inverting takes a
// third of the work and is more accurate.
class TCholesky {
  public:
    // Factors the n × n matrix a (its lower triangle is read). False when a
    // holds a value that is not finite or is not positive definite: a
    // diagonal of the factor no larger than the rounding noise of the
    // elimination (n ε times a's largest element, as InvertMatrix takes it)
    // counts as 0. Also false, with LibraryMissing(), when a is larger than
    // kLargestNativeCholesky and LAPACK cannot be loaded.
    bool Factor(const TMatrix& a);
    int Size() const { return n_; }
    bool LibraryMissing() const { return libraryMissing_; }

    // Solves P x = b for each right-hand side: columns holds them one after
    // the other, Size() values each, and receives the solutions in place.
    void Solve(std::span<double> columns) const;

  private:
    int n_ = 0;
    bool libraryMissing_ = false;
    std::vector<double> factor_; // L by columns (LAPACK's layout), n × n
};

} // namespace corvalt
