#include "host/pictures/PngReader.h"

#include <png.h>

#include <new>

#include "host/pictures/ImageLimits.h"

namespace merrowhost {

namespace {

// A compressed stream cannot hold more than this many bytes of raw data per byte of its own
// (deflate's largest ratio is about 1032 to 1), so a header claiming more than the file could
// hold is refused before any pixel memory is reserved.
constexpr uint64_t kLargestDeflateRatio = 1100;

// One reading. Only its members change after setjmp; they live in the caller's frame, so they
// keep their values when libpng jumps back.
struct PngJob {
    std::FILE* file;
    PictureReading reading;
    PictureRows* picture;
    png_structp png = nullptr;
    png_infop info = nullptr;
    png_bytep* rows = nullptr;
    uint8_t* pixels = nullptr;  // B, G, R, A rows while the alpha plane is split off
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int channels = 0;
    size_t rowBytes = 0;
    bool interlaced = false;
};

[[noreturn]] void pngError(png_structp png, png_const_charp text) {
    auto* job = static_cast<PngJob*>(png_get_error_ptr(png));
    setReadMessage(job->picture, text);
    png_longjmp(png, 1);
}

// Warnings (unknown chunks, a bad ancillary CRC, extra data) do not stop the reading and are
// not printed.
void pngWarning(png_structp, png_const_charp) {}

// The header: the size is allowed and the file's compressed data can hold it.
bool checkSize(PngJob* job) {
    job->width = png_get_image_width(job->png, job->info);
    job->height = png_get_image_height(job->png, job->info);
    if (!imageSizeAllowed(job->width, job->height)) {
        setSizeMessage(job->picture, job->width, job->height);
        return false;
    }
    // The filtered rows of the file's own format (one filter byte each) come from its
    // compressed data.
    const long long size = regularFileSize(job->file);
    const uint64_t rawBytes =
        static_cast<uint64_t>(job->height) * (1 + png_get_rowbytes(job->png, job->info));
    if (size >= 0 && rawBytes / kLargestDeflateRatio > static_cast<uint64_t>(size)) {
        setImplausibleMessage(job->picture, job->width, job->height, size);
        return false;
    }
    return true;
}

// Everything becomes 8-bit B, G, R, plus A when the file has alpha and the reading wants it.
bool setTransforms(PngJob* job) {
    png_structp png = job->png;
    const bool wantAlpha = job->reading.wantAlpha;
    const int colourType = png_get_color_type(png, job->info);
    const int bitDepth = png_get_bit_depth(png, job->info);
    if (bitDepth == 16) png_set_scale_16(png);
    if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (wantAlpha && png_get_valid(png, job->info, PNG_INFO_tRNS) != 0) {
        png_set_tRNS_to_alpha(png);
    }
    if ((colourType & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(png);
    if (!wantAlpha) png_set_strip_alpha(png);
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, job->info);

    job->channels = png_get_channels(png, job->info);
    job->rowBytes = png_get_rowbytes(png, job->info);
    job->interlaced = png_get_interlace_type(png, job->info) != PNG_INTERLACE_NONE;
    if (png_get_bit_depth(png, job->info) != 8 || (job->channels != 3 && job->channels != 4) ||
        job->rowBytes != static_cast<size_t>(job->width) * static_cast<size_t>(job->channels)) {
        setReadMessage(job->picture, "unsupported PNG pixel layout");
        return false;
    }
    return true;
}

// Reserves the picture's rows (and, for B, G, R, A, the rows the alpha is split from:
// interlaced pictures are put together in a whole-picture buffer, all others read row by row).
bool reserveRows(PngJob* job) {
    PictureRows* picture = job->picture;
    const size_t height = job->height;
    const size_t colourStride = static_cast<size_t>(rowStride(24, static_cast<int>(job->width)));
    const size_t alphaStride = static_cast<size_t>(rowStride(8, static_cast<int>(job->width)));
    const bool split = job->channels == 4;
    const size_t workBytes = split ? (job->interlaced ? job->rowBytes * height : job->rowBytes) : 0;
    const auto charge = static_cast<int64_t>(colourStride * height +
                                             (split ? alphaStride * height : 0) + workBytes);
    if (!chargeReadPixels(picture, job->reading, charge)) return false;
    picture->colour = new (std::nothrow) uint8_t[colourStride * height]();
    if (split) {
        picture->alpha = new (std::nothrow) uint8_t[alphaStride * height]();
        job->pixels = new (std::nothrow) uint8_t[workBytes];
    }
    if (job->interlaced) job->rows = new (std::nothrow) png_bytep[height];
    if (picture->colour == nullptr ||
        (split && (picture->alpha == nullptr || job->pixels == nullptr)) ||
        (job->interlaced && job->rows == nullptr)) {
        setReadMessage(picture, "out of memory");
        return false;
    }
    return true;
}

// One B, G, R, A row into the colour rows and the alpha plane.
void splitRow(const PngJob& job, const uint8_t* source, png_uint_32 y) {
    const PictureRows& picture = *job.picture;
    uint8_t* colour = picture.colour + y * static_cast<size_t>(rowStride(24, picture.width));
    uint8_t* alpha = picture.alpha + y * static_cast<size_t>(rowStride(8, picture.width));
    for (png_uint_32 x = 0; x < job.width; ++x) {
        colour[3 * x] = source[4 * x];
        colour[3 * x + 1] = source[4 * x + 1];
        colour[3 * x + 2] = source[4 * x + 2];
        alpha[x] = source[4 * x + 3];
    }
}

void readRows(PngJob* job) {
    PictureRows* picture = job->picture;
    const size_t colourStride = static_cast<size_t>(rowStride(24, picture->width));
    const bool split = job->channels == 4;
    if (!job->interlaced) {
        for (png_uint_32 y = 0; y < job->height; ++y) {
            png_read_row(job->png, split ? job->pixels : picture->colour + y * colourStride,
                         nullptr);
            if (split) splitRow(*job, job->pixels, y);
        }
        return;
    }
    for (png_uint_32 y = 0; y < job->height; ++y) {
        job->rows[y] = split ? job->pixels + y * job->rowBytes : picture->colour + y * colourStride;
    }
    png_read_image(job->png, job->rows);
    if (split) {
        for (png_uint_32 y = 0; y < job->height; ++y) splitRow(*job, job->rows[y], y);
    }
}

bool decodePng(PngJob* job) {
    job->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, job, pngError, pngWarning);
    if (job->png != nullptr) job->info = png_create_info_struct(job->png);
    if (job->png == nullptr || job->info == nullptr) {
        setReadMessage(job->picture, "cannot start the PNG reader");
        return false;
    }
    if (setjmp(png_jmpbuf(job->png))) return false;
    png_init_io(job->png, job->file);
    // Every chunk's CRC-32 still covers the compressed data; zlib's Adler-32 of the inflated
    // bytes would only check them again, at a tenth of the decoding time.
    png_set_option(job->png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
    png_read_info(job->png, job->info);
    if (!checkSize(job) || !setTransforms(job)) return false;
    job->picture->width = static_cast<int>(job->width);
    job->picture->height = static_cast<int>(job->height);
    if (!reserveRows(job)) return false;
    readRows(job);
    png_read_end(job->png, nullptr);
    return true;
}

}  // namespace

bool readPng(std::FILE* file, const PictureReading& reading, PictureRows* picture) {
    PngJob job{file, reading, picture};
    const bool ok = decodePng(&job);
    png_destroy_read_struct(&job.png, &job.info, nullptr);
    delete[] job.rows;
    delete[] job.pixels;
    if (!ok) picture->freeAll();
    return ok;
}

}  // namespace merrowhost
