#include "host/pictures/DvdBuf.h"

// clang-format off
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <jpeglib.h>
#include <jerror.h>
// clang-format on
#include <png.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstring>
#include <memory>
#include <new>

#include "host/framework/Diagnostics.h"
#include "host/framework/ProjectFolder.h"
#include "host/framework/ReadConfinement.h"
#include "host/framework/RegularFile.h"
#include "host/pictures/ImageLimits.h"
#include "host/pictures/PictureCache.h"
#include "host/pictures/PixelBudget.h"

namespace {

constexpr size_t kMessageSize = 256;
// A progressive JPEG with more scans than this is taken as corrupt: real files have a dozen,
// and each scan costs a pass over the whole picture.
constexpr int kMaxJpegScans = 500;

void copyMessage(char* target, const char* text) {
    std::snprintf(target, kMessageSize, "%s", text != nullptr ? text : "unknown error");
}

void sizeMessage(char* target, unsigned long width, unsigned long height) {
    std::snprintf(target, kMessageSize,
                  "picture of %lu x %lu pixels is larger than allowed (%d per side, %lld in all)",
                  width, height, merrowhost::kMaxImageSide,
                  static_cast<long long>(merrowhost::kMaxImagePixels));
}

void budgetMessage(char* target) {
    std::snprintf(target, kMessageSize,
                  "the pictures of this request take more than %lld bytes of pixels in all",
                  static_cast<long long>(merrowhost::pixelBudgetLimit()));
}

// A compressed stream cannot hold more than this many bytes of raw data per byte of its own
// (deflate's largest ratio is about 1032 to 1), so a header claiming more than the file could
// hold is refused before any pixel memory is reserved.
constexpr uint64_t kLargestDeflateRatio = 1100;

void implausibleMessage(char* target, unsigned long width, unsigned long height, long long size) {
    std::snprintf(target, kMessageSize,
                  "picture claims %lu x %lu pixels, more than a file of %lld bytes can hold", width,
                  height, size);
}

// The size of an open file in bytes; -1 when unknown.
long long fileSize(FILE* file) {
    struct stat info {};
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
    return static_cast<long long>(info.st_size);
}

// What a decoder hands back: raw new[] blocks, so that nothing with a destructor lives across
// the decoders' setjmp. The caller frees whatever is still set.
struct Picture {
    uint8_t* colour = nullptr;  // 24-bit B, G, R rows, CDVDBuf::Stride(24, width)
    uint8_t* alpha = nullptr;   // 8-bit rows, CDVDBuf::Stride(8, width); null without alpha
    int width = 0;
    int height = 0;
    int64_t pixelCharge = 0;  // what the decoder charged against the pixel budget
    char message[kMessageSize] = {};

    void freeAll() {
        delete[] colour;
        delete[] alpha;
        colour = nullptr;
        alpha = nullptr;
    }
};

// ---- PNG -----------------------------------------------------------------------------------

struct PngJob {
    FILE* file;
    bool wantAlpha;
    png_structp png;
    png_infop info;
    png_bytep* rows;
    uint8_t* pixels;  // B, G, R, A rows while the alpha plane is split off
    Picture* picture;
};

[[noreturn]] void pngError(png_structp png, png_const_charp text) {
    auto* job = static_cast<PngJob*>(png_get_error_ptr(png));
    copyMessage(job->picture->message, text);
    png_longjmp(png, 1);
}

// Warnings (unknown chunks, a bad ancillary CRC, extra data) do not stop the reading and are
// not printed.
void pngWarning(png_structp, png_const_charp) {}

// Reads the whole file. Only job's members change after setjmp; they live in the caller's
// frame, so they keep their values when libpng jumps back here.
bool decodePng(PngJob* job) {
    Picture* picture = job->picture;
    job->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, job, pngError, pngWarning);
    if (job->png == nullptr) {
        copyMessage(picture->message, "cannot start the PNG reader");
        return false;
    }
    job->info = png_create_info_struct(job->png);
    if (job->info == nullptr) {
        copyMessage(picture->message, "cannot start the PNG reader");
        return false;
    }
    if (setjmp(png_jmpbuf(job->png))) return false;

