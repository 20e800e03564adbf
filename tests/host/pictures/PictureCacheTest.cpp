#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <string>
#include <vector>

#include "host/pictures/DvdBuf.h"
#include "host/pictures/PictureCache.h"
#include "host/pictures/PngWriter.h"
#include "support/ImageTestFiles.h"

namespace {

using merrowhost::picturesDecoded;

class PictureCache : public ::testing::Test {
protected:
    std::string picture(const std::string& name, int width, int height, uint8_t level) {
        const std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4, level);
        const std::string path = folder_.file(name);
        std::string error;
        EXPECT_TRUE(merrowhost::writeRgbaPng(path, width, height, rgba.data(), &error)) << error;
        return path;
    }
    // Loads the file with its alpha plane; the first colour byte, or -1 on failure.
    static int load(const std::string& path) {
        CDVDBuf buffer;
        uint8_t* alpha = nullptr;
        if (!buffer.Create(path.c_str(), nullptr, &alpha)) return -1;
        delete[] alpha;
        return buffer.GetBuffer()[0];
    }
    static void setModified(const std::string& path, time_t seconds) {
        const utimbuf times{seconds, seconds};
        ASSERT_EQ(utime(path.c_str(), &times), 0);
    }

    imagetest::TempFolder folder_;
};

TEST_F(PictureCache, AFileIsDecodedOnceARequestUntilItChanges) {
    const std::string path = picture("art.png", 8, 4, 10);
    setModified(path, 1'000'000);
    const merrowhost::PictureCacheScope request;
    const uint64_t before = picturesDecoded();
    EXPECT_EQ(load(path), 10);
    EXPECT_EQ(load(path), 10);
    EXPECT_EQ(picturesDecoded(), before + 1);

    // Same size, another modification time: decoded again, with the new pixels.
    picture("art.png", 8, 4, 20);
    setModified(path, 1'000'000 + 60);
    EXPECT_EQ(load(path), 20);
    EXPECT_EQ(picturesDecoded(), before + 2);
    // Another size under the same time.
    picture("art.png", 16, 4, 30);
    setModified(path, 1'000'000 + 60);
    EXPECT_EQ(load(path), 30);
    EXPECT_EQ(picturesDecoded(), before + 3);
    EXPECT_EQ(load(path), 30);
    EXPECT_EQ(picturesDecoded(), before + 3);
}

TEST_F(PictureCache, NothingIsKeptOutsideARequestOrPastTheBudget) {
    const std::string path = picture("art.png", 8, 4, 10);
    uint64_t before = picturesDecoded();
    EXPECT_EQ(load(path), 10);
    EXPECT_EQ(load(path), 10);
    EXPECT_EQ(picturesDecoded(), before + 2);

    {
        const merrowhost::PictureCacheScope request;
        EXPECT_EQ(load(path), 10);
        EXPECT_GT(merrowhost::pictureCacheBytes(), 0u);
    }
    // The request's pictures went with it.
    EXPECT_EQ(merrowhost::pictureCacheBytes(), 0u);

    const std::string other = picture("other.png", 8, 4, 40);
    const merrowhost::PictureCacheScope request;
    // Room for one picture of 8 x 4 (colour and alpha rows): the older one goes.
    merrowhost::setPictureCacheBudget(8 * 4 * 3 + 8 * 4 + 8);
    before = picturesDecoded();
    EXPECT_EQ(load(path), 10);
    EXPECT_EQ(load(other), 40);
    EXPECT_EQ(load(other), 40);
    EXPECT_EQ(picturesDecoded(), before + 2);
    EXPECT_EQ(load(path), 10);
    EXPECT_EQ(picturesDecoded(), before + 3);
    merrowhost::setPictureCacheBudget(merrowhost::kPictureCacheBytes);
}

TEST_F(PictureCache, ACopyIsTheCallersOwn) {
    const std::string path = picture("art.png", 4, 2, 70);
    const merrowhost::PictureCacheScope request;
    {
        CDVDBuf first;
        ASSERT_TRUE(first.Create(path.c_str(), nullptr, nullptr));
        first.GetBuffer()[0] = 1;  // a caller may draw on what it got
    }
    EXPECT_EQ(load(path), 70);
}

}  // namespace
