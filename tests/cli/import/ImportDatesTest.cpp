// End-to-end runs of the built `merrowkit import` on media whose dates come from somewhere other
// than EXIF or the container: file names that phones and messengers write and XMP sidecars,
// beside files whose modification time is the day they were copied.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <utility>

#include "samples/tools/MediaMaker.h"
#include "support/CliTestSupport.h"

namespace {

namespace fs = std::filesystem;
namespace media = merrowtest::media;

// True when slideshow.xml holds the photo with that date and time.
bool hasPhoto(const std::string& slideshow, const std::string& file, const std::string& date,
              const std::string& time) {
    return slideshow.find("file=\"" + file + "\" date=\"" + date + "\" time=\"" + time + "\"") !=
           std::string::npos;
}

TEST(ImportDates, FileNamesDateFilesWithoutEmbeddedDates) {
    const clitest::TemporaryFolder folder;
    const fs::path in = folder.path() / "media";
    fs::create_directories(in / "phone");
    // Every file is "copied" on 2026-01-02; only the names and EXIF tell when they were taken.
    const std::time_t copied = 1767355200;  // 2026-01-02 12:00:00 UTC
    unsigned seed = 0;  // each picture its own, so that none is a duplicate of another
    const auto jpeg = [&](const std::string& name, const media::ExifFields& exif) {
        media::makeJpeg(in / name, 64, 48, {media::Pattern::Kind::Scene, 0x6080c0, ++seed}, exif);
        media::setModificationTime(in / name, copied);
    };
    jpeg("phone/IMG_20230514_123456.jpg", {});
    jpeg("phone/IMG-20230513-WA0001.jpg", {});
    jpeg("phone/2023-05-14 18.00.05.jpg", {});
    // EXIF comes before the name; an impossible date in a name is no date.
    jpeg("phone/IMG_20200101_000000.jpg", {"2023:05:14 09:00:00", "", "", 0});
    jpeg("phone/IMG_20230230_101010.jpg", {});
    media::makePng(in / "phone/Screenshot_2023-05-14-12-40-00.png", 64, 48,
                   {media::Pattern::Kind::Solid, 0x808080, 0});
    media::setModificationTime(in / "phone/Screenshot_2023-05-14-12-40-00.png", copied);
    const bool videos = media::canMakeVideos();
    if (videos) {
        media::VideoRecipe clip;
        clip.seconds = 1;
        media::makeVideo(in / "phone/VID-20230515-WA0004.mp4", clip);
        media::setModificationTime(in / "phone/VID-20230515-WA0004.mp4", copied);
    }

    const clitest::CommandResult result =
        clitest::runMerrowkit({"import", in.string(), "-o", (folder.path() / "project").string()},
                              folder.path(), {"TZ=UTC"});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string slideshow = clitest::readFile(folder.path() / "project/slideshow.xml");
    EXPECT_TRUE(hasPhoto(slideshow, "phone/IMG-20230513-WA0001.jpg", "2023-05-13", "00:00:00"))
        << slideshow;
    EXPECT_TRUE(hasPhoto(slideshow, "phone/IMG_20200101_000000.jpg", "2023-05-14", "09:00:00"));
    EXPECT_TRUE(hasPhoto(slideshow, "phone/IMG_20230514_123456.jpg", "2023-05-14", "12:34:56"));
    EXPECT_TRUE(
        hasPhoto(slideshow, "phone/Screenshot_2023-05-14-12-40-00.png", "2023-05-14", "12:40:00"));
    EXPECT_TRUE(hasPhoto(slideshow, "phone/2023-05-14 18.00.05.jpg", "2023-05-14", "18:00:05"));
    EXPECT_TRUE(hasPhoto(slideshow, "phone/IMG_20230230_101010.jpg", "2026-01-02", "12:00:00"));
    const fs::path presentation = folder.path() / "project/presentation.xml";
    EXPECT_EQ(clitest::countOf(presentation, "//NS:dayInfo[@id='Day_2023_05_14']"), 1);
    if (videos) {
        EXPECT_EQ(clitest::countOf(presentation, "//NS:dayInfo[@id='Day_2023_05_15']"), 1);
    }
    // Only the file with the impossible name falls on the day of the copy.
    EXPECT_EQ(clitest::countOf(presentation, "//NS:yearInfo"), 2);
}

TEST(ImportDates, ASidecarsDateComesFirst) {
    const clitest::TemporaryFolder folder;
    const fs::path in = folder.path() / "media";
    fs::create_directories(in);
    const std::string head =
        "<x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF "
        "xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'><rdf:Description "
        "xmlns:exif='http://ns.adobe.com/exif/1.0/' xmlns:xmp='http://ns.adobe.com/xap/1.0/' ";
    const std::string tail = "</rdf:Description></rdf:RDF></x:xmpmeta>";
    // EXIF says 2023-05-14, the sidecar (photo.jpg.xmp) 2021-06-01.
    media::makeJpeg(in / "edited.jpg", 64, 48, {media::Pattern::Kind::Solid, 0x406080, 0},
                    {"2023:05:14 09:00:00", "", "", 0});
    clitest::writeFile(in / "edited.jpg.xmp",
                       head + "exif:DateTimeOriginal='2021-06-01T10:11:12+02:00'>" + tail);
    // No EXIF; the name says 2023-05-14, the sidecar (scan.xmp) 1998-12-24 as an element.
    media::makeJpeg(in / "IMG_20230514_120000.jpg", 64, 48,
                    {media::Pattern::Kind::Solid, 0x604080, 0});
    clitest::writeFile(in / "IMG_20230514_120000.xmp",
                       head + "><xmp:CreateDate>1998-12-24T18:30:00</xmp:CreateDate>" + tail);

    const clitest::CommandResult result =
        clitest::runMerrowkit({"import", in.string(), "-o", (folder.path() / "project").string()},
                              folder.path(), {"TZ=UTC"});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string slideshow = clitest::readFile(folder.path() / "project/slideshow.xml");
    EXPECT_TRUE(hasPhoto(slideshow, "edited.jpg", "2021-06-01", "10:11:12")) << slideshow;
    EXPECT_TRUE(hasPhoto(slideshow, "IMG_20230514_120000.jpg", "1998-12-24", "18:30:00"));
    // The sidecars are not media themselves.
    EXPECT_EQ(clitest::countOf(folder.path() / "project/presentation.xml", "//NS:contentInfo"), 2);
}

TEST(ImportDates, EachFilesDateSourceIsNamedAndCounted) {
    const clitest::TemporaryFolder folder;
    const fs::path in = folder.path() / "media";
    fs::create_directories(in);
    unsigned seed = 0;  // each picture its own, so that none is a duplicate of another
    const auto photo = [&](const std::string& name, const std::string& exifDate) {
        media::makeJpeg(in / name, 32, 24, {media::Pattern::Kind::Scene, 0x406080, ++seed},
                        {exifDate, "", "", 0});
        media::setModificationTime(in / name, media::localTime(2025, 1, 2, 3, 4, 5));
    };
    photo("camera1.jpg", "2023:05:14 09:00:00");
    photo("camera2.jpg", "2023:05:14 09:01:00");
    photo("IMG_20230514_120000.jpg", "");
    photo("edited.jpg", "2023:05:14 09:02:00");
    clitest::writeFile(in / "edited.xmp",
                       "<x xmlns:xmp='http://ns.adobe.com/xap/1.0/' xmp:CreateDate='2023-05-15'/>");
    photo("copied1.jpg", "");
    photo("copied2.jpg", "");
    // A broken sidecar: its photo is dated by EXIF, and -v says why the sidecar was not used.
    clitest::writeFile(in / "camera2.jpg.xmp", "<x:xmpmeta xmlns:x='adobe:ns:meta/'>");
    const auto run = [&](const std::string& project) {
        return clitest::runMerrowkit(
            {"import", in.string(), "-o", (folder.path() / project).string(), "-v"}, folder.path(),
            {"TZ=UTC"});
    };
    const clitest::CommandResult few = run("few");
    ASSERT_EQ(few.status, 0) << few.err;
    for (const auto& [name, source] : {std::pair<std::string, std::string>{"camera1.jpg", "EXIF"},
                                       {"IMG_20230514_120000.jpg", "file name"},
                                       {"edited.jpg", "sidecar"},
                                       {"copied1.jpg", "file time"}}) {
        EXPECT_NE(few.err.find((in / name).string() + ": dated by " + source + "\n"),
                  std::string::npos)
            << name << "\n"
            << few.err;
    }
    const size_t sidecarNote = few.err.find((in / "camera2.jpg.xmp").string() + ":");
    ASSERT_NE(sidecarNote, std::string::npos) << few.err;
    EXPECT_LT(sidecarNote, few.err.find("(its sidecar gives no date)\n")) << few.err;
    EXPECT_NE(few.out.find("; dated 2 by EXIF, 2 by file time, 1 by sidecar, 1 by file name\n"),
              std::string::npos)
        << few.out;
    // Two files dated by their modification time: one warning each.
    EXPECT_NE(few.err.find((in / "copied1.jpg").string() +
                           ": warning: dated only by its modification time"),
              std::string::npos)
        << few.err;
    EXPECT_NE(few.err.find((in / "copied2.jpg").string() +
                           ": warning: dated only by its modification time"),
              std::string::npos);

    // Six: one warning with their count.
    for (const char* name : {"copied3.jpg", "copied4.jpg", "copied5.jpg", "copied6.jpg"}) {
        photo(name, "");
    }
    const clitest::CommandResult many = run("many");
    ASSERT_EQ(many.status, 0) << many.err;
    EXPECT_EQ(many.err.find(": warning: dated only by its modification time"), std::string::npos)
        << many.err;
    EXPECT_NE(
        many.err.find(in.string() + ": warning: 6 files dated only by their modification time"),
        std::string::npos)
        << many.err;
}

TEST(ImportDates, ABurstIsOrderedBySubSecondAcrossACounterWrap) {
    const clitest::TemporaryFolder folder;
    const fs::path in = folder.path() / "media";
    fs::create_directories(in);
    // Four frames in one second; the camera's counter wrapped after IMG_9999.
    for (const auto& [name, fraction] : {std::pair<std::string, std::string>{"IMG_0001.JPG", "60"},
                                         {"IMG_0002.JPG", "85"},
                                         {"IMG_9998.JPG", "1"},
                                         {"IMG_9999.JPG", "35"}}) {
        media::makeJpeg(in / name, 32, 24, {media::Pattern::Kind::Solid, 0x406080, 0},
                        {"2023:05:14 09:00:00", "", "", 0});
        media::setExifText(in / name, "Exif.Photo.SubSecTimeOriginal", fraction);
    }
    const clitest::CommandResult result =
        clitest::runMerrowkit({"import", in.string(), "-o", (folder.path() / "project").string()},
                              folder.path(), {"TZ=UTC"});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string slideshow = clitest::readFile(folder.path() / "project/slideshow.xml");
    const size_t first = slideshow.find("IMG_9998.JPG");
    const size_t second = slideshow.find("IMG_9999.JPG");
    const size_t third = slideshow.find("IMG_0001.JPG");
    const size_t fourth = slideshow.find("IMG_0002.JPG");
    ASSERT_NE(fourth, std::string::npos) << slideshow;
    EXPECT_LT(first, second) << slideshow;
    EXPECT_LT(second, third) << slideshow;
    EXPECT_LT(third, fourth) << slideshow;
}

TEST(ImportDates, OffsetsOrderTheNightTheClocksGoBack) {
    const clitest::TemporaryFolder folder;
    const fs::path in = folder.path() / "media";
    fs::create_directories(in);
    // 02:30 summer time was taken before 02:10 winter time, 40 minutes later.
    for (const auto& [name, date, offset] : {std::tuple<std::string, std::string, std::string>{
                                                 "a.jpg", "2023:10:29 02:10:00", "+01:00"},
                                             {"b.jpg", "2023:10:29 02:30:00", "+02:00"}}) {
        media::makeJpeg(in / name, 32, 24,
                        {media::Pattern::Kind::Solid, name == "a.jpg" ? 0x406080u : 0x804060u, 0},
                        {date, "", "", 0});
        media::setExifText(in / name, "Exif.Photo.OffsetTimeOriginal", offset);
    }
    const clitest::CommandResult result =
        clitest::runMerrowkit({"import", in.string(), "-o", (folder.path() / "project").string()},
                              folder.path(), {"TZ=Europe/Berlin"});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string slideshow = clitest::readFile(folder.path() / "project/slideshow.xml");
    EXPECT_NE(slideshow.find("<photo frame=\"0\" file=\"b.jpg\" date=\"2023-10-29\" "
                             "time=\"02:30:00\""),
              std::string::npos)
        << slideshow;
    EXPECT_NE(slideshow.find("<photo frame=\"1\" file=\"a.jpg\" date=\"2023-10-29\" "
                             "time=\"02:10:00\""),
              std::string::npos)
        << slideshow;
}

TEST(ImportDates, ATripAbroadKeepsTheDaysWhereThePicturesWereTaken) {
    if (!media::canMakeVideos()) GTEST_SKIP() << "ffmpeg is not on PATH";
    const clitest::TemporaryFolder folder;
    const fs::path in = folder.path() / "media";
    fs::create_directories(in);
    // Home is Berlin; an evening in New York (UTC-4), the phone's photos and a video between
    // them. In Berlin's time the video was taken the next morning.
    const auto photo = [&](const std::string& name, const std::string& date,
                           const std::string& offset, std::uint32_t colour) {
        media::makeJpeg(in / name, 32, 24, {media::Pattern::Kind::Solid, colour, 0},
                        {date, "", "", 0});
        media::setExifText(in / name, "Exif.Photo.OffsetTimeOriginal", offset);
    };
    photo("IMG_1001.jpg", "2023:05:14 20:00:00", "-04:00", 0x406080);
    photo("IMG_1003.jpg", "2023:05:14 23:50:00", "-04:00", 0x804060);
    media::VideoRecipe clip;
    clip.seconds = 1;
    clip.width = 32;
    clip.height = 24;
    clip.framesPerSecond = 5;
    clip.creationTime = "2023-05-15T01:15:00Z";
    clip.tags = {{"com.apple.quicktime.creationdate", "2023-05-14T21:15:00-0400"}};
    media::makeVideo(in / "IMG_1002.mov", clip);
    // A friend's photo dated by its sidecar, with the offset: 20:30 in New York, after IMG_1001
    // (as Berlin's wall clock it would be 18:30 UTC, hours before it).
    media::makeJpeg(in / "friend.jpg", 32, 24, {media::Pattern::Kind::Solid, 0x608040, 0});
    clitest::writeFile(in / "friend.jpg.xmp",
                       "<x xmlns:exif='http://ns.adobe.com/exif/1.0/' "
                       "exif:DateTimeOriginal='2023-05-14T20:30:00-04:00'/>");

    const clitest::CommandResult result = clitest::runMerrowkit(
        {"import", in.string(), "-o", (folder.path() / "project").string(), "--gap", "1"},
        folder.path(), {"TZ=Europe/Berlin"});
    ASSERT_EQ(result.status, 0) << result.err;
    const fs::path presentation = folder.path() / "project/presentation.xml";
    EXPECT_EQ(clitest::countOf(presentation, "//NS:dayInfo[@id='Day_2023_05_15']"), 0)
        << clitest::readFile(presentation);
    // The evening's photos, the video, the late photo: in the order they were taken.
    const std::string contents = "//NS:dayInfo[@id='Day_2023_05_14']/NS:contentInfo";
    EXPECT_EQ(clitest::countOf(presentation, contents), 3);
    EXPECT_EQ(
        clitest::countOf(presentation, contents + "[1][@content='20:00' and @PHOTO_NUMBER='2']"),
        1);
    EXPECT_EQ(clitest::countOf(presentation, contents + "[2][@content='21:15' and @titleInfoID]"),
              1);
    EXPECT_EQ(clitest::countOf(presentation, contents + "[3][@content='23:50']"), 1);
    const std::string slideshow = clitest::readFile(folder.path() / "project/slideshow.xml");
    EXPECT_LT(slideshow.find("IMG_1001.jpg"), slideshow.find("friend.jpg")) << slideshow;
    EXPECT_TRUE(hasPhoto(slideshow, "friend.jpg", "2023-05-14", "20:30:00")) << slideshow;
}

}  // namespace
