#include "host/title/ImageTrackEncoder.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <functional>
#include <string_view>
#include <utility>

#include "host/pictures/DibImage.h"
#include "host/pictures/ImageLimits.h"
#include "host/pictures/PngWriter.h"

namespace merrowhost {

namespace {

// The layouts of the image data interface (ImageTrackObject::kModeBuffers, kModeBitmaps).
constexpr int kBuffers = 0;
constexpr int kBitmaps = 1;

size_t bufferStride(int bitsPerPixel, int width) {
    return (static_cast<size_t>(width) * bitsPerPixel + 31) / 32 * 4;
}

int64_t rowsOf(const BITMAPINFOHEADER& dib) {
    return dib.biHeight < 0 ? -static_cast<int64_t>(dib.biHeight) : dib.biHeight;
}

void rgbaFromBuffers(const RawTrackPicture& raw, std::vector<uint8_t>& out) {
    const size_t width = static_cast<size_t>(raw.width);
    const size_t colourStride = bufferStride(24, raw.width);
    const size_t alphaStride = bufferStride(8, raw.width);
    out.resize(width * static_cast<size_t>(raw.height) * 4);
    for (int y = 0; y < raw.height; ++y) {
        const uint8_t* colour = raw.first.get() + y * colourStride;
        const uint8_t* alpha = raw.second != nullptr ? raw.second.get() + y * alphaStride : nullptr;
        uint8_t* target = out.data() + y * width * 4;
        for (size_t x = 0; x < width; ++x) {
            target[4 * x] = colour[3 * x + 2];
            target[4 * x + 1] = colour[3 * x + 1];
            target[4 * x + 2] = colour[3 * x];
            target[4 * x + 3] = alpha != nullptr ? alpha[x] : 255;
        }
    }
}

// count pixels of B, G, R (and a fourth byte, ignored, when bytesPerPixel is 4) as R, G, B, A;
// the alpha from alpha, or fixed when alpha is null.
void copyAsRgba(const uint8_t* source, size_t bytesPerPixel, const uint8_t* alpha, uint8_t fixed,
                int count, uint8_t* target) {
    if (std::endian::native == std::endian::little && bytesPerPixel == 4) {
        // Whole words: B, G, R, X read as X << 24 | R << 16 | G << 8 | B.
        for (int x = 0; x < count; ++x) {
            uint32_t pixel = 0;
            std::memcpy(&pixel, source + 4 * static_cast<size_t>(x), 4);
            const uint32_t a = alpha != nullptr ? alpha[x] : fixed;
            const uint32_t rgba =
                (pixel >> 16 & 0xff) | (pixel & 0xff00) | (pixel & 0xff) << 16 | a << 24;
            std::memcpy(target + 4 * static_cast<size_t>(x), &rgba, 4);
        }
        return;
    }
    for (int x = 0; x < count; ++x) {
        const uint8_t* pixel = source + x * bytesPerPixel;
        target[4 * x] = pixel[2];
        target[4 * x + 1] = pixel[1];
        target[4 * x + 2] = pixel[0];
        target[4 * x + 3] = alpha != nullptr ? alpha[x] : fixed;
    }
}

void rgbaFromBitmaps(const RawTrackPicture& raw, std::vector<uint8_t>& out) {
    const auto* image = reinterpret_cast<const BITMAPINFOHEADER*>(raw.first.get());
    if (!dibLayoutValid(image) || image->biBitCount == 8) return;
    const auto* mask = reinterpret_cast<const BITMAPINFOHEADER*>(raw.second.get());
    const bool maskReadable = mask != nullptr && dibLayoutValid(mask) && mask->biBitCount == 8;

    // Only the part that both the set size and the bitmap cover is read.
    const int imageWidth = std::min(raw.width, image->biWidth);
    const int imageRows = static_cast<int>(std::min<int64_t>(raw.height, rowsOf(*image)));
    const int maskWidth = maskReadable ? std::min(raw.width, mask->biWidth) : 0;
    const int maskRows =
        maskReadable ? static_cast<int>(std::min<int64_t>(raw.height, rowsOf(*mask))) : 0;
    const size_t bytesPerPixel = image->biBitCount / 8;
    const size_t width = static_cast<size_t>(raw.width);

    out.assign(width * static_cast<size_t>(raw.height) * 4, 0);
    for (int y = 0; y < imageRows; ++y) {
        const uint8_t* source = dibRowFromTop(image, y);
        uint8_t* target = out.data() + y * width * 4;
        // Without a mask the picture is opaque; with one, pixels beyond its rows or width are
        // transparent.
        const uint8_t* alpha = y < maskRows ? dibRowFromTop(mask, y) : nullptr;
        const int fromMask = mask == nullptr ? 0 : (alpha != nullptr ? maskWidth : 0);
        const uint8_t beyond = mask == nullptr ? 255 : 0;
        const int split = std::min(fromMask, imageWidth);
        copyAsRgba(source, bytesPerPixel, alpha, 0, split, target);
        copyAsRgba(source + split * bytesPerPixel, bytesPerPixel, nullptr, beyond,
                   imageWidth - split, target + 4 * static_cast<size_t>(split));
    }
}

// The bytes a queued picture holds, roughly: what bounds the queue.
size_t queuedSize(const RawTrackPicture& raw) {
    if (!imageSizeAllowed(raw.width, raw.height)) return 0;
    return static_cast<size_t>(raw.width) * static_cast<size_t>(raw.height) * 4;
}

uint64_t hashOf(const std::vector<uint8_t>& rgba) {
    const std::string_view bytes(reinterpret_cast<const char*>(rgba.data()), rgba.size());
    return std::hash<std::string_view>{}(bytes);
}

// True when png decodes to exactly these pixels.
bool samePixels(const std::vector<uint8_t>& png, const std::vector<uint8_t>& rgba, int width,
                int height) {
    std::vector<uint8_t> decoded;
    int decodedWidth = 0;
    int decodedHeight = 0;
    return decodeRgbaPng(png.data(), png.size(), &decoded, &decodedWidth, &decodedHeight) &&
           decodedWidth == width && decodedHeight == height && decoded == rgba;
}

}  // namespace

std::vector<uint8_t> RawTrackPicture::rgba() const {
    std::vector<uint8_t> out;
    if ((mode != kBuffers && mode != kBitmaps) || first == nullptr ||
        !imageSizeAllowed(width, height)) {
        return out;
    }
    try {
        if (mode == kBuffers) {
            rgbaFromBuffers(*this, out);
        } else {
            rgbaFromBitmaps(*this, out);
        }
    } catch (...) {
        out.clear();
    }
    return out;
}

void EncodedPicture::wait() const {
    std::unique_lock<std::mutex> lock(mutex_);
    finished_.wait(lock, [this] { return done_; });
}

std::shared_ptr<const std::vector<uint8_t>> EncodedPicture::png() const {
    wait();
    std::shared_ptr<SpooledFile> file;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (file_ == nullptr) return png_;
        file = file_;
    }
    auto bytes = std::make_shared<std::vector<uint8_t>>();
    std::string error;
    if (!file->read(bytes.get(), &error)) {
        const std::lock_guard<std::mutex> lock(mutex_);
        error_ = error;
        return nullptr;
    }
    return bytes;
}

