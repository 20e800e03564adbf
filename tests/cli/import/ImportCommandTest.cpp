// End-to-end runs of the built `merrowkit import` on media the test makes (JPEGs with EXIF dates
// and orientations, a PNG dated by its modification time, videos with and without chapters)
// across a year's end, a leap day and a month with one entry: the navigation numbers, the
// grouping by --gap, the chapters, the pictures, determinism, the build of the imported project,
// and the replacement rules of the project folder.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "cli/import/art/PhotoReader.h"
#include "cli/import/art/Picture.h"
#include "cli/import/art/PngFile.h"
#include "cli/import/art/TextPicture.h"
#include "samples/tools/MediaMaker.h"
#include "support/CliTestSupport.h"
#include "tests/cli/import/art/ArtTestSupport.h"

namespace {

namespace fs = std::filesystem;
namespace media = merrowtest::media;
using clitest::attributeOf;
using clitest::countOf;
using clitest::readFile;
using clitest::runMerrowkit;
using merrowcli::import::Picture;
using merrowtest::art::near;
using merrowtest::art::rgbAt;

constexpr std::uint32_t kRed = 0xff0000;
constexpr std::uint32_t kBlue = 0x0000ff;
constexpr std::uint32_t kGreen = 0x00c000;
constexpr std::uint32_t kMagenta = 0xc000c0;
const std::vector<std::string> kUtc = {"TZ=UTC"};

// A displayed picture of width x height whose top half is red and bottom half blue, stored as a
// camera held sideways stores it for EXIF orientation 6 (turned a quarter clockwise to show) or 8
// (a quarter anticlockwise).
Picture redOverBlueStoredFor(int orientation, int width, int height) {
    Picture stored;
    stored.width = height;
    stored.height = width;
    stored.rgba.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    for (int y = 0; y < stored.height; ++y) {
        for (int x = 0; x < stored.width; ++x) {
            // Orientation 6: the stored left half is the displayed top; 8: the right half is.
            const bool left = x < stored.width / 2;
            const bool red = orientation == 6 ? left : !left;
            const std::uint32_t rgb = red ? kRed : kBlue;
            std::uint8_t* p = &stored.rgba[(static_cast<size_t>(y) * stored.width + x) * 4];
            p[0] = static_cast<std::uint8_t>(rgb >> 16);
            p[1] = static_cast<std::uint8_t>(rgb >> 8);
            p[2] = static_cast<std::uint8_t>(rgb);
            p[3] = 0xff;
        }
    }
    return stored;
}

// Width and height from a PNG file's header.
std::pair<int, int> pngSize(const fs::path& file) {
    const std::string bytes = readFile(file);
    if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) return {-1, -1};
    const auto be32 = [&](size_t at) {
        return static_cast<int>(
            (static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) << 24) |
            (static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 16) |
            (static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 8) |
            static_cast<unsigned char>(bytes[at + 3]));
    };
    return {be32(16), be32(20)};
}

Picture readPicture(const fs::path& file) {
    std::string error;
    std::optional<Picture> picture = merrowcli::import::readPhoto(file, 1, error);
    EXPECT_TRUE(picture.has_value()) << error;
    return picture ? *picture : Picture{};
}

