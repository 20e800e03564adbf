// Clip information and playlists read back by libbluray: its clip parser, and its title list,
// whose durations, chapters and chapter byte offsets go through the EP map's coarse and fine
// entries exactly as a player's seek does.
#include <gtest/gtest.h>
#include <libbluray/bluray.h>
#include <libbluray/clpi_data.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "bdmv/ClipInfoFile.h"
#include "bdmv/DiscFolder.h"
#include "bdmv/PlaylistFile.h"
#include "support/MinimalDiscLayout.h"

namespace fs = std::filesystem;
using namespace merrowbdmv;

namespace {

// A clip of 300 I-frames about a second apart, starting past 2^20 ticks, whose PTS high bits
// change every few seconds and whose packet numbers cross 2^17: both coarse boundaries occur.
constexpr int kFrames = 300;
constexpr int64_t kFirstPts = 1 << 20;
constexpr int64_t kStep = 176 * 512;  // a multiple of the fine part's resolution
constexpr uint32_t kPacketsPerStep = 700;

ClipInfo longClip() {
    ClipInfo clip;
    clip.sourcePackets = kFrames * kPacketsPerStep + 32;
    clip.presentationStart90k = kFirstPts;
    clip.presentationEnd90k = kFirstPts + kFrames * kStep;
    ClipStream video;
    video.pid = 0x1011;
    video.codingType = kCodingH264;
    video.format = kVideo1080p;
    video.rate = kRate23976;
    ClipStream audio;
    audio.pid = 0x1100;
    audio.codingType = kCodingAc3;
    audio.format = kAudioStereo;
    audio.rate = kAudio48kHz;
    audio.language = "eng";
    clip.streams = {video, audio};
    for (int i = 0; i < kFrames; ++i)
        clip.entryPoints.push_back({kFirstPts + i * kStep, 3 + i * kPacketsPerStep});
    return clip;
}

Playlist longPlaylist(const ClipInfo& clip, std::vector<int> markFrames) {
    Playlist playlist;
    playlist.clipName = "00001";
    playlist.in90k = clip.presentationStart90k;
    playlist.out90k = clip.presentationEnd90k;
    playlist.streams = clip.streams;
    for (int frame : markFrames) playlist.entryMarks90k.push_back(kFirstPts + frame * kStep);
    return playlist;
}

class ClipAndPlaylist : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("merrowbdmv-" + std::to_string(getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        std::string error;
        ASSERT_TRUE(merrowtest::writeMinimalDiscLayout(root_, &error)) << error;
    }
    void TearDown() override { fs::remove_all(root_); }

    void write(const ClipInfo& clip, const Playlist& playlist) {
        const std::vector<uint8_t> clpi = encodeClipInfo(clip);
        const std::vector<uint8_t> mpls = encodePlaylist(playlist);
        ASSERT_FALSE(clpi.empty());
        ASSERT_FALSE(mpls.empty());
        std::string error;
        ASSERT_TRUE(writeWithBackup(root_ / "BDMV", "CLIPINF/00001.clpi", clpi, &error)) << error;
        ASSERT_TRUE(writeWithBackup(root_ / "BDMV", "PLAYLIST/00001.mpls", mpls, &error)) << error;
    }

    fs::path root_;
};

TEST_F(ClipAndPlaylist, LibblurayReadsTheClipAndEveryEntryPoint) {
    const ClipInfo clip = longClip();
    write(clip, longPlaylist(clip, {0}));
    clpi_cl* read = bd_read_clpi((root_ / "BDMV/CLIPINF/00001.clpi").c_str());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->clip.num_source_packets, clip.sourcePackets);
    EXPECT_EQ(read->clip.clip_stream_type, 1);
    ASSERT_EQ(read->sequence.num_atc_seq, 1);
    ASSERT_EQ(read->sequence.atc_seq[0].num_stc_seq, 1);
    EXPECT_EQ(read->sequence.atc_seq[0].stc_seq[0].pcr_pid, 0x1011);
    EXPECT_EQ(read->sequence.atc_seq[0].stc_seq[0].presentation_start_time, kFirstPts / 2);
    EXPECT_EQ(read->sequence.atc_seq[0].stc_seq[0].presentation_end_time,
              (kFirstPts + kFrames * kStep) / 2);

