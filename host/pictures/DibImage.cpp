#include "host/pictures/DibImage.h"

#include <cstdlib>
#include <new>

#include "host/pictures/ImageLimits.h"
#include "host/pictures/PixelBudget.h"

namespace merrowhost {

namespace {

constexpr uint32_t kHeaderSize = sizeof(BITMAPINFOHEADER);

// The absolute height; biHeight of INT32_MIN has none and is refused by dibLayoutValid.
int64_t rowsOf(const BITMAPINFOHEADER& dib) {
    return dib.biHeight < 0 ? -static_cast<int64_t>(dib.biHeight) : dib.biHeight;
}

BITMAPINFOHEADER* makeDib(int width, int height, uint16_t bits, uint32_t colours) {
    if (!imageSizeAllowed(width, height)) return nullptr;
    const size_t stride = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
    const size_t pixelBytes = stride * static_cast<size_t>(height);
    const size_t tableBytes = static_cast<size_t>(colours) * sizeof(RGBQUAD);
    if (!chargePixelBytes(static_cast<int64_t>(pixelBytes))) return nullptr;
    uint8_t* bytes = new (std::nothrow) uint8_t[kHeaderSize + tableBytes + pixelBytes]();
    if (bytes == nullptr) return nullptr;
    auto* dib = new (bytes) BITMAPINFOHEADER{};
    dib->biSize = kHeaderSize;
    dib->biWidth = width;
    dib->biHeight = height;
    dib->biPlanes = 1;
    dib->biBitCount = bits;
    dib->biCompression = 0;
    dib->biSizeImage = static_cast<uint32_t>(pixelBytes);
    dib->biClrUsed = colours;
    auto* table = reinterpret_cast<RGBQUAD*>(bytes + kHeaderSize);
    for (uint32_t i = 0; i < colours; ++i) {
        const auto level = static_cast<uint8_t>(i);
        table[i] = RGBQUAD{level, level, level, 0};
    }
    return dib;
}

}  // namespace

BITMAPINFOHEADER* makeDib32(int width, int height) {
    return makeDib(width, height, 32, 0);
}

BITMAPINFOHEADER* makeMaskDib8(int width, int height) {
    return makeDib(width, height, 8, 256);
}

void freeDib(const BITMAPINFOHEADER* dib) {
    delete[] reinterpret_cast<const uint8_t*>(dib);
}

bool dibLayoutValid(const BITMAPINFOHEADER* dib) {
    if (dib == nullptr || dib->biSize < kHeaderSize || dib->biPlanes != 1 ||
        dib->biCompression != 0) {
        return false;
    }
    if (dib->biBitCount != 8 && dib->biBitCount != 24 && dib->biBitCount != 32) return false;
    if (dib->biClrUsed > 256 || dib->biHeight == INT32_MIN) return false;
    return imageSizeAllowed(dib->biWidth, rowsOf(*dib));
}

int dibStride(const BITMAPINFOHEADER& dib) {
    return static_cast<int>((static_cast<int64_t>(dib.biWidth) * dib.biBitCount + 31) / 32 * 4);
}

int dibColourTableEntries(const BITMAPINFOHEADER& dib) {
    if (dib.biBitCount > 8) return 0;
    return dib.biClrUsed != 0 ? static_cast<int>(dib.biClrUsed) : 1 << dib.biBitCount;
}

uint8_t* dibPixels(BITMAPINFOHEADER* dib) {
    return reinterpret_cast<uint8_t*>(dib) + dib->biSize +
           static_cast<size_t>(dibColourTableEntries(*dib)) * sizeof(RGBQUAD);
}

const uint8_t* dibPixels(const BITMAPINFOHEADER* dib) {
    return dibPixels(const_cast<BITMAPINFOHEADER*>(dib));
}

uint8_t* dibRowFromTop(BITMAPINFOHEADER* dib, int y) {
    const int64_t rows = rowsOf(*dib);
    const int64_t stored = dib->biHeight > 0 ? rows - 1 - y : y;
    return dibPixels(dib) + stored * dibStride(*dib);
}

const uint8_t* dibRowFromTop(const BITMAPINFOHEADER* dib, int y) {
    return dibRowFromTop(const_cast<BITMAPINFOHEADER*>(dib), y);
}

bool dibToRgba(const BITMAPINFOHEADER* image, const BITMAPINFOHEADER* mask,
               std::vector<uint8_t>* rgba, int* width, int* height) {
    if (rgba == nullptr || !dibLayoutValid(image) || image->biBitCount == 8) return false;
    const int w = image->biWidth;
    const int h = static_cast<int>(rowsOf(*image));
    if (mask != nullptr && (!dibLayoutValid(mask) || mask->biBitCount != 8 || mask->biWidth != w ||
                            rowsOf(*mask) != h)) {
        return false;
    }
    std::vector<uint8_t> out;
    try {
        out.resize(static_cast<size_t>(w) * static_cast<size_t>(h) * 4);
    } catch (...) {
        return false;
    }
    const int bytes = image->biBitCount / 8;
    for (int y = 0; y < h; ++y) {
        const uint8_t* source = dibRowFromTop(image, y);
        const uint8_t* alpha = mask != nullptr ? dibRowFromTop(mask, y) : nullptr;
        uint8_t* target = out.data() + static_cast<size_t>(y) * w * 4;
        for (int x = 0; x < w; ++x) {
            const uint8_t* pixel = source + static_cast<size_t>(x) * bytes;
            target[4 * x] = pixel[2];
            target[4 * x + 1] = pixel[1];
            target[4 * x + 2] = pixel[0];
            target[4 * x + 3] = alpha != nullptr ? alpha[x] : (bytes == 4 ? pixel[3] : 255);
        }
    }
    rgba->swap(out);
    if (width != nullptr) *width = w;
    if (height != nullptr) *height = h;
    return true;
}

}  // namespace merrowhost
