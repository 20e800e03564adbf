#include "host/framework/WorkerPool.h"

#include <cstdlib>
#include <cstring>

namespace merrowhost {

int configuredWorkerCount() {
    const char* text = std::getenv("MERROWKIT_ENCODE_WORKERS");
    if (text == nullptr || text[0] == '\0' || std::strlen(text) > 2) return 2;
    char* end = nullptr;
    const long count = std::strtol(text, &end, 10);
    if (*end != '\0' || count < 1 || count > 16) return 2;
    return static_cast<int>(count);
}

WorkerPool::WorkerPool(int workers) {
    try {
        for (int i = 0; i < workers; ++i) threads_.emplace_back([this] { run(); });
    } catch (...) {
        // Fewer threads than asked (none at worst): submit copes.
    }
}

WorkerPool::~WorkerPool() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& thread : threads_) thread.join();
}

void WorkerPool::submit(std::function<void()> job) {
    if (threads_.empty()) {
        try {
            job();
        } catch (...) {
        }
        return;
    }
    try {
        const std::lock_guard<std::mutex> lock(mutex_);
        jobs_.push_back(std::move(job));
    } catch (...) {
        // No room in the queue: the job runs here.
        try {
            if (job) job();
        } catch (...) {
        }
        return;
    }
    wake_.notify_one();
}

void WorkerPool::run() {
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (jobs_.empty()) return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        try {
            job();
        } catch (...) {
        }
    }
}

}  // namespace merrowhost