// The media of the tests, made once: (times in UTC; the runs use TZ=UTC)
//   2023-12-31 10:00  sideways/f.jpg  orientation 8, DateTimeOriginal
//   2023-12-31 23:30  d.png           no EXIF, modification time
//   2024-01-01 00:15  e.JPG           DateTime only
//   2024-02-29 09:00  leap/a.jpg      orientation 6, DateTimeOriginal
//   2024-02-29 10:30  leap/b.jpeg     DateTimeDigitized only
//   2024-02-29 11:00  leap/party.mp4  3 s, chapters "Arrival" at 0 and "The cake" at 1.5 s
//   2024-02-29 13:00  leap/c.jpg      DateTimeOriginal
//   2024-03-15 18:00  march/walk.mkv  2 s, no chapters (the one entry of its month)
// and a broken.jpg (not a JPEG) and a notes.txt (not media).
class ImportCommand : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // The media's local times are made in UTC, as the runs see them; TZ is put back after.
        if (const char* zone = std::getenv("TZ")) savedZone_ = new std::string(zone);
        setenv("TZ", "UTC", 1);
        tzset();
        folder_ = new clitest::TemporaryFolder();
        const fs::path in = mediaFolder();
        fs::create_directories(in / "sideways");
        fs::create_directories(in / "leap");
        fs::create_directories(in / "march");
        media::makeJpeg(in / "sideways/f.jpg", redOverBlueStoredFor(8, 320, 180),
                        {"2023:12:31 10:00:00", "", "", 8});
        media::makePng(in / "d.png", 200, 150, {media::Pattern::Kind::Scene, 0x6080c0, 2});
        media::setModificationTime(in / "d.png", media::localTime(2023, 12, 31, 23, 30));
        media::makeJpeg(in / "e.JPG", 240, 180, {media::Pattern::Kind::Scene, 0x80a0e0, 3},
                        {"", "", "2024:01:01 00:15:00", 0});
        media::makeJpeg(in / "leap/a.jpg", redOverBlueStoredFor(6, 320, 180),
                        {"2024:02:29 09:00:00", "", "", 6});
        media::makeJpeg(in / "leap/b.jpeg", 320, 180, {media::Pattern::Kind::Corners, 0x404040},
                        {"", "2024:02:29 10:30:00", "", 1});
        media::makeJpeg(in / "leap/c.jpg", 320, 180, {media::Pattern::Kind::Scene, 0xc0a060, 4},
                        {"2024:02:29 13:00:00", "", "", 0});
        clitest::writeFile(in / "broken.jpg", "this is not a picture\n");
        clitest::writeFile(in / "notes.txt", "not media\n");
        haveVideos_ = media::canMakeVideos();
        if (haveVideos_) {
            media::VideoRecipe party;
            party.seconds = 3;
            party.colours = {kGreen, kMagenta};
            party.chapters = {{0, "Arrival"}, {1.5, "The cake"}};
            party.creationTime = "2024-02-29T11:00:00Z";
            media::makeVideo(in / "leap/party.mp4", party);
            media::VideoRecipe walk;
            walk.seconds = 2;
            walk.creationTime = "2024-03-15T18:00:00Z";
            media::makeVideo(in / "march/walk.mkv", walk);
        }
        importResult_ = new clitest::CommandResult(
            runMerrowkit({"import", in.string(), "-o", project().string()}, folder_->path(), kUtc));
    }
    static void TearDownTestSuite() {
        delete importResult_;
        importResult_ = nullptr;
        delete folder_;
        folder_ = nullptr;
        if (savedZone_ != nullptr) {
            setenv("TZ", savedZone_->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        delete savedZone_;
        savedZone_ = nullptr;
        tzset();
    }
    void SetUp() override {
        ASSERT_EQ(importResult_->status, 0) << importResult_->err;
        if (!haveVideos_) GTEST_SKIP() << "the ffmpeg program is not installed";
    }

    static fs::path mediaFolder() { return folder_->path() / "media"; }
    static fs::path project() { return folder_->path() / "project"; }
    static fs::path presentation() { return project() / "presentation.xml"; }
    static fs::path art(const std::string& name) { return project() / "art" / "media" / name; }
    static std::string attribute(const std::string& element, const std::string& id,
                                 const std::string& name, const fs::path& file = presentation()) {
        return attributeOf(file, "//NS:" + element + "[@id='" + id + "']", name);
    }
    // "TITLE_NUMBER/PHOTO_NUMBER" of an entry.
    static std::string totals(const std::string& element, const std::string& id,
                              const fs::path& file = presentation()) {
        return attribute(element, id, "TITLE_NUMBER", file) + "/" +
               attribute(element, id, "PHOTO_NUMBER", file);
    }
    // The ids of the entries of a kind, in document order.
    static std::vector<std::string> idsOf(const std::string& element,
                                          const fs::path& file = presentation()) {
        std::vector<std::string> ids;
        const int count = countOf(file, "//NS:" + element);
        for (int at = 1; at <= count; ++at) {
            ids.push_back(
                attributeOf(file, "(//NS:" + element + ")[" + std::to_string(at) + "]", "id"));
        }
        return ids;
    }

    static clitest::TemporaryFolder* folder_;
    static clitest::CommandResult* importResult_;
    static bool haveVideos_;
    static std::string* savedZone_;
};

clitest::TemporaryFolder* ImportCommand::folder_ = nullptr;
clitest::CommandResult* ImportCommand::importResult_ = nullptr;
bool ImportCommand::haveVideos_ = false;
std::string* ImportCommand::savedZone_ = nullptr;

TEST_F(ImportCommand, SkipsTheUnreadableFileWithOneLineAndSummarises) {
    const std::vector<std::string> lines = clitest::linesOf(importResult_->err);
    ASSERT_EQ(lines.size(), 2u) << importResult_->err;
    const std::string prefix = (mediaFolder() / "broken.jpg").string() + ": skipped: ";
    EXPECT_EQ(lines[0].rfind(prefix, 0), 0u) << lines[0];
    EXPECT_GT(lines[0].size(), prefix.size());
    // The one photo dated by its modification time is named.
    EXPECT_EQ(lines[1].rfind((mediaFolder() / "d.png").string() +
                                 ": warning: dated only by its modification time",
                             0),
              0u)
        << lines[1];
    EXPECT_NE(importResult_->out.find("imported 6 photos and 2 videos"), std::string::npos)
        << importResult_->out;
    EXPECT_NE(importResult_->out.find("2 years, 4 months, 4 days, 7 contents"), std::string::npos)
        << importResult_->out;
    const std::string dated = haveVideos_ ? "; dated 5 by EXIF, 2 by container, 1 by file time\n"
                                          : "; dated 5 by EXIF, 1 by file time\n";
    EXPECT_NE(importResult_->out.find(dated), std::string::npos) << importResult_->out;
}

TEST_F(ImportCommand, NavigationNumbersAcrossYearEndLeapDayAndAOneEntryMonth) {
    EXPECT_EQ(attributeOf(presentation(), "//NS:dateInfo", "TITLE_NUMBER"), "2");
    EXPECT_EQ(attributeOf(presentation(), "//NS:dateInfo", "PHOTO_NUMBER"), "6");
    EXPECT_EQ(idsOf("yearInfo"), (std::vector<std::string>{"Year_2023", "Year_2024"}));
    EXPECT_EQ(idsOf("monthInfo"), (std::vector<std::string>{"Month_2023_12", "Month_2024_01",
                                                            "Month_2024_02", "Month_2024_03"}));
    EXPECT_EQ(idsOf("dayInfo"), (std::vector<std::string>{"Day_2023_12_31", "Day_2024_01_01",
                                                          "Day_2024_02_29", "Day_2024_03_15"}));
    EXPECT_EQ(attribute("yearInfo", "Year_2023", "content"), "2023");
    EXPECT_EQ(totals("yearInfo", "Year_2023"), "0/2");
    EXPECT_EQ(totals("yearInfo", "Year_2024"), "2/4");

    // index = month - 1, firstdayShift = weekday of the 1st (0 Sunday), monthDays = length.
    struct MonthNumbers {
        const char* id;
        const char* index;
        const char* shift;
        const char* days;
        const char* totals;
    };
    for (const MonthNumbers& m : {MonthNumbers{"Month_2023_12", "11", "5", "31", "0/2"},
                                  MonthNumbers{"Month_2024_01", "0", "1", "31", "0/1"},
                                  MonthNumbers{"Month_2024_02", "1", "4", "29", "1/3"},
                                  MonthNumbers{"Month_2024_03", "2", "5", "31", "1/0"}}) {
        SCOPED_TRACE(m.id);
        EXPECT_EQ(attribute("monthInfo", m.id, "index"), m.index);
        EXPECT_EQ(attribute("monthInfo", m.id, "firstdayShift"), m.shift);
        EXPECT_EQ(attribute("monthInfo", m.id, "monthDays"), m.days);
        EXPECT_EQ(totals("monthInfo", m.id), m.totals);
    }
    for (const auto& [id, index, numbers] :
         {std::tuple{"Day_2023_12_31", "30", "0/2"}, std::tuple{"Day_2024_01_01", "0", "0/1"},
          std::tuple{"Day_2024_02_29", "28", "1/3"}, std::tuple{"Day_2024_03_15", "14", "1/0"}}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(attribute("dayInfo", id, "index"), index);
        EXPECT_EQ(totals("dayInfo", id), numbers);
    }

    // Contents: the slideshow's start frames follow the photos in time order across the year's
    // end; the video between the leap day's photos is a title content of its own.
    EXPECT_EQ(idsOf("contentInfo"),
              (std::vector<std::string>{"Content_2023_12_31_1", "Content_2023_12_31_2",
                                        "Content_2024_01_01_1", "Content_2024_02_29_1",
                                        "Content_2024_02_29_2", "Content_2024_02_29_3",
                                        "Content_2024_03_15_1"}));
    struct ContentNumbers {
        const char* id;
        const char* time;
        const char* photos;
        const char* startFrame;
        const char* title;
    };
    for (const ContentNumbers& c :
         {ContentNumbers{"Content_2023_12_31_1", "10:00", "1", "0", ""},
          ContentNumbers{"Content_2023_12_31_2", "23:30", "1", "1", ""},
          ContentNumbers{"Content_2024_01_01_1", "00:15", "1", "2", ""},
          ContentNumbers{"Content_2024_02_29_1", "09:00", "2", "3", ""},
          ContentNumbers{"Content_2024_02_29_2", "11:00", "", "", "UserTitle_1"},
          ContentNumbers{"Content_2024_02_29_3", "13:00", "1", "5", ""},
          ContentNumbers{"Content_2024_03_15_1", "18:00", "", "", "UserTitle_2"}}) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(attribute("contentInfo", c.id, "content"), c.time);
        EXPECT_EQ(attribute("contentInfo", c.id, "PHOTO_NUMBER"), c.photos);
        EXPECT_EQ(attribute("contentInfo", c.id, "startFrame"), c.startFrame);
        EXPECT_EQ(attribute("contentInfo", c.id, "titleInfoID"), c.title);
        EXPECT_EQ(attribute("contentInfo", c.id, "thumbnailId"), std::string("TH_") + c.id);
    }

    // The slideshow lists the photos in that order, relative to the media folder.
    const fs::path slideshow = project() / "slideshow.xml";
    EXPECT_EQ(countOf(slideshow, "/slideshow/photo"), 6);
    const std::vector<std::string> files = {"sideways/f.jpg", "d.png",       "e.JPG",
                                            "leap/a.jpg",     "leap/b.jpeg", "leap/c.jpg"};
    for (size_t at = 0; at < files.size(); ++at) {
        EXPECT_EQ(
            attributeOf(slideshow, "/slideshow/photo[" + std::to_string(at + 1) + "]", "file"),
            files[at]);
    }
    EXPECT_EQ(attributeOf(slideshow, "/slideshow/photo[1]", "orientation"), "8");
    EXPECT_EQ(attributeOf(slideshow, "/slideshow/photo[2]", "date"), "2023-12-31");
    EXPECT_EQ(attributeOf(slideshow, "/slideshow/photo[2]", "time"), "23:30:00");
}

