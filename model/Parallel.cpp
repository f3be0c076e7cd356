#include "model/Parallel.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace corvalt {

bool ForEachBlock(std::size_t total, std::size_t blockSize, const std::stop_token& stop,
                  const std::function<void(std::size_t first, std::size_t count)>& work) {
    blockSize = std::max<std::size_t>(blockSize, 1);
    const std::size_t blocks = (total + blockSize - 1) / blockSize;
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stopped{false};
    std::exception_ptr failure;
    std::mutex failureLock;
    auto run = [&] {
        try {
            for (std::size_t block = next++; block < blocks; block = next++) {
                if (stop.stop_requested()) {
                    stopped = true;
                    return;
                }
                const std::size_t first = block * blockSize;
                work(first, std::min(blockSize, total - first));
            }
        } catch (...) {
            const std::lock_guard lock(failureLock);
            if (!failure) failure = std::current_exception();
            next = blocks; // the others stop after their current block
        }
    };
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t helpers = std::min(cores, blocks) - (blocks > 0 ? 1 : 0);
    std::vector<std::jthread> threads;
    threads.reserve(helpers);
    for (std::size_t t = 0; t < helpers; ++t) {
        try {
            threads.emplace_back(run);
        } catch (const std::system_error&) {
            break; // no more threads to be had: the ones there share the work
        }
    }
    run();
    threads.clear(); // joins
    if (failure) std::rethrow_exception(failure);
    return !stopped;
}

} // namespace corvalt
