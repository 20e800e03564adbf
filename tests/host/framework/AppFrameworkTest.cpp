// The file finder's listing order and fields, and the program path the framework reports.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/framework/AppFramework.h"

namespace fs = std::filesystem;

namespace {

class FileFindTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "merrowhost-find-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = pattern + "/";
    }
    void TearDown() override { fs::remove_all(folder_); }

    void makeFile(const std::string& name) { std::ofstream(folder_ + name) << "x"; }
    void makeFolder(const std::string& name) { fs::create_directory(folder_ + name); }

    struct Seen {
        std::string name;
        std::string path;
        std::string root;
        bool directory;
        bool dots;
    };

    // Walks the listing the way the toolbox does.
    std::vector<Seen> list(const std::string& pattern) {
        std::vector<Seen> seen;
        CFileFind finder;
        bool more = finder.FindFile(pattern.c_str());
        while (more) {
            more = finder.FindNextFile();
            seen.push_back({finder.GetFileName().str(), finder.GetFilePath().str(),
                            finder.GetRoot().str(), finder.IsDirectory(), finder.IsDots()});
        }
        finder.Close();
        return seen;
    }

    static std::vector<std::string> names(const std::vector<Seen>& seen) {
        std::vector<std::string> result;
        for (const Seen& entry : seen) result.push_back(entry.name);
        return result;
    }

    std::string folder_;
};

}  // namespace

TEST_F(FileFindTest, ListsDotsFirstThenAllEntriesInByteOrder) {
    // Made in an order that is neither sorted nor reversed; "!" and "-" sort before ".".
    for (const char* name : {"b.png", "Zed", "a.png", "-dash", "c", "!bang", "B.png"}) {
        makeFile(name);
    }
    makeFolder("sub");
    const std::vector<std::string> expected = {".",   "..",    "!bang", "-dash", "B.png",
                                               "Zed", "a.png", "b.png", "c",     "sub"};
    EXPECT_EQ(names(list(folder_ + "*.*")), expected);
    EXPECT_EQ(names(list(folder_ + "*")), expected);
}

TEST_F(FileFindTest, ReportsPathRootFolderFlagAndDots) {
    makeFile("picture.png");
    makeFolder("inner");
    const std::vector<Seen> seen = list(folder_ + "*.*");
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_TRUE(seen[0].dots);
    EXPECT_TRUE(seen[0].directory);
    EXPECT_TRUE(seen[1].dots);
    EXPECT_TRUE(seen[1].directory);

    EXPECT_EQ(seen[2].name, "inner");
    EXPECT_TRUE(seen[2].directory);
    EXPECT_FALSE(seen[2].dots);
    EXPECT_EQ(seen[2].path, folder_ + "inner");

    EXPECT_EQ(seen[3].name, "picture.png");
    EXPECT_FALSE(seen[3].directory);
    EXPECT_FALSE(seen[3].dots);
    EXPECT_EQ(seen[3].path, folder_ + "picture.png");
    EXPECT_EQ(seen[3].root, folder_);
}

TEST_F(FileFindTest, LinkToAFolderCountsAsAFolder) {
    makeFolder("real");
    fs::create_directory_symlink(folder_ + "real", folder_ + "link");
    fs::create_symlink(folder_ + "missing", folder_ + "broken");
    const std::vector<Seen> seen = list(folder_ + "*");
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen[2].name, "broken");
    EXPECT_FALSE(seen[2].directory);
    EXPECT_EQ(seen[3].name, "link");
    EXPECT_TRUE(seen[3].directory);
}

TEST_F(FileFindTest, PatternSelectsMatchingNamesOnly) {
    for (const char* name : {"one.png", "two.jpg", "three.png", "png", "x[1].png", "x1.png"}) {
        makeFile(name);
    }
    EXPECT_EQ(names(list(folder_ + "*.png")),
              (std::vector<std::string>{"one.png", "three.png", "x1.png", "x[1].png"}));
    EXPECT_EQ(names(list(folder_ + "t??.jpg")), (std::vector<std::string>{"two.jpg"}));
    // Brackets are ordinary characters: the exact name is found, not a character class.
    EXPECT_EQ(names(list(folder_ + "x[1].png")), (std::vector<std::string>{"x[1].png"}));
    // A plain name finds that one entry, and its root is the folder.
    const std::vector<Seen> exact = list(folder_ + "png");
    ASSERT_EQ(exact.size(), 1u);
    EXPECT_EQ(exact[0].root, folder_);
    EXPECT_EQ(exact[0].path, folder_ + "png");
}

