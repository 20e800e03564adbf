// Video frames are taken at the time asked for; text pictures are drawn, centred and the same
// every time; failures name the file.

#include <gtest/gtest.h>

#include <fstream>

#include "cli/import/art/TextPicture.h"
#include "cli/import/art/VideoFrame.h"
#include "samples/tools/MediaMaker.h"
#include "tests/cli/import/art/ArtTestSupport.h"

namespace {

using merrowcli::import::readVideoFrame;
using merrowcli::import::textPicture;
using merrowtest::art::alphaAt;
using merrowtest::art::near;
using merrowtest::art::rgbAt;
using merrowtest::art::TempFolder;
using namespace merrowtest::media;

TEST(VideoFrame, TheFrameAtATimeShowsThatTimesColour) {
    if (!canMakeVideos()) GTEST_SKIP() << "no ffmpeg program";
    TempFolder folder;
    const auto file = folder / "clip.mp4";
    VideoRecipe recipe;
    recipe.seconds = 3;
    recipe.colours = {0xd02020, 0x20d020, 0x2020d0};  // a second each
    recipe.chapters = {{0, "Arrival"}, {1.5, "Departure"}};
    recipe.creationTime = "2024-03-01T10:00:00Z";
    makeVideo(file, recipe);
    for (auto [seconds, colour] :
         {std::pair{0.0, 0xd02020u}, {1.5, 0x20d020u}, {2.5, 0x2020d0u}, {60.0, 0x2020d0u}}) {
        SCOPED_TRACE(seconds);
        std::string error;
        const auto frame = readVideoFrame(file, seconds, error);
        ASSERT_TRUE(frame) << error;
        EXPECT_EQ(frame->width, 160);
        EXPECT_EQ(frame->height, 120);
        EXPECT_TRUE(near(rgbAt(*frame, 80, 60), colour, 24)) << std::hex << rgbAt(*frame, 80, 60);
        EXPECT_EQ(alphaAt(*frame, 80, 60), 255);
    }
}

TEST(VideoFrame, AMissingOrBrokenVideoIsRefusedWithItsName) {
    TempFolder folder;
    for (const auto& file : {folder / "missing.mp4", folder / "clip.mkv"}) {
        std::ofstream(folder / "clip.mkv") << "not a video";
        std::string error;
        EXPECT_FALSE(readVideoFrame(file, 0, error));
        EXPECT_EQ(error.rfind(file.string() + ": ", 0), 0u) << error;
    }
}

TEST(TextPicture, TextIsDrawnCentredInTheColourAndTheSameEveryTime) {
    const auto picture = textPicture("2024", 200, 60, 0xffcc00);
    ASSERT_EQ(picture.width, 200);
    ASSERT_EQ(picture.height, 60);
    // The bounding box of the drawn pixels.
    int left = 200, right = -1, top = 60, bottom = -1;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 200; ++x) {
            if (alphaAt(picture, x, y) == 0) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
            if (alphaAt(picture, x, y) == 255) {
                EXPECT_EQ(rgbAt(picture, x, y), 0xffcc00u);
            }
        }
    }
    ASSERT_GE(right, 0) << "nothing drawn";
    EXPECT_GT(bottom - top, 20);  // a sizeable text, not a speck
    EXPECT_LE(std::abs(left - (199 - right)), 2);
    EXPECT_LE(std::abs(top - (59 - bottom)), 2);
    EXPECT_EQ(alphaAt(picture, 0, 0), 0);  // transparent around the text
    EXPECT_EQ(textPicture("2024", 200, 60, 0xffcc00).rgba, picture.rgba);
    EXPECT_NE(textPicture("2023", 200, 60, 0xffcc00).rgba, picture.rgba);
}

TEST(TextPicture, ALongTextIsShrunkToFit) {
    const auto picture = textPicture("A rather long chapter title for a small slot", 120, 40);
    int left = 120, right = -1;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 120; ++x) {
            if (alphaAt(picture, x, y) == 0) continue;
            left = std::min(left, x);
            right = std::max(right, x);
        }
    }
    ASSERT_GE(right, 0) << "nothing drawn";
    EXPECT_GT(left, 0);  // not cut at the edges
    EXPECT_LT(right, 119);
}

}  // namespace
