#pragma once
// The largest pictures the host reads, writes or renders. A file claiming more is refused from
// its header, before any pixel memory is reserved.

#include <cstdint>

namespace merrowhost {

constexpr int kMaxImageSide = 16384;
constexpr int64_t kMaxImagePixels = 64'000'000;

// True when width and height are both positive and within the limits above.
constexpr bool imageSizeAllowed(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
           width * height <= kMaxImagePixels;
}

}  // namespace merrowhost