TEST_F(ImportCommand, GapDecidesWhichPhotosShareASlideshow) {
    // a 09:00 and b 10:30 are 1.5 h apart: one content at --gap 2 (above), two at --gap 1; b and
    // c (13:00) are 2.5 h apart: two contents at --gap 2, one at --gap 3.
    const fs::path narrow = folder_->path() / "gap1";
    const clitest::CommandResult one =
        runMerrowkit({"import", mediaFolder().string(), "-o", narrow.string(), "--gap", "1", "-q"},
                     folder_->path(), kUtc);
    ASSERT_EQ(one.status, 0) << one.err;
    const fs::path narrowXml = narrow / "presentation.xml";
    EXPECT_EQ(countOf(narrowXml, "//NS:dayInfo[@id='Day_2024_02_29']/NS:contentInfo"), 4);
    EXPECT_EQ(attribute("contentInfo", "Content_2024_02_29_1", "PHOTO_NUMBER", narrowXml), "1");
    EXPECT_EQ(attribute("contentInfo", "Content_2024_02_29_2", "content", narrowXml), "10:30");
    EXPECT_EQ(attribute("contentInfo", "Content_2024_02_29_2", "startFrame", narrowXml), "4");
    EXPECT_EQ(attribute("contentInfo", "Content_2024_02_29_3", "titleInfoID", narrowXml),
              "UserTitle_1");
    // The day's totals do not depend on the grouping.
    EXPECT_EQ(totals("dayInfo", "Day_2024_02_29", narrowXml), "1/3");

    const fs::path wide = folder_->path() / "gap3";
    const clitest::CommandResult three =
        runMerrowkit({"import", mediaFolder().string(), "-o", wide.string(), "--gap", "3", "-q"},
                     folder_->path(), kUtc);
    ASSERT_EQ(three.status, 0) << three.err;
    const fs::path wideXml = wide / "presentation.xml";
    // a, b and c form one slideshow; the video in between does not split it.
    EXPECT_EQ(countOf(wideXml, "//NS:dayInfo[@id='Day_2024_02_29']/NS:contentInfo"), 2);
    EXPECT_EQ(attribute("contentInfo", "Content_2024_02_29_1", "PHOTO_NUMBER", wideXml), "3");
    EXPECT_EQ(attribute("contentInfo", "Content_2024_02_29_2", "titleInfoID", wideXml),
              "UserTitle_1");
    // 13.5 h between the year's last photos still splits them.
    EXPECT_EQ(countOf(wideXml, "//NS:dayInfo[@id='Day_2023_12_31']/NS:contentInfo"), 2);

    const clitest::CommandResult bad =
        runMerrowkit({"import", mediaFolder().string(), "-o", (folder_->path() / "bad").string(),
                      "--gap", "two"},
                     folder_->path(), kUtc);
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("--gap"), std::string::npos) << bad.err;
    EXPECT_FALSE(fs::exists(folder_->path() / "bad"));
}

