// `merrowkit check` on the sample's output as built, and on copies of it with one reference
// broken: a good output passes, every break gives status 1 and a located line naming the id,
// and a folder that cannot be read gives status 2.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cli/check/OutputCheck.h"
#include "cli/core/Messages.h"
#include "host/title/TrackSpool.h"
#include "support/CliTestSupport.h"
#include "support/SampleBuild.h"

namespace {

namespace fs = std::filesystem;
using clitest::CommandResult;
using clitest::readFile;
using clitest::writeFile;

class CheckCommand : public clitest::SampleOutputTest {
protected:
    // Replaces the first occurrence of `from` in the file; returns its 1-based line.
    static int replaceOnce(const fs::path& file, const std::string& from, const std::string& to) {
        std::string text = readFile(file);
        const size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at == std::string::npos) return 0;
        text.replace(at, from.size(), to);
        writeFile(file, text);
        return 1 + static_cast<int>(std::count(text.begin(), text.begin() + at, '\n'));
    }

    static int lineContaining(const fs::path& file, const std::string& needle) {
        const std::vector<std::string> lines = clitest::linesOf(readFile(file));
        for (size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].find(needle) != std::string::npos) return static_cast<int>(i) + 1;
        }
        return 0;
    }

    CommandResult check(const fs::path& folder) {
        return clitest::runMerrowkit({"check", folder.string()}, temp_.path());
    }

    // The stderr lines that name the id, each checked to be "FILE:LINE: ..." of the file.
    static std::vector<std::string> linesNaming(const CommandResult& run, const std::string& id) {
        std::vector<std::string> found;
        for (const std::string& line : clitest::linesOf(run.err)) {
            if (line.find("'" + id + "'") != std::string::npos ||
                line.find(id + ".png") != std::string::npos) {
                found.push_back(line);
            }
        }
        return found;
    }
};

TEST_F(CheckCommand, TheSampleOutputHolds) {
    const CommandResult run = check(out());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("every reference holds"), std::string::npos) << run.out;
    // Every picture of the sample is decoded once: 160 document tracks and the background.
    EXPECT_NE(run.out.find(", 161 tracks)"), std::string::npos) << run.out;
}

TEST_F(CheckCommand, ADeletedTrackIsNamedAtTheLineThatUsesIt) {
    const fs::path out = copyOfOutput();
    fs::remove(out / "tracks" / "track_0050.png");
    const CommandResult run = check(out);
    EXPECT_EQ(run.status, 1);
    const std::vector<std::string> lines = linesNaming(run, "track_0050");
    ASSERT_EQ(lines.size(), 1u) << run.err;
    const int line = lineContaining(out / "AppPresentation.xml", "\"track_0050\"");
    EXPECT_EQ(lines[0].rfind(
                  (out / "AppPresentation.xml").string() + ":" + std::to_string(line) + ": ", 0),
              0u)
        << lines[0];
    EXPECT_NE(lines[0].find("missing"), std::string::npos) << lines[0];
    EXPECT_NE(run.out.find("1 problem "), std::string::npos) << run.out;
}

TEST_F(CheckCommand, ATrackThatDoesNotDecodeIsABreak) {
    const fs::path out = copyOfOutput();
    const fs::path track = out / "tracks" / "track_0003.png";
    const std::string bytes = readFile(track);
    writeFile(track, bytes.substr(0, bytes.size() / 2));
    const CommandResult run = check(out);
    EXPECT_EQ(run.status, 1);
    const std::vector<std::string> lines = linesNaming(run, "track_0003");
    ASSERT_EQ(lines.size(), 1u) << run.err;
    EXPECT_NE(lines[0].find("does not decode"), std::string::npos) << lines[0];
}

TEST_F(CheckCommand, TheBuildsOwnTracksAreDecodedOnlyWhenTheyChanged) {
    const fs::path out = copyOfOutput();
    const fs::path tracks = out / "tracks";
    const std::string original = readFile(tracks / "track_0003.png");
    writeFile(tracks / "track_0003.png", original.substr(0, original.size() / 2));
    writeFile(tracks / "track_0004.png", "no picture at all");
    auto bytes = [](const std::string& text) {
        return merrowcli::WrittenTrack{text.size(),
                                       merrowhost::contentDigest(text.data(), text.size())};
    };
    // The build wrote the whole of track 3 (the file changed since: decoded, found broken) and
    // exactly what track 4 holds now (taken as written, not decoded).
    const merrowcli::WrittenTracks written = {{"track_0003.png", bytes(original)},
                                              {"track_0004.png", bytes("no picture at all")}};
    const merrowcli::ReferenceReport report = merrowcli::checkOutputFolder(out, "out", &written);
    ASSERT_TRUE(report.readable) << report.error;
    std::vector<std::string> problems;
    for (const merrowcli::ReferenceProblem& problem : report.problems) {
        problems.push_back(problem.problem);
    }
    ASSERT_EQ(problems.size(), 1u) << ::testing::PrintToString(problems);
    EXPECT_NE(problems[0].find("tracks/track_0003.png does not decode"), std::string::npos)
        << problems[0];
    // Without the build's bytes both are decoded.
    EXPECT_EQ(merrowcli::checkOutputFolder(out, "out").problems.size(), 2u);
}

