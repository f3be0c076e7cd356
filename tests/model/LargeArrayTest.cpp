#include "model/CalcResult.h"
#include "model/LargeArray.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <algorithm>

using namespace corvalt;

// Storage of every size around the point where arrays get huge pages of their
// own holds all its bytes (each page written at both ends), and large storage
// starts on a huge page.
TEST(LargeArray, StorageOfEverySizeHoldsAllItsBytes) {
    constexpr std::size_t kMiB = std::size_t{1} << 20;
    for (const std::size_t bytes :
         {std::size_t{1}, kLargeArrayBytes - 1, kLargeArrayBytes, 2 * kMiB - 1, 2 * kMiB,
          2 * kMiB + 1, 5 * kMiB + 12345}) {
        SCOPED_TRACE(bytes);
        auto* storage = static_cast<unsigned char*>(AllocateLargeArray(bytes));
        ASSERT_NE(storage, nullptr);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(storage) % alignof(std::max_align_t), 0u);
        if (bytes >= kLargeArrayBytes) {
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(storage) % (2 * kMiB), 0u);
        }
        for (std::size_t at = 0; at < bytes; at += 4096) {
            storage[at] = 0xA5;
            storage[std::min(at + 4095, bytes - 1)] = 0x5A;
        }
        EXPECT_EQ(storage[bytes - 1], 0x5A);
        FreeLargeArray(storage, bytes);
    }
}

// A profile's records keep their values while the array grows past the size
// that moves it onto huge pages and shrinks back below it.
TEST(LargeArray, RecordsKeepTheirValuesAcrossTheSizeThreshold) {
    TCalcResults records;
    constexpr int kCount = 60000; // about 5.5 MB
    for (int i = 0; i < kCount; ++i) {
        TCalcResult record;
        record.DistM = static_cast<float>(i);
        record.EMax = static_cast<float>(2 * i);
        records.push_back(record);
    }
    TCalcResults copy = records;
    copy.resize(100);
    copy.shrink_to_fit();
    for (int i : {0, 1, 99}) {
        EXPECT_EQ(copy[static_cast<std::size_t>(i)].DistM, static_cast<float>(i));
        EXPECT_EQ(*copy[static_cast<std::size_t>(i)].EMax, static_cast<float>(2 * i));
    }
    for (int i : {0, 11397, kCount - 1})
        EXPECT_EQ(*records[static_cast<std::size_t>(i)].EMax, static_cast<float>(2 * i));
}
