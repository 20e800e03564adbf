#include "host/pictures/PictureScaler.h"

#include <pixman.h>

#include <bit>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "host/pictures/DibImage.h"
#include "host/pictures/DvdBuf.h"
#include "host/pictures/ImageLimits.h"

namespace merrowhost {

namespace {

// Sub-pixel phases of the filter along each axis, as a power of two: 16 positions between two
// source pixels are plenty for 8-bit output.
constexpr int kSubsampleBits = 4;

struct ImageDeleter {
    void operator()(pixman_image_t* image) const { pixman_image_unref(image); }
};
using ImageHolder = std::unique_ptr<pixman_image_t, ImageDeleter>;

struct FilterDeleter {
    void operator()(pixman_fixed_t* params) const { free(params); }
};
using FilterHolder = std::unique_ptr<pixman_fixed_t, FilterDeleter>;

uint32_t premultiplied(const uint8_t* p) {
    const uint32_t a = p[3];
    auto scale = [a](uint32_t c) { return (c * a + 127) / 255; };
    // pixman's a8r8g8b8 is a native 32-bit word: alpha on top, byte 0 lowest.
    return a << 24 | scale(p[2]) << 16 | scale(p[1]) << 8 | scale(p[0]);
}

void straight(uint32_t pixel, uint8_t* p) {
    const uint32_t a = pixel >> 24;
    auto unscale = [a](uint32_t c) -> uint8_t {
        if (a == 0) return 0;
        const uint32_t v = (c * 255 + a / 2) / a;
        return static_cast<uint8_t>(v > 255 ? 255 : v);
    };
    p[0] = unscale(pixel & 0xff);
    p[1] = unscale(pixel >> 8 & 0xff);
    p[2] = unscale(pixel >> 16 & 0xff);
    p[3] = static_cast<uint8_t>(a);
}

// Source pixels per target pixel in 16.16 fixed point, rounded.
pixman_fixed_t ratio(int source, int target) {
    return static_cast<pixman_fixed_t>(((static_cast<int64_t>(source) << 16) + target / 2) /
                                       target);
}

// The filter along one axis. Reductions: each source pixel is a box and each target pixel
// averages the boxes it covers. Enlargements: linear interpolation between source pixel
// centres. An axis that keeps its size takes exactly one source pixel.
struct AxisFilter {
    pixman_fixed_t scale;
    pixman_kernel_t reconstruct;
    pixman_kernel_t sample;
    int subsampleBits;
};

AxisFilter axisFilter(int source, int target) {
    if (source == target) return {pixman_fixed_1, PIXMAN_KERNEL_BOX, PIXMAN_KERNEL_IMPULSE, 0};
    if (target < source) {
        return {ratio(source, target), PIXMAN_KERNEL_BOX, PIXMAN_KERNEL_BOX, kSubsampleBits};
    }
    return {ratio(source, target), PIXMAN_KERNEL_LINEAR, PIXMAN_KERNEL_IMPULSE, kSubsampleBits};
}

// One filtering pass over premultiplied pixels. Only one axis changes size per pass: pixman
// weighs each tap by the product of both axes' weights, rounded, and over a wide 2-D footprint
// those roundings add up to visible errors; with a single tap across the other axis every
// weight stays exact and a flat colour comes out unchanged.
bool scaleOneAxis(std::vector<uint32_t>& from, int fromWidth, int fromHeight,
                  std::vector<uint32_t>& to, int toWidth, int toHeight) {
    ImageHolder source(pixman_image_create_bits(PIXMAN_a8r8g8b8, fromWidth, fromHeight, from.data(),
                                                fromWidth * 4));
    ImageHolder target(
        pixman_image_create_bits(PIXMAN_a8r8g8b8, toWidth, toHeight, to.data(), toWidth * 4));
    if (source == nullptr || target == nullptr) return false;

    const AxisFilter x = axisFilter(fromWidth, toWidth);
    const AxisFilter y = axisFilter(fromHeight, toHeight);
    pixman_transform_t transform;
    pixman_transform_init_scale(&transform, x.scale, y.scale);
    int paramCount = 0;
    FilterHolder params(pixman_filter_create_separable_convolution(
        &paramCount, x.scale, y.scale, x.reconstruct, y.reconstruct, x.sample, y.sample,
        x.subsampleBits, y.subsampleBits));
    if (params == nullptr) return false;
    // Beyond the edges the border pixels repeat, so the picture does not fade out at its sides.
    if (!pixman_image_set_transform(source.get(), &transform) ||
        !pixman_image_set_filter(source.get(), PIXMAN_FILTER_SEPARABLE_CONVOLUTION, params.get(),
                                 paramCount)) {
        return false;
    }
    pixman_image_set_repeat(source.get(), PIXMAN_REPEAT_PAD);
    pixman_image_composite32(PIXMAN_OP_SRC, source.get(), nullptr, target.get(), 0, 0, 0, 0, 0, 0,
                             toWidth, toHeight);
    return true;
}

bool sizeUsable(int width, int height, int stride) {
    return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
           stride / 4 >= width;
}

std::vector<uint32_t> pixelsFor(int width, int height) {
    return std::vector<uint32_t>(static_cast<size_t>(width) * static_cast<size_t>(height));
}

// Both axes at least half their size: a bilinear filter (two taps along each axis, one pass)
// already covers every source pixel, and pixman runs it with SIMD.
bool withinHalf(int source, int target) {
    return 2 * static_cast<int64_t>(target) >= source;
}

// from and to: native a8r8g8b8 words, rows the given bytes apart (a multiple of 4). pixman
// only reads from a source image.
bool scaleBilinear(const uint32_t* from, int fromWidth, int fromHeight, int fromStride,
                   uint32_t* to, int toWidth, int toHeight, int toStride) {
    ImageHolder source(pixman_image_create_bits(PIXMAN_a8r8g8b8, fromWidth, fromHeight,
                                                const_cast<uint32_t*>(from), fromStride));
    ImageHolder target(pixman_image_create_bits(PIXMAN_a8r8g8b8, toWidth, toHeight, to, toStride));
    if (source == nullptr || target == nullptr) return false;
    pixman_transform_t transform;
    pixman_transform_init_scale(&transform, ratio(fromWidth, toWidth), ratio(fromHeight, toHeight));
    if (!pixman_image_set_transform(source.get(), &transform) ||
        !pixman_image_set_filter(source.get(), PIXMAN_FILTER_BILINEAR, nullptr, 0)) {
        return false;
    }
    pixman_image_set_repeat(source.get(), PIXMAN_REPEAT_PAD);
    pixman_image_composite32(PIXMAN_OP_SRC, source.get(), nullptr, target.get(), 0, 0, 0, 0, 0, 0,
                             toWidth, toHeight);
    return true;
}

// True when every pixel's alpha is 255: premultiplying and its reverse then change nothing, and
// the pixels can be copied in and out as they are.
bool opaque(const uint8_t* src, int width, int height, int stride) {
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = src + static_cast<size_t>(y) * static_cast<size_t>(stride);
        for (int x = 0; x < width; ++x) {
            if (row[4 * x + 3] != 255) return false;
        }
    }
    return true;
}

// Copies of whole pixels as native words, for opaque pictures (little-endian only: there the
// bytes B, G, R, A are the word pixman's a8r8g8b8 reads).
constexpr bool kBytesAreWords = std::endian::native == std::endian::little;

// Buffers pixman can take as they are: word-aligned, with rows a whole number of words apart.
bool wordAligned(const uint8_t* pixels, int stride) {
    return reinterpret_cast<uintptr_t>(pixels) % alignof(uint32_t) == 0 && stride % 4 == 0;
}

bool scaleWithPixman(const uint8_t* src, int srcWidth, int srcHeight, int srcStride, uint8_t* dst,
                     int dstWidth, int dstHeight, int dstStride) {
    const bool copyAsIs = kBytesAreWords && opaque(src, srcWidth, srcHeight, srcStride);
    const bool bilinear = withinHalf(srcWidth, dstWidth) && withinHalf(srcHeight, dstHeight);
    if (copyAsIs && bilinear && wordAligned(src, srcStride) && wordAligned(dst, dstStride)) {
        return scaleBilinear(reinterpret_cast<const uint32_t*>(src), srcWidth, srcHeight, srcStride,
                             reinterpret_cast<uint32_t*>(dst), dstWidth, dstHeight, dstStride);
    }
    std::vector<uint32_t> pixels = pixelsFor(srcWidth, srcHeight);
    for (int y = 0; y < srcHeight; ++y) {
        const uint8_t* row = src + static_cast<size_t>(y) * static_cast<size_t>(srcStride);
        uint32_t* out = pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(srcWidth);
        if (copyAsIs) {
            std::memcpy(out, row, 4 * static_cast<size_t>(srcWidth));
        } else {
            for (int x = 0; x < srcWidth; ++x) out[x] = premultiplied(row + 4 * x);
        }
    }
    if (bilinear) {
        std::vector<uint32_t> scaled = pixelsFor(dstWidth, dstHeight);
        if (!scaleBilinear(pixels.data(), srcWidth, srcHeight, 4 * srcWidth, scaled.data(),
                           dstWidth, dstHeight, 4 * dstWidth)) {
            return false;
        }
        pixels.swap(scaled);
    } else {
        if (dstWidth != srcWidth) {
            std::vector<uint32_t> across = pixelsFor(dstWidth, srcHeight);
            if (!scaleOneAxis(pixels, srcWidth, srcHeight, across, dstWidth, srcHeight)) {
                return false;
            }
            pixels.swap(across);
        }
        if (dstHeight != srcHeight) {
            std::vector<uint32_t> down = pixelsFor(dstWidth, dstHeight);
            if (!scaleOneAxis(pixels, dstWidth, srcHeight, down, dstWidth, dstHeight)) return false;
            pixels.swap(down);
        }
    }
    for (int y = 0; y < dstHeight; ++y) {
        uint8_t* row = dst + static_cast<size_t>(y) * static_cast<size_t>(dstStride);
        const uint32_t* in = pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(dstWidth);
        if (copyAsIs) {
            std::memcpy(row, in, 4 * static_cast<size_t>(dstWidth));
        } else {
            for (int x = 0; x < dstWidth; ++x) straight(in[x], row + 4 * x);
        }
    }
    return true;
}

}  // namespace

