#pragma once
// A 128-bit digest of bytes (libavutil's MurmurHash3), as 32 hex digits: what the import cache
// checks a picture file of the previous project by before it takes its bytes again. It tells
// an edited or damaged file from the one written, at a small part of the cost of SHA-256 (the
// pictures of a large collection are hundreds of megabytes); it is no defence against a file
// made to collide, which whoever can write the project folder could as well put in the cache.

#include <string>
#include <string_view>

struct AVHashContext;

namespace merrowcli::import {

class Digest {
public:
    Digest();
    ~Digest();
    Digest(const Digest&) = delete;
    Digest& operator=(const Digest&) = delete;

    void add(std::string_view bytes);
    // The digest of everything added; the digest then starts again.
    std::string hex();

    // The digest of the bytes alone.
    static std::string of(std::string_view bytes);

private:
    AVHashContext* context_ = nullptr;
};

inline constexpr size_t kDigestLength = 32;

}  // namespace merrowcli::import
