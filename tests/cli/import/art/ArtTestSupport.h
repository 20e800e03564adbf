#pragma once
// A folder of its own for each test, removed afterwards, and pixel look-ups.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "cli/import/art/Picture.h"
#include "support/TempFolder.h"

namespace merrowtest::art {

using TempFolder = merrowtest::TempFolder;

// The pixel at (x, y) as 0xRRGGBB, and its alpha.
inline std::uint32_t rgbAt(const merrowcli::import::Picture& picture, int x, int y) {
    const std::uint8_t* p = &picture.rgba[(static_cast<size_t>(y) * picture.width + x) * 4];
    return (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
}
inline int alphaAt(const merrowcli::import::Picture& picture, int x, int y) {
    return picture.rgba[(static_cast<size_t>(y) * picture.width + x) * 4 + 3];
}

// Whether two colours are within tolerance on every channel (for lossy JPEG and video).
inline bool near(std::uint32_t a, std::uint32_t b, int tolerance) {
    for (int shift = 0; shift <= 16; shift += 8) {
        const int d = static_cast<int>((a >> shift) & 0xff) - static_cast<int>((b >> shift) & 0xff);
        if (d > tolerance || d < -tolerance) return false;
    }
    return true;
}

}  // namespace merrowtest::art
