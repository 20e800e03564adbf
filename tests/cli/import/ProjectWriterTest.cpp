// The files an import writes, from a calendar made in memory and the shipped design: the
// design's sizes, a reference document that the build's checks pass without a warning and
// that names every entry, title GUIDs, and bytes that do not change from run to run.

#include <gtest/gtest.h>
#include <libxml/parser.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "cli/build/InputLint.h"
#include "cli/import/MediaReader.h"
#include "cli/import/ProjectWriter.h"
#include "support/TempFolder.h"

namespace merrowcli::import {
namespace {

const char* const kDesign = MERROWKIT_SOURCE_DIR "/designs/calendar";

std::vector<MediaItem> media() {
    std::vector<MediaItem> items;
    const auto add = [&](const char* path, MediaKind kind, LocalTime taken,
                         std::vector<Chapter> chapters = {}) {
        MediaItem item;
        item.path = path;
        item.kind = kind;
        item.taken = taken;
        item.orientation = kind == MediaKind::kPhoto ? 6 : 0;
        item.duration = 20;
        item.chapters = std::move(chapters);
        items.push_back(item);
    };
    add("2023/eve.jpg", MediaKind::kPhoto, {2023, 12, 31, 22, 0, 0});
    add("2023/eve.mp4", MediaKind::kVideo, {2023, 12, 31, 23, 0, 0},
        {{0, "Start"}, {10, "Midnight & after"}});
    add("2024/leap.jpg", MediaKind::kPhoto, {2024, 2, 29, 9, 5, 0});
    add("2024/leap2.jpg", MediaKind::kPhoto, {2024, 2, 29, 9, 7, 0});
    add("2024/one.mov", MediaKind::kVideo, {2024, 3, 3, 15, 0, 0});
    return items;
}

struct Written {
    Design design;
    Calendar calendar;
    ArtPlan plan;
    std::string presentation;
};

void write(Written* out) {
    std::string error;
    ASSERT_TRUE(out->design.load(kDesign, &error)) << error;
    out->calendar = makeCalendar(media(), 2.0);
    out->plan = planArt(out->calendar, out->design.sizes());
    out->presentation = presentationXml(out->calendar, out->design, out->plan);
}

TEST(ProjectWriterTest, TheShippedDesignGivesThePictureSizes) {
    Design design;
    std::string error;
    ASSERT_TRUE(design.load(kDesign, &error)) << error;
    const DesignSizes& sizes = design.sizes();
    EXPECT_EQ(sizes.year, (Size{320, 180}));
    EXPECT_EQ(sizes.yearText, (Size{200, 40}));
    EXPECT_EQ(sizes.month, (Size{224, 126}));
    EXPECT_EQ(sizes.day, (Size{224, 126}));
    EXPECT_EQ(sizes.content, (Size{288, 162}));
    EXPECT_EQ(sizes.chapter, (Size{320, 180}));
    EXPECT_EQ(sizes.chapterText, (Size{320, 36}));
    // Only the design's own art: no per-entry thumbnails of the sample.
    for (const std::string& picture : design.pictures()) {
        EXPECT_EQ(picture.find("photo_"), std::string::npos) << picture;
    }
    EXPECT_EQ(design.pictures().size(), 29u);
}

TEST(ProjectWriterTest, ADesignWithoutTheGridTemplatesIsRefused) {
    Design design;
    std::string error;
    EXPECT_FALSE(design.load(MERROWKIT_SOURCE_DIR "/samples/templates", &error));
    EXPECT_NE(error.find("design.xml"), std::string::npos) << error;
}

// A broken design.xml names the line of its first error, not of the last of the many that
// libxml2 would report after it (a comment of hyphens reports one per pair).
TEST(ProjectWriterTest, ABrokenDesignNamesItsFirstError) {
    merrowtest::TempFolder folder("merrowkit-design");
    {
        std::ofstream out(folder / "design.xml");
        out << "<?xml version=\"1.0\"?>\n<root>\n<!-- a -- b -->\n"
            << "<!-- " << std::string(2000, '-') << " -->\n</root>\n";
    }
    Design design;
    std::string error;
    EXPECT_FALSE(design.load(folder.path(), &error));
    EXPECT_NE(error.find("design.xml:3: not a well-formed XML document"), std::string::npos)
        << error;
}

TEST(ProjectWriterTest, ReferenceDocumentPassesTheBuildsChecksAndNamesEveryEntry) {
    Written out;
    write(&out);
    xmlDoc* doc = xmlReadMemory(out.presentation.data(), static_cast<int>(out.presentation.size()),
                                "presentation.xml", nullptr, XML_PARSE_NONET);
    ASSERT_NE(doc, nullptr);
    const std::vector<ReferenceWarning> warnings = checkReferenceDocument(doc);
    for (const ReferenceWarning& warning : warnings) {
        ADD_FAILURE() << warning.line << ": " << warning.problem;
    }
    xmlFreeDoc(doc);
    for (const char* wanted :
         {"<yearInfo id=\"Year_2023\" content=\"2023\" TITLE_NUMBER=\"1\" PHOTO_NUMBER=\"1\"",
          "<monthInfo id=\"Month_2024_02\" index=\"1\" firstdayShift=\"4\" monthDays=\"29\" "
          "TITLE_NUMBER=\"0\" PHOTO_NUMBER=\"2\"",
          "<dayInfo id=\"Day_2024_02_29\" index=\"28\"",
          "<contentInfo id=\"Content_2024_02_29_1\" content=\"09:05\" PHOTO_NUMBER=\"2\" "
          "startFrame=\"1\" thumbnailId=\"TH_Content_2024_02_29_1\"/>",
          "<contentInfo id=\"Content_2023_12_31_2\" content=\"23:00\" titleInfoID=\"UserTitle_1\"",
          "<dateInfo TITLE_NUMBER=\"2\" PHOTO_NUMBER=\"3\">",
          "<chapterInfo id=\"Chapter_1_2\" index=\"2\" thumbnailId=\"TH_Chapter_1_2\" "
          "textId=\"TX_Chapter_1_2\"/>",
          "<text id=\"TX_Year_2024\" image=\"art/media/Year_2024_text.png\" width=\"200\" "
          "height=\"40\"/>",
          "<thumbnail id=\"TH_Month_2023_12\" image=\"art/media/Month_2023_12.png\" "
          "imageHighlight=\"art/media/Month_2023_12_hl.png\" width=\"224\" height=\"126\"/>",
          "<container id=\"ChapterPageLayout\"",
          "<root xmlns=\"http://merrowkit.example/reference/1.0\">"}) {
        EXPECT_NE(out.presentation.find(wanted), std::string::npos) << wanted;
    }
}

TEST(ProjectWriterTest, ArtPlanCoversEveryEntryAtTheDesignsSizes) {
    Written out;
    write(&out);
    // 2 years, 3 months, 3 days, 4 contents, 3 chapters; texts: 2 years, 3 chapters.
    EXPECT_EQ(out.plan.thumbnails.size(), 15u);
    EXPECT_EQ(out.plan.texts.size(), 5u);
    for (const ThumbnailJob& job : out.plan.thumbnails) {
        if (job.entryId == "Year_2023") {
            // A year shows its first content's picture: the photo at 22:00.
            EXPECT_EQ(out.calendar.media[job.item].path, "2023/eve.jpg");
            EXPECT_EQ(job.size, (Size{320, 180}));
        }
        if (job.entryId == "Content_2023_12_31_2") {
            EXPECT_EQ(out.calendar.media[job.item].path, "2023/eve.mp4");
            EXPECT_DOUBLE_EQ(job.seconds, 2.0);  // a tenth of 20 s
        }
        if (job.entryId == "Chapter_1_2") {
            EXPECT_DOUBLE_EQ(job.seconds, 10.0);
        }
    }
    EXPECT_EQ(out.plan.texts[0].text, "2023");
    EXPECT_EQ(out.plan.texts[3].text, "Midnight & after");
}

TEST(ProjectWriterTest, TitleGuidsDependOnlyOnTheVideosPath) {
    const std::string guid = titleGuid("2023/eve.mp4");
    EXPECT_EQ(guid, titleGuid("2023/eve.mp4"));
    EXPECT_NE(guid, titleGuid("2023/eve2.mp4"));
    ASSERT_EQ(guid.size(), 38u);
    EXPECT_EQ(guid[0], '{');
    EXPECT_EQ(guid[15], '5');  // a name-based UUID of version 5
    EXPECT_NE(std::string("89AB").find(guid[20]), std::string::npos);

    const Calendar calendar = makeCalendar(media(), 2.0);
    const std::string project = projectXml(calendar, "../media");
    EXPECT_NE(project.find("discFormat=\"10\" rootMenuTitle=\"true\" background=\"true\""),
              std::string::npos);
    const size_t first = project.find(titleGuid("2023/eve.mp4"));
    const size_t second = project.find(titleGuid("2024/one.mov"));
    ASSERT_NE(first, std::string::npos);
    ASSERT_NE(second, std::string::npos);
    EXPECT_LT(first, second);
}

TEST(ProjectWriterTest, TheSameMediaGiveTheSameBytes) {
    Written a;
    Written b;
    write(&a);
    write(&b);
    EXPECT_EQ(a.presentation, b.presentation);
    std::vector<MediaItem> reversed = media();
    std::reverse(reversed.begin(), reversed.end());
    const Calendar shuffled = makeCalendar(reversed, 2.0);
    EXPECT_EQ(projectXml(a.calendar, "m"), projectXml(shuffled, "m"));
    EXPECT_EQ(slideshowXml(a.calendar), slideshowXml(shuffled));
    EXPECT_NE(slideshowXml(a.calendar)
                  .find("<photo frame=\"2\" file=\"2024/leap2.jpg\" "
                        "date=\"2024-02-29\" time=\"09:07:00\" "
                        "orientation=\"6\"/>"),
              std::string::npos);
}

// A name that is not UTF-8, or holds control characters, is written percent-encoded: the
// document stays well-formed and the escapes give the name's bytes back. Years have four
// digits (a modification time may be that early).
TEST(ProjectWriterTest, NamesStayWellFormedAndYearsHaveFourDigits) {
    std::vector<MediaItem> items(3);
    items[0].path = "caf\xe9/\x1b[31mred%.jpg";
    items[0].taken = {5, 3, 1, 10, 0, 0};
    items[1].path = "ok/\xc3\xa9t\xc3\xa9.jpg";  // UTF-8 stays as it is
    items[1].taken = {2024, 1, 1, 10, 0, 0};
    items[2].path = "bad/\xed\xa0\x80\xc0\xaf.jpg";  // a surrogate and an overlong '/'
    items[2].taken = {2024, 1, 2, 10, 0, 0};
    const Calendar calendar = makeCalendar(items, 2.0);
    const std::string slideshow = slideshowXml(calendar);
    xmlDoc* doc = xmlReadMemory(slideshow.data(), static_cast<int>(slideshow.size()),
                                "slideshow.xml", nullptr, XML_PARSE_NONET);
    ASSERT_NE(doc, nullptr) << slideshow;
    xmlFreeDoc(doc);
    EXPECT_NE(slideshow.find("file=\"caf%E9/%1B[31mred%25.jpg\" date=\"0005-03-01\""),
              std::string::npos)
        << slideshow;
    EXPECT_NE(slideshow.find("file=\"ok/\xc3\xa9t\xc3\xa9.jpg\""), std::string::npos);
    EXPECT_NE(slideshow.find("file=\"bad/%ED%A0%80%C0%AF.jpg\""), std::string::npos);
    ASSERT_FALSE(calendar.years.empty());
    EXPECT_EQ(calendar.years.front().id, "Year_0005");
    EXPECT_EQ(calendar.years.front().months.front().id, "Month_0005_03");
}

TEST(MediaReaderTest, DatesOfExifAndOfContainers) {
    EXPECT_EQ(parseExifTime("2024:02:29 23:59:58"), (LocalTime{2024, 2, 29, 23, 59, 58}));
    EXPECT_FALSE(parseExifTime(""));
    EXPECT_FALSE(parseExifTime("    :  :     :  :  "));
    EXPECT_FALSE(parseExifTime("0000:00:00 00:00:00"));
    EXPECT_FALSE(parseExifTime("2023:02:29 10:00:00"));
    // A camera whose clock was never set: dates before 1971 count as missing.
    EXPECT_FALSE(parseExifTime("1900:01:01 00:00:00"));
    EXPECT_FALSE(parseExifTime("0001:01:01 00:00:00"));
    EXPECT_FALSE(parseExifTime("1970:12:31 23:59:59"));
    EXPECT_EQ(parseExifTime("1971:01:01 00:00:00"), (LocalTime{1971, 1, 1, 0, 0, 0}));

    const char* previous = std::getenv("TZ");
    const std::string saved = previous != nullptr ? previous : "";
    setenv("TZ", "Europe/Berlin", 1);
    // UTC 23:30 on 31 December is half past midnight of the new year in Berlin.
    EXPECT_EQ(parseCreationTime("2023-12-31T23:30:00.000000Z"), (LocalTime{2024, 1, 1, 0, 30, 0}));
    setenv("TZ", "UTC", 1);
    EXPECT_EQ(parseCreationTime("2023-12-31T23:30:00Z"), (LocalTime{2023, 12, 31, 23, 30, 0}));
    EXPECT_FALSE(parseCreationTime("1970-01-01T00:00:00.000000Z"));
    EXPECT_FALSE(parseCreationTime("yesterday"));
    // QuickTime's local date: the wall clock where it was taken, whatever TZ says, with its
    // instant; the offset written with or without a colon.
    std::optional<long long> instant;
    EXPECT_EQ(parseQuickTimeDate("2023-05-14T21:15:00-0400", &instant),
              (LocalTime{2023, 5, 14, 21, 15, 0}));
    EXPECT_EQ(instant, 1684113300LL);
    EXPECT_EQ(parseQuickTimeDate("2023-05-14T21:15:00+02:00", &instant),
              (LocalTime{2023, 5, 14, 21, 15, 0}));
    EXPECT_EQ(instant, 1684091700LL);
    EXPECT_FALSE(parseQuickTimeDate("2023-05-14T21:15:00+020", &instant));
    if (previous != nullptr) {
        setenv("TZ", saved.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
}

}  // namespace
}  // namespace merrowcli::import
