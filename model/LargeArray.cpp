#include "model/LargeArray.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace corvalt {

namespace {

constexpr std::size_t kHugePageBytes = std::size_t{2} << 20;

constexpr std::size_t RoundUp(std::size_t bytes, std::size_t unit) {
    return (bytes + unit - 1) / unit * unit;
}

} // namespace

#if defined(__linux__)

// A mapping of its own, aligned to and rounded up to whole huge pages: the
// kernel can back it by huge pages only where a whole aligned 2 MiB lies in it.
// The advice is only advice: without huge pages the mapping works as any other.
void* AllocateLargeArray(std::size_t bytes) {
    if (bytes < kLargeArrayBytes) return ::operator new(bytes);
    if (bytes > static_cast<std::size_t>(-1) - 2 * kHugePageBytes) throw std::bad_alloc();
    const std::size_t size = RoundUp(bytes, kHugePageBytes);
    const std::size_t reserved = size + kHugePageBytes;
    void* mapped = mmap(nullptr, reserved, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    // Keep the aligned part and give back what lies before and after it.
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = RoundUp(start, kHugePageBytes);
    if (aligned > start) munmap(mapped, aligned - start);
    const std::uintptr_t end = start + reserved;
    if (end > aligned + size) munmap(reinterpret_cast<void*>(aligned + size), end - aligned - size);
    madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

void FreeLargeArray(void* storage, std::size_t bytes) noexcept {
    if (storage == nullptr) return;
    if (bytes < kLargeArrayBytes) {
        ::operator delete(storage);
        return;
    }
    munmap(storage, RoundUp(bytes, kHugePageBytes));
}

#else

void* AllocateLargeArray(std::size_t bytes) {
    return ::operator new(bytes);
}

void FreeLargeArray(void* storage, std::size_t) noexcept {
    ::operator delete(storage);
}

#endif

} // namespace corvalt
