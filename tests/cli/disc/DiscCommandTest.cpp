// `merrowkit disc`: the disc folder it writes, whole and byte for byte the same for the same
// project, and the folders it refuses to replace. How the disc plays is tested in libbluray's
// player (tests/disc/test_disc.py).

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "support/CliTestSupport.h"
#include "support/SampleBuild.h"

namespace {

namespace fs = std::filesystem;
using clitest::CommandResult;

class DiscCommand : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(fs::path(MERROWKIT_BIN_DIR) / "merrowkit-player.jar")) {
            GTEST_SKIP() << "the BD-J player is not built (ecj, Java 17, libbluray-bdj)";
        }
    }

    CommandResult disc(const fs::path& project, const fs::path& discFolder) {
        return clitest::runMerrowkit({"disc", project.string(), "-o", discFolder.string()},
                                     temp_.path());
    }

    clitest::TemporaryFolder temp_;
};

TEST_F(DiscCommand, WritesTheBlurayFolderWithTheMenuAndTheBuildsTracks) {
    const fs::path discFolder = temp_.path() / "disc";
    const CommandResult run = disc(clitest::sampleProject(), discFolder);
    ASSERT_EQ(run.status, 0) << run.err;
    // The sample's three titles name no video: a warning each, and the disc is written.
    const std::string projectFile = (clitest::sampleProject() / "project.xml").string();
    EXPECT_EQ(run.err,
              projectFile + ": warning: title 1 has no video; the disc will not play it\n" +
                  projectFile + ": warning: title 2 has no video; the disc will not play it\n" +
                  projectFile + ": warning: title 3 has no video; the disc will not play it\n");
    EXPECT_NE(run.out.find("wrote the disc"), std::string::npos) << run.out;

    const std::map<std::string, std::string> files = clitest::folderContents(discFolder);
    for (const char* file :
         {"BDMV/index.bdmv", "BDMV/MovieObject.bdmv", "BDMV/BDJO/00000.bdjo",
          "BDMV/BACKUP/index.bdmv", "BDMV/BACKUP/MovieObject.bdmv", "BDMV/BACKUP/BDJO/00000.bdjo",
          "BDMV/JAR/00000.jar", "BDMV/JAR/00001/menu.bin", "CERTIFICATE/id.bdmv",
          "CERTIFICATE/BACKUP/id.bdmv"}) {
        EXPECT_EQ(files.count(file), 1u) << file;
    }
    EXPECT_EQ(files.at("BDMV/index.bdmv"), files.at("BDMV/BACKUP/index.bdmv"));
    EXPECT_EQ(files.at("BDMV/JAR/00000.jar"),
              clitest::readFile(fs::path(MERROWKIT_BIN_DIR) / "merrowkit-player.jar"));
    EXPECT_EQ(files.at("BDMV/JAR/00001/menu.bin").substr(0, 4), "MKMM");

    // The tracks are the build's, all of them, and nothing of the build is left beside them.
    const fs::path out = temp_.path() / "out";
    ASSERT_EQ(clitest::buildSample("current", out, temp_.path()).status, 0);
    const std::map<std::string, std::string> built = clitest::folderContents(out / "tracks");
    size_t tracks = 0;
    for (const auto& [name, bytes] : files) {
        if (name.rfind("BDMV/JAR/00001/tracks/", 0) != 0) continue;
        ++tracks;
        const std::string track = name.substr(std::string("BDMV/JAR/00001/tracks/").size());
        ASSERT_EQ(built.count(track), 1u) << track;
        EXPECT_EQ(built.at(track), bytes) << track;
    }
    EXPECT_EQ(tracks, built.size());
    // Besides the tracks, the ten files above and nothing else.
    size_t regularFiles = 0;
    for (const auto& [name, bytes] : files) regularFiles += bytes != "<folder>";
    EXPECT_EQ(regularFiles, tracks + 10);
}

TEST_F(DiscCommand, TheSameProjectGivesTheSameBytesAndReplacesTheEarlierDisc) {
    const fs::path first = temp_.path() / "first";
    const fs::path second = temp_.path() / "second";
    ASSERT_EQ(disc(clitest::sampleProject(), first).status, 0);
    ASSERT_EQ(disc(clitest::sampleProject(), second).status, 0);
    EXPECT_EQ(clitest::folderContents(first), clitest::folderContents(second));

    // An earlier disc is replaced whole: a file of another calendar does not survive.
    clitest::writeFile(second / "BDMV/JAR/00001/tracks/track_9999.png", "old");
    const CommandResult again = disc(clitest::sampleProject(), second);
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(clitest::folderContents(first), clitest::folderContents(second));
}

TEST_F(DiscCommand, RefusesAFolderOfOtherFilesAndLeavesIt) {
    const fs::path folder = temp_.path() / "notes";
    clitest::writeFile(folder / "BDMV/index.bdmv", "x");
    clitest::writeFile(folder / "letter.txt", "keep me");
    const CommandResult run = disc(clitest::sampleProject(), folder);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("not replaced: it holds 'letter.txt'"), std::string::npos) << run.err;
    EXPECT_EQ(clitest::readFile(folder / "letter.txt"), "keep me");
    EXPECT_EQ(clitest::readFile(folder / "BDMV/index.bdmv"), "x");
    EXPECT_EQ(clitest::folderContents(folder).size(), 3u);  // BDMV/ and the two files
}

TEST_F(DiscCommand, ABuildThatFailsWritesNoDisc) {
    const fs::path project = clitest::copyTestProject("small", temp_.path(), "project");
    clitest::writeFile(project / "project.xml", R"(<project discFormat="11">
  <presentation file="presentation.xml"/>
</project>)");
    const fs::path discFolder = temp_.path() / "disc";
    const CommandResult run = disc(project, discFolder);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("no disc written"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(discFolder));
    // Nothing is left beside it either.
    for (const fs::directory_entry& entry : fs::directory_iterator(temp_.path())) {
        EXPECT_EQ(entry.path().filename().string().rfind(".disc", 0), std::string::npos)
            << entry.path();
    }
}

TEST_F(DiscCommand, BadUsageIsOneLineWithStatusTwo) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"disc"}, "merrowkit: PROJECT_DIR is missing (see merrowkit help disc)\n"},
        {{"disc", "p", "--variant", "newer"},
         "merrowkit: unknown variant 'newer' (current or older) (see merrowkit help disc)\n"},
        {{"disc", "p", "-o", "a", "-o", "b"},
         "merrowkit: the disc folder is given twice (see merrowkit help disc)\n"},
    };
    for (const auto& [args, message] : cases) {
        const CommandResult run = clitest::runMerrowkit(args, temp_.path());
        EXPECT_EQ(run.status, 2) << args.back();
        EXPECT_EQ(run.err, message) << args.back();
    }
    EXPECT_TRUE(fs::is_empty(temp_.path()));
}

}  // namespace
