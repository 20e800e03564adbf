// Clips made by ffmpeg, scanned with libavformat: their streams, their I-frames and the packets
// where those start.
#include <gtest/gtest.h>

#include <fstream>

#include "bdmv/ClipScan.h"
#include "support/ClipMaker.h"
#include "support/TempFolder.h"

namespace {

using merrowbdmv::ClipScan;

class ClipScanTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!merrowtest::canMakeClips()) GTEST_SKIP() << "no ffmpeg program with libx264";
    }
    merrowtest::TempFolder folder_{"merrowbdmv-scan"};
};

TEST_F(ClipScanTest, FindsTheStreamsAndEveryIFrameWhereItsPacketStarts) {
    const auto file = folder_ / "00001.m2ts";
    merrowtest::ClipRecipe recipe;  // 2 s of 720p at 23.976, an I-frame every 12 frames
    ASSERT_TRUE(merrowtest::makeClip(file, recipe));
    ClipScan scan;
    std::string error;
    ASSERT_TRUE(merrowbdmv::scanClip(file, &scan, &error)) << error;

    EXPECT_EQ(uint64_t{scan.sourcePackets} * 192, std::filesystem::file_size(file));
    ASSERT_EQ(scan.streams.size(), 2u);
    const merrowbdmv::ScannedStream& video = scan.streams[0];
    EXPECT_EQ(video.pid, 0x1011);
    EXPECT_EQ(video.codec, "h264");
    EXPECT_EQ(video.profile, 100);
    EXPECT_EQ(video.level, 41);
    EXPECT_EQ(video.width, 1280);
    EXPECT_EQ(video.height, 720);
    EXPECT_EQ(video.frameRateNum, 24000);
    EXPECT_EQ(video.frameRateDen, 1001);
    EXPECT_FALSE(video.interlaced);
    EXPECT_EQ(video.coding.format, merrowbdmv::kVideo720p);
    EXPECT_EQ(video.coding.rate, merrowbdmv::kRate23976);
    const merrowbdmv::ScannedStream& audio = scan.streams[1];
    EXPECT_EQ(audio.codec, "ac3");
    EXPECT_EQ(audio.sampleRate, 48000);
    EXPECT_EQ(audio.coding.codingType, merrowbdmv::kCodingAc3);
    EXPECT_EQ(audio.coding.rate, merrowbdmv::kAudio48kHz);

    // 48 frames, an I-frame every 12: four, 12 frame times apart, each at a packet of the
    // video PID that starts a PES packet.
    const double frame = 90000.0 * 1001 / 24000;
    ASSERT_EQ(scan.keyFrames.size(), 4u);
    EXPECT_EQ(scan.keyFrames[0].pts90k, scan.firstPts90k);
    for (size_t i = 0; i < scan.keyFrames.size(); ++i) {
        EXPECT_NEAR(scan.keyFrames[i].pts90k - scan.firstPts90k, i * 12 * frame, 1) << i;
        EXPECT_TRUE(merrowbdmv::packetStartsPes(file, scan.keyFrames[i].sourcePacket, 0x1011));
        if (i > 0) {
            EXPECT_GT(scan.keyFrames[i].sourcePacket, scan.keyFrames[i - 1].sourcePacket);
        }
    }
    EXPECT_NEAR(scan.endPts90k - scan.firstPts90k, 48 * frame, 1);
    EXPECT_FALSE(merrowbdmv::packetStartsPes(file, scan.keyFrames[1].sourcePacket + 1, 0x1011));

    const merrowbdmv::ClipInfo clip = merrowbdmv::clipInfoOf(scan);
    ASSERT_EQ(clip.streams.size(), 2u);
    EXPECT_TRUE(clip.streams[0].isVideo());
    EXPECT_EQ(clip.entryPoints.size(), 4u);
    EXPECT_FALSE(merrowbdmv::encodeClipInfo(clip).empty());
}

TEST_F(ClipScanTest, AFileThatIsNoClipIsRefusedWithItsName) {
    const auto file = folder_ / "00002.m2ts";
    std::ofstream(file, std::ios::binary) << std::string(192 * 4, 'x');
    ClipScan scan;
    std::string error;
    EXPECT_FALSE(merrowbdmv::scanClip(file, &scan, &error));
    EXPECT_NE(error.find("00002.m2ts"), std::string::npos) << error;
    std::ofstream(file, std::ios::binary | std::ios::app) << "odd";
    EXPECT_FALSE(merrowbdmv::scanClip(file, &scan, &error));
    EXPECT_NE(error.find("192-byte"), std::string::npos) << error;
}

}  // namespace
