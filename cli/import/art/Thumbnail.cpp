#include "cli/import/art/Thumbnail.h"

#include <algorithm>
#include <cstring>

#include "host/pictures/PictureScaler.h"

namespace merrowcli::import {

namespace {

// The region of the source kept when it is cropped to the target's aspect ratio.
struct Region {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

Region centredCrop(int width, int height, int targetWidth, int targetHeight) {
    const long long wide = static_cast<long long>(width) * targetHeight;
    const long long tall = static_cast<long long>(height) * targetWidth;
    Region region{0, 0, width, height};
    if (wide > tall) {
        // Wider than the target: keep the middle columns, rounded to the nearest.
        region.width =
            static_cast<int>((static_cast<long long>(height) * targetWidth * 2 + targetHeight) /
                             (2LL * targetHeight));
        region.width = std::clamp(region.width, 1, width);
        region.x = (width - region.width) / 2;
    } else if (tall > wide) {
        region.height = static_cast<int>(
            (static_cast<long long>(width) * targetHeight * 2 + targetWidth) / (2LL * targetWidth));
        region.height = std::clamp(region.height, 1, height);
        region.y = (height - region.height) / 2;
    }
    return region;
}

// The highlighted frame's colour: a warm yellow that stands out on photos of any colour.
constexpr std::uint8_t kFrame[4] = {255, 204, 64, 255};

}  // namespace

Picture fillTo(const Picture& picture, int width, int height) {
    Picture result;
    if (width <= 0 || height <= 0) return result;
    result.width = width;
    result.height = height;
    const size_t targetPixels = static_cast<size_t>(width) * height;
    result.rgba.assign(targetPixels * 4, 0);
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.rgba.size() != static_cast<size_t>(picture.width) * picture.height * 4) {
        return result;
    }
    const Region region = centredCrop(picture.width, picture.height, width, height);
    // The host's scaler averages every source pixel under a target pixel (no aliasing), weights
    // colour by alpha so transparent pixels do not bleed, and copies a same-size picture as it is.
    // When it cannot (a side beyond the host's limit, no memory) the result stays transparent.
    const std::uint8_t* source =
        &picture.rgba[(static_cast<size_t>(region.y) * picture.width + region.x) * 4];
    merrowhost::scalePixels(source, region.width, region.height, picture.width * 4,
                            result.rgba.data(), width, height, width * 4);
    return result;
}

Picture highlighted(const Picture& thumbnail) {
    Picture result = thumbnail;
    const int w = thumbnail.width;
    const int h = thumbnail.height;
    if (w <= 0 || h <= 0 || thumbnail.rgba.size() != static_cast<size_t>(w) * h * 4) {
        return result;
    }
    // A frame about a twentieth of the shorter side, at least two pixels.
    const int frame = std::max(2, std::min(w, h) / 20);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            std::uint8_t* pixel = &result.rgba[(static_cast<size_t>(y) * w + x) * 4];
            const bool edge = x < frame || y < frame || x >= w - frame || y >= h - frame;
            if (edge) {
                std::memcpy(pixel, kFrame, 4);
                continue;
            }
            // Inside, brightened by a third of the way to white.
            for (int c = 0; c < 3; ++c) {
                pixel[c] = static_cast<std::uint8_t>(pixel[c] + (255 - pixel[c]) / 3);
            }
        }
    }
    return result;
}

}  // namespace merrowcli::import
