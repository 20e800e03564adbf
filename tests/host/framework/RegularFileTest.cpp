// RegularFile opens regular files only, and never waits on a FIFO or a device.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "host/framework/RegularFile.h"

namespace fs = std::filesystem;

namespace {

class RegularFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = (fs::temp_directory_path() / "merrowhost-regular-XXXXXX").string();
        ASSERT_NE(mkdtemp(folder_.data()), nullptr);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string folder_;
};

}  // namespace

TEST_F(RegularFileTest, ReadsARegularFileWhole) {
    const std::string path = folder_ + "/a.xml";
    std::ofstream(path) << "<root/>";
    merrowhost::RegularFile file;
    std::string problem;
    ASSERT_TRUE(file.open(path, &problem)) << problem;
    EXPECT_EQ(file.size(), 7);
    std::string bytes;
    ASSERT_TRUE(file.readAll(&bytes, &problem, 100)) << problem;
    EXPECT_EQ(bytes, "<root/>");
}

TEST_F(RegularFileTest, RefusesFifosDevicesAndFoldersWithoutWaiting) {
    const std::string fifo = folder_ + "/pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    // (/dev/stdin is left out: under a test runner it may be a redirected regular file.)
    for (const std::string& path :
         {fifo, std::string("/dev/null"), std::string("/dev/zero"), folder_}) {
        merrowhost::RegularFile file;
        std::string problem;
        EXPECT_FALSE(file.open(path, &problem)) << path;
        EXPECT_FALSE(problem.empty()) << path;
        EXPECT_FALSE(file.isOpen());
    }
    // A blocking open of the FIFO would wait for a writer for ever.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));

    merrowhost::RegularFile folder;
    std::string problem;
    ASSERT_FALSE(folder.open(folder_, &problem));
    EXPECT_EQ(problem, "is a folder, not a file");
}

TEST_F(RegularFileTest, MissingFilesAndOversizeReadsFail) {
    merrowhost::RegularFile missing;
    std::string problem;
    EXPECT_FALSE(missing.open(folder_ + "/absent", &problem));
    EXPECT_EQ(problem, "No such file or directory");

    const std::string path = folder_ + "/big";
    std::ofstream(path) << std::string(1000, 'x');
    merrowhost::RegularFile file;
    ASSERT_TRUE(file.open(path, &problem));
    std::string bytes;
    EXPECT_FALSE(file.readAll(&bytes, &problem, 999));
    EXPECT_NE(problem.find("larger than 999"), std::string::npos);
}

TEST_F(RegularFileTest, StreamTakesTheDescriptorOver) {
    const std::string path = folder_ + "/s";
    std::ofstream(path) << "xyz";
    merrowhost::RegularFile file;
    std::string problem;
    ASSERT_TRUE(file.open(path, &problem));
    std::FILE* stream = file.releaseToStream();
    ASSERT_NE(stream, nullptr);
    EXPECT_FALSE(file.isOpen());
    char buffer[4] = {};
    EXPECT_EQ(std::fread(buffer, 1, 3, stream), 3u);
    EXPECT_STREQ(buffer, "xyz");
    std::fclose(stream);
}
