#include "host/pictures/JpegReader.h"

// clang-format off
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <new>

#include "host/pictures/ImageLimits.h"

namespace merrowhost {

namespace {

struct JpegErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    PictureRows* picture;
};

[[noreturn]] void jpegErrorExit(j_common_ptr info) {
    auto* manager = reinterpret_cast<JpegErrorManager*>(info->err);
    char text[JMSG_LENGTH_MAX] = {};
    (*info->err->format_message)(info, text);
    setReadMessage(manager->picture, text);
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
        setReadMessage(manager->picture, "JPEG file has too many scans");
        std::longjmp(manager->jump, 1);
    }
}

struct JpegJob {
    std::FILE* file;
    PictureReading reading;
    jpeg_decompress_struct info;
    JpegErrorManager error;
    jpeg_progress_mgr progress;
    PictureRows* picture;
};

// The header: an allowed size, a colour space that becomes B, G, R, and a file that can hold
// the picture it claims.
bool checkHeader(JpegJob* job) {
    const JDIMENSION width = job->info.image_width;
    const JDIMENSION height = job->info.image_height;
    if (!imageSizeAllowed(width, height)) {
        setSizeMessage(job->picture, width, height);
        return false;
    }
    switch (job->info.jpeg_color_space) {
        case JCS_GRAYSCALE:
        case JCS_YCbCr:
        case JCS_RGB:
            break;
        default:
            setReadMessage(job->picture, "only grey and colour JPEG files are supported");
            return false;
    }
    // Every block of a Huffman-coded picture takes at least one bit of the file.
    if (job->info.arith_code) return true;
    uint64_t blocks = 0;
    for (int c = 0; c < job->info.num_components; ++c) {
        const jpeg_component_info& component = job->info.comp_info[c];
        blocks = std::max<uint64_t>(
            blocks, static_cast<uint64_t>(component.width_in_blocks) * component.height_in_blocks);
    }
    const long long size = regularFileSize(job->file);
    if (size >= 0 && blocks / 8 > static_cast<uint64_t>(size)) {
        setImplausibleMessage(job->picture, width, height, size);
        return false;
    }
    return true;
}

// The smallest DCT scale (1/8, else 1/4, else 1/2) whose output is still as large as the
// reading asks, else the full size. libjpeg rounds a scaled side up.
void chooseScale(JpegJob* job) {
    const int wantedWidth = job->reading.atLeastWidth;
    const int wantedHeight = job->reading.atLeastHeight;
    if (wantedWidth <= 0 && wantedHeight <= 0) return;
    for (const unsigned denominator : {8U, 4U, 2U}) {
        const JDIMENSION width = (job->info.image_width + denominator - 1) / denominator;
        const JDIMENSION height = (job->info.image_height + denominator - 1) / denominator;
        if (width >= static_cast<JDIMENSION>(std::max(wantedWidth, 1)) &&
            height >= static_cast<JDIMENSION>(std::max(wantedHeight, 1))) {
            job->info.scale_num = 1;
            job->info.scale_denom = denominator;
            return;
        }
    }
}

bool readScanlines(JpegJob* job) {
    PictureRows* picture = job->picture;
    const size_t stride = static_cast<size_t>(rowStride(24, picture->width));
    if (!chargeReadPixels(picture, job->reading, static_cast<int64_t>(stride * picture->height))) {
        return false;
    }
    picture->colour = new (std::nothrow) uint8_t[stride * picture->height]();
    if (picture->colour == nullptr) {
        setReadMessage(picture, "out of memory");
        return false;
    }
    while (job->info.output_scanline < job->info.output_height) {
        JSAMPROW row = picture->colour + job->info.output_scanline * stride;
        if (jpeg_read_scanlines(&job->info, &row, 1) != 1) {
            setReadMessage(picture, "JPEG data ends early");
            return false;
        }
    }
    return true;
}

// Only job's members change after setjmp.
bool decodeJpeg(JpegJob* job) {
    job->info.err = jpeg_std_error(&job->error.base);
    job->error.base.error_exit = jpegErrorExit;
    job->error.base.emit_message = jpegEmitMessage;
    job->error.base.output_message = jpegOutputMessage;
    job->error.picture = job->picture;
    if (setjmp(job->error.jump)) return false;

    jpeg_create_decompress(&job->info);
    job->progress.progress_monitor = jpegLimitScans;
    job->info.progress = &job->progress;
    jpeg_stdio_src(&job->info, job->file);
    jpeg_read_header(&job->info, TRUE);
    if (!checkHeader(job)) return false;
    job->info.out_color_space = JCS_EXT_BGR;
    chooseScale(job);
    jpeg_calc_output_dimensions(&job->info);
    const JDIMENSION expectedWidth = job->info.output_width;
    const JDIMENSION expectedHeight = job->info.output_height;
    jpeg_start_decompress(&job->info);
    if (job->info.output_width != expectedWidth || job->info.output_height != expectedHeight ||
        job->info.output_components != 3) {
        setReadMessage(job->picture, "unsupported JPEG pixel layout");
        return false;
    }
    job->picture->width = static_cast<int>(job->info.output_width);
    job->picture->height = static_cast<int>(job->info.output_height);
    if (!readScanlines(job)) return false;
    jpeg_finish_decompress(&job->info);
    return true;
}

}  // namespace

bool readJpeg(std::FILE* file, const PictureReading& reading, PictureRows* picture) {
    // Zeroed, jpeg_destroy_decompress is safe whether or not creation was reached.
    auto* job = new (std::nothrow) JpegJob;
    if (job == nullptr) {
        setReadMessage(picture, "out of memory");
        return false;
    }
    std::memset(static_cast<void*>(job), 0, sizeof(JpegJob));
    job->file = file;
    job->reading = reading;
    job->picture = picture;
    const bool ok = decodeJpeg(job);
    jpeg_destroy_decompress(&job->info);
    delete job;
    if (!ok) picture->freeAll();
    return ok;
}

}  // namespace merrowhost