TEST_F(ImportCommand, ChaptersComeFromTheContainerOrOneAtTheStart) {
    EXPECT_EQ(idsOf("titleInfo"), (std::vector<std::string>{"UserTitle_1", "UserTitle_2"}));
    EXPECT_EQ(countOf(presentation(), "//NS:titleInfo[@id='UserTitle_1']/NS:chapterInfo"), 2);
    EXPECT_EQ(countOf(presentation(), "//NS:titleInfo[@id='UserTitle_2']/NS:chapterInfo"), 1);
    EXPECT_EQ(attribute("chapterInfo", "Chapter_1_1", "index"), "1");
    EXPECT_EQ(attribute("chapterInfo", "Chapter_1_2", "index"), "2");
    EXPECT_EQ(attribute("chapterInfo", "Chapter_2_1", "index"), "1");
    EXPECT_EQ(attribute("chapterInfo", "Chapter_1_2", "textId"), "TX_Chapter_1_2");

    // The chapters' text pictures show the container's titles, else "Chapter K".
    const auto expectText = [](const std::string& id, const std::string& text) {
        SCOPED_TRACE(id);
        const std::string file =
            attributeOf(presentation(), "//NS:text[@id='TX_" + id + "']", "image");
        ASSERT_FALSE(file.empty());
        const Picture written = readPicture(project() / file);
        const Picture expected =
            merrowcli::import::textPicture(text, written.width, written.height);
        EXPECT_EQ(written.rgba, expected.rgba);
        const Picture other =
            merrowcli::import::textPicture("Chapter 9", written.width, written.height);
        EXPECT_NE(written.rgba, other.rgba);
    };
    expectText("Chapter_1_1", "Arrival");
    expectText("Chapter_1_2", "The cake");
    expectText("Chapter_2_1", "Chapter 1");
    expectText("Year_2024", "2024");

    // A chapter's thumbnail is its start frame: the party's second half is magenta; the title
    // content shows the frame at a tenth of the length (green).
    const Picture second = readPicture(art("Chapter_1_2.png"));
    EXPECT_TRUE(near(rgbAt(second, second.width / 2, second.height / 2), kMagenta, 24));
    const Picture content = readPicture(art("Content_2024_02_29_2.png"));
    EXPECT_TRUE(near(rgbAt(content, content.width / 2, content.height / 2), kGreen, 24));

    // project.xml lists the two user titles with distinct GUIDs.
    const fs::path projectFile = project() / "project.xml";
    EXPECT_EQ(countOf(projectFile, "/project/titles/title[@kind='user']"), 2);
    EXPECT_NE(attributeOf(projectFile, "/project/titles/title[1]", "guid"),
              attributeOf(projectFile, "/project/titles/title[2]", "guid"));
    EXPECT_EQ(attributeOf(projectFile, "/project", "discFormat"), "10");

    // Each title names its video relative to the media folder, which project.xml records
    // relative to the project folder (both are in the same temporary folder).
    const std::string media = attributeOf(projectFile, "/project", "media");
    EXPECT_EQ(media, "../" + mediaFolder().filename().string());
    EXPECT_EQ(attributeOf(projectFile, "/project/titles/title[1]", "video"), "leap/party.mp4");
    EXPECT_EQ(attributeOf(projectFile, "/project/titles/title[2]", "video"), "march/walk.mkv");
    EXPECT_TRUE(
        fs::equivalent(project() / media / "march/walk.mkv", mediaFolder() / "march/walk.mkv"));
}

