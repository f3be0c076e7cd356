#include "space/Parallel.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace corvalt::space {

void ParallelRanges(std::size_t count, std::size_t chunk,
                    const std::function<void(std::size_t, std::size_t)>& work) {
    if (count == 0) return;
    chunk = std::max<std::size_t>(chunk, 1);
    const std::size_t ranges = (count + chunk - 1) / chunk;
    const std::size_t threads =
        std::min<std::size_t>(std::max(1u, std::thread::hardware_concurrency()), ranges);
    std::atomic<std::size_t> next{0};
    std::exception_ptr failure;
    std::mutex failureLock;
    const auto run = [&] {
        try {
            for (std::size_t r = next++; r < ranges; r = next++)
                work(r * chunk, std::min(count, (r + 1) * chunk));
        } catch (...) {
            const std::lock_guard lock(failureLock);
            if (!failure) failure = std::current_exception();
            next = ranges; // the others stop after their current range
        }
    };
    std::vector<std::thread> helpers;
    helpers.reserve(threads - 1);
    for (std::size_t t = 1; t < threads; ++t) {
        try {
            helpers.emplace_back(run);
        } catch (const std::system_error&) {
            break; // no more threads to be had: the ones there share the work
        }
    }
    run();
    for (std::thread& helper : helpers)
        helper.join();
    if (failure) std::rethrow_exception(failure);
}

} // namespace corvalt::space
