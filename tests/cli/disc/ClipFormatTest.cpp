// Which videos a Blu-ray player takes as they are, the rate a converted clip gets, and the
// padding of a clip to whole aligned units.

#include <gtest/gtest.h>

#include <string>

#include "cli/disc/ClipFormat.h"
#include "cli/disc/ClipWriter.h"
#include "support/CliTestSupport.h"

namespace merrowcli::disc {
namespace {

VideoFacts blurayFilm() {
    VideoFacts video;
    video.codec = "h264";
    video.profile = 100;
    video.level = 41;
    video.width = 1920;
    video.height = 1080;
    video.rate = {24000, 1001};
    return video;
}

TEST(ClipFormat, OnlyBlurayVideoIsCopied) {
    EXPECT_TRUE(videoConforms(blurayFilm()));
    const auto with = [](auto change) {
        VideoFacts video = blurayFilm();
        change(video);
        return videoConforms(video);
    };
    EXPECT_TRUE(with([](VideoFacts& v) { v.profile = 77; }));
    EXPECT_TRUE(with([](VideoFacts& v) { v.rate = {2997, 125}; }));  // 23.976 written otherwise
    EXPECT_TRUE(with([](VideoFacts& v) { v.rate = {25, 1}, v.interlaced = true; }));
    EXPECT_TRUE(with([](VideoFacts& v) { v.width = 1280, v.height = 720, v.rate = {50, 1}; }));
    EXPECT_TRUE(with([](VideoFacts& v) {
        v.width = 1280, v.height = 720, v.rate = {60000, 1001};
    }));
    EXPECT_FALSE(with([](VideoFacts& v) { v.codec = "hevc"; }));
    EXPECT_FALSE(with([](VideoFacts& v) { v.profile = 66; }));  // Baseline
    EXPECT_FALSE(with([](VideoFacts& v) { v.level = 42; }));
    EXPECT_FALSE(with([](VideoFacts& v) { v.rate = {25, 1}; }));  // 25p at 1080 is not allowed
    EXPECT_FALSE(with([](VideoFacts& v) { v.rate = {30, 1}, v.interlaced = true; }));
    EXPECT_FALSE(with([](VideoFacts& v) { v.interlaced = true; }));  // 23.976i
    EXPECT_FALSE(with([](VideoFacts& v) { v.width = 1280, v.height = 720, v.rate = {25, 1}; }));
    EXPECT_FALSE(with([](VideoFacts& v) { v.width = 1440; }));
    EXPECT_FALSE(with([](VideoFacts& v) { v.rotation = 90; }));
    EXPECT_FALSE(with([](VideoFacts& v) { v.squarePixels = false; }));

    EXPECT_TRUE(audioConforms({}));
    EXPECT_TRUE(audioConforms({"ac3", 48000}));
    EXPECT_TRUE(audioConforms({"pcm_bluray", 48000}));
    EXPECT_FALSE(audioConforms({"ac3", 44100}));
    EXPECT_FALSE(audioConforms({"aac", 48000}));
}

TEST(ClipFormat, AConvertedClipTakesTheNearestAllowedRate) {
    const auto rate = [](int num, int den) { return convertedRate({num, den}); };
    EXPECT_EQ(rate(24000, 1001), (FrameRate{24000, 1001}));
    EXPECT_EQ(rate(24, 1), (FrameRate{24, 1}));
    EXPECT_EQ(rate(25, 1), (FrameRate{25, 1}));
    EXPECT_EQ(rate(30, 1), (FrameRate{30000, 1001}));
    EXPECT_EQ(rate(50, 1), (FrameRate{25, 1}));  // every other frame
    EXPECT_EQ(rate(60, 1), (FrameRate{30000, 1001}));
    EXPECT_EQ(rate(15, 1), (FrameRate{24000, 1001}));
    EXPECT_TRUE(carriedAsInterlaced({25, 1}));
    EXPECT_TRUE(carriedAsInterlaced({30000, 1001}));
    EXPECT_FALSE(carriedAsInterlaced({24, 1}));
}

TEST(ClipFormat, ClipsArePaddedToWholeAlignedUnitsWithNullPackets) {
    clitest::TemporaryFolder temp;
    const auto file = temp.path() / "00001.m2ts";
    std::string packets;
    for (int i = 0; i < 3; ++i) {
        packets += std::string("\x00\x00\x10", 3) + static_cast<char>(i);
        packets += std::string("\x47\x10\x11\x10", 4) + std::string(184, 'v');
    }
    clitest::writeFile(file, packets);
    std::string error;
    ASSERT_TRUE(padToAlignedUnits(file, &error)) << error;
    const std::string padded = clitest::readFile(file);
    ASSERT_EQ(padded.size(), 6144u);
    EXPECT_EQ(padded.substr(0, packets.size()), packets);
    for (size_t at = packets.size(); at < padded.size(); at += 192) {
        // The last packet's arrival time, then a null packet.
        EXPECT_EQ(padded.substr(at, 8), std::string("\x00\x00\x10\x02\x47\x1f\xff\x10", 8)) << at;
    }
    // Padded already: unchanged.
    ASSERT_TRUE(padToAlignedUnits(file, &error)) << error;
    EXPECT_EQ(clitest::readFile(file), padded);

    clitest::writeFile(file, packets + "x");
    EXPECT_FALSE(padToAlignedUnits(file, &error));
    EXPECT_NE(error.find("is not a whole number of 192-byte source packets"), std::string::npos);
}

}  // namespace
}  // namespace merrowcli::disc
