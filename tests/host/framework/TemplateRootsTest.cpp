// The template roots: the program's template tree seen through the program's folder,
// MERROWKIT_TEMPLATE_DIR and the installed data folder.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/framework/AppFramework.h"
#include "host/framework/FileCheck.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kCalendar = "Content/Menu Template/HD Popup/16x9/BD Calendar/";

class TemplateRootsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "merrowhost-roots-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        base_ = pattern + "/";
        program_ = base_ + "bin/";
        named_ = base_ + "named/";
        installed_ = base_ + "share/merrowkit/";
        fs::create_directories(program_);
        merrowhost::setProgramPath(program_ + "host");
        merrowhost::setInstalledTemplateRoot(installed_);
        unsetenv(merrowhost::kTemplateDirVariable);
    }
    void TearDown() override {
        unsetenv(merrowhost::kTemplateDirVariable);
        merrowhost::setInstalledTemplateRoot("");
        merrowhost::setProgramPath(MERROWKIT_TEST_PROGRAM);
        fs::remove_all(base_);
    }

    static void makeFile(const std::string& path, const std::string& text) {
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream(path) << text;
    }
    static std::string readFile(const std::string& path) {
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    struct Seen {
        std::string name;
        std::string path;
        bool directory;
    };
    static std::vector<Seen> list(const std::string& folder) {
        std::vector<Seen> seen;
        CFileFind finder;
        bool more = finder.FindFile((folder + "*.*").c_str());
        while (more) {
            more = finder.FindNextFile();
            if (finder.IsDots()) continue;
            seen.push_back(
                {finder.GetFileName().str(), finder.GetFilePath().str(), finder.IsDirectory()});
        }
        return seen;
    }

    std::string base_, program_, named_, installed_;
};

TEST_F(TemplateRootsTest, ProgramFolderThenNamedFolderThenInstalledFolder) {
    EXPECT_EQ(merrowhost::templateRoots(), (std::vector<std::string>{program_, installed_}));

    setenv(merrowhost::kTemplateDirVariable, named_.substr(0, named_.size() - 1).c_str(), 1);
    EXPECT_EQ(merrowhost::templateRoots(),
              (std::vector<std::string>{program_, named_, installed_}));

    // An empty variable names nothing; a root named twice is searched once.
    setenv(merrowhost::kTemplateDirVariable, "", 1);
    EXPECT_EQ(merrowhost::templateRoots(), (std::vector<std::string>{program_, installed_}));
    setenv(merrowhost::kTemplateDirVariable, (program_ + "./").c_str(), 1);
    EXPECT_EQ(merrowhost::templateRoots(), (std::vector<std::string>{program_, installed_}));
}

TEST_F(TemplateRootsTest, ProgramTemplateTreeListsEveryRootEarlierNamesFirst) {
    makeFile(program_ + kCalendar + "both.txt", "program");
    makeFile(installed_ + kCalendar + "both.txt", "installed");
    makeFile(installed_ + kCalendar + "Numbers_S1.png", "tiles");
    makeFile(installed_ + kCalendar + "sub/deep.png", "deep");
    setenv(merrowhost::kTemplateDirVariable, named_.c_str(), 1);
    makeFile(named_ + kCalendar + "Numbers_S1.png", "named tiles");

    const std::vector<Seen> seen = list(program_ + kCalendar);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].name, "Numbers_S1.png");
    EXPECT_EQ(seen[0].path, named_ + kCalendar + "Numbers_S1.png");
    EXPECT_EQ(seen[1].name, "both.txt");
    EXPECT_EQ(seen[1].path, program_ + kCalendar + "both.txt");
    EXPECT_EQ(seen[2].name, "sub");
    EXPECT_TRUE(seen[2].directory);
    EXPECT_EQ(seen[2].path, installed_ + kCalendar + "sub");

    // A sub-folder that only a later root has is listed through the program's path too.
    const std::vector<Seen> below = list(program_ + kCalendar + "sub/");
    ASSERT_EQ(below.size(), 1u);
    EXPECT_EQ(below[0].path, installed_ + kCalendar + "sub/deep.png");
    EXPECT_TRUE(IsFileExist(below[0].path.c_str(), nullptr, nullptr));
    EXPECT_EQ(readFile(seen[0].path), "named tiles");
}

TEST_F(TemplateRootsTest, OtherFoldersAreListedAsTheyAre) {
    makeFile(installed_ + "Content/other.txt", "installed");
    makeFile(installed_ + "loose.txt", "installed");
    makeFile(program_ + "ContentX/a.txt", "program");
    // The program's own folder, and a folder whose name only starts like the template tree,
    // are not merged with the roots.
    std::vector<std::string> names;
    for (const Seen& entry : list(program_)) names.push_back(entry.name);
    EXPECT_EQ(names, (std::vector<std::string>{"ContentX"}));
    EXPECT_EQ(list(program_ + "ContentX/").size(), 1u);
    // The template tree itself is.
    const std::vector<Seen> tree = list(program_ + "Content/");
    ASSERT_EQ(tree.size(), 1u);
    EXPECT_EQ(tree[0].path, installed_ + "Content/other.txt");
}

TEST_F(TemplateRootsTest, NoRootHoldingTheFolderListsNothing) {
    EXPECT_TRUE(list(program_ + kCalendar).empty());
    CFileFind finder;
    EXPECT_FALSE(finder.FindFile((program_ + kCalendar + "*.*").c_str()));
}

}  // namespace
