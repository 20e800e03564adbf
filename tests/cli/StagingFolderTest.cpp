// The output folder is replaced only by a complete output, and only when it holds nothing but
// a previous build's output.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli/CliTestSupport.h"

namespace {

namespace fs = std::filesystem;
using clitest::readFile;
using clitest::writeFile;

class StagingFolder : public ::testing::Test {
protected:
    clitest::CommandResult build(const fs::path& outFolder) {
        const fs::path project = temp_.path() / "project";
        if (!fs::exists(project)) clitest::copyTestProject("small", temp_.path(), "project");
        return clitest::runMerrowkit({"build", project.string(), "-o", outFolder.string()},
                                     temp_.path());
    }

    clitest::TemporaryFolder temp_;
};

TEST_F(StagingFolder, FolderWithOtherFilesIsNotReplaced) {
    const fs::path out = temp_.path() / "documents";
    writeFile(out / "notes.txt", "my notes");
    writeFile(out / "title.xml", "mine");
    const clitest::CommandResult run = build(out);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "merrowkit: " + out.string() +
                           ": not replaced: it holds 'notes.txt', which merrowkit build does "
                           "not write\n");
    EXPECT_EQ(readFile(out / "notes.txt"), "my notes");
    EXPECT_EQ(readFile(out / "title.xml"), "mine");
}

TEST_F(StagingFolder, TracksFolderWithOtherFilesIsNotReplaced) {
    const fs::path out = temp_.path() / "out";
    writeFile(out / "tracks" / "keep.jpg", "picture");
    const clitest::CommandResult run = build(out);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("'tracks/keep.jpg'"), std::string::npos) << run.err;
    EXPECT_EQ(readFile(out / "tracks" / "keep.jpg"), "picture");
}

TEST_F(StagingFolder, FileInPlaceOfTheFolderIsNotReplaced) {
    const fs::path out = temp_.path() / "out";
    writeFile(out, "a file");
    const clitest::CommandResult run = build(out);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err,
              "merrowkit: " + out.string() + ": exists and is not a folder; not replaced\n");
    EXPECT_EQ(readFile(out), "a file");
}

TEST_F(StagingFolder, EmptyFolderAndMissingParentsAreFine) {
    const fs::path empty = temp_.path() / "empty";
    fs::create_directories(empty);
    EXPECT_EQ(build(empty).status, 0);
    EXPECT_TRUE(fs::is_regular_file(empty / "title.xml"));

    const fs::path nested = temp_.path() / "a" / "b" / "out";
    EXPECT_EQ(build(nested).status, 0);
    EXPECT_TRUE(fs::is_regular_file(nested / "title.xml"));
}

TEST_F(StagingFolder, TrailingSeparatorNamesTheSameFolder) {
    const fs::path out = temp_.path() / "out";
    ASSERT_EQ(build(fs::path(out.string() + "/")).status, 0);
    EXPECT_TRUE(fs::is_regular_file(out / "title.xml"));
}

TEST_F(StagingFolder, RootIsNoOutputFolder) {
    const clitest::CommandResult run = build("/");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "merrowkit: /: cannot be used as the output folder\n");
}

}  // namespace
