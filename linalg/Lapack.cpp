#include "linalg/Lapack.h"

#include <dlfcn.h>

#include <memory>

namespace corvalt::lapack {

namespace {

// Debian's LAPACK alternative (OpenBLAS's when it is installed), then
// OpenBLAS itself, which holds LAPACK too.
constexpr const char* kSystemFiles[] = {"liblapack.so.3", "libopenblas.so.0"};

constexpr const char* kInstallHint = " (install Debian's package libopenblas0 or liblapack3)";

template <class TFunction> bool Find(void* handle, const char* name, TFunction& function) {
    function = reinterpret_cast<TFunction>(dlsym(handle, name));
    return function != nullptr;
}

} // namespace

TLibrary LoadLibrary(std::span<const char* const> fileNames) {
    std::string reasons;
    for (const char* file : fileNames) {
        void* handle = dlopen(file, RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            const char* why = dlerror();
            reasons += std::string(reasons.empty() ? "" : "; ") + (why ? why : file);
            continue;
        }
        auto routines = std::make_unique<TRoutines>();
        if (Find(handle, "dpotrf_", routines->Dpotrf) && Find(handle, "dpotrs_", routines->Dpotrs) &&
            Find(handle, "dgesv_", routines->Dgesv))
            return {std::move(routines), {}}; // the handle stays open for the process
        reasons += std::string(reasons.empty() ? "" : "; ") + file + " lacks a LAPACK routine";
        dlclose(handle);
    }
    return {nullptr, "The linear-algebra library cannot be loaded: " + reasons + kInstallHint};
}

const TLibrary& SystemLibrary() {
    static const TLibrary library = LoadLibrary(kSystemFiles);
    return library;
}

} // namespace corvalt::lapack
