// What a media folder holds beside the photos that no photo manager shows (resource forks,
// hidden folders, thumbnails of a NAS, Windows' and macOS' folder files): passed over in silence,
// and a file that is skipped is named once in its line.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli/import/PassedOver.h"
#include "samples/tools/MediaMaker.h"
#include "support/CliTestSupport.h"

namespace merrowcli::import {
namespace {

namespace fs = std::filesystem;
namespace media = merrowtest::media;

TEST(PassedOver, NamesOfSystemFilesAndHiddenFolders) {
    for (const char* name :
         {"._IMG_1234.JPG", ".DS_Store", ".thumbnails", ".trash", "@eaDir", "@EADIR", "Thumbs.db",
          "thumbs.DB", "desktop.ini", "Desktop.ini", "IMG_1234.AAE", "IMG_1234.aae"}) {
        EXPECT_TRUE(isPassedOver(name)) << name;
    }
    for (const char* name : {"IMG_1234.JPG", "holiday", "eaDir", "Thumbs.db.jpg", "aae.jpg",
                             "my.desktop.ini.png", "_IMG_1234.JPG"}) {
        EXPECT_FALSE(isPassedOver(name)) << name;
    }
}

TEST(PassedOver, AReasonDoesNotRepeatThePath) {
    EXPECT_EQ(
        reasonWithoutPath("in/a.jpg: The file contains data of an unknown image type", "in/a.jpg"),
        "The file contains data of an unknown image type");
    EXPECT_EQ(reasonWithoutPath("Failed to read input data", "in/a.jpg"),
              "Failed to read input data");
    EXPECT_EQ(reasonWithoutPath("in/a.jpg", "in/a.jpg"), "in/a.jpg");
}

TEST(PassedOver, AnImportPassesOverThemInSilence) {
    const clitest::TemporaryFolder folder;
    const fs::path in = folder.path() / "media";
    const auto photo = [&](const fs::path& file) {
        fs::create_directories(file.parent_path());
        media::makeJpeg(file, 32, 24, {media::Pattern::Kind::Solid, 0x406080, 0},
                        {"2023:05:14 09:00:00", "", "", 0});
    };
    photo(in / "IMG_1234.JPG");
    photo(in / ".thumbnails/IMG_1234.JPG");
    photo(in / "@eaDir/IMG_1234.JPG/SYNOPHOTO_THUMB_XL.jpg");
    photo(in / ".hidden/old.jpg");
    // A resource fork as macOS writes it on a foreign disk: an AppleDouble header.
    clitest::writeFile(in / "._IMG_1234.JPG",
                       std::string("\x00\x05\x16\x07\x00\x02\x00\x00Mac OS X        ", 24) +
                           std::string(4000, '\0'));
    clitest::writeFile(in / ".DS_Store", std::string("\x00\x00\x00\x01"
                                                     "Bud1",
                                                     8));
    clitest::writeFile(in / "Thumbs.db", "thumbnails");
    clitest::writeFile(in / "desktop.ini", "[.ShellClassInfo]\n");
    clitest::writeFile(in / "IMG_1234.AAE", "<?xml version='1.0'?><plist/>\n");
    // A file that is not a photo, though named like one, is still skipped with a reason.
    clitest::writeFile(in / "unknown.jpg", std::string(4000, 'Z'));

    const clitest::CommandResult result =
        clitest::runMerrowkit({"import", in.string(), "-o", (folder.path() / "project").string()},
                              folder.path(), {"TZ=UTC"});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::vector<std::string> lines = clitest::linesOf(result.err);
    ASSERT_EQ(lines.size(), 1u) << result.err;
    const std::string shown = (in / "unknown.jpg").string();
    EXPECT_EQ(lines[0].rfind(shown + ": skipped: ", 0), 0u) << lines[0];
    EXPECT_EQ(lines[0].find(shown, 1), std::string::npos) << lines[0];
    EXPECT_NE(result.out.find("imported 1 photo and 0 videos"), std::string::npos) << result.out;
}

}  // namespace
}  // namespace merrowcli::import
