// Thumbnails fill their size from the middle of the picture and average what they drop; the
// highlighted variant is framed and brighter, the same every time.

#include <gtest/gtest.h>

#include "cli/import/art/Thumbnail.h"
#include "samples/tools/MediaMaker.h"
#include "tests/cli/import/art/ArtTestSupport.h"

namespace {

using merrowcli::import::fillTo;
using merrowcli::import::highlighted;
using merrowcli::import::Picture;
using merrowtest::art::alphaAt;
using merrowtest::art::near;
using merrowtest::art::rgbAt;
using namespace merrowtest::media;

// A picture of three vertical bands (red | green | blue) of the given widths, full height.
Picture bands(int left, int middle, int right, int height) {
    Picture picture = makePicture(left + middle + right, height, {});
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            std::uint8_t* p = &picture.rgba[(static_cast<size_t>(y) * picture.width + x) * 4];
            const int band = x < left ? 0 : x < left + middle ? 1 : 2;
            p[0] = band == 0 ? 255 : 0;
            p[1] = band == 1 ? 255 : 0;
            p[2] = band == 2 ? 255 : 0;
        }
    }
    return picture;
}

TEST(Thumbnail, GivesExactlyTheRequestedSizeForAnyShape) {
    const Picture source = makePicture(640, 480, {Pattern::Kind::Scene, 0x80a0e0, 2});
    for (auto [w, h] : {std::pair{160, 90}, {90, 160}, {64, 64}, {1, 1}, {800, 700}, {641, 3}}) {
        const Picture thumb = fillTo(source, w, h);
        EXPECT_EQ(thumb.width, w);
        EXPECT_EQ(thumb.height, h);
        EXPECT_EQ(thumb.rgba.size(), size_t(w) * h * 4);
    }
    // Nothing to draw into, or nothing to draw.
    EXPECT_TRUE(fillTo(source, 0, 10).rgba.empty());
    const Picture fromEmpty = fillTo(Picture{}, 4, 2);
    ASSERT_EQ(fromEmpty.rgba.size(), 32u);
    EXPECT_EQ(alphaAt(fromEmpty, 0, 0), 0);
}

TEST(Thumbnail, AWidePictureKeepsItsMiddleColumns) {
    // 300 x 100 into a square: the middle 100 columns (green) are kept, the side bands dropped.
    const Picture thumb = fillTo(bands(100, 100, 100, 100), 50, 50);
    for (int x : {0, 25, 49}) {
        EXPECT_EQ(rgbAt(thumb, x, 25), 0x00ff00u) << x;
    }
    // 120 x 100 into a square: ten columns cut from each side, so ten of red and ten of blue
    // remain at the edges.
    const Picture edges = fillTo(bands(20, 80, 20, 100), 100, 100);
    EXPECT_TRUE(near(rgbAt(edges, 0, 50), 0xff0000, 2)) << std::hex << rgbAt(edges, 0, 50);
    EXPECT_TRUE(near(rgbAt(edges, 99, 50), 0x0000ff, 2)) << std::hex << rgbAt(edges, 99, 50);
    EXPECT_EQ(rgbAt(edges, 50, 50), 0x00ff00u);
}

TEST(Thumbnail, ATallPictureKeepsItsMiddleRows) {
    // Bands turned: 100 wide, rows red | green | blue from the top, 300 high.
    Picture tall = makePicture(100, 300, {});
    for (int y = 0; y < 300; ++y) {
        for (int x = 0; x < 100; ++x) {
            std::uint8_t* p = &tall.rgba[(static_cast<size_t>(y) * 100 + x) * 4];
            p[0] = y < 100 ? 255 : 0;
            p[1] = y >= 100 && y < 200 ? 255 : 0;
            p[2] = y >= 200 ? 255 : 0;
        }
    }
    const Picture thumb = fillTo(tall, 40, 20);  // keeps rows 125..174
    for (int y : {0, 10, 19}) {
        EXPECT_EQ(rgbAt(thumb, 20, y), 0x00ff00u) << y;
    }
}

