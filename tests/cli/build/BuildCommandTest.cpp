// End-to-end runs of `merrowkit build` on small projects: the three outputs, determinism, the
// background clip chain and the title source, as the built program produces them.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "host/objects/GlobalApi.h"
#include "host/pictures/DvdBuf.h"
#include "merrowkit/Services.h"
#include "support/CliTestSupport.h"

namespace {

namespace fs = std::filesystem;
using clitest::attributeOf;
using clitest::countOf;
using clitest::readFile;
using clitest::runMerrowkit;
using clitest::writeFile;

class BuildCommand : public ::testing::Test {
protected:
    fs::path project(const std::string& name = "small") {
        return clitest::copyTestProject("small", temp_.path(), name);
    }
    fs::path out(const std::string& name = "out") { return temp_.path() / name; }
    clitest::CommandResult build(const fs::path& projectFolder, const fs::path& outFolder,
                                 std::vector<std::string> extra = {}) {
        std::vector<std::string> args = {"build", projectFolder.string(), "-o", outFolder.string()};
        args.insert(args.end(), extra.begin(), extra.end());
        return runMerrowkit(args, temp_.path());
    }
    // Rewrites the copied project's project.xml.
    void setProjectFile(const fs::path& projectFolder, const std::string& text) {
        writeFile(projectFolder / "project.xml", text);
    }

