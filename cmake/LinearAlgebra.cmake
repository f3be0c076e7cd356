# Dense linear algebra: LAPACK from the system (Debian's liblapack.so.3, which
# OpenBLAS provides), loaded by linalg/ when a solve first needs it rather than
# linked: linking it would start OpenBLAS's thread pool and the Fortran runtime
# at every start of every program. Included once by the top-level CMakeLists;
# every target that solves a linear system with LAPACK links corvalt_lapack.
add_library(corvalt_lapack STATIC ${PROJECT_SOURCE_DIR}/linalg/Lapack.cpp)
target_include_directories(corvalt_lapack PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(corvalt_lapack PRIVATE ${CMAKE_DL_LIBS} corvalt_warnings)