TEST_F(ImportCommand, ThumbnailsHaveTheDesignsSizesAndStandUpright) {
    struct Sizes {
        const char* prefix;
        int width;
        int height;
    };
    const Sizes sizes[] = {{"Year_", 320, 180},
                           {"Month_", 224, 126},
                           {"Day_", 224, 126},
                           {"Content_", 288, 162},
                           {"Chapter_", 320, 180}};
    int checked = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(project() / "art" / "media")) {
        const std::string name = entry.path().filename().string();
        if (name.size() > 9 && name.compare(name.size() - 9, 9, "_text.png") == 0) continue;
        for (const Sizes& s : sizes) {
            if (name.rfind(s.prefix, 0) != 0) continue;
            EXPECT_EQ(pngSize(entry.path()), std::make_pair(s.width, s.height)) << name;
            ++checked;
        }
    }
    // 2 years, 4 months, 4 days, 7 contents, 3 chapters: a thumbnail and a highlighted one each.
    EXPECT_EQ(checked, 2 * (2 + 4 + 4 + 7 + 3));
    EXPECT_EQ(pngSize(art("Year_2023_text.png")), std::make_pair(200, 40));
    EXPECT_EQ(pngSize(art("Chapter_1_1_text.png")), std::make_pair(320, 36));
    EXPECT_EQ(attributeOf(presentation(), "//NS:thumbnail[@id='TH_Content_2024_02_29_1']", "image"),
              "art/media/Content_2024_02_29_1.png");

    // Photos stored sideways (orientation 6 and 8) come out with red on top, blue below, in the
    // contents and in the day, month and year that show them.
    for (const char* name : {"Content_2024_02_29_1.png", "Day_2024_02_29.png", "Month_2024_02.png",
                             "Content_2023_12_31_1.png", "Year_2023.png"}) {
        SCOPED_TRACE(name);
        const Picture thumbnail = readPicture(art(name));
        ASSERT_GT(thumbnail.width, 0);
        const int w = thumbnail.width;
        const int h = thumbnail.height;
        EXPECT_TRUE(near(rgbAt(thumbnail, w / 4, 2), kRed, 40));
        EXPECT_TRUE(near(rgbAt(thumbnail, 3 * w / 4, 2), kRed, 40));
        EXPECT_TRUE(near(rgbAt(thumbnail, w / 4, h - 3), kBlue, 40));
        EXPECT_TRUE(near(rgbAt(thumbnail, 3 * w / 4, h - 3), kBlue, 40));
    }
    // The highlighted thumbnail differs from the plain one (a frame, a lighter inside).
    EXPECT_NE(readPicture(art("Content_2024_02_29_1.png")).rgba,
              readPicture(art("Content_2024_02_29_1_hl.png")).rgba);
}

