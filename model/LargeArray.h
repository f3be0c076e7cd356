#pragma once
// Storage for arrays that may run to megabytes, such as the records of a wide
// profile. Such an array is placed on 2 MiB pages where the system offers them
// (transparent huge pages), so filling it costs one page fault per 2 MiB
// instead of one per 4 KiB; on a virtual machine those faults were the dearest
// part of computing a 20,000-record profile. Smaller arrays use the heap.

#include <cstddef>
#include <new>

namespace corvalt {

// Arrays of at least this many bytes get pages of their own.
inline constexpr std::size_t kLargeArrayBytes = std::size_t{1} << 20;

// bytes of storage, aligned for any type: on their own huge pages when bytes is
// at least kLargeArrayBytes. Throws std::bad_alloc when there is no memory.
void* AllocateLargeArray(std::size_t bytes);
// Gives back storage from AllocateLargeArray(bytes), with the same bytes.
void FreeLargeArray(void* storage, std::size_t bytes) noexcept;

// An allocator for std::vector that takes its storage from AllocateLargeArray.
template <class T>
struct TLargeArrayAllocator {
    using value_type = T;

    TLargeArrayAllocator() noexcept = default;
    template <class U>
    TLargeArrayAllocator(const TLargeArrayAllocator<U>&) noexcept {} // NOLINT: rebinding

    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
        return static_cast<T*>(AllocateLargeArray(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t n) noexcept { FreeLargeArray(p, n * sizeof(T)); }

    template <class U>
    bool operator==(const TLargeArrayAllocator<U>&) const noexcept {
        return true;
    }
};

} // namespace corvalt
