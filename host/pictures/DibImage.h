#pragma once
// Device-independent bitmaps as the host hands them out: one new[] byte block holding a
// BITMAPINFOHEADER, then the colour table (8-bit bitmaps only), then the pixel rows. Rows are
// padded to 4 bytes and run bottom-up when biHeight is positive, top-down when it is negative.
// 32-bit pixels are B, G, R, A; 24-bit pixels B, G, R; 8-bit pixels index the colour table.
//
// GetNodeBufferByID hands out a 32-bit image and an 8-bit grey mask made by makeDib32 and
// makeMaskDib8. The image track's host object turns such a pair into R, G, B, A bytes with
// dibToRgba, and frees each with freeDib (or holds it in a DibHolder).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "host/objects/HostTypes.h"

namespace merrowhost {

// A bottom-up 32-bit bitmap (biSize 40, biPlanes 1, biBitCount 32, biCompression 0) with every
// pixel 0. Null when the size is refused by imageSizeAllowed or memory runs out.
BITMAPINFOHEADER* makeDib32(int width, int height);

// A bottom-up 8-bit bitmap with a 256-entry grey colour table (entry i is i, i, i) and biClrUsed
// 256, every pixel 0: the form of a mask, where a pixel's value is its alpha. Null as above.
BITMAPINFOHEADER* makeMaskDib8(int width, int height);

// Frees a bitmap made by the functions above or handed out by the host (delete[] of its bytes).
// Null is accepted.
void freeDib(const BITMAPINFOHEADER* dib);

struct DibDeleter {
    void operator()(const BITMAPINFOHEADER* dib) const { freeDib(dib); }
};
using DibHolder = std::unique_ptr<BITMAPINFOHEADER, DibDeleter>;

// True for an uncompressed 8-, 24- or 32-bit bitmap with one plane, biSize at least 40, a
// colour table of at most 256 entries, and a size that imageSizeAllowed accepts.
bool dibLayoutValid(const BITMAPINFOHEADER* dib);

// Bytes from one row to the next: biWidth * biBitCount / 8 rounded up to a multiple of 4.
int dibStride(const BITMAPINFOHEADER& dib);

// Entries of the colour table: biClrUsed, or 256 for an 8-bit bitmap that leaves it 0; none for
// 24 and 32 bits.
int dibColourTableEntries(const BITMAPINFOHEADER& dib);

// The first pixel byte: after the header (biSize bytes) and the colour table.
uint8_t* dibPixels(BITMAPINFOHEADER* dib);
const uint8_t* dibPixels(const BITMAPINFOHEADER* dib);

// The row that is y-th from the top of the picture, whichever way the rows run.
uint8_t* dibRowFromTop(BITMAPINFOHEADER* dib, int y);
const uint8_t* dibRowFromTop(const BITMAPINFOHEADER* dib, int y);

// Converts a 24- or 32-bit image and an optional 8-bit mask of the same size into top-down
// R, G, B, A bytes (width * height * 4, no padding). Alpha comes from the mask's pixel values
// when a mask is given (its colour table is not consulted), else from a 32-bit image's fourth
// byte, else it is 255. False (outputs untouched) when a bitmap fails dibLayoutValid, the image
// is 8-bit, the mask is not 8-bit or differs in size, or memory runs out.
bool dibToRgba(const BITMAPINFOHEADER* image, const BITMAPINFOHEADER* mask,
               std::vector<uint8_t>* rgba, int* width, int* height);

}  // namespace merrowhost
