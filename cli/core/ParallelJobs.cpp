#include "cli/core/ParallelJobs.h"

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <exception>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace merrowcli {

namespace {

constexpr int kMostWorkers = 64;

}  // namespace

int workerCount(int jobs) {
    if (jobs > 0) return std::min(jobs, kMostWorkers);
    if (const char* text = std::getenv("MERROWKIT_JOBS")) {
        char* end = nullptr;
        const long value = std::strtol(text, &end, 10);
        if (end != text && *end == '\0' && value >= 1 && value <= kMostWorkers) {
            return static_cast<int>(value);
        }
    }
    const unsigned cores = std::thread::hardware_concurrency();
    return std::clamp(static_cast<int>(cores), 1, kMostWorkers);
}

void runJobs(size_t count, int workers, const std::function<void(size_t)>& job,
             const std::function<void(size_t)>& progress) {
    if (workers <= 1 || count <= 1) {
        for (size_t i = 0; i < count; ++i) {
            job(i);
            if (progress) progress(i + 1);
        }
        return;
    }
    std::mutex mutex;
    std::condition_variable changed;
    size_t next = 0;
    size_t finished = 0;
    size_t running = 0;
    bool stopping = false;
    std::map<size_t, std::exception_ptr> failures;  // by job number
    auto work = [&] {
        std::unique_lock<std::mutex> lock(mutex);
        while (!stopping && next < count) {
            const size_t index = next++;
            ++running;
            lock.unlock();
            std::exception_ptr failure;
            try {
                job(index);
            } catch (...) {
                failure = std::current_exception();
            }
            lock.lock();
            --running;
            ++finished;
            if (failure) {
                failures.emplace(index, failure);
                stopping = true;
            }
            changed.notify_all();
        }
    };
    std::vector<std::thread> threads;
    const size_t started = std::min(static_cast<size_t>(workers), count);
    try {
        for (size_t i = 0; i < started; ++i) threads.emplace_back(work);
    } catch (...) {
        // Fewer threads than asked: those that started do the work (or the caller, below).
    }
    if (threads.empty()) {
        work();
    }
    {
        std::unique_lock<std::mutex> lock(mutex);
        size_t shown = 0;
        while (true) {
            changed.wait(lock, [&] {
                return finished != shown || ((next >= count || stopping) && running == 0);
            });
            if (finished != shown) {
                shown = finished;
                if (progress) {
                    lock.unlock();
                    progress(shown);
                    lock.lock();
                }
                continue;
            }
            break;
        }
    }
    for (std::thread& thread : threads) thread.join();
    if (!failures.empty()) std::rethrow_exception(failures.begin()->second);
}

}  // namespace merrowcli
