#pragma once
// Work shared out over the processor's cores with std::thread.

#include <cstddef>
#include <functional>

namespace corvalt::space {

// Calls work(begin, end) for consecutive ranges of at most chunk items that
// together cover [0, count), on as many threads as the processor has cores
// (this thread among them); each thread takes the next range as it finishes
// one. Returns when all are done; an exception from work is thrown here once
// every thread has stopped.
void ParallelRanges(std::size_t count, std::size_t chunk,
                    const std::function<void(std::size_t, std::size_t)>& work);

} // namespace corvalt::space