TEST(Thumbnail, FineStripesBecomeEvenGreyNotAliasedBands) {
    // One-pixel black and white stripes shrunk by four and by a factor that is not whole: an
    // averaging filter gives mid-grey everywhere; point sampling would give black or white.
    const Picture stripes = makePicture(400, 100, {Pattern::Kind::Stripes, 0, 0});
    // With a ratio that is not whole, each target pixel covers three or four stripes, so it may
    // lean a little either way; still nowhere near black or white.
    for (auto [w, tolerance] : {std::pair{100, 8}, {130, 50}}) {
        const Picture thumb = fillTo(stripes, w, w / 4);
        int lowest = 255;
        int highest = 0;
        for (int y = 0; y < thumb.height; ++y) {
            for (int x = 0; x < thumb.width; ++x) {
                const int red = static_cast<int>(rgbAt(thumb, x, y) >> 16);
                lowest = std::min(lowest, red);
                highest = std::max(highest, red);
            }
        }
        SCOPED_TRACE(w);
        EXPECT_GE(lowest, 128 - tolerance);
        EXPECT_LE(highest, 128 + tolerance);
    }
}

TEST(Thumbnail, FlatColoursAndTransparencyArePreserved) {
    // A flat colour stays exactly that colour (no colour-space round trip).
    const Picture flat = fillTo(makePicture(333, 211, {Pattern::Kind::Solid, 0x3c7ab1, 0}), 77, 41);
    for (int y = 0; y < flat.height; y += 10) {
        for (int x = 0; x < flat.width; x += 10) ASSERT_EQ(rgbAt(flat, x, y), 0x3c7ab1u);
    }
    // Transparent pixels do not darken their opaque neighbours.
    Picture half = makePicture(200, 100, {Pattern::Kind::Solid, 0xffffff, 0});
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 100; ++x) {
            std::uint8_t* p = &half.rgba[(static_cast<size_t>(y) * 200 + x) * 4];
            p[0] = p[1] = p[2] = p[3] = 0;  // transparent black on the left
        }
    }
    const Picture thumb = fillTo(half, 50, 25);
    EXPECT_EQ(alphaAt(thumb, 0, 10), 0);
    EXPECT_EQ(alphaAt(thumb, 49, 10), 255);
    for (int x = 0; x < 50; ++x) {
        if (alphaAt(thumb, x, 10) > 0) {
            EXPECT_EQ(rgbAt(thumb, x, 10), 0xffffffu) << x;
        }
    }
}

TEST(Thumbnail, HighlightedIsFramedBrighterAndDeterministic) {
    const Picture thumb =
        fillTo(makePicture(640, 480, {Pattern::Kind::Scene, 0x4070b0, 5}), 160, 90);
    const Picture focused = highlighted(thumb);
    ASSERT_EQ(focused.width, 160);
    ASSERT_EQ(focused.height, 90);
    // The edge pixels are one frame colour, all around.
    const std::uint32_t frame = rgbAt(focused, 0, 0);
    for (auto [x, y] : {std::pair{159, 0}, {0, 89}, {159, 89}, {80, 0}, {0, 45}, {80, 89}}) {
        EXPECT_EQ(rgbAt(focused, x, y), frame);
        EXPECT_EQ(alphaAt(focused, x, y), 255);
    }
    // Inside, every pixel is at least as bright and the whole is clearly brighter.
    long before = 0;
    long after = 0;
    for (int y = 10; y < 80; ++y) {
        for (int x = 10; x < 150; ++x) {
            for (int c = 0; c < 3; ++c) {
                const int a = thumb.rgba[(static_cast<size_t>(y) * 160 + x) * 4 + c];
                const int b = focused.rgba[(static_cast<size_t>(y) * 160 + x) * 4 + c];
                ASSERT_GE(b, a);
                before += a;
                after += b;
            }
        }
    }
    EXPECT_GT(after, before + before / 10);
    EXPECT_EQ(highlighted(thumb).rgba, focused.rgba);
    EXPECT_NE(focused.rgba, thumb.rgba);
}

}  // namespace