std::shared_ptr<SpooledFile> EncodedPicture::spooled() const {
    wait();
    const std::lock_guard<std::mutex> lock(mutex_);
    return file_;
}

std::string EncodedPicture::error() const {
    wait();
    const std::lock_guard<std::mutex> lock(mutex_);
    return error_;
}

void EncodedPicture::finishSpooled(std::shared_ptr<SpooledFile> file) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        file_ = std::move(file);
        done_ = true;
    }
    finished_.notify_all();
}

bool EncodedPicture::done() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return done_;
}

void EncodedPicture::finish(std::shared_ptr<const std::vector<uint8_t>> png, std::string error) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        png_ = std::move(png);
        error_ = std::move(error);
        done_ = true;
    }
    finished_.notify_all();
}

ImageTrackEncoder::ImageTrackEncoder(int workers)
    : spool_(TrackSpoolScope::current()), pool_(workers) {}

ImageTrackEncoder::~ImageTrackEncoder() = default;

int ImageTrackEncoder::encodedCount() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return encoded_;
}

int ImageTrackEncoder::sharedCount() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return shared_;
}

void ImageTrackEncoder::drain() const {
    std::unique_lock<std::mutex> lock(mutex_);
    drained_.wait(lock, [this] { return pending_ == 0; });
}

