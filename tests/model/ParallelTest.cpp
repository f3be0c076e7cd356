#include "model/Parallel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <stop_token>
#include <thread>
#include <vector>

using namespace corvalt;

// Every item is worked on exactly once, in blocks of the size asked for (the
// last one shorter), whatever the count.
TEST(Parallel, EveryItemIsWorkedOnOnceInBlocks) {
    for (const std::size_t total : {0u, 1u, 7u, 8u, 9u, 1000u}) {
        SCOPED_TRACE(total);
        std::vector<std::atomic<int>> visits(total);
        std::atomic<int> shortBlocks{0};
        EXPECT_TRUE(ForEachBlock(total, 8, {}, [&](std::size_t first, std::size_t count) {
            EXPECT_EQ(first % 8, 0u);
            if (count != 8) {
                ++shortBlocks;
                EXPECT_EQ(first + count, total);
            }
            for (std::size_t i = first; i < first + count; ++i)
                ++visits[i];
        }));
        for (const std::atomic<int>& v : visits)
            EXPECT_EQ(v.load(), 1);
        EXPECT_EQ(shortBlocks.load(), total % 8 != 0 ? 1 : 0);
    }
}

// A failing block's exception reaches the caller once every thread is done
// (whichever thread ran the block); a stop leaves the blocks undone and says so.
TEST(Parallel, AFailureOrAStopEndsTheWork) {
    EXPECT_THROW(ForEachBlock(1000, 1, {},
                              [&](std::size_t first, std::size_t) {
                                  if (first == 3) throw std::runtime_error("block 3");
                              }),
                 std::runtime_error);

    std::stop_source stop;
    stop.request_stop();
    std::atomic<int> done{0};
    EXPECT_FALSE(ForEachBlock(1000, 1, stop.get_token(), [&](std::size_t, std::size_t) { ++done; }));
    EXPECT_EQ(done.load(), 0);
}

// Runs offered while the helpers are busy, from inside a block or from another
// thread at the same time, are done all the same, each item once.
TEST(Parallel, RunsInsideBlocksAndFromSeveralThreadsAreAllDone) {
    constexpr std::size_t kOuter = 16, kInner = 100;
    const auto nested = [](std::vector<std::atomic<int>>& visits) {
        ForEachBlock(kOuter, 1, {}, [&](std::size_t outer, std::size_t) {
            ForEachBlock(kInner, 7, {}, [&](std::size_t first, std::size_t count) {
                for (std::size_t i = first; i < first + count; ++i)
                    ++visits[outer * kInner + i];
            });
        });
    };
    for (int round = 0; round < 20; ++round) {
        std::vector<std::atomic<int>> mine(kOuter * kInner), theirs(kOuter * kInner);
        std::thread other([&] { nested(theirs); });
        nested(mine);
        other.join();
        for (std::size_t i = 0; i < mine.size(); ++i) {
            ASSERT_EQ(mine[i].load(), 1) << i;
            ASSERT_EQ(theirs[i].load(), 1) << i;
        }
    }
}
