#pragma once
// What the picture readers (PngReader, JpegReader) hand back: raw new[] blocks, so that nothing
// with a destructor lives across the decoders' setjmp. Rows run top to bottom, each padded to a
// multiple of 4 bytes. The caller frees whatever is still set.

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace merrowhost {

// The bytes of one row of a picture of the given width and depth, padded to 4 bytes.
constexpr int rowStride(int bitsPerPixel, int width) {
    return ((width * bitsPerPixel + 31) / 32) * 4;
}

struct PictureRows {
    static constexpr size_t kMessageSize = 256;

    uint8_t* colour = nullptr;  // 24-bit B, G, R rows, rowStride(24, width)
    uint8_t* alpha = nullptr;   // 8-bit rows, rowStride(8, width); null without alpha
    int width = 0;
    int height = 0;
    int64_t pixelCharge = 0;          // what the reader charged against the pixel budget
    char message[kMessageSize] = {};  // why the reading failed

    // Frees the rows; the picture is empty afterwards (the message stays).
    void freeAll() {
        delete[] colour;
        delete[] alpha;
        colour = nullptr;
        alpha = nullptr;
        width = 0;
        height = 0;
    }
};

// How a picture is read.
struct PictureReading {
    bool wantAlpha = false;   // keep the file's alpha (an alpha channel or a transparency chunk)
    bool countPixels = true;  // charge the pixel memory against the request's budget
    // A JPEG is decoded at the smallest of 1/2, 1/4 and 1/8 of its size (libjpeg's DCT scaling)
    // that is still at least this wide and this high; 0: at its full size.
    int atLeastWidth = 0;
    int atLeastHeight = 0;
};

// For the readers: the reason of a failure, in picture->message.
void setReadMessage(PictureRows* picture, const char* text);
void setSizeMessage(PictureRows* picture, unsigned long width, unsigned long height);
void setImplausibleMessage(PictureRows* picture, unsigned long width, unsigned long height,
                           long long fileBytes);
void setBudgetMessage(PictureRows* picture);
// The size of an open regular file in bytes; -1 when unknown.
long long regularFileSize(std::FILE* file);
// Counts bytes of pixels about to be reserved, when the reading counts them; false (with the
// message set) when the budget refuses them.
bool chargeReadPixels(PictureRows* picture, const PictureReading& reading, int64_t bytes);

}  // namespace merrowhost
