#include "host/pictures/DvdBuf.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "host/framework/Diagnostics.h"
#include "host/framework/ProjectFolder.h"
#include "host/framework/ReadConfinement.h"
#include "host/framework/RegularFile.h"
#include "host/pictures/ImageLimits.h"
#include "host/pictures/JpegReader.h"
#include "host/pictures/PictureCache.h"
#include "host/pictures/PictureFile.h"
#include "host/pictures/PixelBudget.h"
#include "host/pictures/PngReader.h"

namespace {

// Why a cached copy cannot be charged: as the readers say it.
std::string budgetText() {
    merrowhost::PictureRows refused;
    merrowhost::setBudgetMessage(&refused);
    return refused.message;
}

// Records why an operation failed; always false.
bool fail(std::string* error, const char* reason) {
    try {
        *error = reason;
    } catch (...) {
        error->clear();
    }
    return false;
}

// Keeps a copy of what was decoded for the rest of the request.
void keepDecoded(const merrowhost::PictureKey& key, const merrowhost::PictureRows& picture) {
    try {
        auto kept = std::make_shared<merrowhost::DecodedPicture>();
        kept->width = picture.width;
        kept->height = picture.height;
        kept->pixelCharge = picture.pixelCharge;
        const size_t colourBytes =
            static_cast<size_t>(CDVDBuf::Stride(24, picture.width)) * picture.height;
        kept->colour.assign(picture.colour, picture.colour + colourBytes);
        if (picture.alpha != nullptr) {
            const size_t alphaBytes =
                static_cast<size_t>(CDVDBuf::Stride(8, picture.width)) * picture.height;
            kept->alpha.assign(picture.alpha, picture.alpha + alphaBytes);
        }
        merrowhost::storeCachedPicture(key, std::move(kept));
    } catch (...) {
        // Without memory for the copy the picture is decoded again next time.
    }
}

// A picture file ready for decoding, or the copy of it the request's cache holds.
struct OpenedPicture {
    FILE* file = nullptr;
    merrowhost::PictureKey key;  // set while the cache is active
    std::shared_ptr<const merrowhost::DecodedPicture> cached;
};

// The cache's key of an open file: its path, what is wanted and what it is on disk.
merrowhost::PictureKey keyOf(const std::string& resolved, bool withAlpha, int descriptor) {
    struct stat info {};
    if (fstat(descriptor, &info) != 0) return {};
    return {resolved,
            withAlpha,
            static_cast<uint64_t>(info.st_dev),
            static_cast<uint64_t>(info.st_ino),
            static_cast<int64_t>(info.st_size),
            static_cast<int64_t>(info.st_mtim.tv_sec),
            static_cast<int64_t>(info.st_mtim.tv_nsec)};
}

// Opens the picture file at path (taken against the project folder) when reads may go there
// and it is a regular file: a FIFO or a device would make the decoder wait. False with *error
// set when it cannot.
bool openPicture(const char* path, bool withAlpha, OpenedPicture* opened, std::string* error) {
    try {
        const std::string resolved = merrowhost::resolvePath(path);
        if (!merrowhost::readAllowed(resolved)) {
            return fail(error, (resolved + ": " + merrowhost::kOutsideProblem).c_str());
        }
        merrowhost::RegularFile input;
        std::string problem;
        if (!input.open(resolved, &problem))
            return fail(error, (resolved + ": " + problem).c_str());
        if (merrowhost::pictureCacheActive()) {
            opened->key = keyOf(resolved, withAlpha, input.descriptor());
            if (!opened->key.path.empty()) {
                opened->cached = merrowhost::findCachedPicture(opened->key);
                if (opened->cached) return true;
            }
        }
        opened->file = input.releaseToStream();
        if (opened->file == nullptr) {
            const int code = errno;
            return fail(error, (resolved + ": " + std::strerror(code)).c_str());
        }
        return true;
    } catch (...) {
        return fail(error, "out of memory");
    }
}

// Decodes the file by its kind, told by its first bytes.
bool decodeFile(FILE* file, bool withAlpha, merrowhost::PictureRows* picture) {
    const merrowhost::PictureReading reading{withAlpha, true};
    switch (merrowhost::sniffPicture(file)) {
        case merrowhost::PictureKind::kPng:
            return merrowhost::readPng(file, reading, picture);
        case merrowhost::PictureKind::kJpeg:
            return merrowhost::readJpeg(file, reading, picture);
        case merrowhost::PictureKind::kOther:
            break;
    }
    merrowhost::setReadMessage(picture, "not a PNG or JPEG file");
    return false;
}

}  // namespace

bool CDVDBuf::adoptCopy(const merrowhost::DecodedPicture& picture, uint8_t** alpha) {
    const size_t colourBytes = picture.colour.size();
    const size_t alphaBytes = alpha != nullptr ? picture.alpha.size() : 0;
    // A copy counts as the decode did.
    if (!merrowhost::chargePixelBytes(picture.pixelCharge))
        return fail(&lastError_, budgetText().c_str());
    uint8_t* colour = new (std::nothrow) uint8_t[colourBytes];
    uint8_t* plane = alphaBytes > 0 ? new (std::nothrow) uint8_t[alphaBytes] : nullptr;
    if (colour == nullptr || (alphaBytes > 0 && plane == nullptr)) {
        delete[] colour;
        delete[] plane;
        return fail(&lastError_, "out of memory");
    }
    std::memcpy(colour, picture.colour.data(), colourBytes);
    if (plane != nullptr) std::memcpy(plane, picture.alpha.data(), alphaBytes);
    release();
    buffer_ = colour;
    width_ = picture.width;
    height_ = picture.height;
    bitsPerPixel_ = 24;
    if (alpha != nullptr) *alpha = plane;
    lastError_.clear();
    return true;
}

