#pragma once
// The total of decoded and rendered pixel bytes one request may take, besides the limits of a
// single picture (ImageLimits.h): every picture file decoded and every rendering made counts
// against it, so that a document of many large elements cannot take unbounded time and memory.
// The program starts a fresh count for each request; a picture that would go past the limit is
// refused, and the program can ask afterwards whether that happened.

#include <cstdint>

namespace merrowhost {

// 2^33 bytes: thirty-two pictures at the largest size one picture may have, or the thumbnails
// of a calendar of some twenty years (ten years take between 3 and 3.5 GiB). It counts work,
// not memory held: decoded pictures are cached and tracks are encoded as they come.
constexpr int64_t kRequestPixelBytes = int64_t{1} << 33;

// Starts a new count with the given limit (also the state before any call).
void startPixelBudget(int64_t limitBytes = kRequestPixelBytes);

// Counts bytes about to be allocated for pixels. False, counting nothing, when they would take
// the count past the limit; the refusal is remembered.
bool chargePixelBytes(int64_t bytes);

// While one is open on a thread, what that thread charges is not counted: work done ahead of a
// use that is counted when it comes (PicturePrefetch.h). A single charge above largestBytes is
// refused (without marking the budget exceeded), so that such work stays small.
class UncountedPixelsScope {
public:
    explicit UncountedPixelsScope(int64_t largestBytes);
    ~UncountedPixelsScope();
    UncountedPixelsScope(const UncountedPixelsScope&) = delete;
    UncountedPixelsScope& operator=(const UncountedPixelsScope&) = delete;

private:
    int64_t previousLargest_;
};

bool pixelBudgetExceeded();
int64_t pixelBytesCharged();
int64_t pixelBudgetLimit();

}  // namespace merrowhost