    png_init_io(job->png, job->file);
    // Every chunk's CRC-32 still covers the compressed data; zlib's Adler-32 of the inflated
    // bytes would only check them again, at a tenth of the decoding time.
    png_set_option(job->png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
    png_read_info(job->png, job->info);
    const png_uint_32 width = png_get_image_width(job->png, job->info);
    const png_uint_32 height = png_get_image_height(job->png, job->info);
    if (!merrowhost::imageSizeAllowed(width, height)) {
        sizeMessage(picture->message, width, height);
        return false;
    }
    // The filtered rows of the file's own format (one filter byte each) come from its
    // compressed data.
    const long long size = fileSize(job->file);
    const uint64_t rawBytes =
        static_cast<uint64_t>(height) * (1 + png_get_rowbytes(job->png, job->info));
    if (size >= 0 && rawBytes / kLargestDeflateRatio > static_cast<uint64_t>(size)) {
        implausibleMessage(picture->message, width, height, size);
        return false;
    }

    // Everything becomes 8-bit B, G, R, plus A when the file has alpha (an alpha channel or a
    // transparency chunk) and the caller wants it.
    const int colourType = png_get_color_type(job->png, job->info);
    const int bitDepth = png_get_bit_depth(job->png, job->info);
    if (bitDepth == 16) png_set_scale_16(job->png);
    if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(job->png);
    if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(job->png);
    if (job->wantAlpha && png_get_valid(job->png, job->info, PNG_INFO_tRNS) != 0) {
        png_set_tRNS_to_alpha(job->png);
    }
    if ((colourType & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(job->png);
    if (!job->wantAlpha) png_set_strip_alpha(job->png);
    png_set_bgr(job->png);
    png_set_interlace_handling(job->png);
    png_read_update_info(job->png, job->info);

    const int channels = png_get_channels(job->png, job->info);
    const size_t rowBytes = png_get_rowbytes(job->png, job->info);
    if (png_get_bit_depth(job->png, job->info) != 8 || (channels != 3 && channels != 4) ||
        rowBytes != static_cast<size_t>(width) * static_cast<size_t>(channels)) {
        copyMessage(picture->message, "unsupported PNG pixel layout");
        return false;
    }

    const size_t colourStride = static_cast<size_t>(CDVDBuf::Stride(24, static_cast<int>(width)));
    const size_t alphaStride = static_cast<size_t>(CDVDBuf::Stride(8, static_cast<int>(width)));
    const bool interlaced = png_get_interlace_type(job->png, job->info) != PNG_INTERLACE_NONE;
    // Interlaced B, G, R, A pictures are put together in a whole-picture buffer; all others
    // are read row by row.
    const size_t workBytes = channels == 4 ? (interlaced ? rowBytes * height : rowBytes) : 0;
    picture->pixelCharge = static_cast<int64_t>(
        colourStride * height + (channels == 4 ? alphaStride * height : 0) + workBytes);
    if (!merrowhost::chargePixelBytes(picture->pixelCharge)) {
        budgetMessage(picture->message);
        return false;
    }
    picture->colour = new (std::nothrow) uint8_t[colourStride * height]();
    if (channels == 4) {
        picture->alpha = new (std::nothrow) uint8_t[alphaStride * height]();
        job->pixels = new (std::nothrow) uint8_t[workBytes];
    }
    if (picture->colour == nullptr ||
        (channels == 4 && (picture->alpha == nullptr || job->pixels == nullptr))) {
        copyMessage(picture->message, "out of memory");
        return false;
    }
    const auto splitRow = [&](const uint8_t* source, png_uint_32 y) {
        uint8_t* colour = picture->colour + y * colourStride;
        uint8_t* alpha = picture->alpha + y * alphaStride;
        for (png_uint_32 x = 0; x < width; ++x) {
            colour[3 * x] = source[4 * x];
            colour[3 * x + 1] = source[4 * x + 1];
            colour[3 * x + 2] = source[4 * x + 2];
            alpha[x] = source[4 * x + 3];
        }
    };
    if (channels == 3 && !interlaced) {
        for (png_uint_32 y = 0; y < height; ++y) {
            png_read_row(job->png, picture->colour + y * colourStride, nullptr);
        }
    } else if (channels == 4 && !interlaced) {
        for (png_uint_32 y = 0; y < height; ++y) {
            png_read_row(job->png, job->pixels, nullptr);
            splitRow(job->pixels, y);
        }
    } else {
        job->rows = new (std::nothrow) png_bytep[height];
        if (job->rows == nullptr) {
            copyMessage(picture->message, "out of memory");
            return false;
        }
        for (png_uint_32 y = 0; y < height; ++y) {
            job->rows[y] =
                channels == 3 ? picture->colour + y * colourStride : job->pixels + y * rowBytes;
        }
        png_read_image(job->png, job->rows);
        if (channels == 4) {
            for (png_uint_32 y = 0; y < height; ++y) splitRow(job->rows[y], y);
        }
    }
    png_read_end(job->png, nullptr);
    picture->width = static_cast<int>(width);
    picture->height = static_cast<int>(height);
    return true;
}

bool readPng(FILE* file, bool wantAlpha, Picture* picture) {
    PngJob job{file, wantAlpha, nullptr, nullptr, nullptr, nullptr, picture};
    const bool ok = decodePng(&job);
    png_destroy_read_struct(&job.png, &job.info, nullptr);
    delete[] job.rows;
    delete[] job.pixels;
    if (!ok) picture->freeAll();
    return ok;
}

// ---- JPEG ----------------------------------------------------------------------------------

struct JpegErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    Picture* picture;
};

[[noreturn]] void jpegErrorExit(j_common_ptr info) {
    auto* manager = reinterpret_cast<JpegErrorManager*>(info->err);
    char text[JMSG_LENGTH_MAX] = {};
    (*info->err->format_message)(info, text);
    copyMessage(manager->picture->message, text);
    std::longjmp(manager->jump, 1);
}

// libjpeg reports truncated or damaged data as warnings and goes on with grey pixels. Those
// that mean lost picture data stop the reading; the rest (extra bytes between markers, odd
// JFIF versions) are ignored. Nothing is printed.
void jpegEmitMessage(j_common_ptr info, int level) {
    if (level >= 0) return;
    switch (info->err->msg_code) {
        case JWRN_JPEG_EOF:
        case JWRN_HIT_MARKER:
        case JWRN_HUFF_BAD_CODE:
        case JWRN_MUST_RESYNC:
        case JWRN_NOT_SEQUENTIAL:
        case JWRN_BOGUS_PROGRESSION:
            jpegErrorExit(info);
        default:
            return;
    }
}

void jpegOutputMessage(j_common_ptr) {}

void jpegLimitScans(j_common_ptr info) {
    if (!info->is_decompressor) return;
    if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxJpegScans) {
        auto* manager = reinterpret_cast<JpegErrorManager*>(info->err);
        copyMessage(manager->picture->message, "JPEG file has too many scans");
        std::longjmp(manager->jump, 1);
    }
}

struct JpegJob {
    FILE* file;
    jpeg_decompress_struct info;
    JpegErrorManager error;
    jpeg_progress_mgr progress;
    Picture* picture;
};

// As decodePng: only job's members change after setjmp.
bool decodeJpeg(JpegJob* job) {
    Picture* picture = job->picture;
    job->info.err = jpeg_std_error(&job->error.base);
    job->error.base.error_exit = jpegErrorExit;
    job->error.base.emit_message = jpegEmitMessage;
    job->error.base.output_message = jpegOutputMessage;
    job->error.picture = picture;
    if (setjmp(job->error.jump)) return false;

    jpeg_create_decompress(&job->info);
    job->progress.progress_monitor = jpegLimitScans;
    job->info.progress = &job->progress;
    jpeg_stdio_src(&job->info, job->file);
    jpeg_read_header(&job->info, TRUE);
    const JDIMENSION width = job->info.image_width;
    const JDIMENSION height = job->info.image_height;
    if (!merrowhost::imageSizeAllowed(width, height)) {
        sizeMessage(picture->message, width, height);
        return false;
    }
    switch (job->info.jpeg_color_space) {
        case JCS_GRAYSCALE:
        case JCS_YCbCr:
        case JCS_RGB:
            break;
        default:
            copyMessage(picture->message, "only grey and colour JPEG files are supported");
            return false;
    }
    // Every block of a Huffman-coded picture takes at least one bit of the file.
    if (!job->info.arith_code) {
        uint64_t blocks = 0;
        for (int c = 0; c < job->info.num_components; ++c) {
            const jpeg_component_info& component = job->info.comp_info[c];
            blocks = std::max<uint64_t>(blocks, static_cast<uint64_t>(component.width_in_blocks) *
                                                    component.height_in_blocks);
        }
        const long long size = fileSize(job->file);
        if (size >= 0 && blocks / 8 > static_cast<uint64_t>(size)) {
            implausibleMessage(picture->message, width, height, size);
            return false;
        }
    }
    job->info.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&job->info);
    if (job->info.output_width != width || job->info.output_height != height ||
        job->info.output_components != 3) {
        copyMessage(picture->message, "unsupported JPEG pixel layout");
        return false;
    }

