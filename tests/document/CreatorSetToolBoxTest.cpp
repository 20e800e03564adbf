#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "document/CreatorSetToolBox.h"
#include "host/dom/DocumentRegistry.h"
#include "host/framework/FileCheck.h"

// Reaches the toolbox's private search, as the creator's own code does.
class CreatorSetToolBoxTestAccess {
public:
    static std::string find(const std::string& folder, const char* name, const char* start = "") {
        CString found = start;
        CString root = folder.c_str();
        CreatorSetToolBox::findFile(found, root, name);
        return found.str();
    }
    static std::string templatePath(const char* sub) {
        return CreatorSetToolBox::getContentTemplatePath(sub).str();
    }
};

namespace {

const std::string kProgramFolder = std::string(MERROWKIT_TEST_DATA) + "/program/";
const std::string kCalendar = kProgramFolder + CreatorSetToolBox::kCalendarTemplateFolder;
const std::string kApplication = kProgramFolder + CreatorSetToolBox::kApplicationTemplateFolder;

TEST(ToolboxPaths, ModulePathIsTheProgramFolder) {
    EXPECT_EQ(CreatorSetToolBox::getModulePath(), kProgramFolder);
    EXPECT_EQ(CreatorSetToolBox::getModuleFileDriverPath(), "/");
    EXPECT_EQ(CreatorSetToolBoxTestAccess::templatePath(CreatorSetToolBox::kCalendarTemplateFolder),
              kCalendar);
}

TEST(ToolboxPaths, ExistingFilesPassThroughUntouched) {
    const std::string absolute = kCalendar + "Case.txt";
    EXPECT_EQ(CreatorSetToolBox::imagePathProcess(absolute.c_str()), absolute);
}

TEST(ToolboxPaths, FindsFilesInTemplateFoldersAndTheirSubFolders) {
    EXPECT_EQ(CreatorSetToolBox::imagePathProcess("nested.txt"), kCalendar + "sub/nested.txt");
    EXPECT_EQ(CreatorSetToolBox::imagePathProcess("only-second.txt"),
              kApplication + "deep/er/only-second.txt");
}

TEST(ToolboxPaths, CalendarFolderWinsOverApplicationFolder) {
    EXPECT_EQ(CreatorSetToolBox::imagePathProcess("both.txt"), kCalendar + "both.txt");
}

TEST(ToolboxPaths, LastMatchInListingOrderWins) {
    EXPECT_EQ(CreatorSetToolBox::imagePathProcess("twice.txt"), kApplication + "b/twice.txt");
    // A match in the sub-folder "aaa" is replaced by the later direct match.
    EXPECT_EQ(CreatorSetToolBox::imagePathProcess("direct-and-nested.txt"),
              kCalendar + "direct-and-nested.txt");
}

TEST(ToolboxPaths, SearchIsCaseSensitiveAndMissesGiveEmpty) {
    EXPECT_EQ(CreatorSetToolBox::imagePathProcess("case.txt"), "");
    EXPECT_EQ(CreatorSetToolBox::imagePathProcess("no-such-file.png"), "");
    EXPECT_EQ(CreatorSetToolBox::imagePathProcess(""), "");
    EXPECT_EQ(CreatorSetToolBox::imagePathProcess(nullptr), "");
}

TEST(ToolboxPaths, FindFileLeavesFoundUnchangedWithoutMatch) {
    EXPECT_EQ(CreatorSetToolBoxTestAccess::find(kCalendar, "missing.txt", "kept"), "kept");
    EXPECT_EQ(CreatorSetToolBoxTestAccess::find(kProgramFolder + "no-such-folder/", "x", "kept"),
              "kept");
}

TEST(ToolboxPaths, LongPathsAreNeitherCutNorOverflowed) {
    // A folder path well past 260 characters, with the file two levels down.
    std::string folder = ::testing::TempDir() + "merrowkit-long-path/";
    for (int i = 0; i < 6; ++i) folder += std::string(60, static_cast<char>('a' + i)) + "/";
    ASSERT_GT(folder.size(), 300u);
    const std::string nested = folder + "inner/";
    ASSERT_EQ(std::system(("mkdir -p '" + nested + "' && touch '" + nested + "deep.png'").c_str()),
              0);
    EXPECT_EQ(CreatorSetToolBoxTestAccess::find(folder, "deep.png"), nested + "deep.png");
    EXPECT_TRUE(IsFileExist((nested + "deep.png").c_str()));
}

TEST(NodeInfo, FreeReleasesEveryRecordAndClearsTheList) {
    _NODE_INFO** nodes = new _NODE_INFO*[2];
    nodes[0] = new _NODE_INFO{new char[2]{'a', 0}, new char[2]{'b', 0}};
    nodes[1] = new _NODE_INFO{new char[2]{'c', 0}, nullptr};
    CreatorSetToolBox::freeNodeInfo(&nodes, 2);
    EXPECT_EQ(nodes, nullptr);

    _NODE_INFO** empty = new _NODE_INFO*[1];
    CreatorSetToolBox::freeNodeInfo(&empty, 0);
    EXPECT_EQ(empty, nullptr);

    CreatorSetToolBox::freeNodeInfo(nullptr, 3);
    _NODE_INFO** none = nullptr;
    CreatorSetToolBox::freeNodeInfo(&none, 3);
    EXPECT_EQ(none, nullptr);
}

TEST(NodeInfo, ElementExistsOnlyWhenSelected) {
    merrowhost::DocumentLoadError error;
    const unsigned dom = merrowhost::loadDocumentString(
        "<root xmlns=\"urn:t\"><a id=\"1\"/><a id=\"2\"/></root>", "exist.xml", &error);
    ASSERT_NE(dom, 0u);
    {
        CXMLOutputFileGlue glue(dom, "test", nullptr);
        EXPECT_TRUE(CreatorSetToolBox::isElementExist(glue, "/NS:root/NS:a"));
        EXPECT_FALSE(CreatorSetToolBox::isElementExist(glue, "/NS:root/NS:b"));
        EXPECT_FALSE(CreatorSetToolBox::isElementExist(glue, "/NS:root/[["));
    }
    merrowhost::releaseDocument(dom);
}

}  // namespace
