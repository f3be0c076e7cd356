#pragma once
// Work over a long run of independent items (the records of a profile, the
// points of a field map) shared among the processor's cores: the items are cut
// into blocks, and each thread takes the next block until none is left. The
// calling thread works too, so a run of one block starts no thread at all.

#include <cstddef>
#include <functional>
#include <stop_token>

namespace corvalt {

// Calls work(first, count) once for each block [first, first + count) of
// [0, total), blocks of blockSize items (the last may be shorter), on up to
// as many threads as the processor has cores (fewer when the system has no
// more threads to give). A block is handed out only while stop is not
// requested. Returns false when a block was left undone for a stop. An
// exception from work stops the blocks not yet started and is thrown here once
// every thread has finished. work must be safe to call from several threads at
// once on different blocks.
bool ForEachBlock(std::size_t total, std::size_t blockSize, const std::stop_token& stop,
                  const std::function<void(std::size_t first, std::size_t count)>& work);

// The processor's cores, at least one; asked of the system once (it reads a
// file for it each time).
std::size_t CoreCount();

// Starts the helper threads ForEachBlock shares work with, if they are not
// running yet, and returns at once: a command about to compute calls it first,
// so that the threads' start overlaps reading its input instead of delaying
// the first run of blocks.
void StartWorkers();

} // namespace corvalt
