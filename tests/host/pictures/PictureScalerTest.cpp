// The picture scaler on plain 4-byte pixel buffers: reductions average instead of aliasing,
// flat colours and same-size copies stay exact, alpha does not darken edges, and the result
// is the same on every run.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "host/pictures/PictureScaler.h"

namespace {

using Pixels = std::vector<uint8_t>;

Pixels filled(int width, int height, uint8_t b, uint8_t g, uint8_t r, uint8_t a) {
    Pixels p;
    p.reserve(4 * static_cast<size_t>(width) * height);
    for (int i = 0; i < width * height; ++i) p.insert(p.end(), {b, g, r, a});
    return p;
}

Pixels scaled(const Pixels& src, int srcWidth, int srcHeight, int dstWidth, int dstHeight) {
    Pixels dst(4 * static_cast<size_t>(dstWidth) * dstHeight, 0xAB);
    EXPECT_TRUE(merrowhost::scalePixels(src.data(), srcWidth, srcHeight, 4 * srcWidth, dst.data(),
                                        dstWidth, dstHeight, 4 * dstWidth));
    return dst;
}

// One-pixel black and white stripes, across (vertical lines) or down (horizontal lines).
Pixels stripes(int width, int height, bool vertical) {
    Pixels p;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint8_t v = ((vertical ? x : y) % 2) != 0 ? 255 : 0;
            p.insert(p.end(), {v, v, v, 255});
        }
    }
    return p;
}

TEST(PictureScaler, FineStripesReduceToEvenGrey) {
    // At exactly 1/12 a two-tap filter happens to sample midway between a black and a white
    // stripe and looks grey too, so uneven reductions are checked as well: there it showed
    // full-contrast stripes. A box filter of non-integer width leaves at most part of one
    // stripe unbalanced per target pixel, hence the wider margin for the uneven sizes.
    struct Case {
        int width;
        int height;
        int margin;
    };
    for (const Case size : {Case{320, 180, 4}, Case{321, 181, 4}, Case{333, 187, 8}}) {
        for (const bool vertical : {true, false}) {
            const Pixels out =
                scaled(stripes(3840, 2160, vertical), 3840, 2160, size.width, size.height);
            int lowest = 255;
            int highest = 0;
            for (size_t i = 0; i < out.size(); i += 4) {
                for (int c = 0; c < 3; ++c) {
                    lowest = std::min<int>(lowest, out[i + c]);
                    highest = std::max<int>(highest, out[i + c]);
                }
                ASSERT_EQ(out[i + 3], 255) << i / 4;
            }
            // The mean of the stripes is 127.5.
            EXPECT_GE(lowest, 128 - size.margin) << size.width << " vertical " << vertical;
            EXPECT_LE(highest, 127 + size.margin) << size.width << " vertical " << vertical;
        }
    }
}

TEST(PictureScaler, HalvingAveragesEachPairOfStripes) {
    // Down to half or more, two taps along each axis already cover every source pixel.
    for (const bool vertical : {true, false}) {
        const Pixels out = scaled(stripes(640, 360, vertical), 640, 360, 320, 180);
        const auto [lowest, highest] = std::minmax_element(out.begin(), out.end());
        EXPECT_GE(*lowest, 127) << "vertical " << vertical;
        EXPECT_LE(*highest, 255) << "vertical " << vertical;
        for (size_t i = 0; i < out.size(); i += 4) {
            ASSERT_LE(out[i], 128) << i / 4 << " vertical " << vertical;
            ASSERT_EQ(out[i + 3], 255) << i / 4;
        }
    }
}

TEST(PictureScaler, OpaquePicturesComeOutAsThroughTheAlphaPath) {
    // An opaque picture skips premultiplying, which changes nothing at alpha 255: the same
    // picture with one corner pixel at alpha 254 goes the long way and must agree everywhere
    // that corner does not reach.
    Pixels opaque;
    unsigned seed = 777;
    for (int i = 0; i < 211 * 137; ++i) {
        for (int c = 0; c < 3; ++c) {
            seed = seed * 1103515245u + 12345u;
            opaque.push_back(static_cast<uint8_t>(seed >> 16));
        }
        opaque.push_back(255);
    }
    Pixels corner = opaque;
    corner[3] = 254;
    for (const auto& size : {std::pair{150, 100}, std::pair{50, 33}, std::pair{300, 200}}) {
        const auto [width, height] = size;
        const Pixels fast = scaled(opaque, 211, 137, width, height);
        const Pixels slow = scaled(corner, 211, 137, width, height);
        int compared = 0;
        for (int y = height / 4; y < height; ++y) {
            for (int x = width / 4; x < width; ++x) {
                const size_t at = 4 * (static_cast<size_t>(y) * width + x);
                for (int c = 0; c < 4; ++c) ASSERT_EQ(fast[at + c], slow[at + c]) << width;
                ++compared;
            }
        }
        EXPECT_GT(compared, width * height / 2) << width;
    }
}

TEST(PictureScaler, FlatColourStaysExactAtAnySize) {
    const Pixels src = filled(97, 61, 12, 200, 77, 255);
    const int sizes[][2] = {{1, 1}, {13, 7}, {96, 61}, {97, 200}, {300, 5}, {640, 480}};
    for (const auto& size : sizes) {
        EXPECT_EQ(scaled(src, 97, 61, size[0], size[1]), filled(size[0], size[1], 12, 200, 77, 255))
            << size[0] << "x" << size[1];
    }
    // Half-transparent flat colour keeps its alpha exactly; its colour passes through
    // premultiplied 8-bit values, which costs at most a level or two at alpha 128.
    const Pixels glass = scaled(filled(40, 30, 10, 100, 250, 128), 40, 30, 7, 9);
    const uint8_t expected[4] = {10, 100, 250, 128};
    for (size_t i = 0; i < glass.size(); ++i) {
        if (i % 4 == 3) {
            ASSERT_EQ(glass[i], 128) << i;
        } else {
            ASSERT_LE(std::abs(glass[i] - expected[i % 4]), 2) << i;
        }
    }
}

