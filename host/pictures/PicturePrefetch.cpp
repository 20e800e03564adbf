#include "host/pictures/PicturePrefetch.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <unordered_set>
#include <utility>

#include "host/pictures/DvdBuf.h"
#include "host/pictures/PictureCache.h"
#include "host/pictures/PixelBudget.h"

namespace merrowhost {

namespace {

struct Prefetcher {
    std::mutex mutex;
    std::condition_variable changed;
    int scopes = 0;
    bool stopping = false;
    std::deque<std::string> queue;
    std::unordered_set<std::string> queuedBefore;  // in this scope
    std::string decoding;                          // empty when the thread is idle
    std::thread thread;
    std::atomic<int> prefetched{0};

    // A scope left open at exit still stops its thread.
    ~Prefetcher() {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            stopping = true;
            queue.clear();
        }
        changed.notify_all();
        if (thread.joinable()) thread.join();
    }
};

// Files waiting at most; the oldest beyond are forgotten (and may be queued again).
constexpr size_t kQueueLength = 64;

Prefetcher& prefetcher() {
    static Prefetcher state;
    return state;
}

void decodeQueued() {
    Prefetcher& state = prefetcher();
    // A picture larger than the cache holds would not be kept for its use: not decoded ahead.
    const UncountedPixelsScope uncounted(static_cast<int64_t>(kPictureCacheBytes));
    std::unique_lock<std::mutex> lock(state.mutex);
    for (;;) {
        state.changed.wait(lock, [&] { return state.stopping || !state.queue.empty(); });
        if (state.stopping) return;
        state.decoding = std::move(state.queue.front());
        state.queue.pop_front();
        const std::string path = state.decoding;
        lock.unlock();
        if (!pixelBudgetExceeded() && preloadPicture(path.c_str())) ++state.prefetched;
        lock.lock();
        state.decoding.clear();
        state.changed.notify_all();
    }
}

}  // namespace

PicturePrefetchScope::PicturePrefetchScope() {
    Prefetcher& state = prefetcher();
    const std::lock_guard<std::mutex> lock(state.mutex);
    ++state.scopes;
}

PicturePrefetchScope::~PicturePrefetchScope() {
    Prefetcher& state = prefetcher();
    std::thread finished;
    {
        const std::lock_guard<std::mutex> lock(state.mutex);
        if (--state.scopes > 0) return;
        state.stopping = true;
        state.queue.clear();
        state.queuedBefore.clear();
        finished = std::move(state.thread);
    }
    state.changed.notify_all();
    if (finished.joinable()) finished.join();
    const std::lock_guard<std::mutex> lock(state.mutex);
    state.stopping = false;
}

void prefetchPictures(const std::vector<std::string>& paths) {
    Prefetcher& state = prefetcher();
    try {
        const std::lock_guard<std::mutex> lock(state.mutex);
        if (state.scopes == 0 || state.stopping || pixelBudgetExceeded()) return;
        // The latest files go first: the use has moved on to them, and what was queued for
        // an earlier place waits behind them, up to a bound.
        std::vector<std::string> fresh;
        for (const std::string& path : paths) {
            if (state.queuedBefore.insert(path).second) fresh.push_back(path);
        }
        state.queue.insert(state.queue.begin(), fresh.begin(), fresh.end());
        while (state.queue.size() > kQueueLength) {
            state.queuedBefore.erase(state.queue.back());
            state.queue.pop_back();
        }
        if (!state.thread.joinable() && !state.queue.empty()) {
            state.thread = std::thread(decodeQueued);
        }
    } catch (...) {
        // Without memory or a thread nothing is fetched ahead; every use decodes its file.
        const std::lock_guard<std::mutex> lock(state.mutex);
        state.queue.clear();
        return;
    }
    state.changed.notify_all();
}

void awaitPrefetchedPicture(const std::string& path) {
    Prefetcher& state = prefetcher();
    std::unique_lock<std::mutex> lock(state.mutex);
    const auto queued = std::find(state.queue.begin(), state.queue.end(), path);
    if (queued != state.queue.end()) {
        state.queue.erase(queued);
        return;
    }
    state.changed.wait(lock, [&] { return state.decoding != path; });
}

void awaitPrefetchQueue() {
    Prefetcher& state = prefetcher();
    std::unique_lock<std::mutex> lock(state.mutex);
    state.changed.wait(lock, [&] { return state.queue.empty() && state.decoding.empty(); });
}

int picturesPrefetched() {
    return prefetcher().prefetched.load();
}

}  // namespace merrowhost
