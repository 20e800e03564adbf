// The host resolves the paths the component composes through its id index; on the sample, in
// both variants, every one of them gives what libxml2's own evaluation gives.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <regex>
#include <string>

#include "support/CliTestSupport.h"
#include "support/SampleBuild.h"

namespace {

// Sets an environment variable for the programs a test starts, and removes it afterwards.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) { setenv(name, value, 1); }
    ~ScopedEnvironment() { unsetenv(name_); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* name_;
};

class PathIndex : public ::testing::TestWithParam<std::string> {};

TEST_P(PathIndex, EveryPathOfASampleBuildGivesWhatLibxml2Gives) {
    clitest::TemporaryFolder temp;
    ScopedEnvironment check("MERROWHOST_CROSS_CHECK_PATHS", "1");
    const clitest::CommandResult result =
        clitest::buildSample(GetParam(), temp.path() / "out", temp.path());
    ASSERT_EQ(result.status, 0) << result.err;

    std::smatch figures;
    const std::regex line(
        "merrowhost: paths: ([0-9]+) indexed, ([0-9]+) to libxml2, ([0-9]+) differ");
    ASSERT_TRUE(std::regex_search(result.err, figures, line)) << result.err;
    EXPECT_GT(std::stoul(figures[1].str()), 1000u);
    EXPECT_EQ(figures[3].str(), "0") << result.err;
    // Every shape the component composes is one the index resolves (a new shape would fall
    // back to libxml2's scans and make a large calendar slow again); the command's own reads
    // of the project are a handful.
    EXPECT_LE(std::stoul(figures[2].str()), 5u) << result.err;
    EXPECT_EQ(clitest::firstDifference(
                  clitest::readFile(clitest::goldenFolder(GetParam()) / "AppPresentation.xml"),
                  clitest::readFile(temp.path() / "out" / "AppPresentation.xml")),
              "");
}

INSTANTIATE_TEST_SUITE_P(Variants, PathIndex, ::testing::Values("current", "older"));

}  // namespace
