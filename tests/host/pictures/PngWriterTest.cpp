// Writing PNG (and the JPEG test pictures): exact pixels, the same bytes every time, whole files
// or none.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "host/framework/ProjectFolder.h"
#include "host/pictures/DvdBuf.h"
#include "host/pictures/JpegWriter.h"
#include "host/pictures/PngWriter.h"
#include "support/ImageTestFiles.h"

namespace {

using imagetest::TempFolder;
using merrowhost::PngPicture;

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(PngWriter, RgbaPixelsReadBackExactly) {
    TempFolder folder;
    const int width = 7, height = 3;
    const std::vector<uint8_t> rgba = imagetest::noise(width * height * 4, 42);
    std::string error;
    ASSERT_TRUE(
        merrowhost::writeRgbaPng(folder.file("noise.png"), width, height, rgba.data(), &error))
        << error;

    CDVDBuf colour;
    uint8_t* alpha = nullptr;
    ASSERT_TRUE(colour.Create(folder.file("noise.png").c_str(), nullptr, &alpha));
    std::unique_ptr<uint8_t[]> owned(alpha);
    ASSERT_NE(alpha, nullptr);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint8_t* in = rgba.data() + (y * width + x) * 4;
            const uint8_t* out = colour.GetBuffer() + y * CDVDBuf::Stride(24, width) + 3 * x;
            EXPECT_EQ(out[0], in[2]);
            EXPECT_EQ(out[1], in[1]);
            EXPECT_EQ(out[2], in[0]);
            EXPECT_EQ(alpha[y * CDVDBuf::Stride(8, width) + x], in[3]);
        }
    }
}

// The colour type byte of a PNG's header chunk: 2 for R, G, B, 6 for R, G, B, A.
int colourTypeOf(const std::vector<uint8_t>& png) {
    return png.size() > 25 ? png[25] : -1;
}

TEST(PngWriter, EverySettingKeepsThePixelsAndOpaquePicturesLoseOnlyTheirAlpha) {
    const int width = 9, height = 5;
    std::vector<uint8_t> translucent = imagetest::noise(width * height * 4, 7);
    std::vector<uint8_t> opaque = translucent;
    for (size_t at = 3; at < opaque.size(); at += 4) opaque[at] = 255;
    translucent[3] = 254;  // one pixel short of opaque keeps the alpha channel
    using Settings = merrowhost::PngSettings;
    for (const Settings& settings : {merrowhost::kTrackPngSettings, merrowhost::kPhotoPngSettings,
                                     Settings{Settings::Filter::kPaeth, 1, false, true}}) {
        for (const std::vector<uint8_t>* pixels : {&opaque, &translucent}) {
            std::vector<uint8_t> png;
            std::string error;
            ASSERT_TRUE(
                merrowhost::encodeRgbaPng(width, height, pixels->data(), settings, &png, &error))
                << error;
            const bool rgb = settings.opaqueAsRgb && pixels == &opaque;
            EXPECT_EQ(colourTypeOf(png), rgb ? 2 : 6);
            std::vector<uint8_t> decoded;
            int w = 0, h = 0;
            ASSERT_TRUE(merrowhost::decodeRgbaPng(png.data(), png.size(), &decoded, &w, &h));
            EXPECT_EQ(w, width);
            EXPECT_EQ(h, height);
            EXPECT_EQ(decoded, *pixels);
            std::vector<uint8_t> again;
            ASSERT_TRUE(
                merrowhost::encodeRgbaPng(width, height, pixels->data(), settings, &again, &error));
            EXPECT_EQ(again, png);
        }
    }
}

TEST(PngWriter, SamePictureGivesSameBytesWithoutTimeChunk) {
    TempFolder folder;
    const std::vector<uint8_t> rgba = imagetest::noise(20 * 10 * 4, 3);
    ASSERT_TRUE(merrowhost::writeRgbaPng(folder.file("a.png"), 20, 10, rgba.data(), nullptr));
    ASSERT_TRUE(merrowhost::writeRgbaPng(folder.file("b.png"), 20, 10, rgba.data(), nullptr));
    const std::vector<uint8_t> first = imagetest::readBytes(folder.file("a.png"));
    EXPECT_EQ(first, imagetest::readBytes(folder.file("b.png")));
    EXPECT_EQ(imagetest::findPngChunk(first, "tIME"), 0u);
    EXPECT_NE(imagetest::findPngChunk(first, "IEND"), 0u);
}

