#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "host/pictures/PngWriter.h"
#include "host/title/ImageTrackEncoder.h"
#include "host/title/ImageTrackObject.h"
#include "host/title/PresentationObject.h"
#include "host/title/TrackSpool.h"
#include "support/TempFolder.h"

namespace {

using Bytes = std::vector<uint8_t>;
using merrowhost::ImageTrackObject;

// A mode-0 picture (B, G, R rows and an alpha plane, padded to 4 bytes) drawn from seed.
void fill(ImageTrackObject& track, int width, int height, int seed) {
    const size_t colourStride = (static_cast<size_t>(width) * 24 + 31) / 32 * 4;
    const size_t alphaStride = (static_cast<size_t>(width) + 3) / 4 * 4;
    auto* colour = new uint8_t[colourStride * height]();
    auto* alpha = new uint8_t[alphaStride * height]();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width * 3; ++x) {
            colour[y * colourStride + x] = static_cast<uint8_t>((x * 7 + y * 13 + seed) & 0xff);
        }
        for (int x = 0; x < width; ++x) {
            alpha[y * alphaStride + x] = static_cast<uint8_t>((x + y + seed * 3) & 0xff);
        }
    }
    track.zfSetImageData(ImageTrackObject::kModeBuffers, colour, alpha, 0, nullptr);
    track.zfSetSize(width, height, 0, nullptr);
}

TEST(ImageTrackEncoder, RegisteredTrackKeepsItsPixelsAsAnEncodingOnly) {
    ImageTrackObject track;
    fill(track, 37, 11, 5);
    const Bytes before = track.rgba();
    ASSERT_FALSE(before.empty());
    {
        merrowhost::ImageTrackEncoder encoder(2);
        track.encodeWith(encoder);
        EXPECT_TRUE(track.encoding());
        EXPECT_EQ(track.firstBuffer(), nullptr);
        EXPECT_EQ(track.secondBuffer(), nullptr);
    }
    // The encoding outlives the encoder and holds exactly the pixels.
    EXPECT_EQ(track.rgba(), before);
    std::string error;
    const auto png = track.png(&error);
    ASSERT_NE(png, nullptr) << error;
    Bytes decoded;
    int width = 0;
    int height = 0;
    ASSERT_TRUE(merrowhost::decodeRgbaPng(png->data(), png->size(), &decoded, &width, &height));
    EXPECT_EQ(width, 37);
    EXPECT_EQ(height, 11);
    EXPECT_EQ(decoded, before);

    // New pixels after registration replace the encoding.
    fill(track, 3, 2, 9);
    EXPECT_FALSE(track.encoding());
    EXPECT_EQ(track.rgba().size(), 3u * 2 * 4);
}

TEST(ImageTrackEncoder, IdenticalPicturesAreEncodedOnceAndBytesDoNotDependOnWorkers) {
    std::vector<std::vector<std::shared_ptr<const Bytes>>> runs;
    for (const int workers : {1, 2}) {
        merrowhost::ImageTrackEncoder encoder(workers);
        std::vector<std::unique_ptr<ImageTrackObject>> tracks;
        // Seeds 1, 2, 1, 3, 2, 1: three distinct pictures among six.
        for (const int seed : {1, 2, 1, 3, 2, 1}) {
            tracks.push_back(std::make_unique<ImageTrackObject>());
            fill(*tracks.back(), 64, 40, seed);
            tracks.back()->encodeWith(encoder);
        }
        // Same size, same hash bucket or not, other pixels: never shared.
        tracks.push_back(std::make_unique<ImageTrackObject>());
        fill(*tracks.back(), 40, 64, 1);
        tracks.back()->encodeWith(encoder);
        std::vector<std::shared_ptr<const Bytes>> files;
        for (const auto& track : tracks) {
            std::string error;
            files.push_back(track->png(&error));
            ASSERT_NE(files.back(), nullptr) << error;
        }
        EXPECT_EQ(encoder.encodedCount() + encoder.sharedCount(), 7);
        if (workers == 1) {
            EXPECT_EQ(encoder.encodedCount(), 4);
            EXPECT_EQ(encoder.sharedCount(), 3);
        }
        EXPECT_EQ(*files[0], *files[2]);
        EXPECT_NE(*files[0], *files[1]);
        EXPECT_NE(*files[0], *files[6]);
        runs.push_back(files);
    }
    for (size_t i = 0; i < runs[0].size(); ++i) EXPECT_EQ(*runs[0][i], *runs[1][i]) << i;
}

