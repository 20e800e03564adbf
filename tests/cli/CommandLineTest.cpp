// The command line of the built program: help, version, and bad usage.

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "cli/CliTestSupport.h"

namespace {

namespace fs = std::filesystem;

TEST(CommandLine, HelpAndVersionSucceedOnStdout) {
    clitest::TemporaryFolder temp;
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--help"}, {"-h"}, {"build", "--help"}}) {
        const clitest::CommandResult run = clitest::runMerrowkit(args, temp.path());
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out.rfind("usage: merrowkit build [PROJECT_DIR] [-o OUT_DIR]", 0), 0u)
            << run.out;
        EXPECT_EQ(run.err, "");
    }
    const clitest::CommandResult version = clitest::runMerrowkit({"--version"}, temp.path());
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(std::regex_match(version.out, std::regex("merrowkit [0-9]+\\.[0-9]+\\.[0-9]+\n")))
        << version.out;
    EXPECT_TRUE(fs::is_empty(temp.path())) << "help or version wrote something";
}

struct BadUsage {
    const char* name;
    std::vector<std::string> args;
    const char* message;
};

class CommandLineBadUsage : public ::testing::TestWithParam<BadUsage> {};

TEST_P(CommandLineBadUsage, ExitsTwoWithOneMessageAndWritesNothing) {
    clitest::TemporaryFolder temp;
    const clitest::CommandResult run = clitest::runMerrowkit(GetParam().args, temp.path());
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err,
              std::string("merrowkit: ") + GetParam().message + " (see merrowkit --help)\n");
    EXPECT_TRUE(fs::is_empty(temp.path()));
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, CommandLineBadUsage,
    ::testing::Values(
        BadUsage{"UnknownCommand", {"make"}, "unknown command 'make'"},
        BadUsage{"UnknownOption", {"build", "--fast"}, "unknown option '--fast'"},
        BadUsage{"TwoProjects", {"build", "a", "b"}, "more than one PROJECT_DIR ('a' and 'b')"},
        BadUsage{"OutputWithoutFolder", {"build", "-o"}, "-o needs a folder"},
        BadUsage{
            "OutputTwice", {"build", "-o", "x", "--output=y"}, "the output folder is given twice"},
        BadUsage{"UnknownVariant",
                 {"build", "--variant", "newer"},
                 "unknown variant 'newer' (current or older)"},
        BadUsage{
            "VariantWithoutValue", {"build", "--variant"}, "--variant needs current or older"}),
    [](const ::testing::TestParamInfo<BadUsage>& param) { return param.param.name; });

TEST(CommandLine, NoArgumentsPrintsUsageAndExitsTwo) {
    clitest::TemporaryFolder temp;
    const clitest::CommandResult run = clitest::runMerrowkit({}, temp.path());
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("usage: merrowkit build", 0), 0u) << run.err;
}

}  // namespace
