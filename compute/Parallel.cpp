#include "compute/Parallel.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace corvalt {

bool ForEachBlock(std::size_t total, std::size_t blockSize, const std::stop_token& stop,
                  const std::function<void(std::size_t first, std::size_t count)>& work) {
    const std::size_t blocks = (total + blockSize - 1) / blockSize;
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stopped{false};
    auto run = [&] {
        for (;;) {
            const std::size_t block = next.fetch_add(1);
            if (block >= blocks) return;
            if (stop.stop_requested()) {
                stopped = true;
                return;
            }
            const std::size_t first = block * blockSize;
            work(first, std::min(blockSize, total - first));
        }
    };
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t helpers = std::min(cores, blocks) - (blocks > 0 ? 1 : 0);
    std::vector<std::jthread> threads;
    threads.reserve(helpers);
    for (std::size_t t = 0; t < helpers; ++t)
        threads.emplace_back(run);
    run();
    threads.clear(); // joins
    return !stopped;
}

} // namespace corvalt
