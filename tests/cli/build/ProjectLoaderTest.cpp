// Bad project input through the built program: one message naming the file, the line and the
// problem, exit status 2, and the previous output folder left exactly as it was.

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <map>
#include <string>

#include "support/CliTestSupport.h"

namespace {

namespace fs = std::filesystem;
using clitest::readFile;
using clitest::writeFile;

class ProjectLoader : public ::testing::Test {
protected:
    void SetUp() override {
        project_ = clitest::copyTestProject("small", temp_.path(), "project");
        out_ = temp_.path() / "out";
        // What a previous build left; it must survive every failed run.
        writeFile(out_ / "AppPresentation.xml", "<root>previous</root>\n");
        writeFile(out_ / "title.xml", "<title format=\"1\" result=\"true\"/>\n");
        writeFile(out_ / "tracks" / "track_0001.png", "previous track");
        previous_ = clitest::folderContents(out_);
    }

    // Runs a build of the project and checks what every rejected input has in common: status
    // 2, exactly one line on stderr, nothing on stdout, the previous output untouched and
    // nothing left beside it. Returns the message.
    std::string rejectedMessage() {
        const clitest::CommandResult run =
            clitest::runMerrowkit({"build", project_.string(), "-o", out_.string()}, temp_.path());
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(clitest::linesOf(run.err).size(), 1u) << run.err;
        EXPECT_TRUE(clitest::folderContents(out_) == previous_);
        for (const fs::directory_entry& entry : fs::directory_iterator(temp_.path())) {
            const std::string name = entry.path().filename().string();
            EXPECT_TRUE(name == "project" || name == "out") << "left behind: " << name;
        }
        return clitest::linesOf(run.err).empty() ? "" : clitest::linesOf(run.err).front();
    }

    std::string projectFile() const { return (project_ / "project.xml").string(); }

    clitest::TemporaryFolder temp_;
    fs::path project_;
    fs::path out_;
    std::map<std::string, std::string> previous_;
};

TEST_F(ProjectLoader, MissingProjectFileIsNamed) {
    fs::remove(project_ / "project.xml");
    EXPECT_EQ(rejectedMessage(), "merrowkit: " + projectFile() + ": no such file");
}

TEST_F(ProjectLoader, MissingProjectFolderIsNamed) {
    fs::remove_all(project_);
    EXPECT_EQ(rejectedMessage(), "merrowkit: " + project_.string() + ": no such project folder");
}

TEST_F(ProjectLoader, MalformedProjectFileNamesLineAndColumn) {
    writeFile(project_ / "project.xml",
              "<project discFormat=\"10\">\n"
              "  <presentation file=\"presentation.xml\">\n"
              "</project>\n");
    const std::string message = rejectedMessage();
    // libxml2 reports the mismatched end tag on line 3.
    EXPECT_EQ(message.rfind(projectFile() + ":3:", 0), 0u) << message;
    const std::string rest = message.substr(projectFile().size() + 3);
    ASSERT_FALSE(rest.empty());
    EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(rest[0]))) << "no column: " << message;
}

TEST_F(ProjectLoader, MissingPresentationFileNamesItsElement) {
    writeFile(project_ / "project.xml",
              "<project>\n"
              "  <presentation file=\"absent.xml\"/>\n"
              "</project>\n");
    EXPECT_EQ(rejectedMessage(),
              projectFile() + ":2: presentation file \"absent.xml\": no such file");
}

TEST_F(ProjectLoader, MalformedReferenceDocumentNamesItsLine) {
    writeFile(project_ / "presentation.xml", "<root>\n  <layout>\n</root>\n");
    const std::string message = rejectedMessage();
    const std::string file = (project_ / "presentation.xml").string();
    EXPECT_EQ(message.rfind(file + ":3:", 0), 0u) << message;
}

// project.xml texts that are refused, with the message after "FILE:" (or how it begins, where
// the rest is the picture loader's reason).
struct RefusedProject {
    const char* name;
    const char* text;
    const char* message;
    bool messageBeginsOnly = false;
};

class RefusedProjectFile : public ProjectLoader,
                           public ::testing::WithParamInterface<RefusedProject> {};

