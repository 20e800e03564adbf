#pragma once
// A small fixed set of worker threads that run jobs in the order they were given. The host
// uses it for its own work that needs no answer on the caller's thread (encoding track
// pictures); whoever submits a job waits for its result through state of its own.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace merrowhost {

// The number of workers the host's pools start: MERROWKIT_ENCODE_WORKERS when it is a number
// from 1 to 16, else 2.
int configuredWorkerCount();

class WorkerPool {
public:
    explicit WorkerPool(int workers);
    // Runs every job still queued, then joins the workers.
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // Queues a job. A job must not throw (what it throws is dropped). When the threads could
    // not be started the job runs at once on the caller's thread.
    void submit(std::function<void()> job);

    int workers() const { return static_cast<int>(threads_.size()); }

private:
    void run();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace merrowhost
