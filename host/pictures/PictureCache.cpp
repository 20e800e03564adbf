#include "host/pictures/PictureCache.h"

#include <atomic>
#include <list>
#include <mutex>
#include <utility>

namespace merrowhost {

namespace {

struct Entry {
    PictureKey key;
    std::shared_ptr<const DecodedPicture> picture;
    size_t bytes = 0;
};

struct Cache {
    std::mutex mutex;
    int scopes = 0;
    size_t budget = kPictureCacheBytes;
    size_t bytes = 0;
    // Most recently used first. Requests hold few distinct pictures in the cache at a time
    // (the budget bounds them), so a walk of the list is cheap next to a decode.
    std::list<Entry> entries;
    std::atomic<uint64_t> decoded{0};

    void evictTo(size_t limit) {
        while (bytes > limit && !entries.empty()) {
            bytes -= entries.back().bytes;
            entries.pop_back();
        }
    }
};

Cache& cache() {
    static Cache state;
    return state;
}

size_t bytesOf(const DecodedPicture& picture) {
    return picture.colour.size() + picture.alpha.size();
}

}  // namespace

PictureCacheScope::PictureCacheScope() {
    Cache& state = cache();
    const std::lock_guard<std::mutex> lock(state.mutex);
    ++state.scopes;
}

PictureCacheScope::~PictureCacheScope() {
    Cache& state = cache();
    std::list<Entry> freed;
    {
        const std::lock_guard<std::mutex> lock(state.mutex);
        if (--state.scopes == 0) {
            freed.swap(state.entries);
            state.bytes = 0;
        }
    }
}

bool pictureCacheActive() {
    Cache& state = cache();
    const std::lock_guard<std::mutex> lock(state.mutex);
    return state.scopes > 0;
}

std::shared_ptr<const DecodedPicture> findCachedPicture(const PictureKey& key) {
    Cache& state = cache();
    const std::lock_guard<std::mutex> lock(state.mutex);
    for (auto it = state.entries.begin(); it != state.entries.end(); ++it) {
        if (it->key == key) {
            state.entries.splice(state.entries.begin(), state.entries, it);
            return state.entries.front().picture;
        }
    }
    return nullptr;
}

void storeCachedPicture(const PictureKey& key, std::shared_ptr<const DecodedPicture> picture) {
    if (picture == nullptr) return;
    Cache& state = cache();
    const size_t bytes = bytesOf(*picture);
    std::list<Entry> freed;
    try {
        const std::lock_guard<std::mutex> lock(state.mutex);
        if (state.scopes == 0) return;
        // Another version of the file (or the same one) is kept no longer.
        for (auto it = state.entries.begin(); it != state.entries.end();) {
            if (it->key.path == key.path && it->key.withAlpha == key.withAlpha) {
                state.bytes -= it->bytes;
                auto next = std::next(it);
                freed.splice(freed.end(), state.entries, it);
                it = next;
            } else {
                ++it;
            }
        }
        if (bytes > state.budget) return;
        state.entries.push_front(Entry{key, std::move(picture), bytes});
        state.bytes += bytes;
        state.evictTo(state.budget);
    } catch (...) {
        // Without memory for the entry the picture is simply not kept.
    }
}

void setPictureCacheBudget(size_t bytes) {
    Cache& state = cache();
    const std::lock_guard<std::mutex> lock(state.mutex);
    state.budget = bytes;
    state.evictTo(bytes);
}

size_t pictureCacheBytes() {
    Cache& state = cache();
    const std::lock_guard<std::mutex> lock(state.mutex);
    return state.bytes;
}

uint64_t picturesDecoded() {
    return cache().decoded.load();
}

void countPictureDecoded() {
    cache().decoded.fetch_add(1);
}

}  // namespace merrowhost
