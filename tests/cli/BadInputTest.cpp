// Hostile or mistaken input through the built program: nothing makes it wait, read outside the
// project or pass a mistake silently.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/CliTestSupport.h"

namespace {

namespace fs = std::filesystem;
using clitest::readFile;
using clitest::writeFile;

class BadInput : public ::testing::Test {
protected:
    void SetUp() override { project_ = clitest::copyTestProject("small", temp_.path(), "project"); }

    clitest::CommandResult build(std::vector<std::string> extra = {}) {
        std::vector<std::string> args = {"build", project_.string(), "-o",
                                         (temp_.path() / "out").string()};
        args.insert(args.end(), extra.begin(), extra.end());
        return clitest::runMerrowkit(args, temp_.path());
    }

    clitest::TemporaryFolder temp_;
    fs::path project_;
};

// A named pipe in place of a picture would block a reader for ever; it is refused at once and
// the element shows the fallback picture. (The alarm ends the test should the build block.)
TEST_F(BadInput, FifoAsPictureDoesNotBlock) {
    const fs::path picture = project_ / "art" / "mark_title.png";
    fs::remove(picture);
    ASSERT_EQ(mkfifo(picture.c_str(), 0600), 0);
    alarm(60);
    const clitest::CommandResult run = build();
    alarm(0);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::is_regular_file(temp_.path() / "out" / "title.xml"));
}

}  // namespace