    const size_t stride = static_cast<size_t>(CDVDBuf::Stride(24, static_cast<int>(width)));
    picture->pixelCharge = static_cast<int64_t>(stride * height);
    if (!merrowhost::chargePixelBytes(picture->pixelCharge)) {
        budgetMessage(picture->message);
        return false;
    }
    picture->colour = new (std::nothrow) uint8_t[stride * height]();
    if (picture->colour == nullptr) {
        copyMessage(picture->message, "out of memory");
        return false;
    }
    while (job->info.output_scanline < job->info.output_height) {
        JSAMPROW row = picture->colour + job->info.output_scanline * stride;
        if (jpeg_read_scanlines(&job->info, &row, 1) != 1) {
            copyMessage(picture->message, "JPEG data ends early");
            return false;
        }
    }
    jpeg_finish_decompress(&job->info);
    picture->width = static_cast<int>(width);
    picture->height = static_cast<int>(height);
    return true;
}

bool readJpeg(FILE* file, Picture* picture) {
    // Zeroed, jpeg_destroy_decompress is safe whether or not creation was reached.
    auto* job = new (std::nothrow) JpegJob;
    if (job == nullptr) {
        copyMessage(picture->message, "out of memory");
        return false;
    }
    std::memset(static_cast<void*>(job), 0, sizeof(JpegJob));
    job->file = file;
    job->picture = picture;
    const bool ok = decodeJpeg(job);
    jpeg_destroy_decompress(&job->info);
    delete job;
    if (!ok) picture->freeAll();
    return ok;
}

