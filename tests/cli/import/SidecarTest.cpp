// XMP sidecars: the dates they are read in, which sidecar and which field wins, attributes and
// elements, and sidecars that give no date.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "ZoneScope.h"
#include "cli/import/Sidecar.h"
#include "support/CliTestSupport.h"

namespace merrowcli::import {
namespace {

namespace fs = std::filesystem;

// An XMP packet whose description holds the given attributes and elements.
std::string xmp(const std::string& attributes, const std::string& elements = "") {
    return "<?xpacket begin='' id='W5M0MpCehiHzreSzNTczkc9d'?>\n"
           "<x:xmpmeta xmlns:x='adobe:ns:meta/'>\n"
           " <rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'>\n"
           "  <rdf:Description rdf:about=''\n"
           "    xmlns:exif='http://ns.adobe.com/exif/1.0/'\n"
           "    xmlns:xmp='http://ns.adobe.com/xap/1.0/'\n"
           "    xmlns:photoshop='http://ns.adobe.com/photoshop/1.0/'\n"
           "    " +
           attributes + ">\n" + elements +
           "  </rdf:Description>\n"
           " </rdf:RDF>\n"
           "</x:xmpmeta>\n"
           "<?xpacket end='w'?>\n";
}

TEST(Sidecar, XmpDatesAreTheWallClockWritten) {
    const clitest::ZoneScope zone("Europe/Berlin");
    EXPECT_EQ(parseXmpDate("2023-05-14T12:34:56"), (LocalTime{2023, 5, 14, 12, 34, 56}));
    EXPECT_EQ(parseXmpDate("2023-05-14T12:34:56.789+09:00"), (LocalTime{2023, 5, 14, 12, 34, 56}));
    EXPECT_EQ(parseXmpDate("2023-05-14T12:34-05:00"), (LocalTime{2023, 5, 14, 12, 34, 0}));
    EXPECT_EQ(parseXmpDate("2023-05-14"), (LocalTime{2023, 5, 14, 0, 0, 0}));
    // UTC is shown in local time: summer time in Berlin is two hours ahead.
    EXPECT_EQ(parseXmpDate("2023-05-14T23:30:00Z"), (LocalTime{2023, 5, 15, 1, 30, 0}));
    // The real instant where the offset or UTC is written, none for a bare wall clock.
    std::optional<long long> instant;
    EXPECT_TRUE(parseXmpDate("2023-05-14T21:15:00-04:00", &instant));
    EXPECT_EQ(instant, 1684113300LL);  // 2023-05-15 01:15:00 UTC
    EXPECT_TRUE(parseXmpDate("2023-05-14T23:30:00Z", &instant));
    EXPECT_EQ(instant, 1684107000LL);
    EXPECT_TRUE(parseXmpDate("2023-05-14T21:15:00", &instant));
    EXPECT_FALSE(instant);
    for (const char* text :
         {"", "2023-02-29T10:00:00", "2023-05-14T24:00:00", "1969-12-31", "2023:05:14 12:34:56",
          "2023-05-14T12", "2023-05-14T12:34:56 x", "2023-05-14T12:34:56+0900", "yesterday"}) {
        EXPECT_FALSE(parseXmpDate(text)) << text;
    }
}

TEST(Sidecar, FieldsAndFilesInTheirOrder) {
    const clitest::TemporaryFolder folder;
    const fs::path photo = folder.path() / "photo.jpg";
    clitest::writeFile(photo, "not read\n");
    EXPECT_FALSE(sidecarDate(photo));

    // photo.xmp alone; an element's text.
    clitest::writeFile(folder.path() / "photo.xmp",
                       xmp("", "   <photoshop:DateCreated>2021-03-04</photoshop:DateCreated>\n"));
    EXPECT_EQ(sidecarDate(photo), (LocalTime{2021, 3, 4, 0, 0, 0}));

    // photo.jpg.xmp comes first; exif:DateTimeOriginal before xmp:CreateDate before
    // photoshop:DateCreated, as attributes or elements.
    clitest::writeFile(
        folder.path() / "photo.jpg.xmp",
        xmp("xmp:CreateDate='2022-01-01T08:00:00' photoshop:DateCreated='2020-01-01'",
            "   <exif:DateTimeOriginal>\n    2022-07-08T09:10:11+02:00\n"
            "   </exif:DateTimeOriginal>\n"));
    EXPECT_EQ(sidecarDate(photo), (LocalTime{2022, 7, 8, 9, 10, 11}));
    clitest::writeFile(
        folder.path() / "photo.jpg.xmp",
        xmp("xmp:CreateDate='2022-01-01T08:00:00' photoshop:DateCreated='2020-01-01'"));
    EXPECT_EQ(sidecarDate(photo), (LocalTime{2022, 1, 1, 8, 0, 0}));
    // An unreadable field gives way to the next.
    clitest::writeFile(folder.path() / "photo.jpg.xmp",
                       xmp("exif:DateTimeOriginal='0000-00-00T00:00:00' "
                           "photoshop:DateCreated='2020-01-02'"));
    EXPECT_EQ(sidecarDate(photo), (LocalTime{2020, 1, 2, 0, 0, 0}));
    // A field of another namespace with the same name is not one of them.
    clitest::writeFile(folder.path() / "photo.jpg.xmp",
                       "<x xmlns:exif='urn:other'><exif:DateTimeOriginal>2022-07-08"
                       "</exif:DateTimeOriginal></x>");
    EXPECT_FALSE(sidecarDate(photo));
    // A broken sidecar gives no date (and photo.xmp is not read in its place); the problem
    // names it.
    clitest::writeFile(folder.path() / "photo.jpg.xmp", "<x:xmpmeta xmlns:x='adobe:ns:meta/'>");
    std::string problem;
    EXPECT_FALSE(sidecarDate(photo, nullptr, &problem));
    EXPECT_EQ(problem.rfind((folder.path() / "photo.jpg.xmp").string() + ":", 0), 0u) << problem;
    // With an offset, the instant comes with the date; a good sidecar leaves no problem.
    std::optional<long long> instant;
    clitest::writeFile(folder.path() / "photo.jpg.xmp",
                       xmp("exif:DateTimeOriginal='2022-07-08T09:10:11+02:00'"));
    EXPECT_EQ(sidecarDate(photo, &instant, &problem), (LocalTime{2022, 7, 8, 9, 10, 11}));
    EXPECT_EQ(instant, 1657264211LL);  // 07:10:11 UTC
    EXPECT_EQ(problem, "");
}

}  // namespace
}  // namespace merrowcli::import