bool scalePixels(const uint8_t* src, int srcWidth, int srcHeight, int srcStride, uint8_t* dst,
                 int dstWidth, int dstHeight, int dstStride) {
    if (src == nullptr || dst == nullptr || !sizeUsable(srcWidth, srcHeight, srcStride) ||
        !sizeUsable(dstWidth, dstHeight, dstStride)) {
        return false;
    }
    if (srcWidth == dstWidth && srcHeight == dstHeight) {
        for (int y = 0; y < srcHeight; ++y) {
            std::memmove(dst + static_cast<size_t>(y) * static_cast<size_t>(dstStride),
                         src + static_cast<size_t>(y) * static_cast<size_t>(srcStride),
                         4 * static_cast<size_t>(srcWidth));
        }
        return true;
    }
    try {
        return scaleWithPixman(src, srcWidth, srcHeight, srcStride, dst, dstWidth, dstHeight,
                               dstStride);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool scalePictureToDibs(const uint8_t* colour, const uint8_t* alpha, int width, int height,
                        BITMAPINFOHEADER* image, BITMAPINFOHEADER* mask) {
    if (colour == nullptr || image == nullptr || width <= 0 || height <= 0) return false;
    const int targetWidth = image->biWidth;
    const int targetHeight = image->biHeight < 0 ? -image->biHeight : image->biHeight;
    if (targetWidth <= 0 || targetHeight <= 0 || width > kMaxImageSide ||
        targetWidth > kMaxImageSide) {
        return false;
    }
    const size_t colourStride = static_cast<size_t>(CDVDBuf::Stride(24, width));
    const size_t alphaStride = static_cast<size_t>(CDVDBuf::Stride(8, width));
    try {
        // Both buffers are filled entirely before they are read.
        const std::unique_ptr<uint8_t[]> source(
            new uint8_t[4 * static_cast<size_t>(width) * static_cast<size_t>(height)]);
        for (int y = 0; y < height; ++y) {
            const uint8_t* in = colour + static_cast<size_t>(y) * colourStride;
            const uint8_t* inAlpha =
                alpha != nullptr ? alpha + static_cast<size_t>(y) * alphaStride : nullptr;
            uint8_t* out = source.get() + 4 * static_cast<size_t>(y) * static_cast<size_t>(width);
            for (int x = 0; x < width; ++x) {
                std::memcpy(out + 4 * x, in + 3 * x, 3);
                out[4 * x + 3] = inAlpha != nullptr ? inAlpha[x] : 255;
            }
        }
        const std::unique_ptr<uint8_t[]> target(
            new uint8_t[4 * static_cast<size_t>(targetWidth) * static_cast<size_t>(targetHeight)]);
        if (!scalePixels(source.get(), width, height, 4 * width, target.get(), targetWidth,
                         targetHeight, 4 * targetWidth)) {
            return false;
        }
        for (int y = 0; y < targetHeight; ++y) {
            const uint8_t* in =
                target.get() + 4 * static_cast<size_t>(y) * static_cast<size_t>(targetWidth);
            std::memcpy(dibRowFromTop(image, y), in, 4 * static_cast<size_t>(targetWidth));
            if (mask != nullptr) {
                uint8_t* outAlpha = dibRowFromTop(mask, y);
                for (int x = 0; x < targetWidth; ++x) outAlpha[x] = in[4 * x + 3];
            }
        }
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace merrowhost