TEST_F(ImportCommand, TheSameMediaGiveTheSameProjectBytesAndMessagesOnAnyNumberOfThreads) {
    // One thread reads and draws in order; three finish out of order.
    std::vector<std::string> messages;
    std::vector<std::map<std::string, std::string>> projects;
    for (const char* jobs : {"1", "3"}) {
        const fs::path again = folder_->path() / (std::string("again-") + jobs);
        const clitest::CommandResult run =
            runMerrowkit({"import", mediaFolder().string(), "-o", again.string(), "-v", "-j", jobs},
                         folder_->path(), kUtc);
        ASSERT_EQ(run.status, 0) << run.err;
        // The summary names the project folder; the rest is the same.
        std::string shown = run.err + run.out;
        for (size_t at = shown.find(again.string()); at != std::string::npos;
             at = shown.find(again.string())) {
            shown.replace(at, again.string().size(), "PROJECT");
        }
        messages.push_back(shown);
        projects.push_back(clitest::folderContents(again));
    }
    // -v names every file with its date source, in file order.
    EXPECT_NE(messages[0].find("broken.jpg: skipped"), std::string::npos) << messages[0];
    EXPECT_NE(messages[0].find("walk.mkv: dated by container"), std::string::npos) << messages[0];
    EXPECT_EQ(messages[1], messages[0]);
    const std::map<std::string, std::string> first = clitest::folderContents(project());
    EXPECT_GT(first.size(), 40u);
    for (const auto& second : projects) {
        ASSERT_EQ(first.size(), second.size());
        for (const auto& [name, bytes] : first) {
            const auto other = second.find(name);
            ASSERT_NE(other, second.end()) << name;
            EXPECT_TRUE(other->second == bytes) << name << " differs";
        }
    }
}

TEST_F(ImportCommand, TheImportedProjectBuildsWithoutWarningAndHoldsEveryEntry) {
    const fs::path out = folder_->path() / "built";
    const clitest::CommandResult run =
        runMerrowkit({"build", project().string(), "-o", out.string()}, folder_->path(), kUtc);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::string document = readFile(out / "AppPresentation.xml");
    int ids = 0;
    for (const char* element : {"yearInfo", "monthInfo", "dayInfo", "contentInfo"}) {
        for (const std::string& id : idsOf(element)) {
            EXPECT_NE(document.find("\"" + id + "\""), std::string::npos) << id;
            ++ids;
        }
    }
    EXPECT_EQ(ids, 2 + 4 + 4 + 7);
}

TEST_F(ImportCommand, AMediaFolderWithoutMediaIsBadInput) {
    const fs::path empty = folder_->path() / "nothing";
    fs::create_directories(empty / "sub");
    clitest::writeFile(empty / "sub" / "readme.txt", "no pictures here\n");
    const fs::path target = folder_->path() / "none";
    const clitest::CommandResult run =
        runMerrowkit({"import", empty.string(), "-o", target.string()}, folder_->path(), kUtc);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "merrowkit: " + empty.string() + ": no photos or videos found\n");
    EXPECT_FALSE(fs::exists(target));
}

TEST_F(ImportCommand, ReplacesOnlyAFolderThatHoldsNothingButAnImport) {
    const fs::path in = mediaFolder();
    const auto import = [&](const fs::path& target) {
        return runMerrowkit({"import", in.string(), "-o", target.string(), "-q"}, folder_->path(),
                            kUtc);
    };
    const fs::path target = folder_->path() / "replaced";
    ASSERT_EQ(import(target).status, 0);
    EXPECT_TRUE(fs::is_regular_file(target / ".merrowkit-import"));
    // An earlier import, with a stale picture of its own, is replaced as a whole.
    clitest::writeFile(target / "art" / "media" / "Day_1999_01_01.png", "old");
    const clitest::CommandResult again = import(target);
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_FALSE(fs::exists(target / "art" / "media" / "Day_1999_01_01.png"));
    EXPECT_TRUE(fs::is_regular_file(target / "presentation.xml"));

    // An import beside a file the import does not write is left alone.
    clitest::writeFile(target / "notes.txt", "mine");
    const clitest::CommandResult stray = import(target);
    EXPECT_EQ(stray.status, 2);
    EXPECT_NE(stray.err.find("notes.txt"), std::string::npos) << stray.err;
    EXPECT_EQ(readFile(target / "notes.txt"), "mine");

    // So is a folder of someone else's (no marker file), and a file in place of the folder.
    const fs::path other = folder_->path() / "other";
    fs::create_directories(other);
    clitest::writeFile(other / "presentation.xml", "<root/>");
    EXPECT_EQ(import(other).status, 2);
    EXPECT_EQ(readFile(other / "presentation.xml"), "<root/>");
    const fs::path file = folder_->path() / "a-file";
    clitest::writeFile(file, "x");
    EXPECT_EQ(import(file).status, 2);
    EXPECT_EQ(readFile(file), "x");

    // An empty folder is filled.
    const fs::path empty = folder_->path() / "empty";
    fs::create_directories(empty);
    EXPECT_EQ(import(empty).status, 0);
    EXPECT_TRUE(fs::is_regular_file(empty / "project.xml"));
}

