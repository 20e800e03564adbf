// End-to-end runs of the built `merrowkit import` on pictures as phones make them: HEIC photos
// turned by their own transformations, portrait videos turned by their display matrix, checked
// by the pixels of the thumbnails the import draws.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "cli/import/art/PhotoReader.h"
#include "cli/import/art/Picture.h"
#include "samples/tools/MediaMaker.h"
#include "support/CliTestSupport.h"
#include "tests/cli/import/art/ArtTestSupport.h"

namespace {

namespace fs = std::filesystem;
namespace media = merrowtest::media;
using merrowcli::import::Picture;
using merrowtest::art::near;
using merrowtest::art::rgbAt;

constexpr std::uint32_t kRed = 0xff0000;
constexpr std::uint32_t kBlue = 0x0000ff;

Picture filled(int width, int height, std::uint32_t rgb) {
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.rgba.resize(static_cast<size_t>(width) * height * 4);
    for (size_t at = 0; at < picture.rgba.size(); at += 4) {
        picture.rgba[at] = static_cast<std::uint8_t>(rgb >> 16);
        picture.rgba[at + 1] = static_cast<std::uint8_t>(rgb >> 8);
        picture.rgba[at + 2] = static_cast<std::uint8_t>(rgb);
        picture.rgba[at + 3] = 0xff;
    }
    return picture;
}

// A picture shown red over blue (top half red), stored as a phone held sideways stores it for a
// quarter turn clockwise to show: the stored left half is the shown top.
Picture redOverBlueStoredSideways(int shownWidth, int shownHeight) {
    Picture stored = filled(shownHeight, shownWidth, kBlue);
    for (int y = 0; y < stored.height; ++y) {
        for (int x = 0; x < stored.width / 2; ++x) {
            std::uint8_t* p = &stored.rgba[(static_cast<size_t>(y) * stored.width + x) * 4];
            p[0] = 0xff;
            p[2] = 0;
        }
    }
    return stored;
}

Picture readPicture(const fs::path& file) {
    std::string error;
    std::optional<Picture> picture = merrowcli::import::readPhoto(file, 1, error);
    EXPECT_TRUE(picture.has_value()) << error;
    return picture ? *picture : Picture{};
}

// Red along the top, blue along the bottom, at a quarter and three quarters of the width.
void expectRedOverBlue(const Picture& picture, const std::string& what) {
    ASSERT_GT(picture.width, 4) << what;
    const int w = picture.width;
    const int h = picture.height;
    for (const int x : {w / 4, 3 * w / 4}) {
        EXPECT_TRUE(near(rgbAt(picture, x, 2), kRed, 48))
            << what << " top at " << x << ": " << std::hex << rgbAt(picture, x, 2);
        EXPECT_TRUE(near(rgbAt(picture, x, h - 3), kBlue, 48))
            << what << " bottom at " << x << ": " << std::hex << rgbAt(picture, x, h - 3);
    }
}

// The edge of the picture along which a band of the colour runs: "top", "bottom", "left",
// "right", or "" when none or more than one edge shows it.
std::string bandSide(const Picture& picture, std::uint32_t colour) {
    if (picture.width < 8 || picture.height < 8) return "";
    const int w = picture.width;
    const int h = picture.height;
    std::string side;
    for (const auto& [name, x, y] :
         {std::tuple{"top", w / 2, 1}, std::tuple{"bottom", w / 2, h - 2},
          std::tuple{"left", 1, h / 2}, std::tuple{"right", w - 2, h / 2}}) {
        if (!near(rgbAt(picture, x, y), colour, 64)) continue;
        if (!side.empty()) return "";
        side = name;
    }
    return side;
}

// The first frame of a video as ffmpeg's own player shows it (ffmpeg turns it by the display
// matrix), written as a PNG and read back.
Picture ffmpegsFirstFrame(const fs::path& video, const fs::path& png) {
    const std::string command = "ffmpeg -nostdin -hide_banner -loglevel error -y -i '" +
                                video.string() + "' -frames:v 1 '" + png.string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return readPicture(png);
}

TEST(ImportPictures, PortraitVideosAreTurnedByTheirDisplayMatrix) {
    if (!media::canMakeVideos()) GTEST_SKIP() << "ffmpeg is not on PATH";
    const clitest::TemporaryFolder folder;
    const fs::path in = folder.path() / "media";
    fs::create_directories(in);
    constexpr std::uint32_t kBand = 0xffff00;
    // A yellow band across the top of the stored frames; each video turned its own way and
    // taken on a day of its own.
    std::vector<std::pair<int, std::string>> videos;
    for (const int rotate : {90, 180, 270}) {
        media::VideoRecipe clip;
        clip.width = 96;
        clip.height = 64;
        clip.seconds = 1;
        clip.framesPerSecond = 5;
        clip.colours = {0x2040c0};
        clip.marker = kBand;
        clip.rotate = rotate;
        clip.creationTime = "2023-05-1" + std::to_string(rotate / 90) + "T10:00:00Z";
        const std::string name = "VID_" + std::to_string(rotate) + ".mp4";
        media::makeVideo(in / name, clip);
        videos.emplace_back(rotate, name);
    }
    const clitest::CommandResult result =
        clitest::runMerrowkit({"import", in.string(), "-o", (folder.path() / "project").string()},
                              folder.path(), {"TZ=UTC"});
    ASSERT_EQ(result.status, 0) << result.err;
    const fs::path art = folder.path() / "project/art/media";
    std::set<std::string> sides;
    for (const auto& [rotate, name] : videos) {
        SCOPED_TRACE(name);
        const std::string shown =
            bandSide(ffmpegsFirstFrame(in / name, folder.path() / "shown.png"), kBand);
        ASSERT_NE(shown, "");
        sides.insert(shown);
        const std::string day = "2023_05_1" + std::to_string(rotate / 90);
        EXPECT_EQ(bandSide(readPicture(art / ("Content_" + day + "_1.png")), kBand), shown);
        EXPECT_EQ(bandSide(readPicture(art / ("Day_" + day + ".png")), kBand), shown);
        const int title = rotate / 90;
        EXPECT_EQ(
            bandSide(readPicture(art / ("Chapter_" + std::to_string(title) + "_1.png")), kBand),
            shown);
    }
    // Three turns, three sides, none of them the stored top.
    EXPECT_EQ(sides.size(), 3u);
    EXPECT_EQ(sides.count("top"), 0u);
}

TEST(ImportPictures, AFolderOfHeicPhotosIsImportedAndTurnedOnce) {
    if (!media::canMakeHeic()) GTEST_SKIP() << "libheif has no HEIC encoder here";
    const clitest::TemporaryFolder folder;
    const fs::path in = folder.path() / "media";
    fs::create_directories(in / "iphone");
    // As an iPhone writes it: the pixels stored sideways, the file's own rotation (irot) and
    // EXIF's orientation both saying "a quarter turn clockwise". Turned twice, it would be
    // upside down; not at all, red left of blue.
    media::makeHeic(in / "iphone/IMG_0001.HEIC", redOverBlueStoredSideways(160, 96),
                    {"2023:05:14 10:00:00", "", "", 6}, 6);
    // No EXIF: dated by its name.
    media::makeHeic(in / "iphone/IMG_20230515_080000.heif", filled(64, 64, 0x30a040));

    const clitest::CommandResult result = clitest::runMerrowkit(
        {"import", in.string(), "-o", (folder.path() / "project").string(), "-v"}, folder.path(),
        {"TZ=UTC"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find((in / "iphone/IMG_0001.HEIC").string() + ": dated by EXIF\n"),
              std::string::npos)
        << result.err;
    const std::string slideshow = clitest::readFile(folder.path() / "project/slideshow.xml");
    // libheif has turned the picture: the slideshow shows it as it is.
    EXPECT_NE(slideshow.find("file=\"iphone/IMG_0001.HEIC\" date=\"2023-05-14\" "
                             "time=\"10:00:00\" orientation=\"1\""),
              std::string::npos)
        << slideshow;
    EXPECT_NE(slideshow.find("file=\"iphone/IMG_20230515_080000.heif\" date=\"2023-05-15\" "
                             "time=\"08:00:00\""),
              std::string::npos)
        << slideshow;
    const fs::path art = folder.path() / "project/art/media";
    for (const char* name : {"Content_2023_05_14_1.png", "Day_2023_05_14.png", "Year_2023.png"}) {
        expectRedOverBlue(readPicture(art / name), name);
    }
    const Picture green = readPicture(art / "Content_2023_05_15_1.png");
    ASSERT_GT(green.width, 0);
    EXPECT_TRUE(near(rgbAt(green, green.width / 2, green.height / 2), 0x30a040, 24));
}

TEST(ImportPictures, ABrokenFirstPhotoGivesWayToTheNextThatDecodes) {
    const clitest::TemporaryFolder folder;
    const fs::path in = folder.path() / "media";
    fs::create_directories(in);
    // The first two photos of the day are cut short after their EXIF: dated, but not drawable;
    // the third is red.
    media::makeJpeg(in / "a.jpg", 320, 240, {media::Pattern::Kind::Scene, 0x6090d0, 3},
                    {"2023:05:14 09:00:00", "", "", 0});
    fs::resize_file(in / "a.jpg", fs::file_size(in / "a.jpg") / 2);
    media::makeJpeg(in / "b.jpg", 320, 240, {media::Pattern::Kind::Scene, 0x202020, 4},
                    {"2023:05:14 09:01:00", "", "", 0});
    fs::resize_file(in / "b.jpg", fs::file_size(in / "b.jpg") / 2);
    media::makeJpeg(in / "c.jpg", 64, 48, {media::Pattern::Kind::Solid, 0xff0000, 0},
                    {"2023:05:14 09:02:00", "", "", 0});
    const clitest::CommandResult result =
        clitest::runMerrowkit({"import", in.string(), "-o", (folder.path() / "project").string()},
                              folder.path(), {"TZ=UTC"});
    ASSERT_EQ(result.status, 0) << result.err;
    // The broken ones are still named.
    EXPECT_NE(result.err.find("a.jpg"), std::string::npos) << result.err;
    const std::string slideshow = clitest::readFile(folder.path() / "project/slideshow.xml");
    ASSERT_NE(slideshow.find("photos=\"3\""), std::string::npos) << slideshow;
    const fs::path art = folder.path() / "project/art/media";
    for (const char* name :
         {"Content_2023_05_14_1.png", "Day_2023_05_14.png", "Month_2023_05.png", "Year_2023.png"}) {
        const Picture picture = readPicture(art / name);
        ASSERT_GT(picture.width, 0) << name;
        EXPECT_TRUE(near(rgbAt(picture, picture.width / 2, picture.height / 2), kRed, 24))
            << name << ": " << std::hex << rgbAt(picture, picture.width / 2, picture.height / 2);
    }
}

TEST(ImportPictures, AnMpegTsWithOneKeyFrameGetsItsThumbnail) {
    if (!media::canMakeVideos()) GTEST_SKIP() << "ffmpeg is not on PATH";
    const clitest::TemporaryFolder folder;
    const fs::path in = folder.path() / "media";
    fs::create_directories(in);
    // H.264 as a camcorder writes it, green then magenta, with one key frame, at the start: a
    // seek lands where nothing decodes.
    media::VideoRecipe clip;
    clip.width = 64;
    clip.height = 48;
    clip.seconds = 8;
    clip.framesPerSecond = 10;
    clip.colours = {0x00c000, 0xc000c0};
    clip.keyFrameEvery = 1000;
    clip.codec = "libx264";
    media::makeVideo(in / "VID_20230514_100000.m2ts", clip);
    const clitest::CommandResult result =
        clitest::runMerrowkit({"import", in.string(), "-o", (folder.path() / "project").string()},
                              folder.path(), {"TZ=UTC"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err.find("cannot draw"), std::string::npos) << result.err;
    const fs::path art = folder.path() / "project/art/media";
    // The content shows a tenth of the way in, the chapter its start: both green.
    for (const auto& [name, colour] :
         {std::pair<std::string, std::uint32_t>{"Content_2023_05_14_1.png", 0x00c000},
          {"Chapter_1_1.png", 0x00c000}}) {
        const Picture picture = readPicture(art / name);
        ASSERT_GT(picture.width, 0) << name;
        EXPECT_TRUE(near(rgbAt(picture, picture.width / 2, picture.height / 2), colour, 40))
            << name << ": " << std::hex << rgbAt(picture, picture.width / 2, picture.height / 2);
    }
}

}  // namespace
