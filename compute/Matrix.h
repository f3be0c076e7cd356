#pragma once
// TMatrix: a dense matrix of doubles, here the Maxwell potential coefficients of
// a cross section's conductors, and InvertMatrix, which replaces a square matrix
// by its inverse in place.

#include <cassert>
#include <cstddef>
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

} // namespace corvalt