TEST(PictureScaler, SameSizeIsAnExactCopyHonouringStrides) {
    const int width = 5;
    const int height = 3;
    const int srcStride = 4 * width + 8;
    const int dstStride = 4 * width + 4;
    Pixels src(static_cast<size_t>(srcStride) * height);
    for (size_t i = 0; i < src.size(); ++i) src[i] = static_cast<uint8_t>(i * 37 + 5);
    Pixels dst(static_cast<size_t>(dstStride) * height, 0xEE);
    ASSERT_TRUE(merrowhost::scalePixels(src.data(), width, height, srcStride, dst.data(), width,
                                        height, dstStride));
    for (int y = 0; y < height; ++y) {
        for (int i = 0; i < 4 * width; ++i) {
            EXPECT_EQ(dst[y * dstStride + i], src[y * srcStride + i]) << y << "," << i;
        }
        for (int i = 4 * width; i < dstStride; ++i) {
            EXPECT_EQ(dst[y * dstStride + i], 0xEE) << "padding touched in row " << y;
        }
    }
}

TEST(PictureScaler, SameBytesEveryRun) {
    Pixels src;
    unsigned seed = 12345;
    for (int i = 0; i < 4 * 211 * 137; ++i) {
        seed = seed * 1103515245u + 12345u;
        src.push_back(static_cast<uint8_t>(seed >> 16));
    }
    for (const auto& size : {std::pair{50, 33}, std::pair{500, 300}, std::pair{600, 20}}) {
        const Pixels first = scaled(src, 211, 137, size.first, size.second);
        EXPECT_EQ(scaled(src, 211, 137, size.first, size.second), first) << size.first;
    }
}

TEST(PictureScaler, TransparentBorderDoesNotDarkenTheEdge) {
    // A white opaque square inside a fully transparent black border, reduced and enlarged:
    // wherever anything is visible it is pure white, and the alpha falls off at the edge.
    const int side = 64;
    Pixels src = filled(side, side, 0, 0, 0, 0);
    for (int y = 16; y < 48; ++y) {
        for (int x = 16; x < 48; ++x) {
            uint8_t* p = &src[4 * (static_cast<size_t>(y) * side + x)];
            p[0] = p[1] = p[2] = p[3] = 255;
        }
    }
    for (const int target : {10, 23, 150}) {
        const Pixels out = scaled(src, side, side, target, target);
        bool partial = false;
        for (size_t i = 0; i < out.size(); i += 4) {
            if (out[i + 3] == 0) continue;
            partial = partial || out[i + 3] < 255;
            for (int c = 0; c < 3; ++c) ASSERT_GE(out[i + c], 254) << target << ": " << i / 4;
        }
        EXPECT_TRUE(partial) << target;
        // The centre is opaque and the corner transparent.
        const size_t centre = 4 * (static_cast<size_t>(target / 2) * target + target / 2);
        EXPECT_EQ(out[centre + 3], 255) << target;
        EXPECT_EQ(out[3], 0) << target;
    }
}

TEST(PictureScaler, EnlargingInterpolatesAndKeepsTheEdges) {
    // Black then white, stretched to 8: the ends keep their colours, the middle rises steadily.
    const Pixels src = {0, 0, 0, 255, 255, 255, 255, 255};
    const Pixels out = scaled(src, 2, 1, 8, 1);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[4 * 7], 255);
    for (int x = 1; x < 8; ++x) EXPECT_GE(out[4 * x], out[4 * (x - 1)]) << x;
    EXPECT_GT(out[4 * 3], 40);
    EXPECT_LT(out[4 * 4], 215);
}

TEST(PictureScaler, ChannelsKeepTheirOrder) {
    // Each colour byte is filtered alike, so a picture in either channel order scales to the
    // same bytes in that order.
    const Pixels bgra = filled(9, 9, 10, 20, 30, 255);
    const Pixels out = scaled(bgra, 9, 9, 4, 4);
    EXPECT_EQ(out[0], 10);
    EXPECT_EQ(out[1], 20);
    EXPECT_EQ(out[2], 30);
}

TEST(PictureScaler, RefusesUnusableArguments) {
    Pixels src = filled(4, 4, 1, 2, 3, 255);
    Pixels dst(4 * 2 * 2, 0x5A);
    const Pixels untouched = dst;
    EXPECT_FALSE(merrowhost::scalePixels(nullptr, 4, 4, 16, dst.data(), 2, 2, 8));
    EXPECT_FALSE(merrowhost::scalePixels(src.data(), 4, 4, 16, nullptr, 2, 2, 8));
    EXPECT_FALSE(merrowhost::scalePixels(src.data(), 0, 4, 16, dst.data(), 2, 2, 8));
    EXPECT_FALSE(merrowhost::scalePixels(src.data(), 4, 4, 16, dst.data(), 2, -1, 8));
    EXPECT_FALSE(merrowhost::scalePixels(src.data(), 4, 4, 15, dst.data(), 2, 2, 8));
    EXPECT_FALSE(merrowhost::scalePixels(src.data(), 4, 4, 16, dst.data(), 2, 2, 7));
    EXPECT_FALSE(merrowhost::scalePixels(src.data(), 4, 4, 16, dst.data(), 20000, 1, 80000));
    EXPECT_EQ(dst, untouched);
}

}  // namespace
