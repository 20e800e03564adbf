// Host bitmaps: their layout and their conversion to R, G, B, A bytes.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "host/pictures/DibImage.h"

namespace {

using merrowhost::DibHolder;

TEST(DibImage, MakesPaddedBitmapsWithGreyMaskTable) {
    DibHolder image(merrowhost::makeDib32(3, 2));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(merrowhost::dibStride(*image), 12);
    EXPECT_EQ(merrowhost::dibPixels(image.get()), reinterpret_cast<uint8_t*>(image.get()) + 40);
    EXPECT_EQ(image->biSizeImage, 24u);

    DibHolder mask(merrowhost::makeMaskDib8(5, 2));
    ASSERT_NE(mask, nullptr);
    EXPECT_EQ(merrowhost::dibStride(*mask), 8);
    EXPECT_EQ(merrowhost::dibColourTableEntries(*mask), 256);
    EXPECT_EQ(merrowhost::dibPixels(mask.get()),
              reinterpret_cast<uint8_t*>(mask.get()) + 40 + 1024);
    EXPECT_TRUE(merrowhost::dibLayoutValid(mask.get()));

    EXPECT_EQ(merrowhost::makeDib32(0, 4), nullptr);
    EXPECT_EQ(merrowhost::makeMaskDib8(20000, 1), nullptr);
}

TEST(DibImage, ConvertsBottomUpImageWithMaskToTopDownRgba) {
    DibHolder image(merrowhost::makeDib32(2, 2));
    DibHolder mask(merrowhost::makeMaskDib8(2, 2));
    ASSERT_NE(image, nullptr);
    ASSERT_NE(mask, nullptr);
    // Top row: B, G, R, A = (1, 2, 3, 4) and (5, 6, 7, 8); bottom row all 9.
    const uint8_t top[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    std::memcpy(merrowhost::dibRowFromTop(image.get(), 0), top, 8);
    std::memset(merrowhost::dibRowFromTop(image.get(), 1), 9, 8);
    merrowhost::dibRowFromTop(mask.get(), 0)[1] = 77;
    // Positive height: the top row is stored last.
    EXPECT_EQ(merrowhost::dibPixels(image.get())[8], 1);

    std::vector<uint8_t> rgba;
    int width = 0, height = 0;
    ASSERT_TRUE(merrowhost::dibToRgba(image.get(), mask.get(), &rgba, &width, &height));
    EXPECT_EQ(width, 2);
    EXPECT_EQ(height, 2);
    EXPECT_EQ(rgba, (std::vector<uint8_t>{3, 2, 1, 0, 7, 6, 5, 77, 9, 9, 9, 0, 9, 9, 9, 0}));

    // Without a mask the image's own fourth byte is the alpha.
    ASSERT_TRUE(merrowhost::dibToRgba(image.get(), nullptr, &rgba, nullptr, nullptr));
    EXPECT_EQ(rgba[3], 4);
    EXPECT_EQ(rgba[7], 8);
}

TEST(DibImage, ReadsTopDownAndTwentyFourBitImages) {
    // A hand-made top-down 24-bit bitmap of 1 x 2 pixels: rows of 3 bytes padded to 4.
    std::vector<uint8_t> bytes(40 + 8, 0);
    BITMAPINFOHEADER header{};
    header.biSize = 40;
    header.biWidth = 1;
    header.biHeight = -2;
    header.biPlanes = 1;
    header.biBitCount = 24;
    std::memcpy(bytes.data(), &header, sizeof header);
    const uint8_t rows[8] = {10, 20, 30, 0, 40, 50, 60, 0};
    std::memcpy(bytes.data() + 40, rows, 8);
    const auto* dib = reinterpret_cast<const BITMAPINFOHEADER*>(bytes.data());

    std::vector<uint8_t> rgba;
    ASSERT_TRUE(merrowhost::dibToRgba(dib, nullptr, &rgba, nullptr, nullptr));
    EXPECT_EQ(rgba, (std::vector<uint8_t>{30, 20, 10, 255, 60, 50, 40, 255}));
}

TEST(DibImage, RefusesMismatchedOrInvalidBitmaps) {
    DibHolder image(merrowhost::makeDib32(2, 2));
    DibHolder smallMask(merrowhost::makeMaskDib8(2, 1));
    DibHolder notMask(merrowhost::makeDib32(2, 2));
    std::vector<uint8_t> rgba{1, 2, 3};
    EXPECT_FALSE(merrowhost::dibToRgba(image.get(), smallMask.get(), &rgba, nullptr, nullptr));
    EXPECT_FALSE(merrowhost::dibToRgba(image.get(), notMask.get(), &rgba, nullptr, nullptr));
    EXPECT_FALSE(merrowhost::dibToRgba(smallMask.get(), nullptr, &rgba, nullptr, nullptr));
    EXPECT_FALSE(merrowhost::dibToRgba(nullptr, nullptr, &rgba, nullptr, nullptr));
    image->biCompression = 3;
    EXPECT_FALSE(merrowhost::dibToRgba(image.get(), nullptr, &rgba, nullptr, nullptr));
    EXPECT_EQ(rgba, (std::vector<uint8_t>{1, 2, 3}));  // untouched on failure
}

}  // namespace