TEST_P(RefusedProjectFile, NamesLineAndProblem) {
    writeFile(project_ / "project.xml", GetParam().text);
    const std::string expected = projectFile() + ":" + GetParam().message;
    const std::string message = rejectedMessage();
    if (GetParam().messageBeginsOnly) {
        EXPECT_EQ(message.rfind(expected, 0), 0u) << message;
        EXPECT_GT(message.size(), expected.size()) << "no reason given";
    } else {
        EXPECT_EQ(message, expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    ProjectLoader, RefusedProjectFile,
    ::testing::Values(
        RefusedProject{"NonNumericDiscFormat",
                       "<?xml version=\"1.0\"?>\n<project discFormat=\"ten\">\n"
                       "  <presentation file=\"presentation.xml\"/>\n</project>\n",
                       "2: discFormat \"ten\" is not a whole number in range"},
        RefusedProject{"DiscFormatWithTrailingText",
                       "<project discFormat=\"10x\">\n"
                       "  <presentation file=\"presentation.xml\"/>\n</project>\n",
                       "1: discFormat \"10x\" is not a whole number in range"},
        RefusedProject{"DiscFormatOutOfRange",
                       "<project discFormat=\"4294967296\">\n"
                       "  <presentation file=\"presentation.xml\"/>\n</project>\n",
                       "1: discFormat \"4294967296\" is not a whole number in range"},
        RefusedProject{"NegativeMediaValue",
                       "<project defaultMediaValue=\"-1\">\n"
                       "  <presentation file=\"presentation.xml\"/>\n</project>\n",
                       "1: defaultMediaValue \"-1\" is not a non-negative whole number in range"},
        RefusedProject{"BadTruthValue",
                       "<project background=\"yes\">\n"
                       "  <presentation file=\"presentation.xml\"/>\n</project>\n",
                       "1: background \"yes\" is not a truth value (true or false)"},
        RefusedProject{"UnknownAttribute",
                       "<project discformat=\"10\">\n"
                       "  <presentation file=\"presentation.xml\"/>\n</project>\n",
                       "1: <project>: unknown attribute 'discformat'"},
        RefusedProject{"NoPresentation", "<project>\n</project>\n",
                       "1: <presentation file=\"...\"/> is missing: the project names no "
                       "reference document"},
        RefusedProject{"PresentationWithoutFile", "<project>\n  <presentation/>\n</project>\n",
                       "2: <presentation> needs a file attribute"},
        RefusedProject{"SecondPresentation",
                       "<project>\n  <presentation file=\"presentation.xml\"/>\n"
                       "  <presentation file=\"presentation.xml\"/>\n</project>\n",
                       "3: a second <presentation>"},
        RefusedProject{"UnknownElement",
                       "<project>\n  <presentation file=\"presentation.xml\"/>\n"
                       "  <menu/>\n</project>\n",
                       "3: unexpected <menu>; <project> holds <presentation>, "
                       "<backgroundMedia> and <titles>"},
        RefusedProject{"BadGuid",
                       "<project>\n  <presentation file=\"presentation.xml\"/>\n  <titles>\n"
                       "    <title kind=\"user\" guid=\"{1234}\"/>\n  </titles>\n</project>\n",
                       "4: guid \"{1234}\" is not of the form "
                       "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"},
        RefusedProject{"VideoWithBadEscape",
                       "<project>\n  <presentation file=\"presentation.xml\"/>\n  <titles>\n"
                       "    <title video=\"a%2.mp4\"/>\n  </titles>\n</project>\n",
                       "4: video \"a%2.mp4\" is not a file name (empty, or a '%' not followed "
                       "by two hex digits)"},
        RefusedProject{"EmptyMediaFolder",
                       "<project\n media=\"\">\n  <presentation file=\"presentation.xml\"/>\n"
                       "</project>\n",
                       "2: media \"\" is not a file name (empty, or a '%' not followed by two "
                       "hex digits)"},
        RefusedProject{"MissingBackgroundMedia",
                       "<project background=\"true\">\n"
                       "  <presentation file=\"presentation.xml\"/>\n"
                       "  <backgroundMedia file=\"art/absent.png\"/>\n</project>\n",
                       "3: background media \"art/absent.png\": no such file"},
        RefusedProject{"BackgroundMediaNotAPicture",
                       "<project background=\"true\">\n"
                       "  <presentation file=\"presentation.xml\"/>\n"
                       "  <backgroundMedia file=\"presentation.xml\"/>\n</project>\n",
                       "3: background media \"presentation.xml\": ", true},
        RefusedProject{"MissingBackgroundImage",
                       "<project background=\"true\" backgroundImage=\"art/absent.jpg\">\n"
                       "  <presentation file=\"presentation.xml\"/>\n</project>\n",
                       "1: backgroundImage \"art/absent.jpg\": no such file"},
        RefusedProject{"AttributeOnItsOwnLine",
                       "<project\n  discFormat=\"10\"\n  background=\"yes\"\n"
                       "  rootMenuTitle=\"true\">\n"
                       "  <presentation file=\"presentation.xml\"/>\n</project>\n",
                       "3: background \"yes\" is not a truth value (true or false)"},
        RefusedProject{"UnknownAttributeOnItsOwnLine",
                       "<project\n  discformat=\"10\"\n  background=\"false\">\n"
                       "  <presentation file=\"presentation.xml\"/>\n</project>\n",
                       "2: <project>: unknown attribute 'discformat'"},
        RefusedProject{"AttributeAfterValueOverLines",
                       "<project backgroundImage='a>\nb.png' mediaKind=\"2\"\n"
                       "    background=\"maybe\">\n"
                       "  <presentation file=\"presentation.xml\"/>\n</project>\n",
                       "3: background \"maybe\" is not a truth value (true or false)"},
        RefusedProject{"BackgroundImageOnItsOwnLine",
                       "<project background=\"true\"\n    backgroundImage=\"art/absent.jpg\">\n"
                       "  <presentation file=\"presentation.xml\"/>\n</project>\n",
                       "2: backgroundImage \"art/absent.jpg\": no such file"},
        RefusedProject{"PresentationFileOnItsOwnLine",
                       "<project>\n  <presentation\n     file=\"absent.xml\"\n  />\n</project>\n",
                       "3: presentation file \"absent.xml\": no such file"},
        RefusedProject{"NotUtf8IsOneLine",
                       "<project discFormat=\"10\">\x97\n"
                       "  <presentation file=\"presentation.xml\"/>\n</project>\n",
                       "1:26: Input is not proper UTF-8, indicate encoding !; Bytes: 0x97 0x0A "
                       "0x20 0x20"},
        RefusedProject{"WrongDocumentElement", "<?xml version=\"1.0\"?>\n<projekt/>\n",
                       "2: the document element must be <project> (without namespace)"}),
    [](const ::testing::TestParamInfo<RefusedProject>& param) { return param.param.name; });

}  // namespace