std::shared_ptr<EncodedPicture> ImageTrackEncoder::submit(RawTrackPicture raw) {
    std::shared_ptr<EncodedPicture> result;
    try {
        result = std::make_shared<EncodedPicture>();
    } catch (...) {
        return nullptr;
    }
    const size_t bytes = queuedSize(raw);
    std::shared_ptr<RawTrackPicture> held;
    bool counted = false;  // in queuedBytes_ and pending_
    try {
        held = std::make_shared<RawTrackPicture>(std::move(raw));
        {
            std::unique_lock<std::mutex> lock(mutex_);
            drained_.wait(lock, [this] { return queuedBytes_ <= kQueuedBytes; });
            queuedBytes_ += bytes;
            ++pending_;
            counted = true;
        }
        pool_.submit([this, held, result, bytes] {
            process(*held, *result);
            {
                const std::lock_guard<std::mutex> lock(mutex_);
                queuedBytes_ -= bytes;
                --pending_;
            }
            drained_.notify_all();
        });
    } catch (...) {
        // No memory to queue it: encoded here and now.
        if (held != nullptr) {
            process(*held, *result);
            if (counted) {
                {
                    const std::lock_guard<std::mutex> lock(mutex_);
                    queuedBytes_ -= bytes;
                    --pending_;
                }
                drained_.notify_all();
            }
        } else {
            process(raw, *result);
        }
    }
    return result;
}

void ImageTrackEncoder::process(RawTrackPicture& raw, EncodedPicture& result) {
    try {
        const auto rgba = std::make_shared<const std::vector<uint8_t>>(raw.rgba());
        const int width = raw.width;
        const int height = raw.height;
        // The raw pixels are not needed any more.
        raw.first.reset();
        raw.second.reset();
        if (rgba->empty()) {
            result.finish(nullptr, "no picture");
            return;
        }
        const Key key{width, height, hashOf(*rgba)};
        std::vector<std::pair<Encoding, Bytes>> candidates;  // pixels when still kept
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            const auto found = seen_.find(key);
            if (found != seen_.end()) {
                for (const Encoding& encoding : found->second) {
                    candidates.emplace_back(encoding, encoding.rgba.lock());
                }
            }
        }
        for (auto& [encoding, pixels] : candidates) {
            bool same = false;
            if (pixels != nullptr) {
                same = *pixels == *rgba;
            } else if (encoding.file != nullptr) {
                std::vector<uint8_t> png;
                std::string unread;
                same = encoding.file->read(&png, &unread) && samePixels(png, *rgba, width, height);
            } else {
                same = samePixels(*encoding.png, *rgba, width, height);
            }
            if (same) {
                {
                    const std::lock_guard<std::mutex> lock(mutex_);
                    ++shared_;
                }
                if (encoding.file != nullptr) {
                    result.finishSpooled(encoding.file);
                } else {
                    result.finish(encoding.png, {});
                }
                return;
            }
        }
        auto png = std::make_shared<std::vector<uint8_t>>();
        std::string error;
        if (!encodeTrackPng(width, height, rgba->data(), png.get(), &error)) {
            result.finish(nullptr, error);
            return;
        }
        // Spooled, the bytes leave memory now; when the spool cannot take them they stay.
        std::shared_ptr<SpooledFile> file;
        if (spool_ != nullptr) {
            std::string unwritten;
            file = spool_->store(*png, &unwritten);
            if (file != nullptr) png.reset();
        }
        {
            // Pictures encoded at the same time as an identical one are each encoded; they give
            // the same bytes.
            const std::lock_guard<std::mutex> lock(mutex_);
            ++encoded_;
            seen_[key].push_back({png, file, rgba});
            recent_.push_back(rgba);
            recentBytes_ += rgba->size();
            while (recentBytes_ > kRecentBytes && !recent_.empty()) {
                recentBytes_ -= recent_.front()->size();
                recent_.pop_front();
            }
        }
        if (file != nullptr) {
            result.finishSpooled(std::move(file));
        } else {
            result.finish(std::move(png), {});
        }
    } catch (...) {
        if (!result.done()) result.finish(nullptr, "out of memory");
    }
}

}  // namespace merrowhost
