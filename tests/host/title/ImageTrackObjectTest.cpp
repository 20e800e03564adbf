// The image track: what it keeps, and its pictures as R, G, B, A bytes.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "host/pictures/DibImage.h"
#include "host/title/ImageTrackObject.h"

namespace {

using Bytes = std::vector<uint8_t>;

uint8_t* copyBlock(const Bytes& bytes) {
    auto* block = new uint8_t[bytes.size()];
    std::memcpy(block, bytes.data(), bytes.size());
    return block;
}

// 3 x 2 pixels: 24-bit rows of 9 bytes padded to 12, alpha rows of 3 padded to 4. The padding
// bytes are 0xEE so that reading them shows.
const Bytes kColour3x2 = {1,  2,  3,  4,  5,  6,  7,  8,  9,  0xEE, 0xEE, 0xEE,
                          10, 11, 12, 13, 14, 15, 16, 17, 18, 0xEE, 0xEE, 0xEE};
const Bytes kAlpha3x2 = {100, 101, 102, 0xEE, 110, 111, 112, 0xEE};

// A 32-bit bitmap of 3 x 2 whose pixel at (x, y) from the top is B = 10y + x, G = 50, R = 60,
// A = 7, written at the offsets its row order gives.
BITMAPINFOHEADER* bitmap3x2(bool bottomUp) {
    BITMAPINFOHEADER* dib = merrowhost::makeDib32(3, 2);
    if (!bottomUp) dib->biHeight = -2;
    uint8_t* pixels = reinterpret_cast<uint8_t*>(dib) + sizeof(BITMAPINFOHEADER);
    for (int y = 0; y < 2; ++y) {
        const int stored = bottomUp ? 1 - y : y;
        for (int x = 0; x < 3; ++x) {
            uint8_t* pixel = pixels + stored * 12 + x * 4;
            pixel[0] = static_cast<uint8_t>(10 * y + x);
            pixel[1] = 50;
            pixel[2] = 60;
            pixel[3] = 7;
        }
    }
    return dib;
}

// An 8-bit mask, bottom-up, value 200 + 10y + x at (x, y) from the top.
BITMAPINFOHEADER* mask(int width, int height) {
    BITMAPINFOHEADER* dib = merrowhost::makeMaskDib8(width, height);
    const int stride = (width + 3) / 4 * 4;
    uint8_t* pixels = reinterpret_cast<uint8_t*>(dib) + sizeof(BITMAPINFOHEADER) + 256 * 4;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels[(height - 1 - y) * stride + x] = static_cast<uint8_t>(200 + 10 * y + x);
        }
    }
    return dib;
}

Bytes pixelAt(const Bytes& rgba, int width, int x, int y) {
    const auto at = rgba.begin() + (static_cast<ptrdiff_t>(y) * width + x) * 4;
    return Bytes(at, at + 4);
}

}  // namespace

TEST(ImageTrackObject, BufferPictureUsesAlphaPlaneAndSkipsRowPadding) {
    merrowhost::ImageTrackObject track;
    ASSERT_TRUE(track.zfSetImageData(0, copyBlock(kColour3x2), copyBlock(kAlpha3x2), 0, nullptr));
    track.zfSetSize(3, 2, 0, nullptr);
    const Bytes expected = {3,  2,  1,  100, 6,  5,  4,  101, 9,  8,  7,  102,
                            12, 11, 10, 110, 15, 14, 13, 111, 18, 17, 16, 112};
    EXPECT_EQ(track.rgba(), expected);
    EXPECT_EQ(track.mode(), 0);
}

TEST(ImageTrackObject, BufferPictureWithoutAlphaIsOpaque) {
    merrowhost::ImageTrackObject track;
    ASSERT_TRUE(track.zfSetImageData(0, copyBlock(kColour3x2), nullptr, 0, nullptr));
    track.zfSetSize(3, 2, 0, nullptr);
    const Bytes rgba = track.rgba();
    ASSERT_EQ(rgba.size(), 24u);
    EXPECT_EQ(pixelAt(rgba, 3, 0, 0), (Bytes{3, 2, 1, 255}));
    EXPECT_EQ(pixelAt(rgba, 3, 2, 1), (Bytes{18, 17, 16, 255}));
}

TEST(ImageTrackObject, BottomUpBitmapComesOutTopRowFirst) {
    merrowhost::ImageTrackObject track;
    ASSERT_TRUE(track.zfSetImageData(1, bitmap3x2(true), mask(3, 2), 0, nullptr));
    track.zfSetSize(3, 2, 0, nullptr);
    const Bytes rgba = track.rgba();
    ASSERT_EQ(rgba.size(), 24u);
    EXPECT_EQ(pixelAt(rgba, 3, 0, 0), (Bytes{60, 50, 0, 200}));
    EXPECT_EQ(pixelAt(rgba, 3, 2, 0), (Bytes{60, 50, 2, 202}));
    EXPECT_EQ(pixelAt(rgba, 3, 0, 1), (Bytes{60, 50, 10, 210}));
    EXPECT_EQ(pixelAt(rgba, 3, 2, 1), (Bytes{60, 50, 12, 212}));
}

