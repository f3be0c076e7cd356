#include "model/Parallel.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace corvalt {

namespace {

// Threads that stay for the program's life, waiting for work: starting a
// thread for every run of blocks cost about as much as the blocks of a small
// profile (a fresh stack and heap for each on some systems). One job at a
// time has the helpers; a job offered while another has them (a second
// window computing, work inside a block) runs on its caller alone.
class TWorkers {
  public:
    // The pool of cores - 1 helpers, started at the first call. It is never
    // destroyed: its threads wait for work until the program ends.
    static TWorkers& Instance() {
        static TWorkers* const workers = new TWorkers();
        return *workers;
    }

    // Runs job on the calling thread and on up to helpers idle helpers at
    // once; returns when every run of job has returned. False, with job not
    // run, when another job has the helpers.
    bool Run(const std::function<void()>& job, std::size_t helpers) {
        {
            const std::lock_guard lock(lock_);
            if (job_ != nullptr) return false;
            job_ = &job;
            seats_ = std::min(helpers, threads_);
            ++generation_;
        }
        wake_.notify_all();
        job();
        std::unique_lock lock(lock_);
        seats_ = 0; // no helper joins from now on
        done_.wait(lock, [&] { return working_ == 0; });
        job_ = nullptr;
        return true;
    }

  private:
    TWorkers() {
        for (std::size_t t = 1; t < CoreCount(); ++t) {
            try {
                std::thread(&TWorkers::Serve, this).detach();
                ++threads_;
            } catch (const std::system_error&) {
                break; // no more threads to be had: the ones there share the work
            }
        }
    }

    void Serve() {
        // The thread's own heap is set up on its first allocation: make it now,
        // while the thread waits for work anyway.
        std::make_unique_for_overwrite<char[]>(kHeapWarmUpBytes).reset();
        std::uint64_t seen = 0;
        std::unique_lock lock(lock_);
        for (;;) {
            wake_.wait(lock, [&] { return seats_ > 0 && generation_ != seen; });
            seen = generation_;
            --seats_;
            ++working_;
            const std::function<void()>* job = job_;
            lock.unlock();
            (*job)();
            lock.lock();
            if (--working_ == 0) done_.notify_all();
        }
    }

    static constexpr std::size_t kHeapWarmUpBytes = 64 * 1024;

    std::mutex lock_;
    std::condition_variable wake_, done_;
    const std::function<void()>* job_ = nullptr;
    std::size_t threads_ = 0;
    std::size_t seats_ = 0;   // helpers that may still join the job
    std::size_t working_ = 0; // helpers running the job
    std::uint64_t generation_ = 0;
};

} // namespace

std::size_t CoreCount() {
    static const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    return cores;
}

void StartWorkers() {
    TWorkers::Instance();
}

bool ForEachBlock(std::size_t total, std::size_t blockSize, const std::stop_token& stop,
                  const std::function<void(std::size_t first, std::size_t count)>& work) {
    blockSize = std::max<std::size_t>(blockSize, 1);
    const std::size_t blocks = (total + blockSize - 1) / blockSize;
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stopped{false};
    std::exception_ptr failure;
    std::mutex failureLock;
    const std::function<void()> run = [&] {
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
    if (blocks < 2 || !TWorkers::Instance().Run(run, blocks - 1)) run();
    if (failure) std::rethrow_exception(failure);
    return !stopped;
}

} // namespace corvalt
