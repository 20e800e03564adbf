#include "host/pictures/PixelBudget.h"

#include <atomic>

namespace merrowhost {

namespace {

struct Budget {
    std::atomic<int64_t> limit{kRequestPixelBytes};
    std::atomic<int64_t> charged{0};
    std::atomic<bool> exceeded{false};
};

Budget& budget() {
    static Budget state;
    return state;
}

// Negative: charges on this thread are counted.
thread_local int64_t uncountedLargest = -1;

}  // namespace

void startPixelBudget(int64_t limitBytes) {
    Budget& state = budget();
    state.limit = limitBytes;
    state.charged = 0;
    state.exceeded = false;
}

UncountedPixelsScope::UncountedPixelsScope(int64_t largestBytes)
    : previousLargest_(uncountedLargest) {
    uncountedLargest = largestBytes < 0 ? 0 : largestBytes;
}

UncountedPixelsScope::~UncountedPixelsScope() {
    uncountedLargest = previousLargest_;
}

bool chargePixelBytes(int64_t bytes) {
    if (uncountedLargest >= 0) return bytes <= uncountedLargest;
    Budget& state = budget();
    if (bytes < 0) bytes = 0;
    int64_t current = state.charged.load();
    do {
        if (bytes > state.limit.load() - current) {
            state.exceeded = true;
            return false;
        }
    } while (!state.charged.compare_exchange_weak(current, current + bytes));
    return true;
}

bool pixelBudgetExceeded() {
    return budget().exceeded.load();
}

int64_t pixelBytesCharged() {
    return budget().charged.load();
}

int64_t pixelBudgetLimit() {
    return budget().limit.load();
}

}  // namespace merrowhost