TEST(PngWriter, ReplacesFilesWholeAndLeavesNoTemporaries) {
    TempFolder folder;
    const std::string path = folder.file("picture.png");
    const std::vector<uint8_t> small(4 * 4, 200);
    const std::vector<uint8_t> large = imagetest::noise(64 * 64 * 4, 9);
    ASSERT_TRUE(merrowhost::writeRgbaPng(path, 2, 2, small.data(), nullptr));
    ASSERT_TRUE(merrowhost::writeRgbaPng(path, 64, 64, large.data(), nullptr));
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"picture.png"});
    CDVDBuf loaded;
    ASSERT_TRUE(loaded.Create(path.c_str(), nullptr, nullptr));
    int width = 0;
    loaded.GetWHU(&width, nullptr, nullptr);
    EXPECT_EQ(width, 64);

    // A failed write keeps the earlier file as it was.
    const std::vector<uint8_t> before = imagetest::readBytes(path);
    EXPECT_FALSE(merrowhost::writeRgbaPng(path, 0, 5, small.data(), nullptr));
    EXPECT_EQ(imagetest::readBytes(path), before);
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"picture.png"});
}

TEST(PngWriter, ReportsWhatCannotBeWritten) {
    TempFolder folder;
    const std::vector<uint8_t> pixels(16, 1);
    std::string error;
    EXPECT_FALSE(
        merrowhost::writeRgbaPng(folder.file("missing/x.png"), 2, 2, pixels.data(), &error));
    EXPECT_NE(error.find("missing/x.png"), std::string::npos) << error;
    error.clear();
    EXPECT_FALSE(merrowhost::writeRgbaPng(folder.file("x.png"), 2, 2, nullptr, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(merrowhost::writeRgbaPng(folder.file("x.png"), 20000, 1, pixels.data(), nullptr));

    PngPicture picture;
    picture.width = 2;
    picture.height = 2;
    picture.colourType = PngPicture::ColourType::Rgb;
    picture.rows.assign(11, 0);  // one byte short
    EXPECT_FALSE(merrowhost::writePng(folder.file("short.png"), picture, &error));
    picture.rows.assign(12, 0);
    picture.bitDepth = 4;  // colour needs 8 or 16 bits
    EXPECT_FALSE(merrowhost::writePng(folder.file("deep.png"), picture, &error));
    picture.colourType = PngPicture::ColourType::Palette;
    picture.bitDepth = 1;
    picture.rows.assign(2, 0);
    picture.palette.assign(3, {0, 0, 0, 255});  // more entries than 1 bit can index
    EXPECT_FALSE(merrowhost::writePng(folder.file("palette.png"), picture, &error));
    EXPECT_TRUE(namesIn(folder.path()).empty());
}

TEST(PngWriter, RelativePathsGoToTheProjectFolder) {
    TempFolder folder;
    const std::vector<uint8_t> pixels(4, 255);
    const std::string previous = merrowhost::baseFolder();
    merrowhost::setBaseFolder(folder.path());
    const bool png = merrowhost::writeRgbaPng("one.png", 1, 1, pixels.data(), nullptr);
    const bool jpeg = merrowhost::writeJpeg("one.jpg", 1, 1, 1, pixels.data(), 90, nullptr);
    merrowhost::setBaseFolder(previous);
    EXPECT_TRUE(png);
    EXPECT_TRUE(jpeg);
    EXPECT_EQ(namesIn(folder.path()), (std::vector<std::string>{"one.jpg", "one.png"}));
}

TEST(JpegWriter, SamePixelsGiveSameBytesAndBadArgumentsFail) {
    TempFolder folder;
    const std::vector<uint8_t> rgb = imagetest::noise(10 * 6 * 3, 5);
    ASSERT_TRUE(merrowhost::writeJpeg(folder.file("a.jpg"), 10, 6, 3, rgb.data(), 80, nullptr));
    ASSERT_TRUE(merrowhost::writeJpeg(folder.file("b.jpg"), 10, 6, 3, rgb.data(), 80, nullptr));
    EXPECT_EQ(imagetest::readBytes(folder.file("a.jpg")),
              imagetest::readBytes(folder.file("b.jpg")));

    std::string error;
    EXPECT_FALSE(merrowhost::writeJpeg(folder.file("c.jpg"), 10, 6, 2, rgb.data(), 80, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(merrowhost::writeJpeg(folder.file("c.jpg"), 10, 6, 3, rgb.data(), 0, nullptr));
    EXPECT_FALSE(merrowhost::writeJpeg(folder.file("c.jpg"), 0, 6, 3, rgb.data(), 80, nullptr));
    EXPECT_FALSE(
        merrowhost::writeJpeg(folder.file("none/c.jpg"), 10, 6, 3, rgb.data(), 80, nullptr));
    EXPECT_EQ(namesIn(folder.path()), (std::vector<std::string>{"a.jpg", "b.jpg"}));
}

}  // namespace
