#pragma once
// The pixels the import draws with.

#include <cstdint>
#include <vector>

namespace merrowcli::import {

// An 8-bit picture, rows top to bottom, 4 bytes a pixel in R, G, B, A order, no padding.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
};

}  // namespace merrowcli::import