    clitest::TemporaryFolder temp_;
};

// Every track value of the document names a PNG of the tracks folder, and every PNG there is
// a picture the host can load.
void expectTracksComplete(const fs::path& outFolder) {
    const std::string document = readFile(outFolder / "AppPresentation.xml");
    const std::vector<std::string> references = clitest::trackReferences(document);
    ASSERT_FALSE(references.empty());
    std::set<std::string> named;
    for (const std::string& value : references) {
        if (value == "data\\Loading.png") continue;  // the loading animation's own file
        EXPECT_FALSE(value.empty());
        EXPECT_TRUE(fs::is_regular_file(outFolder / "tracks" / (value + ".png"))) << value;
        named.insert(value);
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(outFolder / "tracks")) {
        CDVDBuf picture;
        EXPECT_TRUE(picture.Create(entry.path().c_str(), nullptr, nullptr))
            << entry.path() << ": " << picture.lastError();
    }
}

TEST_F(BuildCommand, WritesDocumentTracksAndTitleOfSmallProject) {
    const clitest::CommandResult run = build(project(), out());
    ASSERT_EQ(run.status, 0) << run.err;
    // The small project's layout lacks the page buttons that the commands name: the check after
    // the build warns about each of them, and nothing else goes to stderr.
    for (const std::string& line : clitest::linesOf(run.err)) {
        EXPECT_EQ(line.rfind((out() / "AppPresentation.xml").string() + ":", 0), 0u) << line;
        EXPECT_NE(line.find(": warning: "), std::string::npos) << line;
    }
    EXPECT_NE(run.err.find(": warning: launcher of trigger 'trigger_21' names 'M_BTN_NEXT'"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.out.find("built"), std::string::npos) << run.out;

    const fs::path document = out() / "AppPresentation.xml";
    ASSERT_TRUE(fs::is_regular_file(document));
    EXPECT_EQ(countOf(document, "/NS:root/NS:titlelist/NS:title"), 3);  // root and two users
    EXPECT_EQ(countOf(document, "//NS:calendar[@id=\"CalendarCommand\"]"), 1);
    EXPECT_EQ(countOf(document, "//NS:container[@id=\"T1_ChapterMenuLayout\"]"), 1);
    expectTracksComplete(out());

    const fs::path title = out() / "title.xml";
    EXPECT_EQ(attributeOf(title, "/NS:title", "format"), "1");
    EXPECT_EQ(attributeOf(title, "/NS:title", "result"), "true");
    EXPECT_EQ(attributeOf(title, "/NS:title", "discFormat"), "10");
    EXPECT_EQ(attributeOf(title, "/NS:title/NS:settings", "applied"), "true");
    EXPECT_EQ(attributeOf(title, "/NS:title/NS:presentation", "document"), "AppPresentation.xml");
    EXPECT_EQ(countOf(title, "/NS:title/NS:clips"), 0);  // no background asked for
    EXPECT_EQ(countOf(title, "/NS:title/NS:error"), 0);
    // Without a background every track is the presentation's.
    const auto trackFiles =
        std::distance(fs::directory_iterator(out() / "tracks"), fs::directory_iterator());
    EXPECT_EQ(attributeOf(title, "/NS:title/NS:presentation", "tracks"),
              std::to_string(trackFiles));
    // The root title's identifier is the title object's.
    EXPECT_EQ(
        attributeOf(title, "/NS:title", "guid"),
        attributeOf(document, "/NS:root/NS:titlelist/NS:title[@id=\"RootMenuTitle\"]", "titleNo"));
}

TEST_F(BuildCommand, SameProjectGivesSameBytes) {
    const fs::path source = project();
    ASSERT_EQ(build(source, out("first")).status, 0);
    ASSERT_EQ(build(source, out("second")).status, 0);
    const auto first = clitest::folderContents(out("first"));
    const auto second = clitest::folderContents(out("second"));
    EXPECT_GT(first.size(), 3u);
    EXPECT_TRUE(first == second);
}

TEST_F(BuildCommand, OneEncodingWorkerOrTwoGiveTheSameBytes) {
    const fs::path source = project();
    const std::vector<std::string> one = {"MERROWKIT_ENCODE_WORKERS=1"};
    const std::vector<std::string> two = {"MERROWKIT_ENCODE_WORKERS=2"};
    ASSERT_EQ(runMerrowkit({"build", source.string(), "-o", out("one").string()}, temp_.path(), one)
                  .status,
              0);
    ASSERT_EQ(runMerrowkit({"build", source.string(), "-o", out("two").string()}, temp_.path(), two)
                  .status,
              0);
    const auto first = clitest::folderContents(out("one"));
    EXPECT_GT(first.size(), 3u);
    EXPECT_TRUE(first == clitest::folderContents(out("two")));
}

TEST_F(BuildCommand, ReplacesThePreviousOutputWhole) {
    const fs::path source = project();
    writeFile(out() / "tracks" / "track_9999.png", "stale");
    writeFile(out() / "title.xml", "stale");
    ASSERT_EQ(build(source, out()).status, 0);
    EXPECT_FALSE(fs::exists(out() / "tracks" / "track_9999.png"));
    EXPECT_NE(readFile(out() / "title.xml"), "stale");
    // Nothing is left beside the output folder.
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(temp_.path())) {
        names.insert(entry.path().filename().string());
    }
    EXPECT_EQ(names, (std::set<std::string>{"out", "small"}));
}

TEST_F(BuildCommand, WritesToMerrowkitOutOfTheWorkingFolderByDefault) {
    const fs::path source = project();
    const clitest::CommandResult run = runMerrowkit({"build", source.string()}, temp_.path());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::is_regular_file(temp_.path() / "merrowkit-out" / "title.xml"));
    EXPECT_TRUE(fs::is_regular_file(temp_.path() / "merrowkit-out" / "AppPresentation.xml"));
}

TEST_F(BuildCommand, BuildsTheShippedSampleWithoutProjectDir) {
    const clitest::CommandResult run = runMerrowkit({"build"}, temp_.path());
    ASSERT_EQ(run.status, 0) << run.err;
    const fs::path result = temp_.path() / "merrowkit-out";
    const fs::path document = result / "AppPresentation.xml";
    expectTracksComplete(result);
    // Two years, chapter menus for the titles with several chapters, jumps into chapters.
    EXPECT_EQ(countOf(document, "//NS:yearpage/NS:year"), 2);
    EXPECT_EQ(countOf(document, "//NS:container[@id=\"T1_ChapterMenuLayout\"]"), 1);
    EXPECT_EQ(countOf(document, "//NS:container[@id=\"T2_ChapterMenuLayout\"]"), 0);
    EXPECT_EQ(countOf(document, "//NS:container[@id=\"T3_ChapterMenuLayout\"]"), 1);
    EXPECT_EQ(countOf(document, "//NS:jumpchapter"), 7);
    EXPECT_EQ(countOf(document, "//NS:graphicbutton[@id=\"L1_SCENE_2\"]"), 1);
    // The sample asks for the template folder's background picture.
    const fs::path title = result / "title.xml";
    EXPECT_EQ(attributeOf(title, "//NS:clip", "class"), "clip2");
    EXPECT_EQ(attributeOf(title, "//NS:media", "width"), "1920");
    EXPECT_EQ(attributeOf(title, "//NS:media", "height"), "1080");
    EXPECT_TRUE(fs::is_regular_file(result / attributeOf(title, "//NS:media", "file")));
}