TEST(ImageTrackEncoder, APictureMetAgainLongAfterIsStillShared) {
    // Met again at once, a picture is compared with the pixels kept of the recent ones; met
    // again after more than those bytes of other pictures, with its decoded encoding. Either
    // way it shares the first encoding.
    merrowhost::ImageTrackEncoder encoder(1);
    std::vector<std::unique_ptr<ImageTrackObject>> tracks;
    auto add = [&](int width, int height, int seed) {
        tracks.push_back(std::make_unique<ImageTrackObject>());
        fill(*tracks.back(), width, height, seed);
        tracks.back()->encodeWith(encoder);
    };
    add(64, 40, 1);
    add(64, 40, 1);
    const int side = 1024;  // 4 MiB of pixels each
    const int others =
        static_cast<int>(merrowhost::ImageTrackEncoder::kRecentBytes / (side * side * 4)) + 1;
    for (int i = 0; i < others; ++i) add(side, side, 10 + i);
    add(64, 40, 1);
    std::vector<std::shared_ptr<const Bytes>> files;
    for (const auto& track : tracks) {
        std::string error;
        files.push_back(track->png(&error));
        ASSERT_NE(files.back(), nullptr) << error;
    }
    EXPECT_EQ(encoder.encodedCount(), 1 + others);
    EXPECT_EQ(encoder.sharedCount(), 2);
    EXPECT_EQ(files[1], files[0]);
    EXPECT_EQ(files.back(), files[0]);
}

TEST(ImageTrackEncoder, TrackWithoutPictureReportsIt) {
    merrowhost::ImageTrackEncoder encoder(1);
    ImageTrackObject track;
    track.encodeWith(encoder);  // no image data: nothing to encode
    EXPECT_FALSE(track.encoding());
    std::string error;
    EXPECT_EQ(track.png(&error), nullptr);
    EXPECT_FALSE(error.empty());

    // A size changed after the pixels went leaves no picture rather than a wrong one.
    ImageTrackObject resized;
    fill(resized, 8, 8, 1);
    resized.encodeWith(encoder);
    resized.zfSetSize(4, 4, 0, nullptr);
    EXPECT_TRUE(resized.rgba().empty());
    EXPECT_EQ(resized.png(&error), nullptr);
}

TEST(ImageTrackEncoder, PresentationEncodesWhatIsRegistered) {
    merrowhost::PresentationObject presentation;
    auto* track = new ImageTrackObject;
    fill(*track, 12, 6, 4);
    const Bytes before = track->rgba();
    ASSERT_TRUE(presentation.trackCollection().zfAddTrack(track, nullptr));
    EXPECT_TRUE(track->encoding());
    EXPECT_EQ(track->firstBuffer(), nullptr);
    ASSERT_NE(presentation.encoder(), nullptr);
    EXPECT_EQ(track->rgba(), before);
}

// The names of the files in a folder.
std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

