// The host's image track.

#include "host/title/ImageTrackObject.h"

#include <algorithm>

#include "host/objects/CallFailure.h"
#include "host/pictures/DibImage.h"
#include "host/pictures/ImageLimits.h"

namespace merrowhost {

namespace {

// Bytes from one row to the next of a top-down buffer: padded to 4 bytes.
size_t bufferStride(int bitsPerPixel, int width) {
    return (static_cast<size_t>(width) * bitsPerPixel + 31) / 32 * 4;
}

int64_t rowsOf(const BITMAPINFOHEADER& dib) {
    return dib.biHeight < 0 ? -static_cast<int64_t>(dib.biHeight) : dib.biHeight;
}

}  // namespace

ImageTrackObject::ImageTrackObject() = default;

ImageTrackObject::~ImageTrackObject() = default;

bool ImageTrackObject::zfSetImageData(int mode, void* first, void* second, int reserved,
                                      CzfErrorInfo* error) {
    auto* newFirst = static_cast<uint8_t*>(first);
    // A block handed over as both buffers is held once.
    auto* newSecond = second != first ? static_cast<uint8_t*>(second) : nullptr;
    // Blocks held before are freed, unless they come back in this call.
    for (uint8_t* old : {first_.release(), second_.release()}) {
        if (old != newFirst && old != newSecond) delete[] old;
    }
    first_.reset(newFirst);
    second_.reset(newSecond);
    imageDataReserved_ = reserved;
    if ((mode != kModeBuffers && mode != kModeBitmaps) || first == nullptr) {
        mode_ = -1;
        return reportCallFailure(error, kCallBadArgument);
    }
    mode_ = mode;
    return true;
}

bool ImageTrackObject::zfSetProjectRecord(SAVEDATA* record, CzfErrorInfo*) {
    if (record != nullptr) {
        record_ = *record;
    } else {
        record_.reset();
    }
    return true;
}

bool ImageTrackObject::zfSetSize(int width, int height, int reserved, CzfErrorInfo*) {
    width_ = width;
    height_ = height;
    sizeReserved_ = reserved;
    sizeSet_ = true;
    return true;
}

bool ImageTrackObject::zfSetOption(int option, int reserved, CzfErrorInfo*) {
    option_ = option;
    optionReserved_ = reserved;
    optionSet_ = true;
    return true;
}

std::vector<uint8_t> ImageTrackObject::rgba() const {
    std::vector<uint8_t> out;
    if (mode_ < 0 || first_ == nullptr || !imageSizeAllowed(width_, height_)) return out;
    try {
        if (mode_ == kModeBuffers) {
            rgbaFromBuffers(out);
        } else {
            rgbaFromBitmaps(out);
        }
    } catch (...) {
        out.clear();
    }
    return out;
}

void ImageTrackObject::rgbaFromBuffers(std::vector<uint8_t>& out) const {
    const size_t width = static_cast<size_t>(width_);
    const size_t colourStride = bufferStride(24, width_);
    const size_t alphaStride = bufferStride(8, width_);
    out.resize(width * static_cast<size_t>(height_) * 4);
    for (int y = 0; y < height_; ++y) {
        const uint8_t* colour = first_.get() + y * colourStride;
        const uint8_t* alpha = second_ != nullptr ? second_.get() + y * alphaStride : nullptr;
        uint8_t* target = out.data() + y * width * 4;
        for (size_t x = 0; x < width; ++x) {
            target[4 * x] = colour[3 * x + 2];
            target[4 * x + 1] = colour[3 * x + 1];
            target[4 * x + 2] = colour[3 * x];
            target[4 * x + 3] = alpha != nullptr ? alpha[x] : 255;
        }
    }
}

void ImageTrackObject::rgbaFromBitmaps(std::vector<uint8_t>& out) const {
    const auto* image = reinterpret_cast<const BITMAPINFOHEADER*>(first_.get());
    if (!dibLayoutValid(image) || image->biBitCount == 8) return;
    const auto* mask = reinterpret_cast<const BITMAPINFOHEADER*>(second_.get());
    const bool maskReadable = mask != nullptr && dibLayoutValid(mask) && mask->biBitCount == 8;

    // Only the part that both the set size and the bitmap cover is read.
    const int imageWidth = std::min(width_, image->biWidth);
    const int imageRows = static_cast<int>(std::min<int64_t>(height_, rowsOf(*image)));
    const int maskWidth = maskReadable ? std::min(width_, mask->biWidth) : 0;
    const int maskRows =
        maskReadable ? static_cast<int>(std::min<int64_t>(height_, rowsOf(*mask))) : 0;
    const size_t bytesPerPixel = image->biBitCount / 8;
    const size_t width = static_cast<size_t>(width_);

    out.assign(width * static_cast<size_t>(height_) * 4, 0);
    for (int y = 0; y < imageRows; ++y) {
        const uint8_t* source = dibRowFromTop(image, y);
        const uint8_t* alpha = y < maskRows ? dibRowFromTop(mask, y) : nullptr;
        uint8_t* target = out.data() + y * width * 4;
        for (int x = 0; x < imageWidth; ++x) {
            const uint8_t* pixel = source + x * bytesPerPixel;
            target[4 * x] = pixel[2];
            target[4 * x + 1] = pixel[1];
            target[4 * x + 2] = pixel[0];
            if (mask == nullptr) {
                target[4 * x + 3] = 255;
            } else if (alpha != nullptr && x < maskWidth) {
                target[4 * x + 3] = alpha[x];
            }
        }
    }
}

void* ImageTrackObject::findInterface(const GUID& interfaceId) {
    if (interfaceId == kIidImageData) return static_cast<SzfImageData*>(this);
    if (interfaceId == kIidImageProjectRecord) return static_cast<SzfImageProjectRecord*>(this);
    if (interfaceId == kIidImageSize) return static_cast<SzfImageSize*>(this);
    if (interfaceId == kIidImageOption) return static_cast<SzfImageOption*>(this);
    return nullptr;
}

}  // namespace merrowhost
