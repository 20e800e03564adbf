// Confined reads: only paths whose real location lies inside the given folders are allowed,
// whatever route ("..", an absolute path, a symbolic link) they take.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "host/framework/ReadConfinement.h"
#include "support/ImageTestFiles.h"

namespace {

namespace fs = std::filesystem;
using imagetest::TempFolder;

class ReadConfinement : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(project() + "/art");
        fs::create_directories(folder_.file("project2"));
        fs::create_directories(folder_.file("elsewhere"));
        for (const std::string& file : {project() + "/art/a.png", folder_.file("project2/b.png"),
                                        folder_.file("elsewhere/c.png")}) {
            std::ofstream(file) << "x";
        }
    }
    void TearDown() override { merrowhost::unconfineReads(); }

    std::string project() const { return folder_.file("project"); }

    TempFolder folder_;
};

TEST_F(ReadConfinement, OnlyPathsInsideTheFoldersAreAllowed) {
    EXPECT_FALSE(merrowhost::readsConfined());
    EXPECT_TRUE(merrowhost::readAllowed(folder_.file("elsewhere/c.png")));

    merrowhost::confineReads({project(), folder_.file("absent")});
    EXPECT_TRUE(merrowhost::readsConfined());
    EXPECT_TRUE(merrowhost::readAllowed(project() + "/art/a.png"));
    EXPECT_TRUE(merrowhost::readAllowed(project() + "/art/../art/a.png"));
    EXPECT_FALSE(merrowhost::readAllowed(project() + "/../elsewhere/c.png"));
    EXPECT_FALSE(merrowhost::readAllowed(folder_.file("elsewhere/c.png")));
    // A sibling whose name starts with the project's name is not inside it.
    EXPECT_FALSE(merrowhost::readAllowed(folder_.file("project2/b.png")));
    EXPECT_FALSE(merrowhost::readAllowed("/etc/passwd"));
    // A missing file is left for the reader to report as missing.
    EXPECT_TRUE(merrowhost::readAllowed(project() + "/art/none.png"));

    merrowhost::unconfineReads();
    EXPECT_TRUE(merrowhost::readAllowed(folder_.file("elsewhere/c.png")));
}

TEST_F(ReadConfinement, SymbolicLinksCountWhereTheyLead) {
    fs::create_symlink(folder_.file("elsewhere/c.png"), project() + "/art/out.png");
    fs::create_symlink("a.png", project() + "/art/in.png");
    fs::create_symlink(folder_.file("elsewhere"), project() + "/linked");
    // A project reached through a link is confined to where it really is.
    fs::create_symlink(project(), folder_.file("via-link"));
    merrowhost::confineReads({folder_.file("via-link")});
    EXPECT_FALSE(merrowhost::readAllowed(project() + "/art/out.png"));
    EXPECT_FALSE(merrowhost::readAllowed(project() + "/linked/c.png"));
    EXPECT_TRUE(merrowhost::readAllowed(project() + "/art/in.png"));
    EXPECT_TRUE(merrowhost::readAllowed(folder_.file("via-link/art/a.png")));
}

}  // namespace