// A file saved into the project folder while an import runs is not lost at the swap: the
// import stops (status 1), names it and leaves the new project in its staging folder.
TEST_F(ImportCommand, AFileSavedDuringTheImportIsKept) {
    const fs::path target = folder_->path() / "saved-during";
    const auto import = [&](const std::vector<std::string>& environment) {
        std::vector<std::string> all = kUtc;
        all.insert(all.end(), environment.begin(), environment.end());
        return runMerrowkit({"import", mediaFolder().string(), "-o", target.string(), "-q"},
                            folder_->path(), all);
    };
    ASSERT_EQ(import({}).status, 0);
    const auto before = clitest::folderContents(target);
    const clitest::CommandResult run =
        import({"MERROWKIT_TEST_PLANT_AT=commit:" + (target / "thesis.txt").string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(target.string() + ": not replaced: 'thesis.txt' appeared in it while "
                                             "this run was writing; the new output is left in "),
              std::string::npos)
        << run.err;
    EXPECT_EQ(readFile(target / "thesis.txt"), "planted\n");
    auto after = clitest::folderContents(target);
    after.erase("thesis.txt");
    EXPECT_EQ(after, before);
}

// A project folder inside the media folder (and anything else that holds merrowkit's marker or
// stamp) is not read as media: importing twice gives the same project.
TEST_F(ImportCommand, ItsOwnProjectFolderIsNotMedia) {
    const fs::path in = folder_->path() / "media-with-project";
    fs::copy(mediaFolder(), in, fs::copy_options::recursive);
    const fs::path target = in / "proj";
    const auto import = [&] {
        return runMerrowkit({"import", in.string(), "-o", target.string()}, folder_->path(), kUtc);
    };
    const clitest::CommandResult first = import();
    ASSERT_EQ(first.status, 0) << first.err;
    const auto project = clitest::folderContents(target);
    // A run's staging folder left beside it, with its stamp, is not read either.
    clitest::writeFile(in / ".proj.staging-1-abcdef" / ".merrowkit-run", "merrowkit 1\n");
    fs::copy(target / "art", in / ".proj.staging-1-abcdef" / "art", fs::copy_options::recursive);
    const clitest::CommandResult second = import();
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(second.out, first.out);
    EXPECT_EQ(clitest::folderContents(target), project);
}

// Names that are not UTF-8 or hold control characters: slideshow.xml stays well-formed with
// the name percent-encoded, and the terminal gets the control characters escaped.
TEST_F(ImportCommand, NamesThatAreNotTextStaySafe) {
    const fs::path in = folder_->path() / "odd-names";
    fs::create_directories(in);
    media::makeJpeg(in / "caf\xe9.jpg", 64, 48, {media::Pattern::Kind::Solid, 0x808080},
                    {"2024:05:01 10:00:00", "", "", 0});
    clitest::writeFile(in / "\x1b]0;owned\x07\x1b[2J.jpg", "not a photo\n");
    // A camera whose clock was never set: the date counts as missing, the file's time is used.
    media::makeJpeg(in / "unset.jpg", 64, 48, {media::Pattern::Kind::Solid, 0x404040},
                    {"1900:01:01 00:00:00", "", "", 0});
    media::setModificationTime(in / "unset.jpg", media::localTime(2024, 6, 2, 12, 0));
    const fs::path target = folder_->path() / "odd-project";
    const clitest::CommandResult run =
        runMerrowkit({"import", in.string(), "-o", target.string()}, folder_->path(), kUtc);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err.find('\x1b'), std::string::npos);
    EXPECT_NE(run.err.find("\\x1B]0;owned\\x07\\x1B[2J.jpg: skipped: "), std::string::npos)
        << run.err;
    EXPECT_EQ(countOf(target / "slideshow.xml", "//photo[@file='caf%E9.jpg']"), 1);
    EXPECT_EQ(countOf(target / "slideshow.xml", "//photo[@file='unset.jpg'][@date='2024-06-02']"),
              1);
    EXPECT_EQ(countOf(target / "presentation.xml", "//NS:yearInfo[@id='Year_1900']"), 0);
}

// A file below a path longer than PATH_MAX cannot be read; it is named, not dropped.
TEST_F(ImportCommand, APathLongerThanPathMaxIsNamedAsSkipped) {
    const fs::path in = folder_->path() / "deep";
    fs::create_directories(in);
    media::makeJpeg(in / "top.jpg", 64, 48, {media::Pattern::Kind::Solid, 0x808080},
                    {"2024:05:01 10:00:00", "", "", 0});
    // Made by going down one folder at a time, as no path this long can be given at once.
    const std::string name(200, 'd');
    const fs::path start = fs::current_path();
    fs::current_path(in);
    for (int depth = 0; depth < 22; ++depth) {
        fs::create_directory(name);
        fs::current_path(name);
    }
    std::ofstream("deep.jpg") << "x";
    fs::current_path(start);
    const clitest::CommandResult run = runMerrowkit(
        {"import", in.string(), "-o", (folder_->path() / "deep-project").string(), "-q"},
        folder_->path(), kUtc);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find(": skipped: File name too long"), std::string::npos) << run.err;
    // Removed the same way, before the temporary folder's own removal meets it.
    fs::current_path(in);
    for (int depth = 0; depth < 21; ++depth) fs::current_path(name);
    fs::remove_all(name);
    for (int depth = 0; depth < 21; ++depth) {
        fs::current_path("..");
        fs::remove_all(name);
    }
    fs::current_path(start);
}

