// Hostile or mistaken input through the built program: nothing makes it wait, read outside the
// project or pass a mistake silently.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/CliTestSupport.h"

namespace {

namespace fs = std::filesystem;
using clitest::readFile;
using clitest::writeFile;

// The lines of stderr about the project; the check of what was written warns about the small
// test project's layout, which has none of the page buttons the component names.
std::vector<std::string> inputLines(const std::string& err) {
    std::vector<std::string> lines;
    for (const std::string& line : clitest::linesOf(err)) {
        if (line.find("/out/AppPresentation.xml:") == std::string::npos) lines.push_back(line);
    }
    return lines;
}

class BadInput : public ::testing::Test {
protected:
    void SetUp() override { project_ = clitest::copyTestProject("small", temp_.path(), "project"); }

    clitest::CommandResult build(std::vector<std::string> extra = {}) {
        std::vector<std::string> args = {"build", project_.string(), "-o",
                                         (temp_.path() / "out").string()};
        args.insert(args.end(), extra.begin(), extra.end());
        return clitest::runMerrowkit(args, temp_.path());
    }

    // Replaces the first occurrence of from in a file of the project.
    void edit(const std::string& file, const std::string& from, const std::string& to) {
        std::string text = readFile(project_ / file);
        const size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
        writeFile(project_ / file, text);
    }

    std::string document() const { return (project_ / "presentation.xml").string(); }

    clitest::TemporaryFolder temp_;
    fs::path project_;
};

const char* const kBackground =
    "id=\"Y_BACKGROUND\" x=\"10\" y=\"10\" width=\"32\" height=\"32\" "
    "image=\"art/mark_title.png\"";
const char* const kNextButton = "imageBody=\"art/btn_next.png\"";

// A picture of the reference document that leaves the project folder (by "../", an absolute
// path or a symbolic link) is not read: the element shows the fallback picture and a warning
// names the element and the path. --allow-outside reads it.
TEST_F(BadInput, PicturesOutsideTheProjectAreRefusedWithAWarning) {
    const fs::path outside = temp_.path() / "outside.png";
    fs::copy_file(project_ / "art" / "mark_title.png", outside);
    fs::create_symlink(outside, project_ / "art" / "link.png");
    // A link that stays inside the project is fine.
    fs::create_symlink("btn_next_hl.png", project_ / "art" / "inside.png");
    edit("presentation.xml", kBackground,
         "id=\"Y_BACKGROUND\" x=\"10\" y=\"10\" width=\"32\" height=\"32\" "
         "image=\"../outside.png\"");
    edit("presentation.xml", kNextButton, "imageBody=\"art/link.png\"");
    edit("presentation.xml", "image=\"art/mark_title.png\"", "image=\"" + outside.string() + "\"");
    // A grid's background is loaded as a file, not rendered: it is left out.
    edit("presentation.xml", "vGap=\"8\" image=\"art/mark_photo.png\"",
         "vGap=\"8\" image=\"../outside.png\"");
    edit("presentation.xml", "imageHighlight=\"art/btn_next_hl.png\"",
         "imageHighlight=\"art/inside.png\"");

    const clitest::CommandResult run = build();
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string tail = "outside the project folder; the fallback picture is shown";
    EXPECT_EQ(inputLines(run.err),
              (std::vector<std::string>{
                  document() +
                      ":8: warning: <decoration id=\"Y_BACKGROUND\">: picture "
                      "\"../outside.png\": " +
                      tail,
                  document() +
                      ":10: warning: <graphicbutton id=\"Y_BTN_NEXT\">: picture "
                      "\"art/link.png\": " +
                      tail,
                  document() + ":15: warning: <icon id=\"Y_TITLE_DECORATION_1\">: picture \"" +
                      outside.string() + "\": " + tail,
                  document() + ":24: warning: <gridcontainer id=\"M_GRID\">: picture "
                               "\"../outside.png\": outside the project folder; it is not used"}));

    const clitest::CommandResult allowed = build({"--allow-outside"});
    EXPECT_EQ(allowed.status, 0) << allowed.err;
    EXPECT_TRUE(inputLines(allowed.err).empty()) << allowed.err;
}

// Mistakes the component passes over are warnings: one line each at the element, exit 0 and the
// very output the same project gives without the mistake; --strict makes them bad input and
// leaves the previous output as it was.
TEST_F(BadInput, WarningsChangeNoOutputAndStrictRefusesThem) {
    ASSERT_EQ(build().status, 0);
    const auto clean = clitest::folderContents(temp_.path() / "out");

    edit("presentation.xml", "<chapterInfo id=\"Chapter_1_1\" index=\"1\"",
         "<chapterInfo id=\"Chapter_1_1\" index=\"1\" thumbnailID=\"TH_TITLE\"");
    edit("presentation.xml", "<dayInfo id=\"Day_2023_11_25\"",
         "<dayInfo TITLE_NUMBERS=\"1\" id=\"Day_2023_11_25\"");
    const clitest::CommandResult run = build();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(inputLines(run.err),
              (std::vector<std::string>{
                  document() + ":68: warning: <dayInfo id=\"Day_2023_11_25\">: unknown "
                               "attribute 'TITLE_NUMBERS' (did you mean 'TITLE_NUMBER'?); it is "
                               "ignored",
                  document() + ":78: warning: <chapterInfo id=\"Chapter_1_1\">: unknown "
                               "attribute 'thumbnailID' (did you mean 'thumbnailId'?); it is "
                               "ignored"}));
    EXPECT_TRUE(clitest::folderContents(temp_.path() / "out") == clean);

    fs::remove_all(temp_.path() / "out");
    writeFile(temp_.path() / "out" / "title.xml", "previous");
    const clitest::CommandResult strict = build({"--strict"});
    EXPECT_EQ(strict.status, 2);
    EXPECT_EQ(strict.out, "");
    const std::vector<std::string> lines = clitest::linesOf(strict.err);
    ASSERT_EQ(lines.size(), 3u) << strict.err;
    EXPECT_EQ(lines[2], "merrowkit: 2 warnings and --strict: nothing written");
    EXPECT_EQ(readFile(temp_.path() / "out" / "title.xml"), "previous");
}

// A picture that is missing or not a picture: the element shows the fallback picture and a
// warning says so.
TEST_F(BadInput, PicturesThatCannotBeUsedAreWarnedAbout) {
    writeFile(project_ / "art" / "notes.png", "not a picture\n");
    edit("presentation.xml", kBackground,
         "id=\"Y_BACKGROUND\" x=\"10\" y=\"10\" width=\"32\" height=\"32\" "
         "image=\"art/missing.png\"");
    edit("presentation.xml", kNextButton, "imageBody=\"art/notes.png\"");
    const clitest::CommandResult run = build();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(inputLines(run.err),
              (std::vector<std::string>{
                  document() + ":8: warning: <decoration id=\"Y_BACKGROUND\">: picture "
                               "\"art/missing.png\": no such file; the fallback picture is shown",
                  document() + ":10: warning: <graphicbutton id=\"Y_BTN_NEXT\">: picture "
                               "\"art/notes.png\": not a PNG or JPEG file; the fallback picture "
                               "is shown"}));
    EXPECT_EQ(build({"--strict"}).status, 2);
}

// The decoded and rendered pixels of one build have a limit; a project that needs more stops
// with a clear error and writes nothing. (The test lowers the limit to reach it with small
// pictures.)
TEST_F(BadInput, PixelBudgetOfABuildIsEnforced) {
    const fs::path out = temp_.path() / "out";
    writeFile(out / "title.xml", "previous");
    const std::vector<std::string> args = {"build", project_.string(), "-o", out.string()};
    const clitest::CommandResult run =
        clitest::runMerrowkit(args, temp_.path(), {"MERROWKIT_TEST_PIXEL_BUDGET=100000"});
    EXPECT_EQ(run.status, 2);
    const std::vector<std::string> lines = clitest::linesOf(run.err);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "merrowkit: the pictures of " + document() +
                                " need more than 100000 bytes of decoded and rendered pixels, the "
                                "limit of one build; nothing written");
    EXPECT_EQ(readFile(out / "title.xml"), "previous");
    // The project fits well within the real limit.
    EXPECT_EQ(clitest::runMerrowkit(args, temp_.path()).status, 0);
}

