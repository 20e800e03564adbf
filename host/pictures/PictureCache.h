#pragma once
// Decoded pictures kept for the length of one request, so that the same art file shown by many
// elements is decoded once. A file is known by its resolved path, device, inode, size and
// modification time: a file changed in between is decoded again. The cache holds at most a byte
// budget of pixels and lets the least recently used pictures go first.
//
// The cache is on only while a request is running: PictureCacheScope turns it on (the
// presentation object holds one for its life); when the last scope ends, every picture is
// freed. Outside a scope nothing is kept.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace merrowhost {

// 64 MiB of decoded pixels: the art of a page several times over.
constexpr size_t kPictureCacheBytes = size_t{64} << 20;

struct PictureKey {
    std::string path;  // resolved
    bool withAlpha = false;
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = 0;
    int64_t modifiedSeconds = 0;
    int64_t modifiedNanoseconds = 0;

    bool operator==(const PictureKey& other) const = default;
};

// What the decoder made of a file, as CDVDBuf holds it: 24-bit B, G, R rows and, for a file with
// alpha that was read with it, an 8-bit alpha plane, both padded to 4 bytes.
struct DecodedPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> colour;
    std::vector<uint8_t> alpha;  // empty without alpha
    // What decoding the file charged against the pixel budget: a copy charges the same, so
    // that a request counts the same whether a picture came from the cache or the file.
    int64_t pixelCharge = 0;
};

class PictureCacheScope {
public:
    PictureCacheScope();
    ~PictureCacheScope();
    PictureCacheScope(const PictureCacheScope&) = delete;
    PictureCacheScope& operator=(const PictureCacheScope&) = delete;
};

bool pictureCacheActive();

// The picture decoded from the file of this key, or null.
std::shared_ptr<const DecodedPicture> findCachedPicture(const PictureKey& key);
// Keeps the picture when a scope is open, replacing what was kept for another version of the
// same path; pictures larger than the budget are not kept.
void storeCachedPicture(const PictureKey& key, std::shared_ptr<const DecodedPicture> picture);

// The budget in bytes (kPictureCacheBytes until changed); a smaller one lets pictures go at once.
void setPictureCacheBudget(size_t bytes);
size_t pictureCacheBytes();
// How many pictures the decoders have decoded from files since the program started.
uint64_t picturesDecoded();
void countPictureDecoded();

}  // namespace merrowhost
