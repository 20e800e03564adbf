// Photos are read from JPEG and PNG files and turned upright by their EXIF orientation; broken
// files are refused with their name.

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "cli/import/art/PhotoReader.h"
#include "samples/tools/MediaMaker.h"
#include "tests/cli/import/art/ArtTestSupport.h"
#include "tests/support/ImageTestFiles.h"

namespace {

using merrowcli::import::readPhoto;
using namespace merrowtest::media;
using merrowtest::art::near;
using merrowtest::art::rgbAt;
using merrowtest::art::TempFolder;

// Where the stored picture's top-left and top-right corners are shown for each orientation, as
// a viewer following EXIF shows them (TL, TR, BR, BL = the shown corner).
enum Corner { TL, TR, BR, BL };
struct Expected {
    int orientation;
    bool turned;  // width and height swapped
    Corner storedTopLeft;
    Corner storedTopRight;
};
const Expected kOrientations[] = {
    {1, false, TL, TR}, {2, false, TR, TL}, {3, false, BR, BL}, {4, false, BL, BR},
    {5, true, TL, BL},  {6, true, TR, BR},  {7, true, BR, TR},  {8, true, BL, TL},
};

std::uint32_t cornerOf(const merrowcli::import::Picture& picture, Corner corner) {
    // A few pixels in from the edge, inside the marker block and clear of JPEG's edge ringing.
    const int x = corner == TL || corner == BL ? 3 : picture.width - 4;
    const int y = corner == TL || corner == TR ? 3 : picture.height - 4;
    return rgbAt(picture, x, y);
}

TEST(PhotoReader, EachOrientationShowsTheCornersWhereAViewerWould) {
    TempFolder folder;
    const auto file = folder / "corners.jpg";
    // 96 x 64 stored, grey with marked corners (blocks of 8 pixels).
    makeJpeg(file, 96, 64, {Pattern::Kind::Corners, 0x808080, 0});
    for (const Expected& expected : kOrientations) {
        SCOPED_TRACE("orientation " + std::to_string(expected.orientation));
        std::string error;
        const auto picture = readPhoto(file, expected.orientation, error);
        ASSERT_TRUE(picture) << error;
        EXPECT_EQ(picture->width, expected.turned ? 64 : 96);
        EXPECT_EQ(picture->height, expected.turned ? 96 : 64);
        ASSERT_EQ(picture->rgba.size(), size_t(96 * 64 * 4));
        EXPECT_TRUE(near(cornerOf(*picture, expected.storedTopLeft), kTopLeft, 40));
        EXPECT_TRUE(near(cornerOf(*picture, expected.storedTopRight), kTopRight, 40));
    }
}

// A JPEG is decoded at the smallest DCT scale (1/2, 1/4, 1/8) that still shows the size asked
// for, the sides swapped for a quarter turn; the turn is applied to the small picture.
TEST(PhotoReader, AJpegIsDecodedNoLargerThanAsked) {
    TempFolder folder;
    const auto file = folder / "large.jpg";
    // 800 x 600 stored, grey with marked corners.
    makeJpeg(file, 800, 600, {Pattern::Kind::Corners, 0x808080, 0});
    struct Case {
        int orientation;
        int atLeastWidth;
        int atLeastHeight;
        int width;  // shown
        int height;
    };
    for (const Case& c :
         {Case{1, 0, 0, 800, 600}, Case{1, 100, 75, 100, 75}, Case{1, 101, 75, 200, 150},
          Case{1, 200, 151, 400, 300}, Case{1, 401, 10, 800, 600}, Case{1, 100, 0, 100, 75},
          // Shown 600 x 800: 150 x 200 is a quarter of it, not a half.
          Case{6, 150, 200, 150, 200}, Case{8, 151, 200, 300, 400}}) {
        SCOPED_TRACE(std::to_string(c.orientation) + ": " + std::to_string(c.atLeastWidth) + "x" +
                     std::to_string(c.atLeastHeight));
        std::string error;
        const auto picture = readPhoto(file, c.orientation, error, c.atLeastWidth, c.atLeastHeight);
        ASSERT_TRUE(picture) << error;
        EXPECT_EQ(picture->width, c.width);
        EXPECT_EQ(picture->height, c.height);
        ASSERT_EQ(picture->rgba.size(), static_cast<size_t>(c.width) * c.height * 4);
    }
    // The corners stay where a viewer shows them at every scale.
    std::string error;
    const auto small = readPhoto(file, 6, error, 75, 100);
    ASSERT_TRUE(small) << error;
    ASSERT_EQ(small->width, 75);
    EXPECT_TRUE(near(rgbAt(*small, small->width - 3, 2), kTopLeft, 60))
        << std::hex << rgbAt(*small, small->width - 3, 2);
    EXPECT_TRUE(near(rgbAt(*small, small->width - 3, small->height - 3), kTopRight, 60))
        << std::hex << rgbAt(*small, small->width - 3, small->height - 3);
}

// A HEIC is turned by its own transformation (not by the orientation given) and scaled by
// libheif to the smallest of 1/2, 1/4 and 1/8 that still shows the size asked for.
TEST(PhotoReader, AHeicIsTurnedByItselfAndScaledNoSmallerThanAsked) {
    if (!canMakeHeic()) GTEST_SKIP() << "libheif has no HEIC encoder here";
    TempFolder folder;
    const auto file = folder / "sideways.heic";
    // 256 x 192 stored, shown a quarter turn clockwise: 192 x 256.
    makeHeic(file, makePicture(256, 192, {Pattern::Kind::Corners, 0x808080, 0}), {}, 6);
    for (const auto& [atLeastWidth, atLeastHeight, width, height] :
         {std::tuple{0, 0, 192, 256}, std::tuple{24, 32, 24, 32}, std::tuple{25, 32, 48, 64},
          std::tuple{96, 129, 192, 256}}) {
        SCOPED_TRACE(std::to_string(atLeastWidth) + "x" + std::to_string(atLeastHeight));
        std::string error;
        // The orientation given is not applied again.
        const auto picture = readPhoto(file, 8, error, atLeastWidth, atLeastHeight);
        ASSERT_TRUE(picture) << error;
        EXPECT_EQ(picture->width, width);
        EXPECT_EQ(picture->height, height);
        ASSERT_EQ(picture->rgba.size(), static_cast<size_t>(width) * height * 4);
        if (width < 48) continue;
        // The stored top-left corner is shown top right, the stored top right bottom right.
        EXPECT_TRUE(near(rgbAt(*picture, width - 3, 2), kTopLeft, 60))
            << std::hex << rgbAt(*picture, width - 3, 2);
        EXPECT_TRUE(near(rgbAt(*picture, width - 3, height - 3), kTopRight, 60))
            << std::hex << rgbAt(*picture, width - 3, height - 3);
    }
}

TEST(PhotoReader, UnknownOrientationsShowThePictureAsStored) {
    TempFolder folder;
    const auto file = folder / "corners.jpg";
    makeJpeg(file, 96, 64, {Pattern::Kind::Corners, 0x808080, 0});
    for (int orientation : {0, 9, -1}) {
        std::string error;
        const auto picture = readPhoto(file, orientation, error);
        ASSERT_TRUE(picture) << error;
        EXPECT_EQ(picture->width, 96);
        EXPECT_TRUE(near(cornerOf(*picture, TL), kTopLeft, 40));
    }
}

TEST(PhotoReader, PngIsReadExactlyAndByItsBytesNotItsName) {
    TempFolder folder;
    const auto file = folder / "looks-like.jpg";  // a PNG under a JPEG name
    makePng(file, 40, 30, {Pattern::Kind::Corners, 0x336699, 0});
    std::string error;
    const auto picture = readPhoto(file, 6, error);
    ASSERT_TRUE(picture) << error;
    EXPECT_EQ(picture->width, 30);
    EXPECT_EQ(picture->height, 40);
    // Lossless: the exact colours, opaque.
    EXPECT_EQ(rgbAt(*picture, 29, 0), kTopLeft);
    EXPECT_EQ(rgbAt(*picture, 29, 39), kTopRight);
    EXPECT_EQ(rgbAt(*picture, 15, 20), 0x336699u);
    EXPECT_EQ(picture->rgba[3], 255);
}

TEST(PhotoReader, BrokenOrMissingFilesAreRefusedWithTheirName) {
    TempFolder folder;
    const auto whole = folder / "whole.jpg";
    makeJpeg(whole, 320, 240, {Pattern::Kind::Scene, 0x6090d0, 3});
    std::string bytes;
    {
        std::ifstream in(whole, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    ASSERT_GT(bytes.size(), 1000u);
    const auto truncated = folder / "truncated.jpg";
    std::ofstream(truncated, std::ios::binary) << bytes.substr(0, bytes.size() / 2);
    const auto text = folder / "notes.png";
    std::ofstream(text) << "not a picture";
    const auto png = folder / "cut.png";
    makePng(png, 200, 100, {Pattern::Kind::Scene, 0xc08040, 1});
    std::filesystem::resize_file(png, std::filesystem::file_size(png) / 2);
    // A HEIC by its first bytes, and nothing after them.
    const auto heic = folder / "cut.heic";
    std::ofstream(heic, std::ios::binary)
        << std::string("\0\0\0\x18", 4) << "ftypheic" << std::string(12, '\0');

    for (const auto& file : {truncated, text, png, heic, folder / "missing.jpg"}) {
        SCOPED_TRACE(file.string());
        std::string error;
        EXPECT_FALSE(readPhoto(file, 1, error));
        EXPECT_EQ(error.rfind(file.string() + ": ", 0), 0u) << error;
        EXPECT_GT(error.size(), file.string().size() + 2);
    }
}

// A photo whose header claims far more pixels than its few bytes can hold is refused before
// any pixel memory is reserved, as the host refuses such a picture.
TEST(PhotoReader, APngClaimingMorePixelsThanItsBytesCanHoldIsRefused) {
    TempFolder folder;
    const auto small = folder / "small.png";
    makePng(small, 16, 16, {Pattern::Kind::Solid, 0x336699});
    std::vector<uint8_t> bytes = imagetest::readBytes(small.string());
    imagetest::forgePngSize(bytes, 7000, 7000);
    const auto claiming = folder / "claiming.png";
    imagetest::writeBytes(claiming.string(), bytes);
    std::string error;
    EXPECT_FALSE(readPhoto(claiming, 1, error));
    EXPECT_NE(error.find("7000 x 7000"), std::string::npos) << error;
    EXPECT_NE(error.find("can hold"), std::string::npos) << error;
}

}  // namespace