// A video's chapters beyond the first 99 are left out with a warning; titles that are not
// UTF-8 are drawn without a word from Pango.
TEST_F(ImportCommand, ChaptersAreBoundedAndTheirTitlesMadeText) {
    const fs::path in = folder_->path() / "many-chapters";
    fs::create_directories(in);
    media::VideoRecipe recipe;
    recipe.seconds = 12;
    recipe.width = 64;
    recipe.height = 48;
    recipe.creationTime = "2024-04-01T10:00:00Z";
    for (int i = 0; i < 120; ++i) {
        recipe.chapters.push_back({i * 0.1, i == 0 ? std::string("Caf\xe9 \xff") : ""});
    }
    media::makeVideo(in / "long.mkv", recipe);
    const fs::path target = folder_->path() / "many-chapters-project";
    const clitest::CommandResult run =
        runMerrowkit({"import", in.string(), "-o", target.string()}, folder_->path(), kUtc);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, (in / "long.mkv").string() +
                           ": warning: only the first 99 of its 120 chapters are kept\n");
    EXPECT_EQ(countOf(target / "presentation.xml", "//NS:titleInfo/NS:chapterInfo"), 99);
}

}  // namespace

namespace {

// The media folder the repository ships for the README's set-up run: every file is read, the
// calendar spans the two years with the leap day and the year's end, and it builds cleanly.
TEST(ImportCommandSample, TheShippedMediaImportAndBuildWithoutWarning) {
    clitest::TemporaryFolder temp;
    const fs::path in = fs::path(MERROWKIT_SOURCE_DIR) / "samples" / "media";
    const fs::path project = temp.path() / "media-project";
    const clitest::CommandResult imported =
        runMerrowkit({"import", in.string(), "-o", project.string()}, temp.path(), kUtc);
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(imported.err, "");
    EXPECT_NE(imported.out.find("imported 44 photos and 2 videos"), std::string::npos)
        << imported.out;
    const fs::path document = project / "presentation.xml";
    EXPECT_EQ(countOf(document, "//NS:yearInfo"), 2);
    EXPECT_EQ(attributeOf(document, "//NS:monthInfo[@id='Month_2024_02']", "monthDays"), "29");
    EXPECT_EQ(attributeOf(document, "//NS:dayInfo[@id='Day_2024_02_29']", "TITLE_NUMBER"), "1");
    EXPECT_EQ(countOf(document, "//NS:dayInfo[@id='Day_2023_12_31']"), 1);
    EXPECT_EQ(countOf(document, "//NS:dayInfo[@id='Day_2024_01_01']"), 1);
    EXPECT_EQ(countOf(document, "//NS:titleInfo/NS:chapterInfo"), 4);

    const fs::path out = temp.path() / "media-out";
    const clitest::CommandResult built =
        runMerrowkit({"build", project.string(), "-o", out.string()}, temp.path(), kUtc);
    ASSERT_EQ(built.status, 0) << built.err;
    EXPECT_EQ(built.err, "");
    EXPECT_TRUE(fs::is_regular_file(out / "AppPresentation.xml"));
}

// A playlist saved under a video's name is skipped, not followed to the file it names outside
// the media folder.
TEST(ImportCommandPlaylist, APlaylistNamedLikeAVideoIsSkipped) {
    if (!media::canMakeVideos()) GTEST_SKIP() << "the ffmpeg program is not installed";
    clitest::TemporaryFolder folder;
    const fs::path in = folder.path() / "media";
    fs::create_directories(in);
    fs::create_directories(folder.path() / "outside");
    const fs::path outside = folder.path() / "outside" / "private.ts";
    media::VideoRecipe red;
    red.colours = {0xd02020};
    media::makeVideo(outside, red);
    media::makeJpeg(in / "a.jpg", 320, 180, {media::Pattern::Kind::Solid, 0x2040c0},
                    {"2024:05:01 10:00:00", "", "", 0});
    clitest::writeFile(in / "holiday.mp4", "#EXTM3U\n#EXT-X-TARGETDURATION:4\n#EXTINF:3.0,\n" +
                                               outside.string() + "\n#EXT-X-ENDLIST\n");
    const clitest::CommandResult result = runMerrowkit(
        {"import", in.string(), "-o", (folder.path() / "project").string()}, folder.path(), kUtc);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find((in / "holiday.mp4").string() +
                              ": skipped: not a video in a container the import reads"),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.out.find("imported 1 photo and 0 videos"), std::string::npos) << result.out;
}

}  // namespace