// ---- File kind -----------------------------------------------------------------------------

enum class FileKind { Png, Jpeg, Other };

// By the first bytes of the file, whatever its name says; the file is rewound afterwards.
FileKind sniff(FILE* file) {
    unsigned char head[8] = {};
    const size_t got = std::fread(head, 1, sizeof head, file);
    std::rewind(file);
    static const unsigned char kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (got == sizeof head && std::memcmp(head, kPng, sizeof kPng) == 0) return FileKind::Png;
    if (got >= 3 && head[0] == 0xff && head[1] == 0xd8 && head[2] == 0xff) return FileKind::Jpeg;
    return FileKind::Other;
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
void keepDecoded(const merrowhost::PictureKey& key, const Picture& picture) {
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

}  // namespace

bool CDVDBuf::adoptCopy(const merrowhost::DecodedPicture& picture, uint8_t** alpha) {
    const size_t colourBytes = picture.colour.size();
    const size_t alphaBytes = alpha != nullptr ? picture.alpha.size() : 0;
    // A copy counts as the decode did.
    if (!merrowhost::chargePixelBytes(picture.pixelCharge)) {
        char message[kMessageSize] = {};
        budgetMessage(message);
        return fail(&lastError_, message);
    }
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

    FILE* file = nullptr;
    merrowhost::PictureKey key;
    const bool cached = merrowhost::pictureCacheActive();
    try {
        const std::string resolved = merrowhost::resolvePath(path);
        if (!merrowhost::readAllowed(resolved)) {
            return fail(&lastError_, (resolved + ": " + merrowhost::kOutsideProblem).c_str());
        }
        // Only a regular file is read: a FIFO or a device would make the decoder wait.
        merrowhost::RegularFile input;
        std::string problem;
        if (!input.open(resolved, &problem)) {
            return fail(&lastError_, (resolved + ": " + problem).c_str());
        }
        if (cached) {
            struct stat info {};
            if (fstat(input.descriptor(), &info) == 0) {
                key = {resolved,
                       alpha != nullptr,
                       static_cast<uint64_t>(info.st_dev),
                       static_cast<uint64_t>(info.st_ino),
                       static_cast<int64_t>(info.st_size),
                       static_cast<int64_t>(info.st_mtim.tv_sec),
                       static_cast<int64_t>(info.st_mtim.tv_nsec)};
                if (auto picture = merrowhost::findCachedPicture(key)) {
                    return adoptCopy(*picture, alpha);
                }
            }
        }
        file = input.releaseToStream();
        if (file == nullptr) {
            const int code = errno;
            return fail(&lastError_, (resolved + ": " + std::strerror(code)).c_str());
        }
    } catch (...) {
        return fail(&lastError_, "out of memory");
    }

    Picture picture;
    bool ok = false;
    switch (sniff(file)) {
        case FileKind::Png:
            ok = readPng(file, alpha != nullptr, &picture);
            break;
        case FileKind::Jpeg:
            ok = readJpeg(file, &picture);
            break;
        case FileKind::Other:
            copyMessage(picture.message, "not a PNG or JPEG file");
            break;
    }
    std::fclose(file);
    if (!ok) {
        picture.freeAll();
        return fail(&lastError_, picture.message);
    }

    merrowhost::countPictureDecoded();
    if (cached && !key.path.empty()) keepDecoded(key, picture);

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
