// `merrowkit check DISC_DIR`: a disc whose titles play passes; each fault planted in a copy of
// it (a clip removed, a mark past the clip's end, an EP map entry moved off its I-frame, a
// 1080p stream at 60 frames a second, a title the menu plays without its playlist) gives status
// 1 and its own line naming the file.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "bdmv/ClipScan.h"
#include "bdmv/DiscFolder.h"
#include "bdmv/PlaylistFile.h"
#include "cli/disc/PlaylistWriter.h"
#include "support/CliTestSupport.h"
#include "support/ClipMaker.h"
#include "support/MinimalDiscLayout.h"

namespace {

namespace fs = std::filesystem;
using clitest::CommandResult;

class DiscCheck : public ::testing::Test {
protected:
    void SetUp() override {
        if (!merrowtest::canMakeClips()) GTEST_SKIP() << "no ffmpeg program with libx264";
        disc_ = temp_.path() / "disc";
        std::string error;
        ASSERT_TRUE(merrowtest::writeMinimalDiscLayout(disc_, &error)) << error;
    }

    // Clips of one second, an I-frame every 12 frames, with chapters at 0 and 0.5 s.
    void writeTitles(const std::vector<merrowtest::ClipRecipe>& recipes) {
        std::vector<merrowcli::disc::TitleClip> titles;
        for (size_t i = 0; i < recipes.size(); ++i) {
            ASSERT_TRUE(merrowtest::makeClip(clip(i + 1), recipes[i]));
            titles.push_back({static_cast<int>(i + 1), {}, {0, 45045}});
        }
        merrowcli::disc::PlaylistReport report;
        ASSERT_TRUE(merrowcli::disc::writePlaylists(disc_, titles, &report)) << report.error;
        clitest::writeFile(disc_ / "BDMV/JAR/00001/menu.bin",
                           std::string("MKMM\0\0\0\x01Play title UserTitle_1 chapter 2\0", 40));
    }

    fs::path clip(size_t number) const {
        return disc_ / ("BDMV/STREAM/0000" + std::to_string(number) + ".m2ts");
    }

    CommandResult check() { return clitest::runMerrowkit({"check", disc_.string()}, temp_.path()); }

    static merrowtest::ClipRecipe shortClip() {
        merrowtest::ClipRecipe recipe;
        recipe.seconds = 1;
        return recipe;
    }

    clitest::TemporaryFolder temp_;
    fs::path disc_;
};

TEST_F(DiscCheck, ADiscWhoseTitlesPlayFindsNothing) {
    writeTitles({shortClip(), shortClip()});
    const CommandResult run = check();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("every title can play (2 playlists, 2 clips, 4 marks, 4 entry points, "
                           "4 streams)"),
              std::string::npos)
        << run.out;
}

TEST_F(DiscCheck, EachPlantedFaultGivesItsLine) {
    merrowtest::ClipRecipe fast = shortClip();
    fast.width = 1920;
    fast.height = 1080;
    fast.rate = "60";
    fast.seconds = 0.5;
    fast.audio = false;
    writeTitles({shortClip(), shortClip(), shortClip(), fast});
    const std::string shown = disc_.string() + "/BDMV/";

    // Title 1: its clip removed.
    fs::remove(clip(1));
    // Title 2: a play item reaching a second past the clip's pictures, a mark in that second.
    merrowbdmv::ClipScan scan;
    std::string error;
    ASSERT_TRUE(merrowbdmv::scanClip(clip(2), &scan, &error)) << error;
    merrowbdmv::Playlist playlist;
    playlist.clipName = "00002";
    playlist.in90k = scan.firstPts90k;
    playlist.out90k = scan.endPts90k + 90000;
    playlist.streams = merrowbdmv::clipInfoOf(scan).streams;
    playlist.entryMarks90k = {scan.firstPts90k, scan.endPts90k + 45000};
    ASSERT_TRUE(merrowbdmv::writeWithBackup(disc_ / "BDMV", "PLAYLIST/00002.mpls",
                                            merrowbdmv::encodePlaylist(playlist), &error));
    // Title 3: its second entry point one packet past its I-frame.
    ASSERT_TRUE(merrowbdmv::scanClip(clip(3), &scan, &error)) << error;
    merrowbdmv::ClipInfo moved = merrowbdmv::clipInfoOf(scan);
    ASSERT_EQ(moved.entryPoints.size(), 2u);
    const uint32_t packet = ++moved.entryPoints[1].sourcePacket;
    ASSERT_TRUE(merrowbdmv::writeWithBackup(disc_ / "BDMV", "CLIPINF/00003.clpi",
                                            merrowbdmv::encodeClipInfo(moved), &error));
    // Title 5: offered by the menu, without a clip.
    clitest::writeFile(disc_ / "BDMV/JAR/00001/menu.bin",
                       std::string("MKMM\0\0\0\x01Play title UserTitle_5\0", 30));

    const CommandResult run = check();
    EXPECT_EQ(run.status, 1) << run.err;
    const std::vector<std::string> lines = clitest::linesOf(run.err);
    auto has = [&](const std::string& start, const std::string& rest) {
        for (const std::string& line : lines)
            if (line.find(shown + start) != std::string::npos &&
                line.find(rest) != std::string::npos)
                return true;
        return false;
    };
    EXPECT_TRUE(has("PLAYLIST/00001.mpls: ", "its clip BDMV/STREAM/00001.m2ts is missing"))
        << run.err;
    EXPECT_TRUE(has("PLAYLIST/00002.mpls: ", "mark 2 at 1.501 s is outside its clip 00002.m2ts"))
        << run.err;
    EXPECT_TRUE(has("CLIPINF/00003.clpi: ", "entry point 2 (packet " + std::to_string(packet) +
                                                ") does not point at an I-frame"))
        << run.err;
    EXPECT_TRUE(has("STREAM/00004.m2ts: ", "video stream 0x1011 is not what a player accepts") &&
                has("STREAM/00004.m2ts: ", "1920x1080 at 60p"))
        << run.err;
    EXPECT_TRUE(has("JAR/00001/menu.bin: ", "the menu plays UserTitle_5")) << run.err;
    EXPECT_EQ(lines.size(), 5u) << run.err;
    EXPECT_NE(run.out.find("5 problems"), std::string::npos) << run.out;
}

TEST_F(DiscCheck, TenEightyAtTwentyFiveIsAllowedInterlacedOnly) {
    merrowtest::ClipRecipe interlaced = shortClip();
    interlaced.width = 1920;
    interlaced.height = 1080;
    interlaced.rate = "25";
    interlaced.seconds = 0.5;
    interlaced.audio = false;
    interlaced.interlaced = true;
    merrowtest::ClipRecipe progressive = interlaced;
    progressive.interlaced = false;
    writeTitles({interlaced, progressive});

    const CommandResult run = check();
    EXPECT_EQ(run.status, 1) << run.err;
    const std::vector<std::string> lines = clitest::linesOf(run.err);
    ASSERT_EQ(lines.size(), 1u) << run.err;
    EXPECT_NE(lines[0].find("BDMV/STREAM/00002.m2ts: video stream 0x1011 is not what a player "
                            "accepts: 1920x1080 at 25p"),
              std::string::npos)
        << run.err;
}

TEST_F(DiscCheck, AFolderThatIsNoDiscIsStatusTwoWithOneLine) {
    const CommandResult run =
        clitest::runMerrowkit({"check", "--disc", temp_.path().string()}, temp_.path());
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(clitest::linesOf(run.err).size(), 1u) << run.err;
    EXPECT_NE(run.err.find(temp_.path().string()), std::string::npos) << run.err;
}

}  // namespace
