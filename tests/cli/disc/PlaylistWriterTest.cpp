// The clip information and playlists `merrowkit disc` writes for the clips in BDMV/STREAM, read
// back by libbluray as a player lists the disc's titles: each playlist's clip, duration and
// chapters at the title's chapter starts.
#include <gtest/gtest.h>
#include <libbluray/bluray.h>

#include <cmath>
#include <filesystem>
#include <map>

#include "bdmv/ClipScan.h"
#include "bdmv/DiscFolder.h"
#include "cli/disc/PlaylistWriter.h"
#include "support/ClipMaker.h"
#include "support/MinimalDiscLayout.h"
#include "support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using merrowcli::disc::PlaylistReport;
using merrowcli::disc::TitleClip;

constexpr double kFrame = 90000.0 * 1001 / 24000;

struct TitleRead {
    uint64_t duration = 0;
    std::string clip;
    std::vector<uint64_t> chapters;
};

// The titles libbluray lists, by playlist number.
std::map<uint32_t, TitleRead> readTitles(const fs::path& root) {
    std::map<uint32_t, TitleRead> titles;
    BLURAY* bd = bd_open(root.c_str(), nullptr);
    EXPECT_NE(bd, nullptr);
    if (!bd) return titles;
    const uint32_t count = bd_get_titles(bd, TITLES_ALL, 0);
    for (uint32_t i = 0; i < count; ++i) {
        BLURAY_TITLE_INFO* info = bd_get_title_info(bd, i, 0);
        if (!info) continue;
        TitleRead& title = titles[info->playlist];
        title.duration = info->duration;
        if (info->clip_count == 1) title.clip = info->clips[0].clip_id;
        for (uint32_t k = 0; k < info->chapter_count; ++k)
            title.chapters.push_back(info->chapters[k].start);
        bd_free_title_info(info);
    }
    bd_close(bd);
    return titles;
}

class PlaylistWriter : public ::testing::Test {
protected:
    void SetUp() override {
        if (!merrowtest::canMakeClips()) GTEST_SKIP() << "no ffmpeg program with libx264";
        std::string error;
        ASSERT_TRUE(merrowtest::writeMinimalDiscLayout(root_.path(), &error)) << error;
    }

    fs::path stream(const std::string& name) { return root_ / ("BDMV/STREAM/" + name); }

    merrowtest::TempFolder root_{"merrowkit-playlists"};
};

TEST_F(PlaylistWriter, EachClipBecomesATitleWithItsChapters) {
    merrowtest::ClipRecipe recipe;  // 2 s at 23.976, an I-frame every half second
    ASSERT_TRUE(merrowtest::makeClip(stream("00001.m2ts"), recipe));
    recipe.seconds = 1;
    ASSERT_TRUE(merrowtest::makeClip(stream("00002.m2ts"), recipe));
    // Title 1: chapters at 0, 0.5 s (an I-frame), 1.3 s (between two) and one past the end.
    const std::vector<TitleClip> titles = {{1, {}, {0, 45045, 117117, 900000}}};
    PlaylistReport report;
    ASSERT_TRUE(merrowcli::disc::writePlaylists(root_.path(), titles, &report)) << report.error;

    ASSERT_EQ(report.playlists.size(), 2u);
    ASSERT_EQ(report.warnings.size(), 1u);
    EXPECT_NE(report.warnings[0].find("PLAYLIST/00001.mpls: chapter 4"), std::string::npos)
        << report.warnings[0];
    for (const char* file : {"CLIPINF/00001.clpi", "PLAYLIST/00001.mpls", "CLIPINF/00002.clpi",
                             "PLAYLIST/00002.mpls"}) {
        EXPECT_TRUE(fs::exists(root_ / "BDMV" / file)) << file;
        EXPECT_TRUE(fs::exists(root_ / "BDMV/BACKUP" / file)) << file;
    }

    const std::map<uint32_t, TitleRead> read = readTitles(root_.path());
    ASSERT_EQ(read.size(), 2u);
    const TitleRead& first = read.at(1);
    EXPECT_EQ(first.clip, "00001");
    EXPECT_NEAR(static_cast<double>(first.duration), 48 * kFrame, kFrame);
    ASSERT_EQ(first.chapters.size(), 3u);
    EXPECT_EQ(first.chapters[0], 0u);
    EXPECT_NEAR(static_cast<double>(first.chapters[1]), 45045, kFrame);
    EXPECT_NEAR(static_cast<double>(first.chapters[2]), 117117, kFrame);
    // A title without chapters given has one, at its start.
    const TitleRead& second = read.at(2);
    EXPECT_EQ(second.clip, "00002");
    EXPECT_NEAR(static_cast<double>(second.duration), 24 * kFrame, kFrame);
    EXPECT_EQ(second.chapters, std::vector<uint64_t>{0});
}

TEST_F(PlaylistWriter, APlayerSeeksToEachChapterAtItsIFrameAndReadsTheClip) {
    merrowtest::ClipRecipe recipe;  // I-frames at 0, 0.5, 1 and 1.5 s
    ASSERT_TRUE(merrowtest::makeClip(stream("00001.m2ts"), recipe));
    PlaylistReport report;
    ASSERT_TRUE(
        merrowcli::disc::writePlaylists(root_.path(), {{1, {}, {0, 45045, 135135}}}, &report))
        << report.error;
    merrowbdmv::ClipScan scan;
    std::string error;
    ASSERT_TRUE(merrowbdmv::scanClip(stream("00001.m2ts"), &scan, &error)) << error;
    ASSERT_EQ(scan.keyFrames.size(), 4u);

    BLURAY* bd = bd_open(root_.path().c_str(), nullptr);
    ASSERT_NE(bd, nullptr);
    ASSERT_EQ(bd_get_titles(bd, TITLES_ALL, 0), 1u);
    ASSERT_EQ(bd_select_playlist(bd, 1), 1);
    // Chapter 2 starts at the second I-frame, chapter 3 at the fourth: the player lands on the
    // packet where that frame starts, and reads transport packets from there.
    const struct {
        unsigned chapter;
        size_t frame;
    } seeks[] = {{1, 1}, {2, 3}, {0, 0}};
    for (const auto& seek : seeks) {
        const int64_t at = bd_seek_chapter(bd, seek.chapter);
        EXPECT_EQ(at, int64_t{scan.keyFrames[seek.frame].sourcePacket} * 192)
            << "chapter " << seek.chapter + 1;
        unsigned char unit[6144];
        ASSERT_EQ(bd_read(bd, unit, sizeof unit), 6144);
        for (size_t packet = 0; packet < 32; ++packet) EXPECT_EQ(unit[packet * 192 + 4], 0x47);
    }
    bd_close(bd);
}

TEST_F(PlaylistWriter, AnEmptyStreamFolderWritesNothingAndABrokenClipIsNamed) {
    PlaylistReport report;
    ASSERT_TRUE(merrowcli::disc::writePlaylists(root_.path(), {}, &report)) << report.error;
    EXPECT_TRUE(report.playlists.empty());
    EXPECT_TRUE(fs::is_empty(root_ / "BDMV/PLAYLIST"));

    fs::create_directories(stream(""));
    std::ofstream(stream("00003.m2ts"), std::ios::binary) << std::string(6144, '\0');
    EXPECT_FALSE(merrowcli::disc::writePlaylists(root_.path(), {}, &report));
    EXPECT_NE(report.error.find("STREAM/00003.m2ts"), std::string::npos) << report.error;
    EXPECT_FALSE(fs::exists(root_ / "BDMV/PLAYLIST/00003.mpls"));
}

}  // namespace