// Files project.xml names outside the project are bad input, unless --allow-outside.
TEST_F(BadInput, ProjectFilesOutsideTheProjectAreBadInput) {
    const fs::path other = clitest::copyTestProject("small", temp_.path(), "other");
    writeFile(project_ / "project.xml",
              "<project background=\"true\">\n"
              "  <presentation file=\"../other/presentation.xml\"/>\n</project>\n");
    clitest::CommandResult run = build();
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, (project_ / "project.xml").string() +
                           ":2: presentation file \"../other/presentation.xml\": outside the "
                           "project folder (--allow-outside reads it)\n");
    EXPECT_EQ(build({"--allow-outside"}).status, 0);

    writeFile(project_ / "project.xml",
              "<project background=\"true\">\n  <presentation file=\"presentation.xml\"/>\n"
              "  <backgroundMedia file=\"" +
                  (other / "art" / "photo_2023_11_25.png").string() + "\"/>\n</project>\n");
    run = build();
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find(":3: background media \""), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("outside the project folder"), std::string::npos) << run.err;
    EXPECT_EQ(build({"--allow-outside"}).status, 0);

    fs::create_symlink(other / "art", project_ / "linked");
    writeFile(project_ / "project.xml",
              "<project background=\"true\" backgroundImage=\"linked/photo_2023_11_25.png\">\n"
              "  <presentation file=\"presentation.xml\"/>\n</project>\n");
    run = build();
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, (project_ / "project.xml").string() +
                           ":1: backgroundImage \"linked/photo_2023_11_25.png\": outside the "
                           "project folder (--allow-outside reads it)\n");
    EXPECT_EQ(build({"--allow-outside"}).status, 0);
}

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
