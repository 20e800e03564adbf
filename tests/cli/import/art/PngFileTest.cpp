// PNG files of the import: the same pixels give the same bytes, and a failed write names the
// file and leaves nothing behind.

#include <gtest/gtest.h>

#include <fstream>

#include "cli/import/art/PhotoReader.h"
#include "cli/import/art/PngFile.h"
#include "samples/tools/MediaMaker.h"
#include "tests/cli/import/art/ArtTestSupport.h"

namespace {

using merrowcli::import::Picture;
using merrowcli::import::writePng;
using merrowtest::art::TempFolder;
using namespace merrowtest::media;

std::string bytesOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(PngFile, SamePixelsGiveSameBytesAndReadBackExactly) {
    TempFolder folder;
    Picture picture = makePicture(64, 48, {Pattern::Kind::Scene, 0x5080c0, 7});
    picture.rgba[3] = 17;  // one translucent pixel: the alpha is kept
    std::string error;
    ASSERT_TRUE(writePng(picture, folder / "a.png", error)) << error;
    ASSERT_TRUE(writePng(picture, folder / "b.png", error)) << error;
    const std::string first = bytesOf(folder / "a.png");
    EXPECT_EQ(first, bytesOf(folder / "b.png"));
    // No time or text chunks.
    EXPECT_EQ(first.find("tIME"), std::string::npos);
    EXPECT_EQ(first.find("tEXt"), std::string::npos);
    const auto back = merrowcli::import::readPhoto(folder / "a.png", 1, error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->rgba, picture.rgba);
    // Written again over itself: replaced whole, no temporary file left beside it.
    ASSERT_TRUE(writePng(picture, folder / "a.png", error)) << error;
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        ++files;
    }
    EXPECT_EQ(files, 2);
}

TEST(PngFile, FailuresNameTheFile) {
    TempFolder folder;
    const Picture picture = makePicture(8, 8, {});
    std::string error;
    const auto nowhere = folder / "no-such-folder" / "x.png";
    EXPECT_FALSE(writePng(picture, nowhere, error));
    EXPECT_EQ(error.rfind(nowhere.string() + ": ", 0), 0u) << error;

    Picture broken = picture;
    broken.rgba.resize(10);
    const auto file = folder / "broken.png";
    EXPECT_FALSE(writePng(broken, file, error));
    EXPECT_EQ(error.rfind(file.string() + ": ", 0), 0u) << error;
    EXPECT_FALSE(std::filesystem::exists(file));
}

}  // namespace
