// The shared argument parser: GNU option forms, operands, and its messages.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/core/ArgumentParser.h"

namespace {

using merrowcli::ArgumentParser;
using Outcome = ArgumentParser::Outcome;

// A command with a required repeated operand, a value option and a flag.
struct Declared {
    ArgumentParser parser{"demo", "FILE... [-n NAME]", "A demo."};
    std::vector<std::string> files;
    std::vector<std::string> names;
    int flags = 0;

    Declared() {
        parser.addOperand(
            {"FILE", "a file", true, true, [this](const std::string& v, std::string*) {
                 files.push_back(v);
                 return true;
             }});
        parser.addValueOption("name", 'n', "NAME", "a name",
                              [this](const std::string& v, std::string* problem) {
                                  if (v == "bad") {
                                      *problem = "bad name";
                                      return false;
                                  }
                                  names.push_back(v);
                                  return true;
                              });
        parser.addFlag("strict", 0, "be strict", [this] { ++flags; });
    }
};

TEST(ArgumentParser, TakesOptionsAndOperandsInAnyOrder) {
    Declared d;
    EXPECT_EQ(d.parser.parse({"a", "-nx", "b", "--name=y", "--strict", "--", "-c"}), Outcome::kRun);
    EXPECT_EQ(d.files, (std::vector<std::string>{"a", "b", "-c"}));
    EXPECT_EQ(d.names, (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(d.flags, 1);
    EXPECT_EQ(d.parser.verbosity(), 0);

    // A second parse starts afresh.
    Declared again;
    EXPECT_EQ(again.parser.parse({"z", "-qv", "--st"}), Outcome::kRun);
    EXPECT_EQ(again.files, (std::vector<std::string>{"z"}));
    EXPECT_EQ(again.flags, 1);
    EXPECT_EQ(again.parser.verbosity(), 1) << "the last of -q and -v wins";
}

TEST(ArgumentParser, StopsAtTheFirstProblem) {
    struct Case {
        std::vector<std::string> args;
        Outcome outcome;
        std::string problem;
    };
    for (const Case& c : std::vector<Case>{
             {{}, Outcome::kError, "FILE is missing"},
             {{"a", "-n"}, Outcome::kError, "-n needs NAME"},
             {{"a", "--name"}, Outcome::kError, "--name needs NAME"},
             {{"a", "-n", "bad"}, Outcome::kError, "bad name"},
             {{"a", "--strikt"},
              Outcome::kError,
              "unknown option '--strikt'; did you mean '--strict'?"},
             {{"a", "--zzzzzz"}, Outcome::kError, "unknown option '--zzzzzz'"},
             {{"a", "--strict=1"}, Outcome::kError, "--strict takes no value"},
             {{"a", "--help", "--bogus"}, Outcome::kHelp, ""},
             {{"--version"}, Outcome::kVersion, ""},
         }) {
        Declared d;
        EXPECT_EQ(d.parser.parse(c.args), c.outcome) << c.problem;
        EXPECT_EQ(d.parser.problem(), c.problem);
    }
}

TEST(ArgumentParser, HelpListsEveryDeclaration) {
    Declared d;
    const std::string help = d.parser.helpText();
    EXPECT_EQ(help.rfind("usage: merrowkit demo FILE... [-n NAME]\n", 0), 0u) << help;
    for (const char* part : {"FILE", "-n, --name NAME", "--strict", "-q, --quiet", "-v, --verbose",
                             "-h, --help", "--version", "A demo."}) {
        EXPECT_NE(help.find(part), std::string::npos) << part << " in\n" << help;
    }
}

TEST(ArgumentParser, NearestIsOnlyAnEvidentSlip) {
    const std::vector<std::string> names{"--output", "--variant", "--verbose"};
    EXPECT_EQ(ArgumentParser::nearest("--ouptut", names), "--output");
    EXPECT_EQ(ArgumentParser::nearest("--varaint", names), "--variant");
    EXPECT_EQ(ArgumentParser::nearest("--verbos", names), "--verbose");
    EXPECT_EQ(ArgumentParser::nearest("--fast", names), "");
    EXPECT_EQ(ArgumentParser::nearest("biuld", {"build", "check"}), "build");
    EXPECT_EQ(ArgumentParser::nearest("make", {"build", "check"}), "");
}

}  // namespace