TEST(ImageTrackObject, BitmapWithoutMaskIsOpaqueAndTopDownRowsAreRead) {
    merrowhost::ImageTrackObject track;
    ASSERT_TRUE(track.zfSetImageData(1, bitmap3x2(false), nullptr, 0, nullptr));
    track.zfSetSize(3, 2, 0, nullptr);
    const Bytes rgba = track.rgba();
    ASSERT_EQ(rgba.size(), 24u);
    EXPECT_EQ(pixelAt(rgba, 3, 1, 0), (Bytes{60, 50, 1, 255}));
    EXPECT_EQ(pixelAt(rgba, 3, 1, 1), (Bytes{60, 50, 11, 255}));
}

TEST(ImageTrackObject, SizeBeyondTheBitmapsReadsOnlyWhatTheyHold) {
    // A 3 x 2 picture with a 2 x 1 mask shown at 5 x 4: uncovered pixels are empty and pixels
    // outside the mask transparent. The sanitizer build checks that nothing outside is read.
    merrowhost::ImageTrackObject track;
    ASSERT_TRUE(track.zfSetImageData(1, bitmap3x2(true), mask(2, 1), 0, nullptr));
    track.zfSetSize(5, 4, 0, nullptr);
    const Bytes rgba = track.rgba();
    ASSERT_EQ(rgba.size(), 5u * 4u * 4u);
    EXPECT_EQ(pixelAt(rgba, 5, 1, 0), (Bytes{60, 50, 1, 201}));
    EXPECT_EQ(pixelAt(rgba, 5, 2, 0), (Bytes{60, 50, 2, 0}));
    EXPECT_EQ(pixelAt(rgba, 5, 0, 1), (Bytes{60, 50, 10, 0}));
    EXPECT_EQ(pixelAt(rgba, 5, 3, 0), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(pixelAt(rgba, 5, 0, 2), (Bytes{0, 0, 0, 0}));

    // A smaller size crops.
    track.zfSetSize(2, 1, 0, nullptr);
    EXPECT_EQ(track.rgba(), (Bytes{60, 50, 0, 200, 60, 50, 1, 201}));
}

TEST(ImageTrackObject, UnreadablePicturesGiveNothing) {
    merrowhost::ImageTrackObject track;
    EXPECT_TRUE(track.rgba().empty());  // no image data

    // An 8-bit bitmap is no colour picture.
    ASSERT_TRUE(track.zfSetImageData(1, merrowhost::makeMaskDib8(2, 2), nullptr, 0, nullptr));
    track.zfSetSize(2, 2, 0, nullptr);
    EXPECT_TRUE(track.rgba().empty());

    ASSERT_TRUE(track.zfSetImageData(0, copyBlock(kColour3x2), nullptr, 0, nullptr));
    track.zfSetSize(0, 2, 0, nullptr);
    EXPECT_TRUE(track.rgba().empty());
    track.zfSetSize(-3, 2, 0, nullptr);
    EXPECT_TRUE(track.rgba().empty());
    track.zfSetSize(100000, 100000, 0, nullptr);
    EXPECT_TRUE(track.rgba().empty());

    // An unknown mode is refused; its buffers are still the track's to free.
    CzfErrorInfo error;
    EXPECT_FALSE(track.zfSetImageData(5, copyBlock(kColour3x2), nullptr, 0, &error));
    EXPECT_EQ(error.errorCode, 2);
    EXPECT_EQ(track.mode(), -1);
    track.zfSetSize(3, 2, 0, nullptr);
    EXPECT_TRUE(track.rgba().empty());
    EXPECT_FALSE(track.zfSetImageData(0, nullptr, copyBlock(kAlpha3x2), 0, nullptr));
}

TEST(ImageTrackObject, OneBlockHandedOverTwiceIsHeldOnce) {
    // Freed once by the track: a double free fails the sanitizer build.
    merrowhost::ImageTrackObject track;
    uint8_t* block = copyBlock(kColour3x2);
    ASSERT_TRUE(track.zfSetImageData(0, block, block, 0, nullptr));
    EXPECT_EQ(track.secondBuffer(), nullptr);
    // Handing the held block back keeps it; the old alpha-less state gets a new alpha.
    ASSERT_TRUE(track.zfSetImageData(0, block, copyBlock(kAlpha3x2), 0, nullptr));
    track.zfSetSize(3, 2, 0, nullptr);
    EXPECT_EQ(pixelAt(track.rgba(), 3, 0, 0), (Bytes{3, 2, 1, 100}));
}

TEST(ImageTrackObject, KeepsACopyOfTheRecordAndTheValuesSet) {
    merrowhost::ImageTrackObject track;
    SAVEDATA record{};
    std::strcpy(record.projectName, "Holiday");
    record.revision = 4;
    track.zfSetProjectRecord(&record, nullptr);
    record.revision = 5;
    std::strcpy(record.projectName, "Changed");
    ASSERT_NE(track.record(), nullptr);
    EXPECT_STREQ(track.record()->projectName, "Holiday");
    EXPECT_EQ(track.record()->revision, 4u);
    track.zfSetProjectRecord(nullptr, nullptr);
    EXPECT_EQ(track.record(), nullptr);

    EXPECT_FALSE(track.hasOption());
    track.zfSetOption(1, 0, nullptr);
    track.zfSetSize(100, 50, 3, nullptr);
    EXPECT_TRUE(track.hasOption());
    EXPECT_EQ(track.option(), 1);
    EXPECT_EQ(track.optionReserved(), 0);
    EXPECT_EQ(track.width(), 100);
    EXPECT_EQ(track.height(), 50);
    EXPECT_EQ(track.sizeReserved(), 3);
    EXPECT_EQ(std::string(track.classPrefix()), "track");
}
