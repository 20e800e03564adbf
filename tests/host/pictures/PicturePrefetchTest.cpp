// Pictures decoded ahead: inside a scope they land in the request's cache and the use takes them
// from there with the same pixels and the same charge against the pixel budget as a decode;
// outside a scope, past the budget, or for a file that does not decode, nothing is fetched or
// reported; closing the scope with files still queued stops cleanly.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/framework/Diagnostics.h"
#include "host/pictures/DvdBuf.h"
#include "host/pictures/PictureCache.h"
#include "host/pictures/PicturePrefetch.h"
#include "host/pictures/PixelBudget.h"
#include "host/pictures/PngWriter.h"
#include "support/ImageTestFiles.h"

namespace {

using merrowhost::picturesDecoded;
using merrowhost::picturesPrefetched;

struct Loaded {
    bool ok = false;
    std::vector<uint8_t> colour;
    std::vector<uint8_t> alpha;
};

Loaded load(const std::string& path, int width, int height) {
    Loaded loaded;
    CDVDBuf buffer;
    uint8_t* alpha = nullptr;
    loaded.ok = buffer.Create(path.c_str(), nullptr, &alpha);
    if (loaded.ok) {
        const uint8_t* colour = buffer.GetBuffer();
        loaded.colour.assign(colour, colour + CDVDBuf::Stride(24, width) * height);
        if (alpha != nullptr)
            loaded.alpha.assign(alpha, alpha + CDVDBuf::Stride(8, width) * height);
    }
    delete[] alpha;
    return loaded;
}

class CountingSink : public merrowhost::DiagnosticSink {
public:
    void pictureNotUsed(const merrowhost::PictureDiagnostic&) noexcept override { ++reports; }
    int reports = 0;
};

class PicturePrefetch : public ::testing::Test {
protected:
    void SetUp() override { merrowhost::startPixelBudget(); }
    void TearDown() override { merrowhost::startPixelBudget(); }

    // Half-transparent noise, so that the alpha plane and its charge take part.
    std::vector<std::string> pictures(int count) {
        std::vector<std::string> paths;
        for (int i = 0; i < count; ++i) {
            const std::vector<uint8_t> rgba =
                imagetest::noise(static_cast<size_t>(kWidth) * kHeight * 4, 100 + i);
            const std::string path = folder_.file("p" + std::to_string(i) + ".png");
            std::string error;
            EXPECT_TRUE(merrowhost::writeRgbaPng(path, kWidth, kHeight, rgba.data(), &error))
                << error;
            paths.push_back(path);
        }
        return paths;
    }

