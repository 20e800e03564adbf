#include "host/pictures/PictureFile.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <new>

#include "host/framework/RegularFile.h"
#include "host/pictures/JpegReader.h"
#include "host/pictures/PngReader.h"

namespace merrowhost {

namespace {

struct StreamClose {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The colour rows and the alpha plane (255 without one) as R, G, B, A bytes.
void toRgba(const PictureRows& rows, RgbaPicture* picture) {
    const size_t width = static_cast<size_t>(rows.width);
    const size_t colourStride = static_cast<size_t>(rowStride(24, rows.width));
    const size_t alphaStride = static_cast<size_t>(rowStride(8, rows.width));
    picture->width = rows.width;
    picture->height = rows.height;
    picture->rgba.resize(width * static_cast<size_t>(rows.height) * 4);
    for (size_t y = 0; y < static_cast<size_t>(rows.height); ++y) {
        const uint8_t* colour = rows.colour + y * colourStride;
        uint8_t* out = picture->rgba.data() + y * width * 4;
        for (size_t x = 0; x < width; ++x) {
            out[4 * x] = colour[3 * x + 2];
            out[4 * x + 1] = colour[3 * x + 1];
            out[4 * x + 2] = colour[3 * x];
            out[4 * x + 3] = rows.alpha != nullptr ? rows.alpha[y * alphaStride + x] : 255;
        }
    }
}

}  // namespace

PictureKind sniffPicture(std::FILE* file) {
    unsigned char head[8] = {};
    const size_t got = std::fread(head, 1, sizeof head, file);
    std::rewind(file);
    static const unsigned char kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (got == sizeof head && std::memcmp(head, kPng, sizeof kPng) == 0) return PictureKind::kPng;
    if (got >= 3 && head[0] == 0xff && head[1] == 0xd8 && head[2] == 0xff) {
        return PictureKind::kJpeg;
    }
    return PictureKind::kOther;
}

bool readRgbaPicture(const std::string& path, bool jpegToo, const PictureReading& reading,
                     RgbaPicture* picture, std::string* problem) {
    RegularFile input;
    if (!input.open(path, problem)) return false;
    std::unique_ptr<std::FILE, StreamClose> file(input.releaseToStream());
    if (!file) {
        *problem = std::strerror(errno);
        return false;
    }
    PictureRows rows;
    bool ok = false;
    const PictureKind kind = sniffPicture(file.get());
    if (kind == PictureKind::kPng) {
        ok = readPng(file.get(), reading, &rows);
    } else if (kind == PictureKind::kJpeg && jpegToo) {
        ok = readJpeg(file.get(), reading, &rows);
    } else {
        setReadMessage(&rows, jpegToo ? "not a JPEG or PNG file" : "not a PNG file");
    }
    if (ok) {
        try {
            toRgba(rows, picture);
        } catch (const std::bad_alloc&) {
            setReadMessage(&rows, "out of memory");
            ok = false;
        }
    }
    rows.freeAll();
    if (!ok) *problem = rows.message;
    return ok;
}

}  // namespace merrowhost
