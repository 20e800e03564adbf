#include "host/pictures/JpegWriter.h"

// clang-format off
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <jpeglib.h>
// clang-format on
#include <csetjmp>
#include <cstring>
#include <new>

#include "host/framework/AtomicFileWriter.h"
#include "host/pictures/ImageLimits.h"

namespace merrowhost {

namespace {

constexpr size_t kMessageSize = 256;

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[kMessageSize];
};

[[noreturn]] void errorExit(j_common_ptr info) {
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    char text[JMSG_LENGTH_MAX] = {};
    (*info->err->format_message)(info, text);
    std::snprintf(manager->message, kMessageSize, "%s", text);
    std::longjmp(manager->jump, 1);
}

void outputMessage(j_common_ptr) {}

// Everything that changes after setjmp lives here, in the caller's frame.
struct EncodeJob {
    jpeg_compress_struct info;
    ErrorManager error;
    FILE* file;
};

bool encode(EncodeJob* job, int width, int height, int components, const uint8_t* pixels,
            int quality) {
    job->info.err = jpeg_std_error(&job->error.base);
    job->error.base.error_exit = errorExit;
    job->error.base.output_message = outputMessage;
    if (setjmp(job->error.jump)) return false;
    jpeg_create_compress(&job->info);
    jpeg_stdio_dest(&job->info, job->file);
    job->info.image_width = static_cast<JDIMENSION>(width);
    job->info.image_height = static_cast<JDIMENSION>(height);
    job->info.input_components = components;
    job->info.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&job->info);
    jpeg_set_quality(&job->info, quality, TRUE);
    jpeg_start_compress(&job->info, TRUE);
    const size_t rowBytes = static_cast<size_t>(width) * static_cast<size_t>(components);
    while (job->info.next_scanline < job->info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(pixels + job->info.next_scanline * rowBytes);
        jpeg_write_scanlines(&job->info, &row, 1);
    }
    jpeg_finish_compress(&job->info);
    return true;
}

}  // namespace

bool writeJpeg(const std::string& path, int width, int height, int components,
               const uint8_t* pixels, int quality, std::string* error) {
    if (pixels == nullptr || (components != 1 && components != 3) || quality < 1 || quality > 100) {
        setWriteError(error, "invalid JPEG arguments");
        return false;
    }
    if (!imageSizeAllowed(width, height)) {
        setWriteError(error, "picture size out of range");
        return false;
    }
    AtomicFileWriter writer;
    if (!openResolved(writer, path, error)) return false;
    FILE* file = writer.stream();

    char message[kMessageSize] = "out of memory";
    // Zeroed, jpeg_destroy_compress is safe whether or not creation was reached.
    auto* job = new (std::nothrow) EncodeJob;
    bool ok = job != nullptr;
    if (ok) {
        std::memset(static_cast<void*>(job), 0, sizeof(EncodeJob));
        job->file = file;
        ok = encode(job, width, height, components, pixels, quality);
        if (!ok) std::snprintf(message, kMessageSize, "%s", job->error.message);
        jpeg_destroy_compress(&job->info);
        delete job;
    }
    if (ok && !writer.commit()) {
        ok = false;
        std::snprintf(message, kMessageSize, "%s", writer.error());
    }
    // An uncommitted writer removes its temporary file.
    if (!ok) setWriteError(error, writer.targetPath() + ": " + message);
    return ok;
}

}  // namespace merrowhost
