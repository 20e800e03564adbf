// Exact duplicates count once: the same photo in a phone's folder and in its backup, a photo
// with the same date but other bytes, and the summary's count of what was left out.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli/import/Duplicates.h"
#include "samples/tools/MediaMaker.h"
#include "support/CliTestSupport.h"

namespace merrowcli::import {
namespace {

namespace fs = std::filesystem;
namespace media = merrowtest::media;

TEST(Duplicates, TheFirstInByteOrderIsKept) {
    const clitest::TemporaryFolder folder;
    clitest::writeFile(folder.path() / "a/x.jpg", std::string(70000, 'x') + "1");
    clitest::writeFile(folder.path() / "b/x.jpg", std::string(70000, 'x') + "1");
    clitest::writeFile(folder.path() / "b/y.jpg", std::string(70000, 'x') + "2");  // same size
    clitest::writeFile(folder.path() / "c/x.jpg", std::string(70000, 'x') + "1");
    clitest::writeFile(folder.path() / "c/z.jpg", std::string(70001, 'x') + "1");  // a prefix
    size_t leftOut = 0;
    const std::vector<MediaFile> kept = withoutDuplicates(
        folder.path(), {{"a/x.jpg"}, {"b/x.jpg"}, {"b/y.jpg"}, {"c/x.jpg"}, {"c/z.jpg"}}, &leftOut);
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(kept[0].path, "a/x.jpg");
    EXPECT_EQ(kept[1].path, "b/y.jpg");
    EXPECT_EQ(kept[2].path, "c/z.jpg");
    EXPECT_EQ(leftOut, 2u);
}

TEST(Duplicates, APhoneAndItsBackupCountOnce) {
    const clitest::TemporaryFolder folder;
    const fs::path in = folder.path() / "media";
    fs::create_directories(in / "phone");
    fs::create_directories(in / "backup/phone");
    media::makeJpeg(in / "phone/IMG_0001.JPG", 64, 48, {media::Pattern::Kind::Scene, 0x6080c0, 1},
                    {"2023:05:14 09:00:00", "", "", 0});
    fs::copy_file(in / "phone/IMG_0001.JPG", in / "backup/phone/IMG_0001.JPG");
    // The same date, other bytes: not a duplicate.
    media::makeJpeg(in / "phone/IMG_0002.JPG", 64, 48, {media::Pattern::Kind::Scene, 0x6080c0, 2},
                    {"2023:05:14 09:00:00", "", "", 0});

    const clitest::CommandResult result =
        clitest::runMerrowkit({"import", in.string(), "-o", (folder.path() / "project").string()},
                              folder.path(), {"TZ=UTC"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("imported 2 photos and 0 videos"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("; 1 duplicate left out\n"), std::string::npos) << result.out;
    const std::string slideshow = clitest::readFile(folder.path() / "project/slideshow.xml");
    EXPECT_NE(slideshow.find("file=\"backup/phone/IMG_0001.JPG\""), std::string::npos) << slideshow;
    EXPECT_EQ(slideshow.find("file=\"phone/IMG_0001.JPG\""), std::string::npos) << slideshow;
    EXPECT_EQ(clitest::attributeOf(folder.path() / "project/presentation.xml", "//NS:dateInfo",
                                   "PHOTO_NUMBER"),
              "2");
}

}  // namespace
}  // namespace merrowcli::import