Bytes fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(ImageTrackEncoder, SpooledEncodingsLeaveMemoryAsFilesOfTheSameBytes) {
    // Seeds 1, 2, 1, 3, 2, 1 and then, after more pixels than are kept, 1 again: four distinct
    // pictures, the last compared with its spooled file.
    const std::vector<int> seeds = {1, 2, 1, 3, 2, 1};
    std::vector<std::shared_ptr<const Bytes>> inMemory;
    {
        merrowhost::ImageTrackEncoder encoder(1);
        std::vector<std::unique_ptr<ImageTrackObject>> tracks;
        for (const int seed : seeds) {
            tracks.push_back(std::make_unique<ImageTrackObject>());
            fill(*tracks.back(), 64, 40, seed);
            tracks.back()->encodeWith(encoder);
        }
        for (const auto& track : tracks) {
            std::string error;
            inMemory.push_back(track->png(&error));
            EXPECT_EQ(track->spooledPng(), nullptr);
        }
    }

    merrowtest::TempFolder folder;
    const auto spool = std::make_shared<merrowhost::TrackSpool>(folder.path());
    std::vector<std::unique_ptr<ImageTrackObject>> tracks;
    std::unique_ptr<merrowhost::ImageTrackEncoder> encoder;
    {
        const merrowhost::TrackSpoolScope scope(spool);
        // One worker: two identical pictures encoded at once would each be encoded.
        encoder = std::make_unique<merrowhost::ImageTrackEncoder>(1);
    }
    ASSERT_EQ(encoder->spool(), spool);
    auto add = [&](int width, int height, int seed) {
        tracks.push_back(std::make_unique<ImageTrackObject>());
        fill(*tracks.back(), width, height, seed);
        tracks.back()->encodeWith(*encoder);
    };
    for (const int seed : seeds) add(64, 40, seed);
    const int side = 1024;
    const int others =
        static_cast<int>(merrowhost::ImageTrackEncoder::kRecentBytes / (side * side * 4)) + 1;
    for (int i = 0; i < others; ++i) add(side, side, 10 + i);
    add(64, 40, 1);
    encoder->drain();
    EXPECT_EQ(filesIn(folder.path()).size(), static_cast<size_t>(3 + others));

    std::vector<std::shared_ptr<merrowhost::SpooledFile>> files;
    for (const auto& track : tracks) {
        files.push_back(track->spooledPng());
        ASSERT_NE(files.back(), nullptr);
    }
    for (size_t i = 0; i < seeds.size(); ++i) {
        const Bytes onDisk = fileBytes(files[i]->path());
        EXPECT_EQ(onDisk, *inMemory[i]) << i;
        EXPECT_EQ(files[i]->size(), onDisk.size());
        EXPECT_EQ(files[i]->digest(), merrowhost::contentDigest(onDisk.data(), onDisk.size()));
        // png() reads the spooled bytes back.
        std::string error;
        const auto png = tracks[i]->png(&error);
        ASSERT_NE(png, nullptr) << error;
        EXPECT_EQ(*png, onDisk);
    }
    EXPECT_EQ(files[2], files[0]);
    EXPECT_EQ(files[4], files[1]);
    EXPECT_NE(files[3], files[0]);
    EXPECT_EQ(files.back(), files[0]);
    EXPECT_EQ(encoder->encodedCount(), 3 + others);
}

TEST(ImageTrackEncoder, SpooledFileMovesOnlyToAFreeName) {
    merrowtest::TempFolder folder;
    std::filesystem::create_directory(folder / "spool");
    merrowhost::TrackSpool spool(folder.file("spool"));
    std::string error;
    const auto first = spool.store({1, 2, 3}, &error);
    const auto second = spool.store({4, 5}, &error);
    ASSERT_NE(first, nullptr) << error;
    ASSERT_NE(second, nullptr) << error;
    EXPECT_NE(first->path(), second->path());

    ASSERT_TRUE(first->moveTo(folder.file("a.png"), &error)) << error;
    EXPECT_EQ(first->path(), folder.file("a.png"));
    Bytes read;
    ASSERT_TRUE(first->read(&read, &error)) << error;
    EXPECT_EQ(read, (Bytes{1, 2, 3}));

    // A name that is taken stays as it is.
    EXPECT_FALSE(second->moveTo(folder.file("a.png"), &error));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_EQ(fileBytes(folder.file("a.png")), (Bytes{1, 2, 3}));
    EXPECT_EQ(fileBytes(second->path()), (Bytes{4, 5}));
}

}  // namespace