TEST_F(BuildCommand, BackgroundMediaBecomesTheMediaOfTheTitlesClip) {
    const fs::path source = project();
    setProjectFile(source, R"(<project discFormat="15" background="true" mediaKind="1"
         defaultMediaValue="7">
  <presentation file="presentation.xml"/>
  <backgroundMedia file="art/mark_photo.png"/>
</project>)");
    const clitest::CommandResult run = build(source, out());
    ASSERT_EQ(run.status, 0) << run.err;
    const fs::path title = out() / "title.xml";
    EXPECT_EQ(attributeOf(title, "/NS:title", "discFormat"), "15");
    EXPECT_EQ(countOf(title, "/NS:title/NS:clips/NS:clip"), 1);
    EXPECT_EQ(attributeOf(title, "//NS:clip", "class"), "clip1");
    EXPECT_EQ(attributeOf(title, "//NS:clip", "mediaKind"), "1");
    EXPECT_EQ(attributeOf(title, "//NS:clip", "owner"), attributeOf(title, "/NS:title", "object"));
    EXPECT_EQ(attributeOf(title, "//NS:clip/NS:value", "slot"), "0");
    EXPECT_EQ(attributeOf(title, "//NS:clip/NS:value", "value"), "7");
    EXPECT_EQ(attributeOf(title, "//NS:holder", "time"), "20000000");
    EXPECT_EQ(attributeOf(title, "//NS:placement", "first"), "2");
    EXPECT_EQ(attributeOf(title, "//NS:placement", "second"), "2");
    EXPECT_EQ(attributeOf(title, "//NS:placement", "option"), "1");
    // The host made the media from the file before the request: the first track.
    EXPECT_EQ(attributeOf(title, "//NS:media", "object"), "track_0001");
    EXPECT_EQ(attributeOf(title, "//NS:media", "width"), "28");
    EXPECT_EQ(attributeOf(title, "//NS:media", "height"), "28");
    CDVDBuf picture;
    ASSERT_TRUE(picture.Create((out() / "tracks" / "track_0001.png").c_str(), nullptr, nullptr));
    int width = 0;
    int height = 0;
    int bits = 0;
    picture.GetWHU(&width, &height, &bits);
    EXPECT_EQ(width, 28);
    EXPECT_EQ(height, 28);
    // The background is not one of the presentation's tracks.
    const auto trackFiles =
        std::distance(fs::directory_iterator(out() / "tracks"), fs::directory_iterator());
    EXPECT_EQ(attributeOf(title, "/NS:title/NS:presentation", "tracks"),
              std::to_string(trackFiles - 1));
}

TEST_F(BuildCommand, TitlesOfTheProjectFileFeedTheTitleList) {
    const fs::path source = project();
    setProjectFile(source, R"(<project rootMenuTitle="false">
  <presentation file="presentation.xml"/>
  <titles>
    <title kind="user" guid="{11111111-2222-3333-4444-555555555555}"/>
    <title kind="playlist" guid="{AAAAAAAA-2222-3333-4444-555555555555}"/>
    <title kind="user"/>
  </titles>
</project>)");
    ASSERT_EQ(build(source, out()).status, 0);
    const fs::path document = out() / "AppPresentation.xml";
    const std::string list = "/NS:root/NS:titlelist/NS:title";
    EXPECT_EQ(countOf(document, list), 2);
    EXPECT_EQ(attributeOf(document, list + "[@id=\"UserTitle_1\"]", "titleNo"),
              "{11111111-2222-3333-4444-555555555555}");
    // A title without guid gets the identifier of its position in <titles>.
    EXPECT_EQ(attributeOf(document, list + "[@id=\"UserTitle_2\"]", "titleNo"),
              "{4D4B5449-544C-4000-8000-000000000003}");
    EXPECT_EQ(readFile(document).find("AAAAAAAA"), std::string::npos);
}

