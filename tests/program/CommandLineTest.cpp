// The command line of the built program: help, version, and bad usage.

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "support/CliTestSupport.h"

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

TEST(CommandLine, HelpListsEachCommandOnce) {
    clitest::TemporaryFolder temp;
    const clitest::CommandResult run = clitest::runMerrowkit({"help"}, temp.path());
    ASSERT_EQ(run.status, 0) << run.err;
    for (const std::string command : {"build", "check", "preview", "import", "help"}) {
        int usages = 0;
        int summaries = 0;
        for (const std::string& line : clitest::linesOf(run.out)) {
            if (std::regex_search(line,
                                  std::regex("^(usage: | +)merrowkit " + command + "( |$)"))) {
                ++usages;
            }
            if (line.rfind("  " + command + " ", 0) == 0) ++summaries;
        }
        EXPECT_EQ(usages, 1) << command << "\n" << run.out;
        EXPECT_EQ(summaries, 1) << command << "\n" << run.out;
    }
}

struct BadUsage {
    const char* name;
    std::vector<std::string> args;
    const char* message;
    const char* seeAlso = "merrowkit help build";
};

class CommandLineBadUsage : public ::testing::TestWithParam<BadUsage> {};

TEST_P(CommandLineBadUsage, ExitsTwoWithOneMessageAndWritesNothing) {
    clitest::TemporaryFolder temp;
    const clitest::CommandResult run = clitest::runMerrowkit(GetParam().args, temp.path());
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, std::string("merrowkit: ") + GetParam().message + " (see " +
                           GetParam().seeAlso + ")\n");
    EXPECT_TRUE(fs::is_empty(temp.path()));
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, CommandLineBadUsage,
    ::testing::Values(
        BadUsage{"UnknownCommand", {"make"}, "unknown command 'make'", "merrowkit --help"},
        BadUsage{"MisspeltCommand",
                 {"biuld"},
                 "unknown command 'biuld'; did you mean 'build'?",
                 "merrowkit --help"},
        BadUsage{"NoCommand", {}, "no command given", "merrowkit --help"},
        BadUsage{"OnlyGlobalFlags", {"-q", "-v"}, "no command given", "merrowkit --help"},
        BadUsage{
            "HelpOfUnknownCommand", {"help", "make"}, "unknown command 'make'", "merrowkit --help"},
        BadUsage{"UnknownOption", {"build", "--fast"}, "unknown option '--fast'"},
        BadUsage{"UnknownShortOption", {"build", "-x"}, "unknown option '-x'"},
        BadUsage{"MisspeltOption",
                 {"build", "--outptu", "x"},
                 "unknown option '--outptu'; did you mean '--output'?"},
        BadUsage{"MisspeltOptionWithValue",
                 {"build", "--varient=older"},
                 "unknown option '--varient'; did you mean '--variant'?"},
        BadUsage{"AmbiguousPrefix",
                 {"build", "--ver"},
                 "ambiguous option '--ver' (--version, --verbose)"},
        BadUsage{"TwoProjects", {"build", "a", "b"}, "more than one PROJECT_DIR ('a' and 'b')"},
        BadUsage{"EmptyProject", {"build", ""}, "PROJECT_DIR is empty"},
        BadUsage{"OutputWithoutFolder", {"build", "-o"}, "-o needs a folder"},
        BadUsage{"LongOutputWithoutFolder", {"build", "--output"}, "--output needs a folder"},
        BadUsage{"EmptyOutput", {"build", "--output="}, "OUT_DIR is empty"},
        BadUsage{
            "OutputTwice", {"build", "-o", "x", "--output=y"}, "the output folder is given twice"},
        BadUsage{"UnknownVariant",
                 {"build", "--variant", "newer"},
                 "unknown variant 'newer' (current or older)"},
        BadUsage{
            "VariantWithoutValue", {"build", "--variant"}, "--variant needs current or older"}),
    [](const ::testing::TestParamInfo<BadUsage>& param) { return param.param.name; });

TEST(CommandLine, HelpOfOneCommandListsItsOptions) {
    clitest::TemporaryFolder temp;
    const clitest::CommandResult help = clitest::runMerrowkit({"help", "build"}, temp.path());
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    const clitest::CommandResult same = clitest::runMerrowkit({"build", "--help"}, temp.path());
    EXPECT_EQ(same.out, help.out);
    for (const char* option : {"-o, --output OUT_DIR", "--variant VARIANT", "-q, --quiet",
                               "-v, --verbose", "-h, --help", "--version", "PROJECT_DIR"}) {
        EXPECT_NE(help.out.find(option), std::string::npos) << option << " in\n" << help.out;
    }

    const clitest::CommandResult all = clitest::runMerrowkit({"help"}, temp.path());
    EXPECT_EQ(all.status, 0);
    EXPECT_NE(all.out.find("merrowkit help [COMMAND]"), std::string::npos) << all.out;
}

TEST(CommandLine, VersionAfterTheCommandAndGnuOptionForms) {
    clitest::TemporaryFolder temp;
    const clitest::CommandResult version =
        clitest::runMerrowkit({"build", "--version"}, temp.path());
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(std::regex_match(version.out, std::regex("merrowkit [0-9]+\\.[0-9]+\\.[0-9]+\n")))
        << version.out;
    EXPECT_TRUE(fs::is_empty(temp.path()));

    // Options after the operand, an abbreviated long option, grouped short flags, and the
    // global flags before the command all reach the build.
    const clitest::CommandResult quiet = clitest::runMerrowkit(
        {"-q", "build", clitest::copyTestProject("small", temp.path(), "p").string(), "--out",
         (temp.path() / "out").string()},
        temp.path());
    EXPECT_EQ(quiet.status, 0) << quiet.err;
    EXPECT_EQ(quiet.out, "") << "-q drops the summary";
    EXPECT_TRUE(fs::is_regular_file(temp.path() / "out" / "title.xml"));

    const clitest::CommandResult verbose = clitest::runMerrowkit(
        {"build", (temp.path() / "p").string(), "-vo", (temp.path() / "out2").string()},
        temp.path());
    EXPECT_EQ(verbose.status, 0) << verbose.err;
    EXPECT_EQ(verbose.out.rfind("merrowkit: built ", 0), 0u) << verbose.out;
    const std::vector<std::string> notes = clitest::linesOf(verbose.err);
    ASSERT_GE(notes.size(), 3u) << verbose.err;
    for (const std::string& line : notes) {
        if (line.find(": warning: ") != std::string::npos) continue;  // the check after the build
        EXPECT_EQ(line.rfind("merrowkit: ", 0), 0u) << line;
    }
    EXPECT_TRUE(fs::is_regular_file(temp.path() / "out2" / "title.xml"));
}

TEST(CommandLine, OperandAfterDoubleDashMayStartWithADash) {
    clitest::TemporaryFolder temp;
    clitest::copyTestProject("small", temp.path(), "-p");
    const clitest::CommandResult run =
        clitest::runMerrowkit({"build", "-o", "out", "--", "-p"}, temp.path());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::is_regular_file(temp.path() / "out" / "title.xml"));
}

}  // namespace
