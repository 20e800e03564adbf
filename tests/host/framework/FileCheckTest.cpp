// IsFileExist accepts existing regular files only.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "host/framework/FileCheck.h"

namespace fs = std::filesystem;

TEST(FileCheck, OnlyExistingRegularFilesCount) {
    std::string folder = (fs::temp_directory_path() / "merrowhost-check-XXXXXX").string();
    ASSERT_NE(mkdtemp(folder.data()), nullptr);
    const std::string file = folder + "/present.png";
    std::ofstream(file) << "x";
    fs::create_symlink(file, folder + "/link.png");
    fs::create_symlink(folder, folder + "/folderlink");

    EXPECT_TRUE(IsFileExist(file.c_str()));
    EXPECT_TRUE(IsFileExist((folder + "/link.png").c_str()));  // a link to a file is the file
    EXPECT_FALSE(IsFileExist(folder.c_str()));
    EXPECT_FALSE(IsFileExist((folder + "/").c_str()));
    EXPECT_FALSE(IsFileExist((folder + "/folderlink").c_str()));
    EXPECT_FALSE(IsFileExist((folder + "/absent.png").c_str()));
    EXPECT_FALSE(IsFileExist((file + "/below").c_str()));
    EXPECT_FALSE(IsFileExist(""));
    EXPECT_FALSE(IsFileExist(nullptr));

    fs::remove_all(folder);
    EXPECT_FALSE(IsFileExist(file.c_str()));
}