    ASSERT_EQ(read->program.num_prog, 1);
    ASSERT_EQ(read->program.progs[0].num_streams, 2);
    const CLPI_PROG_STREAM& video = read->program.progs[0].streams[0];
    EXPECT_EQ(video.pid, 0x1011);
    EXPECT_EQ(video.coding_type, kCodingH264);
    EXPECT_EQ(video.format, kVideo1080p);
    EXPECT_EQ(video.rate, kRate23976);
    EXPECT_EQ(video.aspect, kAspect16x9);
    const CLPI_PROG_STREAM& audio = read->program.progs[0].streams[1];
    EXPECT_EQ(audio.coding_type, kCodingAc3);
    EXPECT_EQ(audio.format, kAudioStereo);
    EXPECT_EQ(audio.rate, kAudio48kHz);
    EXPECT_STREQ(audio.lang, "eng");

    ASSERT_EQ(read->cpi.num_stream_pid, 1);
    const CLPI_EP_MAP_ENTRY& map = read->cpi.entry[0];
    EXPECT_EQ(map.pid, 0x1011);
    ASSERT_EQ(map.num_ep_fine, kFrames);
    EXPECT_GT(map.num_ep_coarse, 2);
    // Each fine entry, joined with the coarse entry that covers it, gives back the frame.
    int coarse = 0;
    for (int i = 0; i < kFrames; ++i) {
        while (coarse + 1 < map.num_ep_coarse && map.coarse[coarse + 1].ref_ep_fine_id <= i)
            ++coarse;
        const uint32_t spn = (map.coarse[coarse].spn_ep & ~0x1ffffu) + map.fine[i].spn_ep;
        const uint64_t pts45k = (static_cast<uint64_t>(map.coarse[coarse].pts_ep & ~1) << 18) +
                                (static_cast<uint64_t>(map.fine[i].pts_ep) << 8);
        EXPECT_EQ(spn, clip.entryPoints[i].sourcePacket) << "entry " << i;
        EXPECT_EQ(pts45k * 2, static_cast<uint64_t>(clip.entryPoints[i].pts90k)) << "entry " << i;
    }
    bd_free_clpi(read);
}

TEST_F(ClipAndPlaylist, TheTitleHasItsDurationChaptersAndTheirPackets) {
    const ClipInfo clip = longClip();
    const std::vector<int> marks = {0, 5, 100, 190, 298, 299};
    write(clip, longPlaylist(clip, marks));

    BLURAY* bd = bd_open(root_.c_str(), nullptr);
    ASSERT_NE(bd, nullptr);
    ASSERT_EQ(bd_get_titles(bd, TITLES_ALL, 0), 1u);
    BLURAY_TITLE_INFO* title = bd_get_title_info(bd, 0, 0);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->playlist, 1u);
    EXPECT_EQ(title->duration, static_cast<uint64_t>(kFrames * kStep));
    ASSERT_EQ(title->clip_count, 1u);
    EXPECT_STREQ(title->clips[0].clip_id, "00001");
    EXPECT_EQ(title->clips[0].in_time, static_cast<uint64_t>(kFirstPts));
    ASSERT_EQ(title->clips[0].video_stream_count, 1);
    EXPECT_EQ(title->clips[0].video_streams[0].pid, 0x1011);
    EXPECT_EQ(title->clips[0].video_streams[0].format, kVideo1080p);
    ASSERT_EQ(title->clips[0].audio_stream_count, 1);
    EXPECT_EQ(title->clips[0].audio_streams[0].coding_type, kCodingAc3);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(title->clips[0].audio_streams[0].lang)),
              "eng");
    ASSERT_EQ(title->chapter_count, marks.size());
    for (size_t k = 0; k < marks.size(); ++k) {
        EXPECT_EQ(title->chapters[k].start, static_cast<uint64_t>(marks[k] * kStep)) << k;
        // libbluray finds the chapter's packet through the EP map, as a seek does; the title
        // counts bytes from the clip's first packet.
        EXPECT_EQ(title->chapters[k].offset,
                  uint64_t{clip.entryPoints[marks[k]].sourcePacket} * 192)
            << k;
    }
    bd_free_title_info(title);
    bd_close(bd);
}

TEST_F(ClipAndPlaylist, WhatDoesNotFitTheFormatIsRefused) {
    ClipInfo clip = longClip();
    Playlist playlist = longPlaylist(clip, {0});
    playlist.entryMarks90k.push_back(clip.presentationEnd90k);  // the end is not inside
    EXPECT_TRUE(encodePlaylist(playlist).empty());
    playlist = longPlaylist(clip, {0});
    playlist.clipName = "1";
    EXPECT_TRUE(encodePlaylist(playlist).empty());

    std::swap(clip.entryPoints[3], clip.entryPoints[4]);
    EXPECT_TRUE(encodeClipInfo(clip).empty());
    clip = longClip();
    clip.streams.erase(clip.streams.begin());  // no video
    EXPECT_TRUE(encodeClipInfo(clip).empty());
}

}  // namespace