TEST_F(BuildCommand, TheTitlesVideosDoNotChangeTheBuild) {
    const std::string titles = R"(
  <presentation file="presentation.xml"/>
  <titles>
    <title kind="user" guid="{11111111-2222-3333-4444-555555555555}"%s/>
    <title kind="user"%s/>
  </titles>
</project>)";
    const auto projectText = [&](const std::string& project, const std::string& video) {
        std::string text = project + titles;
        for (int i = 0; i < 2; ++i) text.replace(text.find("%s"), 2, video);
        return text;
    };
    const fs::path plain = project("plain-project");
    setProjectFile(plain, projectText("<project>", ""));
    const fs::path withVideos = project("videos-project");
    // The videos need not exist for a build: only the disc reads them.
    setProjectFile(withVideos,
                   projectText("<project media=\"../media\">", " video=\"2023/caf%25E9.mp4\""));
    const clitest::CommandResult first = build(plain, out("plain"));
    ASSERT_EQ(first.status, 0) << first.err;
    const clitest::CommandResult run = build(withVideos, out("videos"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(clitest::folderContents(out("plain")) == clitest::folderContents(out("videos")));
}

TEST_F(BuildCommand, WithoutTitlesEveryTitleInfoIsAUserTitle) {
    ASSERT_EQ(build(project(), out()).status, 0);
    const fs::path document = out() / "AppPresentation.xml";
    const std::string list = "/NS:root/NS:titlelist/NS:title";
    EXPECT_EQ(attributeOf(document, list + "[@id=\"UserTitle_1\"]", "titleNo"),
              "{4D4B5449-544C-4000-8000-000000000001}");
    EXPECT_EQ(attributeOf(document, list + "[@id=\"UserTitle_2\"]", "titleNo"),
              "{4D4B5449-544C-4000-8000-000000000002}");
}

TEST_F(BuildCommand, RefusedDiscFormatExitsOneAndStillWritesTheTitle) {
    const fs::path source = project();
    setProjectFile(source, R"(<project discFormat="11">
  <presentation file="presentation.xml"/>
</project>)");
    const clitest::CommandResult run = build(source, out());
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("discFormat 11"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("error record"), std::string::npos) << run.err;
    const fs::path title = out() / "title.xml";
    ASSERT_TRUE(fs::is_regular_file(title));
    EXPECT_EQ(attributeOf(title, "/NS:title", "result"), "false");
    EXPECT_EQ(attributeOf(title, "/NS:title", "discFormat"), "11");
    EXPECT_EQ(attributeOf(title, "/NS:title/NS:settings", "applied"), "false");
    EXPECT_EQ(countOf(title, "/NS:title/NS:presentation"), 0);
    EXPECT_EQ(countOf(title, "/NS:title/NS:error"), 1);
    // The request's record comes back with the creator's class as its source.
    char* creatorClass = CzfGlobalAPI::zfConvertToString2(merrowkit::kClsidAdvancedTitleCreator);
    EXPECT_EQ(attributeOf(title, "/NS:title/NS:error", "source"), creatorClass);
    delete[] creatorClass;
    // No presentation was made, so there is no document and no track.
    EXPECT_FALSE(fs::exists(out() / "AppPresentation.xml"));
    EXPECT_TRUE(fs::is_empty(out() / "tracks"));
}

TEST_F(BuildCommand, OlderVariantBuildsTheSameSmallProject) {
    const fs::path source = project();
    ASSERT_EQ(build(source, out("current")).status, 0);
    const clitest::CommandResult run = build(source, out("older"), {"--variant", "older"});
    ASSERT_EQ(run.status, 0) << run.err;
    // The variants differ only for "text" layout children, which this project has none of.
    EXPECT_TRUE(clitest::folderContents(out("current")) == clitest::folderContents(out("older")));
}

}  // namespace
