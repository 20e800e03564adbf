// The titles' clips on the disc, made from videos a phone or a camera gives (made here with
// ffmpeg): what ffprobe reads in every clip (codec, profile, level, size, frame rate, audio,
// PIDs), their size in whole aligned units, pictures turned upright and fitted with black bars,
// a conforming video copied rather than encoded again, and the clip cache.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/CliTestSupport.h"
#include "tests/cli/disc/ClipTestMedia.h"

namespace {

namespace fs = std::filesystem;
using cliptest::commandOutput;
using clitest::CommandResult;

// The titles, in project order: UserTitle_N has clip 0000N.
const std::vector<std::string> kVideos = {"phone.mp4", "sixty.mp4", "old.mkv", "vertical.mp4",
                                          "camera.m2ts"};

// ffprobe's key=value lines of one stream ("v:0", "a:0") of a file.
std::map<std::string, std::string> probe(const fs::path& file, const std::string& stream,
                                         const std::string& entries) {
    std::map<std::string, std::string> values;
    std::istringstream lines(commandOutput("ffprobe -v error -select_streams " + stream +
                                           " -show_entries " + entries + " -of default=nw=1 '" +
                                           file.string() + "'"));
    std::string line;
    while (std::getline(lines, line)) {
        const size_t equals = line.find('=');
        if (equals != std::string::npos) values[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return values;
}

// The first decoded frame as 8-bit grey, width x height (turned upright as ffmpeg's player
// turns it).
std::string greyFrame(const fs::path& file, int width, int height) {
    return commandOutput("ffmpeg -v error -nostdin -i '" + file.string() +
                         "' -frames:v 1 -vf scale=" + std::to_string(width) + ":" +
                         std::to_string(height) + " -pix_fmt gray -f rawvideo -");
}

// The mean level of a column of a grey frame (-1 when the frame is not of that size).
double columnMean(const std::string& grey, int width, int height, int x) {
    if (grey.size() != static_cast<size_t>(width * height)) return -1;
    double sum = 0;
    for (int y = 0; y < height; ++y) sum += static_cast<unsigned char>(grey[y * width + x]);
    return sum / height;
}

class Clips : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!cliptest::haveFfmpeg()) return;
        temp_ = new clitest::TemporaryFolder();
        const fs::path media = temp_->path() / "media";
        fs::create_directories(media);
        // A phone video stored sideways (a display matrix of 90 degrees), top half red and
        // bottom half blue as stored, with AAC audio at 44.1 kHz.
        const std::string halves =
            "-f lavfi -i color=red:size=320x90:rate=30:duration=1 -f lavfi -i "
            "color=blue:size=320x90:rate=30:duration=1 -f lavfi -i "
            "sine=sample_rate=44100:duration=1 -filter_complex vstack -c:v libx264 "
            "-preset ultrafast -c:a aac";
        ok_ = cliptest::ffmpeg(halves, media / "stored.mp4") &&
              cliptest::ffmpeg(
                  "-i '" + (media / "stored.mp4").string() + "' -c copy -metadata:s:v:0 rotate=90",
                  media / "phone.mp4") &&
              cliptest::ffmpeg("-f lavfi -i testsrc=size=320x180:rate=60:duration=1 -c:v mpeg4",
                               media / "sixty.mp4") &&
              // 4:3 at 10 frames a second, white: black bars left and right.
              cliptest::ffmpeg(
                  "-f lavfi -i color=white:size=320x240:rate=10:duration=1 -c:v "
                  "mpeg4",
                  media / "old.mkv") &&
              cliptest::ffmpeg(
                  "-f lavfi -i color=white:size=180x320:rate=30:duration=1 -c:v "
                  "mpeg4",
                  media / "vertical.mp4") &&
              // What a Blu-ray camera writes: H.264 High 4.1, 1080p at 23.976, AC-3 48 kHz.
              cliptest::ffmpeg(
                  "-f lavfi -i testsrc=size=1920x1080:rate=24000/1001:duration=1 "
                  "-f lavfi -i sine=sample_rate=48000:duration=1 -c:v libx264 "
                  "-preset veryfast -profile:v high -level 4.1 -pix_fmt yuv420p "
                  "-x264-params bluray-compat=1 -c:a ac3 -f mpegts",
                  media / "camera.m2ts");
        if (!ok_) return;
        std::string titles;
        for (const std::string& video : kVideos) titles += "    <title video=\"" + video + "\"/>\n";
        const fs::path project = clitest::copyTestProject("small", temp_->path(), "project");
        clitest::writeFile(project / "project.xml",
                           "<project media=\"../media\">\n  <presentation "
                           "file=\"presentation.xml\"/>\n  <titles>\n" +
                               titles + "  </titles>\n</project>\n");
        first_ = new CommandResult(disc("first", {"-v"}));
    }
    static void TearDownTestSuite() {
        delete first_;
        first_ = nullptr;
        delete temp_;
        temp_ = nullptr;
    }
    void SetUp() override {
        if (!cliptest::haveFfmpeg()) GTEST_SKIP() << "ffmpeg and ffprobe are not installed";
        if (!fs::exists(fs::path(MERROWKIT_BIN_DIR) / "merrowkit-player.jar")) {
            GTEST_SKIP() << "the BD-J player is not built";
        }
        ASSERT_TRUE(ok_) << "ffmpeg could not make the test videos";
        ASSERT_EQ(first_->status, 0) << first_->err;
    }