TEST_F(FileFindTest, FindFileIsFalseWithoutMatchOrFolder) {
    makeFile("only.txt");
    CFileFind finder;
    EXPECT_FALSE(finder.FindFile((folder_ + "*.png").c_str()));
    EXPECT_FALSE(finder.FindFile((folder_ + "absent/*.*").c_str()));
    EXPECT_FALSE(finder.FindFile((folder_ + "only.txt/*.*").c_str()));
    EXPECT_TRUE(finder.FindFile((folder_ + "only.txt").c_str()));
}

TEST_F(FileFindTest, LastEntryIsReportedWithFalseAndNothingFollows) {
    makeFile("single");
    CFileFind finder;
    ASSERT_TRUE(finder.FindFile((folder_ + "single").c_str()));
    EXPECT_EQ(finder.GetFileName().str(), "");  // no entry until the first move
    EXPECT_FALSE(finder.FindNextFile());
    EXPECT_EQ(finder.GetFileName().str(), "single");
    EXPECT_FALSE(finder.FindNextFile());
    EXPECT_EQ(finder.GetFileName().str(), "");
    EXPECT_FALSE(finder.IsDirectory());
}

TEST_F(FileFindTest, NewSearchForgetsThePreviousOne) {
    makeFolder("a");
    makeFile("a/inside");
    makeFile("outside");
    CFileFind finder;
    ASSERT_TRUE(finder.FindFile((folder_ + "outside").c_str()));
    finder.FindNextFile();
    ASSERT_TRUE(finder.FindFile((folder_ + "a/*.*").c_str()));
    std::vector<std::string> seen;
    bool more = true;
    while (more) {
        more = finder.FindNextFile();
        seen.push_back(finder.GetFilePath().str());
    }
    EXPECT_EQ(seen,
              (std::vector<std::string>{folder_ + "a/.", folder_ + "a/..", folder_ + "a/inside"}));
}

TEST(ModuleFileName, ReportsTheProgramPathSetForTheHost) {
    char buffer[260] = {};
    const uint32_t length =
        GetModuleFileNameA(AfxGetModuleState()->m_hCurrentInstanceHandle, buffer, sizeof buffer);
    EXPECT_EQ(std::string(buffer), MERROWKIT_TEST_PROGRAM);
    EXPECT_EQ(length, std::string(MERROWKIT_TEST_PROGRAM).size());
}

TEST(ModuleFileName, OverrideAndRestoreOfTheRunningExecutable) {
    merrowhost::setProgramPath("/opt/host/bin/author");
    char buffer[260] = {};
    EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, sizeof buffer), 20u);
    EXPECT_STREQ(buffer, "/opt/host/bin/author");

    merrowhost::setProgramPath("");
    const uint32_t length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    const std::string running = buffer;
    EXPECT_EQ(length, running.size());
    EXPECT_EQ(fs::path(running).filename(), "merrowhost_tests");
    EXPECT_TRUE(fs::equivalent(running, "/proc/self/exe"));
    merrowhost::setProgramPath(MERROWKIT_TEST_PROGRAM);
}

TEST(ModuleFileName, CutsTextThatDoesNotFitAndReturnsTheSize) {
    merrowhost::setProgramPath("/abcdefghij");  // 11 characters
    char buffer[16];

    std::fill(std::begin(buffer), std::end(buffer), '#');
    EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, 12), 11u);  // fits with its terminator
    EXPECT_STREQ(buffer, "/abcdefghij");

    std::fill(std::begin(buffer), std::end(buffer), '#');
    EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, 11), 11u);  // terminator does not fit
    EXPECT_STREQ(buffer, "/abcdefghi");
    EXPECT_EQ(buffer[11], '#');

    std::fill(std::begin(buffer), std::end(buffer), '#');
    EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, 4), 4u);
    EXPECT_STREQ(buffer, "/ab");
    EXPECT_EQ(buffer[4], '#');

    EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, 1), 1u);
    EXPECT_STREQ(buffer, "");
    buffer[0] = '#';
    EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, 0), 0u);
    EXPECT_EQ(buffer[0], '#');
    EXPECT_EQ(GetModuleFileNameA(nullptr, nullptr, 10), 0u);
    merrowhost::setProgramPath(MERROWKIT_TEST_PROGRAM);
}
