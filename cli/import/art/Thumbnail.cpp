#include "cli/import/art/Thumbnail.h"

extern "C" {
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstring>
#include <memory>

namespace merrowcli::import {

namespace {

struct ScalerDeleter {
    void operator()(SwsContext* context) const { sws_freeContext(context); }
};

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

    // Each channel is scaled as its own grey plane, so that no colour conversion touches the
    // values; colour is weighted by alpha so transparent pixels do not bleed into the rest.
    const size_t sourcePixels = static_cast<size_t>(region.width) * region.height;
    std::vector<std::uint8_t> planes(sourcePixels * 4);
    for (int y = 0; y < region.height; ++y) {
        const std::uint8_t* row =
            &picture.rgba[((static_cast<size_t>(region.y) + y) * picture.width + region.x) * 4];
        for (int x = 0; x < region.width; ++x) {
            const std::uint8_t* pixel = row + static_cast<size_t>(x) * 4;
            const unsigned alpha = pixel[3];
            const size_t at = static_cast<size_t>(y) * region.width + x;
            for (int c = 0; c < 3; ++c) {
                planes[c * sourcePixels + at] =
                    static_cast<std::uint8_t>((pixel[c] * alpha + 127) / 255);
            }
            planes[3 * sourcePixels + at] = pixel[3];
        }
    }

    std::unique_ptr<SwsContext, ScalerDeleter> scaler(sws_getContext(
        region.width, region.height, AV_PIX_FMT_GRAY8, width, height, AV_PIX_FMT_GRAY8,
        SWS_AREA | SWS_ACCURATE_RND | SWS_BITEXACT, nullptr, nullptr, nullptr));
    if (!scaler) return result;
    // Grey planes stay in full range on both sides: no range conversion.
    const int* table = sws_getCoefficients(SWS_CS_DEFAULT);
    sws_setColorspaceDetails(scaler.get(), table, 1, table, 1, 0, 1 << 16, 1 << 16);
    std::vector<std::uint8_t> scaled(targetPixels * 4);
    for (int c = 0; c < 4; ++c) {
        const std::uint8_t* source[4] = {planes.data() + c * sourcePixels, nullptr, nullptr,
                                         nullptr};
        const int sourceStride[4] = {region.width, 0, 0, 0};
        std::uint8_t* target[4] = {scaled.data() + c * targetPixels, nullptr, nullptr, nullptr};
        const int targetStride[4] = {width, 0, 0, 0};
        sws_scale(scaler.get(), source, sourceStride, 0, region.height, target, targetStride);
    }
    for (size_t i = 0; i < targetPixels; ++i) {
        const unsigned alpha = scaled[3 * targetPixels + i];
        std::uint8_t* pixel = &result.rgba[i * 4];
        pixel[3] = static_cast<std::uint8_t>(alpha);
        if (alpha == 0) continue;
        for (int c = 0; c < 3; ++c) {
            const unsigned value = (scaled[c * targetPixels + i] * 255u + alpha / 2) / alpha;
            pixel[c] = static_cast<std::uint8_t>(std::min(value, 255u));
        }
    }
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
