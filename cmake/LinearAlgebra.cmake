# Dense linear algebra: LAPACK through Debian's OpenBLAS, called through the
# LAPACKE C interface (packages libopenblas-dev and liblapacke-dev). Included
# once by the top-level CMakeLists; every target that solves a linear system
# links corvalt_lapack.
set(BLA_VENDOR OpenBLAS)
find_package(LAPACK REQUIRED)
find_path(CORVALT_LAPACKE_INCLUDE_DIR lapacke.h REQUIRED)
find_library(CORVALT_LAPACKE_LIBRARY lapacke REQUIRED)
add_library(corvalt_lapack INTERFACE)
target_include_directories(corvalt_lapack SYSTEM INTERFACE ${CORVALT_LAPACKE_INCLUDE_DIR})
target_link_libraries(corvalt_lapack INTERFACE ${CORVALT_LAPACKE_LIBRARY} LAPACK::LAPACK)
