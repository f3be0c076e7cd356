#pragma once
// The LAPACK routines the charge solutions use, from the system's LAPACK
// (Debian's liblapack.so.3, OpenBLAS by default). The library is loaded when a
// solve first needs it, not at every start of the program: loading it starts
// OpenBLAS's thread pool and the Fortran runtime, which takes longer than most
// computations.

#include <cstddef>
#include <memory>
#include <span>
#include <string>

namespace corvalt::lapack {

// The routines with LAPACK's Fortran calling convention: every argument by
// address, and after the arguments the length of each character argument.
struct TRoutines {
    // Cholesky factor of a symmetric positive definite matrix.
    void (*Dpotrf)(const char* uplo, const int* n, double* a, const int* lda, int* info,
                   std::size_t uploLength) = nullptr;
    // Solution of A X = B from Dpotrf's factor.
    void (*Dpotrs)(const char* uplo, const int* n, const int* nrhs, const double* a,
                   const int* lda, double* b, const int* ldb, int* info,
                   std::size_t uploLength) = nullptr;
    // Solution of A X = B by LU with partial pivoting (A is overwritten).
    void (*Dgesv)(const int* n, const int* nrhs, double* a, const int* lda, int* ipiv, double* b,
                  const int* ldb, int* info) = nullptr;
};

// A loaded library: Routines when every routine was found, else Error says
// why ("The linear-algebra library cannot be loaded: ...").
struct TLibrary {
    std::unique_ptr<const TRoutines> Routines; // null when the library could not be loaded
    std::string Error;
};

// The first of the files named that loads and holds every routine. The
// handle stays open for the life of the process.
TLibrary LoadLibrary(std::span<const char* const> fileNames);

// The system's library, loaded on the first call from any thread (once;
// later calls return the same).
const TLibrary& SystemLibrary();

} // namespace corvalt::lapack