    static constexpr int kWidth = 37;
    static constexpr int kHeight = 23;
    imagetest::TempFolder folder_;
};

TEST_F(PicturePrefetch, PicturesFetchedAheadAreUsedFromTheCacheAndCountAsDecodes) {
    const std::vector<std::string> paths = pictures(6);
    // Without any scope: what each use gives and charges.
    std::vector<Loaded> alone;
    for (const std::string& path : paths) alone.push_back(load(path, kWidth, kHeight));
    const int64_t aloneCharge = merrowhost::pixelBytesCharged();
    ASSERT_GT(aloneCharge, 0);

    merrowhost::startPixelBudget();
    const merrowhost::PictureCacheScope cache;
    const merrowhost::PicturePrefetchScope prefetch;
    const int prefetchedBefore = picturesPrefetched();
    merrowhost::prefetchPictures(paths);
    merrowhost::prefetchPictures(paths);  // queued once in a scope
    merrowhost::awaitPrefetchQueue();
    EXPECT_EQ(picturesPrefetched() - prefetchedBefore, static_cast<int>(paths.size()));
    EXPECT_EQ(merrowhost::pixelBytesCharged(), 0) << "fetching ahead counted pixels";

    const uint64_t decodedBefore = picturesDecoded();
    for (size_t i = 0; i < paths.size(); ++i) {
        const Loaded used = load(paths[i], kWidth, kHeight);
        ASSERT_TRUE(used.ok) << paths[i];
        EXPECT_EQ(used.colour, alone[i].colour) << paths[i];
        EXPECT_EQ(used.alpha, alone[i].alpha) << paths[i];
    }
    EXPECT_EQ(picturesDecoded(), decodedBefore) << "a use decoded its file again";
    EXPECT_EQ(merrowhost::pixelBytesCharged(), aloneCharge);
}

TEST_F(PicturePrefetch, WorkAheadIsNotCountedButEachPieceIsBounded) {
    merrowhost::startPixelBudget(1000);
    ASSERT_TRUE(merrowhost::chargePixelBytes(100));
    {
        const merrowhost::UncountedPixelsScope uncounted(5000);
        EXPECT_TRUE(merrowhost::chargePixelBytes(4000));  // beyond the request's limit
        EXPECT_FALSE(merrowhost::chargePixelBytes(5001));
        {
            const merrowhost::UncountedPixelsScope smaller(10);
            EXPECT_FALSE(merrowhost::chargePixelBytes(11));
        }
        EXPECT_TRUE(merrowhost::chargePixelBytes(5000));
    }
    EXPECT_EQ(merrowhost::pixelBytesCharged(), 100);
    EXPECT_FALSE(merrowhost::pixelBudgetExceeded());
    // Counted again once the scope is closed.
    EXPECT_FALSE(merrowhost::chargePixelBytes(901));
    EXPECT_TRUE(merrowhost::pixelBudgetExceeded());
}

TEST_F(PicturePrefetch, NothingIsFetchedOutsideAScopeOrPastTheBudget) {
    const std::vector<std::string> paths = pictures(3);
    const int before = picturesPrefetched();
    {
        const merrowhost::PictureCacheScope cache;
        merrowhost::prefetchPictures(paths);  // no prefetch scope
        merrowhost::awaitPrefetchQueue();
    }
    EXPECT_EQ(picturesPrefetched(), before);

    const merrowhost::PictureCacheScope cache;
    const merrowhost::PicturePrefetchScope prefetch;
    merrowhost::startPixelBudget(16);
    EXPECT_FALSE(merrowhost::chargePixelBytes(17));
    merrowhost::prefetchPictures(paths);
    merrowhost::awaitPrefetchQueue();
    EXPECT_EQ(picturesPrefetched(), before);
}

TEST_F(PicturePrefetch, AFileThatDoesNotDecodeIsReportedOnlyByItsUse) {
    const std::string broken = folder_.file("broken.png");
    imagetest::writeBytes(broken, {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0});
    CountingSink sink;
    const merrowhost::ScopedDiagnosticSink scoped(&sink);
    const merrowhost::PictureCacheScope cache;
    const merrowhost::PicturePrefetchScope prefetch;
    merrowhost::prefetchPictures({broken});
    merrowhost::awaitPrefetchQueue();
    EXPECT_EQ(sink.reports, 0);
    EXPECT_FALSE(load(broken, 1, 1).ok);
    EXPECT_EQ(sink.reports, 1);
}

TEST_F(PicturePrefetch, ClosingTheScopeDropsTheQueueAndAFreshScopeWorks) {
    const std::vector<std::string> paths = pictures(40);
    {
        const merrowhost::PictureCacheScope cache;
        const merrowhost::PicturePrefetchScope prefetch;
        merrowhost::prefetchPictures(paths);
    }
    // A file queued in the scope before is queued again in the next one.
    const merrowhost::PictureCacheScope cache;
    const merrowhost::PicturePrefetchScope prefetch;
    const int before = picturesPrefetched();
    merrowhost::prefetchPictures({paths.front()});
    merrowhost::awaitPrefetchQueue();
    EXPECT_EQ(picturesPrefetched(), before + 1);
    const uint64_t decodedBefore = picturesDecoded();
    EXPECT_TRUE(load(paths.front(), kWidth, kHeight).ok);
    EXPECT_EQ(picturesDecoded(), decodedBefore);
}

TEST_F(PicturePrefetch, AQueuedFileIsTakenBackByItsUse) {
    const std::vector<std::string> paths = pictures(30);
    const merrowhost::PictureCacheScope cache;
    const merrowhost::PicturePrefetchScope prefetch;
    const int before = picturesPrefetched();
    merrowhost::prefetchPictures(paths);
    // The last file is still queued or decoded by now; either way its use does not wait for
    // the others and gets its pixels.
    merrowhost::awaitPrefetchedPicture(paths.back());
    EXPECT_TRUE(load(paths.back(), kWidth, kHeight).ok);
    merrowhost::awaitPrefetchQueue();
    const int fetched = picturesPrefetched() - before;
    EXPECT_GE(fetched, static_cast<int>(paths.size()) - 1);
    EXPECT_LE(fetched, static_cast<int>(paths.size()));
}

}  // namespace