TEST_F(CheckCommand, ARenamedContainerBreaksEveryPageThatShowsIt) {
    const fs::path out = copyOfOutput();
    replaceOnce(out / "AppPresentation.xml", "<container id=\"MonthPageLayout\"",
                "<container id=\"MonthPageLayoutRenamed\"");
    const CommandResult run = check(out);
    EXPECT_EQ(run.status, 1);
    // The two month pages name the layout; their page buttons can no longer be placed in it.
    const std::vector<std::string> lines = linesNaming(run, "MonthPageLayout");
    ASSERT_EQ(lines.size(), 2u) << run.err;
    for (const std::string& line : lines) {
        EXPECT_TRUE(merrowcli::Messages::namesPlace(line)) << line;
        EXPECT_NE(line.find("layoutId"), std::string::npos) << line;
    }
    EXPECT_NE(lines[0].find(":" +
                            std::to_string(lineContaining(out / "AppPresentation.xml",
                                                          "id=\"Y2023MonthPage\"")) +
                            ": "),
              std::string::npos)
        << lines[0];
}

TEST_F(CheckCommand, ABrokenFocusTargetIsNamed) {
    const fs::path out = copyOfOutput();
    const int line =
        replaceOnce(out / "AppPresentation.xml", "target=\"M_BTN_BACK\"", "target=\"M_BTN_BAK\"");
    const CommandResult run = check(out);
    EXPECT_EQ(run.status, 1);
    const std::vector<std::string> lines = linesNaming(run, "M_BTN_BAK");
    ASSERT_EQ(lines.size(), 1u) << run.err;
    EXPECT_EQ(lines[0].rfind((out / "AppPresentation.xml").string() + ":" + std::to_string(line) +
                                 ": target of focusitem",
                             0),
              0u)
        << lines[0];
}

TEST_F(CheckCommand, ReferencesOfTheWrongKindOrToRepeatedIdsAreBreaks) {
    const fs::path out = copyOfOutput();
    const fs::path document = out / "AppPresentation.xml";
    // A day page's next button that lives in the month page's layout.
    replaceOnce(document, "nextPageButtonId=\"D_BTN_NEXT\"", "nextPageButtonId=\"M_BTN_NEXT\"");
    // A content's title that is a chapter menu, not a title.
    replaceOnce(document, "titleId=\"UserTitle_2\"", "titleId=\"T1_ChapterMenuLayout\"");
    // A second element with the id of the focus control's default.
    replaceOnce(document, "id=\"L1_SCENE_2\"", "id=\"L1_SCENE_1\"");
    // A show command that names a chapter jump.
    replaceOnce(document, "showChapterCmdId=\"Show_T3_ChapterMenuLayout\"",
                "showChapterCmdId=\"jumpchapter_Chapter_3_1\"");
    const CommandResult run = check(out);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(linesNaming(run, "M_BTN_NEXT").size(), 1u) << run.err;
    EXPECT_EQ(linesNaming(run, "T1_ChapterMenuLayout").size(), 1u) << run.err;
    EXPECT_EQ(linesNaming(run, "L1_SCENE_1").size(), 1u) << run.err;
    EXPECT_EQ(linesNaming(run, "jumpchapter_Chapter_3_1").size(), 1u) << run.err;
    EXPECT_NE(run.err.find("not a button of the page's layout"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("not a title of the title list"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("given to 2 elements"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("not a menuproperty"), std::string::npos) << run.err;
}

TEST_F(CheckCommand, TheTitlesTrackCountMustMatchTheDocument) {
    const fs::path out = copyOfOutput();
    const int line = replaceOnce(out / "title.xml", "tracks=\"160\"", "tracks=\"159\"");
    const CommandResult run = check(out);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find((out / "title.xml").string() + ":" + std::to_string(line) +
                           ": the presentation counts 159 tracks but the document names 160"),
              std::string::npos)
        << run.err;
}

TEST_F(CheckCommand, AFolderThatCannotBeReadIsStatusTwo) {
    EXPECT_EQ(check(temp_.path() / "nowhere").status, 2);

    const fs::path out = copyOfOutput();
    fs::remove(out / "title.xml");
    CommandResult run = check(out);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("title.xml"), std::string::npos) << run.err;

    writeFile(out / "title.xml", readFile(SampleOutputTest::out() / "title.xml"));
    writeFile(out / "AppPresentation.xml", "<root><layout>");
    run = check(out);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.rfind((out / "AppPresentation.xml").string() + ":1:", 0), 0u) << run.err;

    EXPECT_EQ(clitest::runMerrowkit({"check"}, temp_.path()).status, 2);
}

}  // namespace