    static CommandResult disc(const std::string& name, std::vector<std::string> extra) {
        std::vector<std::string> args = {"disc", (temp_->path() / "project").string(), "-o",
                                         (temp_->path() / name).string()};
        args.insert(args.end(), extra.begin(), extra.end());
        return clitest::runMerrowkit(args, temp_->path(),
                                     {"XDG_CACHE_HOME=" + (temp_->path() / "cache").string()});
    }
    static fs::path clip(const std::string& disc, int number) {
        char name[16];
        std::snprintf(name, sizeof name, "%05d.m2ts", number);
        return temp_->path() / disc / "BDMV/STREAM" / name;
    }
    static fs::path media(const std::string& name) { return temp_->path() / "media" / name; }
    static int count(const std::string& text, const std::string& what) {
        int n = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
            ++n;
        }
        return n;
    }

    static clitest::TemporaryFolder* temp_;
    static bool ok_;
    static CommandResult* first_;
};

clitest::TemporaryFolder* Clips::temp_ = nullptr;
bool Clips::ok_ = false;
CommandResult* Clips::first_ = nullptr;

TEST_F(Clips, EveryClipIsWhatAPlayerAccepts) {
    // Each source's rate becomes the nearest Blu-ray rate: 60 halves to 29.97.
    const std::vector<std::string> rates = {"30000/1001", "30000/1001", "24000/1001", "30000/1001",
                                            "24000/1001"};
    for (size_t i = 0; i < kVideos.size(); ++i) {
        SCOPED_TRACE(kVideos[i]);
        const fs::path file = clip("first", static_cast<int>(i) + 1);
        ASSERT_TRUE(fs::is_regular_file(file));
        EXPECT_EQ(fs::file_size(file) % 6144, 0u);
        const auto video =
            probe(file, "v:0", "stream=codec_name,profile,level,width,height,r_frame_rate,id");
        EXPECT_EQ(video.at("codec_name"), "h264");
        EXPECT_EQ(video.at("profile"), "High");
        EXPECT_LE(std::stoi(video.at("level")), 41);
        EXPECT_EQ(video.at("width"), "1920");
        EXPECT_EQ(video.at("height"), "1080");
        EXPECT_EQ(video.at("r_frame_rate"), rates[i]);
        EXPECT_EQ(video.at("id"), "0x1011");
        const auto program = probe(file, "v:0", "program=pmt_pid");
        EXPECT_EQ(program.at("pmt_pid"), "256");
    }
    // A converted clip lasts as long as its video: one second of 10 frames is 24 frames at
    // 23.976, and one of 60 frames is 30 at 29.97.
    const auto frames = [](int number) {
        return probe(clip("first", number), "v:0", "stream=nb_read_frames -count_frames")
            .at("nb_read_frames");
    };
    EXPECT_EQ(frames(3), "24");
    EXPECT_EQ(frames(2), "30");
    // Audio: AAC at 44.1 kHz converted, AC-3 at 48 kHz kept; videos without sound have none.
    for (const int number : {1, 5}) {
        const auto audio = probe(clip("first", number), "a:0", "stream=codec_name,sample_rate,id");
        EXPECT_EQ(audio.at("codec_name"), "ac3") << number;
        EXPECT_EQ(audio.at("sample_rate"), "48000") << number;
        EXPECT_EQ(audio.at("id"), "0x1100") << number;
    }
    EXPECT_TRUE(probe(clip("first", 2), "a:0", "stream=codec_name").empty());
}