CDVDBuf::~CDVDBuf() {
    release();
}

void CDVDBuf::release() {
    delete[] buffer_;
    buffer_ = nullptr;
    width_ = 0;
    height_ = 0;
    bitsPerPixel_ = 0;
}

bool merrowhost::preloadPicture(const char* path) {
    CDVDBuf picture;
    uint8_t* alpha = nullptr;
    const bool ok = picture.load(path, nullptr, &alpha);
    delete[] alpha;
    return ok;
}

bool CDVDBuf::Create(const char* path, void* palette, uint8_t** alpha) {
    const bool ok = load(path, palette, alpha);
    // The program that runs the component hears of every picture file that could not be used
    // (the component shows the fallback picture or leaves the picture out).
    if (!ok && path != nullptr && path[0] != '\0' && palette == nullptr) {
        try {
            merrowhost::reportPictureNotUsed({0, 0, {}, {}, path, lastError_});
        } catch (...) {
            // Without memory for the report there is no report.
        }
    }
    return ok;
}

bool CDVDBuf::load(const char* path, void* palette, uint8_t** alpha) {
    if (alpha != nullptr) *alpha = nullptr;
    if (palette != nullptr) return fail(&lastError_, "palettes are not supported");
    if (path == nullptr || path[0] == '\0') return fail(&lastError_, "no file given");
    OpenedPicture opened;
    if (!openPicture(path, alpha != nullptr, &opened, &lastError_)) return false;
    if (opened.cached) return adoptCopy(*opened.cached, alpha);

    merrowhost::PictureRows picture;
    const bool ok = decodeFile(opened.file, alpha != nullptr, &picture);
    std::fclose(opened.file);
    if (!ok) {
        picture.freeAll();
        return fail(&lastError_, picture.message);
    }
    merrowhost::countPictureDecoded();
    if (!opened.key.path.empty()) keepDecoded(opened.key, picture);

    release();
    buffer_ = picture.colour;
    width_ = picture.width;
    height_ = picture.height;
    bitsPerPixel_ = 24;
    if (alpha != nullptr) {
        *alpha = picture.alpha;
    } else {
        delete[] picture.alpha;
    }
    lastError_.clear();
    return true;
}

bool CDVDBuf::Alloc(int bitsPerPixel, int width, int height) {
    if (bitsPerPixel != 8 && bitsPerPixel != 24 && bitsPerPixel != 32) {
        return fail(&lastError_, "bits per pixel must be 8, 24 or 32");
    }
    if (!merrowhost::imageSizeAllowed(width, height))
        return fail(&lastError_, "buffer size out of range");
    const size_t size = static_cast<size_t>(Stride(bitsPerPixel, width)) * height;
    if (!merrowhost::chargePixelBytes(static_cast<int64_t>(size))) {
        return fail(&lastError_, "over the pixel budget of this request");
    }
    uint8_t* block = new (std::nothrow) uint8_t[size]();
    if (block == nullptr) return fail(&lastError_, "out of memory");
    release();
    buffer_ = block;
    width_ = width;
    height_ = height;
    bitsPerPixel_ = bitsPerPixel;
    lastError_.clear();
    return true;
}

void CDVDBuf::Fill(uint8_t first, uint8_t second, uint8_t third, uint8_t fourth) {
    // Only whole-byte pixels of up to four bytes can be set from the four given.
    if (buffer_ == nullptr || (bitsPerPixel_ != 8 && bitsPerPixel_ != 24 && bitsPerPixel_ != 32)) {
        return;
    }
    const uint8_t pixel[4] = {first, second, third, fourth};
    const int bytes = bitsPerPixel_ / 8;
    const size_t stride = static_cast<size_t>(Stride(bitsPerPixel_, width_));
    for (int y = 0; y < height_; ++y) {
        uint8_t* row = buffer_ + y * stride;
        for (int x = 0; x < width_; ++x) std::memcpy(row + x * bytes, pixel, bytes);
    }
}

void CDVDBuf::GetWHU(int* width, int* height, int* bitsPerPixel) const {
    if (width != nullptr) *width = width_;
    if (height != nullptr) *height = height_;
    if (bitsPerPixel != nullptr) *bitsPerPixel = bitsPerPixel_;
}

void CDVDBuf::Adopt(uint8_t* buffer, int bitsPerPixel, int width, int height) {
    if (buffer == buffer_) {
        buffer_ = nullptr;  // adopting the held buffer again only updates its layout
    }
    release();
    if (buffer == nullptr) return;
    buffer_ = buffer;
    width_ = width;
    height_ = height;
    bitsPerPixel_ = bitsPerPixel;
}

uint8_t* CDVDBuf::Detach() {
    uint8_t* buffer = buffer_;
    buffer_ = nullptr;
    release();
    return buffer;
}
