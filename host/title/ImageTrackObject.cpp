// The host's image track.

#include "host/title/ImageTrackObject.h"

#include <algorithm>

#include "host/objects/CallFailure.h"
#include "host/pictures/ImageLimits.h"
#include "host/pictures/PngWriter.h"
#include "host/title/ImageTrackEncoder.h"

namespace merrowhost {

ImageTrackObject::ImageTrackObject() = default;

ImageTrackObject::~ImageTrackObject() = default;

bool ImageTrackObject::zfSetImageData(int mode, void* first, void* second, int reserved,
                                      CzfErrorInfo* error) {
    // An encoding of earlier pixels goes (its worker holds what it needs).
    encoded_.reset();
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
    if (encoded_ != nullptr && (width != width_ || height != height_)) {
        encoded_.reset();
        mode_ = -1;
    }
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

namespace {

// The track's pixels as the encoder takes them, borrowed: the buffers stay the track's.
struct BorrowedPicture {
    RawTrackPicture raw;
    ~BorrowedPicture() {
        (void)raw.first.release();
        (void)raw.second.release();
    }
};

}  // namespace

std::vector<uint8_t> ImageTrackObject::rgba() const {
    if (encoded_ != nullptr) {
        std::vector<uint8_t> out;
        const std::shared_ptr<const std::vector<uint8_t>> file = encoded_->png();
        int width = 0;
        int height = 0;
        if (file == nullptr || !decodeRgbaPng(file->data(), file->size(), &out, &width, &height) ||
            width != width_ || height != height_) {
            out.clear();
        }
        return out;
    }
    BorrowedPicture borrowed;
    borrowed.raw.mode = mode_;
    borrowed.raw.first.reset(first_.get());
    borrowed.raw.second.reset(second_.get());
    borrowed.raw.width = width_;
    borrowed.raw.height = height_;
    return borrowed.raw.rgba();
}

void ImageTrackObject::encodeWith(ImageTrackEncoder& encoder) {
    if (encoded_ != nullptr || mode_ < 0 || first_ == nullptr ||
        !imageSizeAllowed(width_, height_)) {
        return;
    }
    RawTrackPicture raw;
    raw.mode = mode_;
    raw.first = std::move(first_);
    raw.second = std::move(second_);
    raw.width = width_;
    raw.height = height_;
    encoded_ = encoder.submit(std::move(raw));
}

std::shared_ptr<const std::vector<uint8_t>> ImageTrackObject::png(std::string* error) const {
    try {
        if (encoded_ != nullptr) {
            std::shared_ptr<const std::vector<uint8_t>> file = encoded_->png();
            if (file == nullptr && error != nullptr) *error = encoded_->error();
            return file;
        }
        const std::vector<uint8_t> pixels = rgba();
        if (pixels.empty()) {
            if (error != nullptr) *error = "no picture";
            return nullptr;
        }
        auto file = std::make_shared<std::vector<uint8_t>>();
        if (!encodeTrackPng(width_, height_, pixels.data(), file.get(), error)) return nullptr;
        return file;
    } catch (...) {
        if (error != nullptr) error->clear();
        return nullptr;
    }
}

std::shared_ptr<SpooledFile> ImageTrackObject::spooledPng() const {
    return encoded_ != nullptr ? encoded_->spooled() : nullptr;
}

void* ImageTrackObject::findInterface(const GUID& interfaceId) {
    if (interfaceId == kIidImageData) return static_cast<SzfImageData*>(this);
    if (interfaceId == kIidImageProjectRecord) return static_cast<SzfImageProjectRecord*>(this);
    if (interfaceId == kIidImageSize) return static_cast<SzfImageSize*>(this);
    if (interfaceId == kIidImageOption) return static_cast<SzfImageOption*>(this);
    return nullptr;
}

}  // namespace merrowhost