TEST_F(Clips, PicturesAreTurnedUprightAndFittedWithBlackBars) {
    constexpr int kW = 192;
    constexpr int kH = 108;
    // The sideways phone video, as ffmpeg's own player turns it, against the clip's picture.
    const std::string upright = greyFrame(media("phone.mp4"), 18, 32);
    ASSERT_EQ(upright.size(), 18u * 32u);
    const bool redOnTheLeft = columnMean(upright, 18, 32, 2) > columnMean(upright, 18, 32, 15);
    const std::string phone = greyFrame(clip("first", 1), kW, kH);
    ASSERT_EQ(phone.size(), static_cast<size_t>(kW * kH));
    // 180x320 fitted into 1920x1080 is 607 wide: bars of 656 each side (65 of 192).
    EXPECT_LT(columnMean(phone, kW, kH, 30), 20);
    EXPECT_LT(columnMean(phone, kW, kH, kW - 30), 20);
    // Red is lighter than blue in grey: the halves are side by side, where the player shows them.
    const double left = columnMean(phone, kW, kH, 80);
    const double right = columnMean(phone, kW, kH, 112);
    EXPECT_GT(std::abs(left - right), 20);
    EXPECT_EQ(left > right, redOnTheLeft);

    // 4:3 (white): bars of 240 each side (24 of 192), white between.
    const std::string old = greyFrame(clip("first", 3), kW, kH);
    ASSERT_EQ(old.size(), static_cast<size_t>(kW * kH));
    EXPECT_LT(columnMean(old, kW, kH, 10), 20);
    EXPECT_GT(columnMean(old, kW, kH, 30), 200);
    EXPECT_GT(columnMean(old, kW, kH, kW - 30), 200);
    EXPECT_LT(columnMean(old, kW, kH, kW - 10), 20);
    // Vertical (white): 607 wide in the middle.
    const std::string vertical = greyFrame(clip("first", 4), kW, kH);
    EXPECT_LT(columnMean(vertical, kW, kH, 50), 20);
    EXPECT_GT(columnMean(vertical, kW, kH, 96), 200);
    EXPECT_LT(columnMean(vertical, kW, kH, kW - 50), 20);
}

TEST_F(Clips, AConformingVideoIsCopiedNotEncodedAgain) {
    // Its decoded frames are the source's, bit for bit: an encoder would have changed them.
    const auto frames = [](const fs::path& file) {
        std::string lines;
        std::istringstream in(commandOutput("ffmpeg -v error -nostdin -i '" + file.string() +
                                            "' -map 0:v:0 -f framemd5 -"));
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line[0] != '#') lines += line.substr(line.rfind(',') + 1) + "\n";
        }
        return lines;
    };
    const std::string source = frames(media("camera.m2ts"));
    EXPECT_EQ(count(source, "\n"), 24);
    EXPECT_EQ(frames(clip("first", 5)), source);
    EXPECT_NE(first_->err.find("camera.m2ts: clip 00005.m2ts: video h264 High 4.1 1920x1080 "
                               "23.976p copied, audio ac3 copied"),
              std::string::npos)
        << first_->err;
    EXPECT_EQ(count(first_->err, " converted ("), 4) << first_->err;
}

TEST_F(Clips, ASecondDiscTakesItsClipsFromTheCacheWithTheSameBytes) {
    const CommandResult second = disc("second", {"-v"});
    ASSERT_EQ(second.status, 0) << second.err;
    // No clip is made again: every one comes from the cache.
    EXPECT_EQ(count(second.err, "from the cache\n"), 5) << second.err;
    EXPECT_EQ(count(second.err, " converted ("), 0) << second.err;
    EXPECT_NE(second.out.find("5 clips (0 converted, 0 copied, 5 from the cache)"),
              std::string::npos)
        << second.out;
    for (int number = 1; number <= 5; ++number) {
        EXPECT_EQ(clitest::readFile(clip("first", number)),
                  clitest::readFile(clip("second", number)))
            << number;
    }
    // Made anew without the cache, the clips have the same bytes: the cache changes nothing.
    const CommandResult fresh = disc("fresh", {"--no-cache", "-q"});
    ASSERT_EQ(fresh.status, 0) << fresh.err;
    EXPECT_TRUE(clitest::folderContents(temp_->path() / "first") ==
                clitest::folderContents(temp_->path() / "fresh"));
}

