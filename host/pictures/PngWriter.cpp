#include "host/pictures/PngWriter.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

#include "host/framework/AtomicFileWriter.h"
#include "host/pictures/ImageLimits.h"

namespace merrowhost {

namespace {

constexpr size_t kMessageSize = 256;
constexpr int kCompressionLevel = 6;

struct Layout {
    int colourType;  // libpng's PNG_COLOR_TYPE_...
    int channels;
};

bool layoutOf(const PngPicture& picture, Layout* layout) {
    const int depth = picture.bitDepth;
    const bool wide = depth == 8 || depth == 16;
    const bool narrow = depth == 1 || depth == 2 || depth == 4;
    switch (picture.colourType) {
        case PngPicture::ColourType::Grey:
            *layout = {PNG_COLOR_TYPE_GRAY, 1};
            return wide || narrow;
        case PngPicture::ColourType::GreyAlpha:
            *layout = {PNG_COLOR_TYPE_GRAY_ALPHA, 2};
            return wide;
        case PngPicture::ColourType::Rgb:
            *layout = {PNG_COLOR_TYPE_RGB, 3};
            return wide;
        case PngPicture::ColourType::Rgba:
            *layout = {PNG_COLOR_TYPE_RGB_ALPHA, 4};
            return wide;
        case PngPicture::ColourType::Palette:
            *layout = {PNG_COLOR_TYPE_PALETTE, 1};
            return (narrow || depth == 8) && !picture.palette.empty() &&
                   picture.palette.size() <= (size_t{1} << depth);
    }
    return false;
}

// Everything the writer touches after setjmp, kept in the caller's frame.
struct WriteJob {
    FILE* file;
    png_structp png;
    png_infop info;
    png_bytep* rows;
    png_colorp palette;
    png_bytep paletteAlpha;
    char message[kMessageSize];
};

[[noreturn]] void writeError(png_structp png, png_const_charp text) {
    auto* job = static_cast<WriteJob*>(png_get_error_ptr(png));
    std::snprintf(job->message, kMessageSize, "%s", text != nullptr ? text : "PNG write error");
    png_longjmp(png, 1);
}

void writeWarning(png_structp, png_const_charp) {}

struct Request {
    int width;
    int height;
    int bitDepth;
    int colourType;
    bool interlaced;
    const uint8_t* data;
    size_t rowBytes;
    const PngPaletteEntry* palette;
    int paletteSize;
};

bool encode(WriteJob* job, const Request& request) {
    job->png = png_create_write_struct(PNG_LIBPNG_VER_STRING, job, writeError, writeWarning);
    if (job->png == nullptr) return false;
    job->info = png_create_info_struct(job->png);
    if (job->info == nullptr) return false;
    job->rows = new (std::nothrow) png_bytep[request.height];
    if (job->rows == nullptr) return false;
    for (int y = 0; y < request.height; ++y) {
        job->rows[y] =
            const_cast<png_bytep>(request.data + static_cast<size_t>(y) * request.rowBytes);
    }
    if (request.paletteSize > 0) {
        job->palette = new (std::nothrow) png_color[request.paletteSize];
        job->paletteAlpha = new (std::nothrow) png_byte[request.paletteSize];
        if (job->palette == nullptr || job->paletteAlpha == nullptr) return false;
    }
    if (setjmp(png_jmpbuf(job->png))) return false;

    png_init_io(job->png, job->file);
    png_set_compression_level(job->png, kCompressionLevel);
    png_set_IHDR(job->png, job->info, static_cast<png_uint_32>(request.width),
                 static_cast<png_uint_32>(request.height), request.bitDepth, request.colourType,
                 request.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (request.paletteSize > 0) {
        bool translucent = false;
        for (int i = 0; i < request.paletteSize; ++i) {
            job->palette[i] = png_color{request.palette[i].red, request.palette[i].green,
                                        request.palette[i].blue};
            job->paletteAlpha[i] = request.palette[i].alpha;
            translucent = translucent || request.palette[i].alpha != 255;
        }
        png_set_PLTE(job->png, job->info, job->palette, request.paletteSize);
        if (translucent) {
            png_set_tRNS(job->png, job->info, job->paletteAlpha, request.paletteSize, nullptr);
        }
    }
    png_write_info(job->png, job->info);
    png_write_image(job->png, job->rows);
    png_write_end(job->png, nullptr);
    return true;
}

bool writeFile(const std::string& path, const Request& request, std::string* error) {
    AtomicFileWriter writer;
    if (!openResolved(writer, path, error)) return false;
    WriteJob job{};
    job.file = writer.stream();
    bool ok = encode(&job, request);
    if (!ok && job.message[0] == '\0') std::snprintf(job.message, kMessageSize, "out of memory");
    png_destroy_write_struct(&job.png, &job.info);
    delete[] job.rows;
    delete[] job.palette;
    delete[] job.paletteAlpha;
    if (ok && !writer.commit()) {
        ok = false;
        std::snprintf(job.message, kMessageSize, "%s", writer.error());
    }
    // An uncommitted writer removes its temporary file.
    if (!ok) setWriteError(error, writer.targetPath() + ": " + job.message);
    return ok;
}

// Everything the in-memory encoder touches after setjmp.
struct MemoryJob {
    png_structp png;
    png_infop info;
    std::vector<uint8_t>* out;
    bool outOfMemory;
    char message[kMessageSize];
    bool rgb;                  // written without the alpha channel
    std::vector<uint8_t> row;  // one row of R, G, B when rgb
};

[[noreturn]] void memoryError(png_structp png, png_const_charp text) {
    auto* job = static_cast<MemoryJob*>(png_get_error_ptr(png));
    std::snprintf(job->message, kMessageSize, "%s", text != nullptr ? text : "PNG write error");
    png_longjmp(png, 1);
}

void appendBytes(png_structp png, png_bytep data, png_size_t size) {
    auto* job = static_cast<MemoryJob*>(png_get_io_ptr(png));
    try {
        job->out->insert(job->out->end(), data, data + size);
    } catch (...) {
        job->outOfMemory = true;
        png_error(png, "out of memory");
    }
}

void flushNothing(png_structp) {}

bool opaque(int width, int height, const uint8_t* rgba) {
    const size_t size = static_cast<size_t>(width) * height * 4;
    for (size_t at = 3; at < size; at += 4) {
        if (rgba[at] != 255) return false;
    }
    return true;
}

// Encodes into job->out; job->rgb and job->row are set beforehand (a local set here could be
// clobbered by libpng's longjmp).
bool encodeToMemory(MemoryJob* job, int width, int height, const uint8_t* rgba,
                    const PngSettings& settings) {
    job->png = png_create_write_struct(PNG_LIBPNG_VER_STRING, job, memoryError, writeWarning);
    if (job->png == nullptr) return false;
    job->info = png_create_info_struct(job->png);
    if (job->info == nullptr) return false;
    if (setjmp(png_jmpbuf(job->png))) return false;
    png_set_write_fn(job->png, job, appendBytes, flushNothing);
    png_set_compression_level(job->png, settings.level);
    png_set_compression_strategy(job->png, settings.runLengthOnly ? Z_RLE : Z_DEFAULT_STRATEGY);
    png_set_filter(
        job->png, PNG_FILTER_TYPE_BASE,
        settings.filter == PngSettings::Filter::kPaeth ? PNG_FILTER_PAETH : PNG_FILTER_UP);
    png_set_IHDR(job->png, job->info, static_cast<png_uint_32>(width),
                 static_cast<png_uint_32>(height), 8,
                 job->rgb ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(job->png, job->info);
    const size_t stride = static_cast<size_t>(width) * 4;
    for (int y = 0; y < height; ++y) {
        const uint8_t* source = rgba + static_cast<size_t>(y) * stride;
        if (!job->rgb) {
            png_write_row(job->png, const_cast<png_bytep>(source));
            continue;
        }
        for (int x = 0; x < width; ++x) {
            std::memcpy(&job->row[static_cast<size_t>(x) * 3], &source[static_cast<size_t>(x) * 4],
                        3);
        }
        png_write_row(job->png, job->row.data());
    }
    png_write_end(job->png, nullptr);
    return true;
}

}  // namespace

bool encodeTrackPng(int width, int height, const uint8_t* rgba, std::vector<uint8_t>* png,
                    std::string* error) {
    return encodeRgbaPng(width, height, rgba, kTrackPngSettings, png, error);
}

bool encodeRgbaPng(int width, int height, const uint8_t* rgba, const PngSettings& settings,
                   std::vector<uint8_t>* png, std::string* error) {
    if (rgba == nullptr || png == nullptr) {
        setWriteError(error, "no pixels given");
        return false;
    }
    if (!imageSizeAllowed(width, height)) {
        setWriteError(error, "picture size out of range");
        return false;
    }
    std::vector<uint8_t> out;
    try {
        // Most track pictures compress to well under a tenth of their pixels.
        out.reserve(static_cast<size_t>(width) * height / 4 + 1024);
    } catch (...) {
        setWriteError(error, "out of memory");
        return false;
    }
    MemoryJob job{nullptr, nullptr, &out, false, {}, false, {}};
    bool ok = false;
    try {
        job.rgb = settings.opaqueAsRgb && opaque(width, height, rgba);
        if (job.rgb) job.row.resize(static_cast<size_t>(width) * 3);
        ok = encodeToMemory(&job, width, height, rgba, settings);
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    png_destroy_write_struct(&job.png, &job.info);
    if (!ok) {
        setWriteError(error, job.message[0] != '\0' ? job.message : "out of memory");
        return false;
    }
    png->swap(out);
    return true;
}

bool decodeRgbaPng(const uint8_t* data, size_t size, std::vector<uint8_t>* rgba, int* width,
                   int* height) {
    if (data == nullptr || rgba == nullptr) return false;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&image, data, size) == 0) return false;
    if (!imageSizeAllowed(image.width, image.height)) {
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> out;
    try {
        out.resize(PNG_IMAGE_SIZE(image));
    } catch (...) {
        png_image_free(&image);
        return false;
    }
    if (png_image_finish_read(&image, nullptr, out.data(), 0, nullptr) == 0) {
        png_image_free(&image);
        return false;
    }
    rgba->swap(out);
    if (width != nullptr) *width = static_cast<int>(image.width);
    if (height != nullptr) *height = static_cast<int>(image.height);
    return true;
}

size_t PngPicture::rowBytes() const {
    Layout layout{};
    if (width <= 0 || !layoutOf(*this, &layout)) return 0;
    return (static_cast<size_t>(width) * layout.channels * bitDepth + 7) / 8;
}

bool writePng(const std::string& path, const PngPicture& picture, std::string* error) {
    Layout layout{};
    if (!layoutOf(picture, &layout)) {
        setWriteError(error, "invalid PNG pixel layout");
        return false;
    }
    if (!imageSizeAllowed(picture.width, picture.height)) {
        setWriteError(error, "picture size out of range");
        return false;
    }
    const size_t rowBytes = picture.rowBytes();
    if (picture.rows.size() != rowBytes * static_cast<size_t>(picture.height)) {
        setWriteError(error, "row data does not match the picture size");
        return false;
    }
    const bool withPalette = picture.colourType == PngPicture::ColourType::Palette;
    const Request request{picture.width,
                          picture.height,
                          picture.bitDepth,
                          layout.colourType,
                          picture.interlaced,
                          picture.rows.data(),
                          rowBytes,
                          withPalette ? picture.palette.data() : nullptr,
                          withPalette ? static_cast<int>(picture.palette.size()) : 0};
    return writeFile(path, request, error);
}

bool writeRgbaPng(const std::string& path, int width, int height, const uint8_t* rgba,
                  std::string* error) {
    if (rgba == nullptr) {
        setWriteError(error, "no pixels given");
        return false;
    }
    if (!imageSizeAllowed(width, height)) {
        setWriteError(error, "picture size out of range");
        return false;
    }
    const Request request{
        width,   height, 8, PNG_COLOR_TYPE_RGB_ALPHA, false, rgba, static_cast<size_t>(width) * 4,
        nullptr, 0};
    return writeFile(path, request, error);
}

}  // namespace merrowhost
