// Which titles have videos, where the videos are and their chapter starts, as `merrowkit disc`
// reads them from project.xml and the videos' containers.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/core/Messages.h"
#include "cli/disc/ClipTitles.h"
#include "support/CliTestSupport.h"
#include "tests/cli/disc/ClipTestMedia.h"

namespace {

namespace fs = std::filesystem;
using merrowcli::disc::readTitleClips;
using merrowcli::disc::TitleClip;

class ClipTitles : public ::testing::Test {
protected:
    void SetUp() override {
        if (!cliptest::haveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
        project_ = temp_.path() / "project";
        fs::create_directories(project_);
        fs::create_directories(temp_.path() / "media/2023");
    }
    void writeProject(const std::string& titles, const std::string& media = "../media") {
        clitest::writeFile(project_ / "project.xml",
                           "<project media=\"" + media +
                               "\">\n  <presentation file=\"presentation.xml\"/>\n  <titles>\n" +
                               titles + "  </titles>\n</project>\n");
    }
    fs::path media(const std::string& name) const { return temp_.path() / "media" / name; }

    clitest::TemporaryFolder temp_;
    fs::path project_;
};

TEST_F(ClipTitles, NumbersUserTitlesAndReadsChapterStarts) {
    // The container's chapters, at 90 kHz.
    const fs::path chapters =
        cliptest::chapterMetadata(temp_.path() / "chapters.txt", {0, 500, 1200}, 2000);
    ASSERT_TRUE(cliptest::ffmpeg("-f lavfi -i testsrc=size=64x48:rate=10:duration=2 -i '" +
                                     chapters.string() + "' -map_metadata 1 -c:v mpeg4",
                                 media("2023/a b.mkv")));
    ASSERT_TRUE(cliptest::ffmpeg("-f lavfi -i testsrc=size=64x48:rate=10:duration=1 -c:v mpeg4",
                                 media("plain.mp4")));
    writeProject(
        "    <title video=\"2023/a b.mkv\"/>\n"
        "    <title kind=\"playlist\" video=\"plain.mp4\"/>\n"
        "    <title/>\n"
        "    <title video=\"plain.mp4\"/>\n");
    std::vector<TitleClip> titles;
    std::string error;
    ASSERT_TRUE(readTitleClips(project_, &titles, &error)) << error;
    ASSERT_EQ(titles.size(), 2u);
    EXPECT_EQ(titles[0].number, 1);
    EXPECT_TRUE(fs::equivalent(titles[0].video, media("2023/a b.mkv")));
    EXPECT_EQ(titles[0].chapterStarts90k, (std::vector<int64_t>{0, 45000, 108000}));
    // The playlist title is no user title; the third user title has no video.
    EXPECT_EQ(titles[1].number, 3);
    EXPECT_EQ(titles[1].chapterStarts90k, (std::vector<int64_t>{0}));
}

TEST_F(ClipTitles, AnAbsoluteMediaFolderAndEscapedNames) {
    ASSERT_TRUE(cliptest::ffmpeg("-f lavfi -i testsrc=size=64x48:rate=10:duration=1 -c:v mpeg4",
                                 media("caf\xe9.mp4")));
    writeProject("    <title video=\"caf%E9.mp4\"/>\n", (temp_.path() / "media").string());
    std::vector<TitleClip> titles;
    std::string error;
    ASSERT_TRUE(readTitleClips(project_, &titles, &error)) << error;
    ASSERT_EQ(titles.size(), 1u);
    EXPECT_TRUE(fs::equivalent(titles[0].video, media("caf\xe9.mp4")));
}

TEST_F(ClipTitles, AMissingOrUnreadableVideoIsAnErrorNamingIt) {
    writeProject("    <title/>\n    <title\n      video=\"2023/gone.mp4\"/>\n");
    std::vector<TitleClip> titles;
    std::string error;
    EXPECT_FALSE(readTitleClips(project_, &titles, &error));
    EXPECT_EQ(error, (project_ / "project.xml").string() + ":6: the video of title 2, " +
                         (project_ / "../media/2023/gone.mp4").string() + ", does not exist");

    clitest::writeFile(media("2023/gone.mp4"), "not a video at all");
    EXPECT_FALSE(readTitleClips(project_, &titles, &error));
    EXPECT_EQ(
        error.rfind(
            (project_ / "../media/2023/gone.mp4").string() + ": cannot be read as a video: ", 0),
        0u)
        << error;
}

}  // namespace