TEST_F(Clips, AChangedVideoIsConvertedAgain) {
    // The same name, other pictures: only this title is made again.
    ASSERT_TRUE(
        cliptest::ffmpeg("-f lavfi -i color=black:size=320x240:rate=25:duration=1 -c:v "
                         "mpeg4",
                         media("old.mkv")));
    const CommandResult again = disc("again", {"-v"});
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(count(again.err, "from the cache\n"), 4) << again.err;
    EXPECT_NE(again.err.find("old.mkv: clip 00003.m2ts: video mpeg4"), std::string::npos)
        << again.err;
    const std::string black = greyFrame(clip("again", 3), 192, 108);
    EXPECT_LT(columnMean(black, 192, 108, 96), 30);
}

TEST(ClipErrors, AVideoThatCannotBeReadIsOneLineNamingIt) {
    if (!fs::exists(fs::path(MERROWKIT_BIN_DIR) / "merrowkit-player.jar")) GTEST_SKIP();
    clitest::TemporaryFolder temp;
    const fs::path project = clitest::copyTestProject("small", temp.path(), "project");
    clitest::writeFile(temp.path() / "broken.mp4", "this is no video");
    clitest::writeFile(project / "project.xml",
                       "<project media=\"..\">\n  <presentation file=\"presentation.xml\"/>\n"
                       "  <titles><title video=\"broken.mp4\"/></titles>\n</project>\n");
    const CommandResult run = clitest::runMerrowkit(
        {"disc", project.string(), "-o", (temp.path() / "disc").string(), "--no-cache"},
        temp.path());
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(clitest::linesOf(run.err).size(), 1u) << run.err;
    EXPECT_EQ(run.err.rfind("merrowkit: " + (project / ".." / "broken.mp4").string() +
                                ": cannot be read as a video: ",
                            0),
              0u)
        << run.err;
    EXPECT_FALSE(fs::exists(temp.path() / "disc"));
}

TEST(ClipProgress, ATerminalSeesHowFarTheClipIsAndQuietSeesNothing) {
    if (!cliptest::haveFfmpeg() || std::system("script --version >/dev/null 2>&1") != 0 ||
        !fs::exists(fs::path(MERROWKIT_BIN_DIR) / "merrowkit-player.jar")) {
        GTEST_SKIP() << "needs ffmpeg, script (bsdutils) and the BD-J player";
    }
    clitest::TemporaryFolder temp;
    const fs::path project = clitest::copyTestProject("small", temp.path(), "project");
    ASSERT_TRUE(cliptest::ffmpeg("-f lavfi -i testsrc=size=160x120:rate=10:duration=1 -c:v mpeg4",
                                 temp.path() / "walk.mp4"));
    clitest::writeFile(project / "project.xml",
                       "<project media=\"..\">\n  <presentation file=\"presentation.xml\"/>\n"
                       "  <titles><title video=\"walk.mp4\"/></titles>\n</project>\n");
    // script(1) gives the program a terminal; its stderr goes there with its stdout.
    const auto onTerminal = [&](const std::string& options, const std::string& name) {
        const std::string command = std::string(MERROWKIT_BIN_DIR) + "/merrowkit disc '" +
                                    project.string() + "' -o '" + (temp.path() / name).string() +
                                    "' --no-cache " + options;
        return commandOutput("script -qec \"" + command + "\" /dev/null 2>&1");
    };
    const std::string shown = onTerminal("", "disc");
    EXPECT_NE(shown.find("\rmerrowkit: clip 1/1 (walk.mp4) 100%"), std::string::npos) << shown;
    EXPECT_NE(shown.find("wrote the disc"), std::string::npos) << shown;
    const std::string quiet = onTerminal("-q", "quiet");
    EXPECT_EQ(quiet.find("clip 1/1"), std::string::npos) << quiet;
    EXPECT_TRUE(fs::is_regular_file(temp.path() / "quiet/BDMV/STREAM/00001.m2ts"));
}

}  // namespace
