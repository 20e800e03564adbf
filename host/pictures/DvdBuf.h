#pragma once
// rasterbuf: image buffers. Buffers are top-down rows padded to 4 bytes; 24-bit pixels are
// stored B, G, R; 32-bit pixels B, G, R, A. Buffers are new[] byte blocks.

#include <cstdint>
#include <string>

namespace merrowhost {
struct DecodedPicture;
// Decodes the file into the request's picture cache as CDVDBuf::Create(path, nullptr, &alpha)
// would, and drops the result; reports nothing when it cannot (the use will). False when the
// file does not decode.
bool preloadPicture(const char* path);
}  // namespace merrowhost

class CDVDBuf {
public:
    CDVDBuf() = default;
    ~CDVDBuf();
    CDVDBuf(const CDVDBuf&) = delete;
    CDVDBuf& operator=(const CDVDBuf&) = delete;

    // Loads a PNG or JPEG file as 24-bit colour; the kind is told by the file's first bytes, not
    // its name. A relative path is taken against the project folder (merrowhost::resolvePath).
    // PNG files of every colour type, depth and interlacing are read as 8-bit colour; grey,
    // colour and RGB JPEG files are read, CMYK ones refused. When alpha is given and the file
    // has an alpha plane (an alpha channel or a transparency chunk), *alpha receives it as a
    // new[] 8-bit buffer laid out like an 8-bit CDVDBuf of the same size (else null); without
    // alpha, the file's alpha is dropped. Refuses, from the header and before reserving pixel
    // memory, files that claim more than 16384 pixels on a side or more than 64,000,000 pixels
    // (merrowhost::imageSizeAllowed), and refuses truncated or corrupt files. palette is not
    // supported and must be null. On failure the object keeps what it held and lastError()
    // tells why. While a request runs (merrowhost::PictureCacheScope), a file read before and
    // not changed since is copied from the request's cache instead of being decoded again.
    bool Create(const char* path, void* palette, uint8_t** alpha);

    // A zeroed buffer of 8, 24 or 32 bits per pixel; false for other depths or for a size that
    // merrowhost::imageSizeAllowed refuses.
    bool Alloc(int bitsPerPixel, int width, int height);
    // Sets every pixel to the given bytes: for 8 bits only the first is used; for 24 bits
    // first, second, third are the buffer's three bytes of a pixel; 32 bits add fourth. A buffer
    // of another depth (adopted) is left as it is.
    void Fill(uint8_t first, uint8_t second = 0, uint8_t third = 0, uint8_t fourth = 0);

    void GetWHU(int* width, int* height, int* bitsPerPixel) const;
    uint8_t* GetBuffer() const { return buffer_; }
    // Takes ownership of a buffer of the given layout (for example an alpha plane from Create),
    // freeing the one held before. A null buffer leaves the object empty.
    void Adopt(uint8_t* buffer, int bitsPerPixel, int width, int height);
    // Stops owning the buffer and returns it; the caller frees it with delete[]. The object is
    // empty afterwards (size 0).
    uint8_t* Detach();

    static int Stride(int bitsPerPixel, int width) {
        return ((width * bitsPerPixel + 31) / 32) * 4;
    }

    // The reason of the last failed Create or Alloc.
    const std::string& lastError() const { return lastError_; }

private:
    friend bool merrowhost::preloadPicture(const char* path);

    bool load(const char* path, void* palette, uint8_t** alpha);
    // Takes a copy of a picture decoded earlier in the request.
    bool adoptCopy(const merrowhost::DecodedPicture& picture, uint8_t** alpha);
    void release();

    uint8_t* buffer_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int bitsPerPixel_ = 0;
    std::string lastError_;
};
