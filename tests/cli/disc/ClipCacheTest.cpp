// The clip cache's key and its entries: the same video and settings find the same clip, a
// changed video or setting does not, and what is kept is found whole.

#include <gtest/gtest.h>

#include <string>

#include "cli/disc/ClipCache.h"
#include "support/CliTestSupport.h"

namespace merrowcli::disc {
namespace {

TEST(ClipCache, TheKeyFollowsTheVideosBytesAndTheSettings) {
    clitest::TemporaryFolder temp;
    const auto video = temp.path() / "a.mp4";
    // Longer than two MiB, so that a change in the middle is neither of the ends hashed.
    std::string bytes(3 << 20, 'x');
    clitest::writeFile(video, bytes);
    std::string key;
    std::string again;
    std::string error;
    ASSERT_TRUE(ClipCache::keyOf(video, "settings 1", &key, &error)) << error;
    ASSERT_TRUE(ClipCache::keyOf(video, "settings 1", &again, &error)) << error;
    EXPECT_EQ(key, again);
    EXPECT_EQ(key.size(), 64u);
    ASSERT_TRUE(ClipCache::keyOf(video, "settings 2", &again, &error)) << error;
    EXPECT_NE(key, again);
    // The last byte changed, same size: another key (the end is hashed, and the time moved).
    bytes.back() = 'y';
    clitest::writeFile(video, bytes);
    ASSERT_TRUE(ClipCache::keyOf(video, "settings 1", &again, &error)) << error;
    EXPECT_NE(key, again);

    EXPECT_FALSE(ClipCache::keyOf(temp.path() / "absent.mp4", "settings 1", &again, &error));
    EXPECT_EQ(error, (temp.path() / "absent.mp4").string() + ": cannot be read");
}

TEST(ClipCache, KeptClipsAreFoundWholeAndNoCacheFindsNothing) {
    clitest::TemporaryFolder temp;
    const ClipCache cache(temp.path() / "cache");
    clitest::writeFile(temp.path() / "made.m2ts", "clip bytes");
    std::string error;
    EXPECT_FALSE(cache.fetch("k1", temp.path() / "out.m2ts"));
    ASSERT_TRUE(cache.keep("k1", temp.path() / "made.m2ts", &error)) << error;
    ASSERT_TRUE(cache.fetch("k1", temp.path() / "out.m2ts"));
    EXPECT_EQ(clitest::readFile(temp.path() / "out.m2ts"), "clip bytes");
    // Nothing but the entry is left in the cache folder (no part file).
    EXPECT_EQ(clitest::folderContents(temp.path() / "cache").size(), 1u);

    const ClipCache none{std::filesystem::path()};
    EXPECT_FALSE(none.enabled());
    EXPECT_TRUE(none.keep("k1", temp.path() / "made.m2ts", &error));
    EXPECT_FALSE(none.fetch("k1", temp.path() / "other.m2ts"));
    EXPECT_FALSE(std::filesystem::exists(temp.path() / "other.m2ts"));
}

}  // namespace
}  // namespace merrowcli::disc
