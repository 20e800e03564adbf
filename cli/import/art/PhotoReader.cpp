#include "cli/import/art/PhotoReader.h"

// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on
#include <png.h>

#include <csetjmp>
#include <cstring>
#include <fstream>
#include <memory>
#include <new>

#include "host/pictures/ImageLimits.h"

namespace merrowcli::import {

namespace {

enum class Kind { Jpeg, Png, Other };

Kind sniff(const std::filesystem::path& file, std::string& problem) {
    std::ifstream input(file, std::ios::binary);
    if (!input) {
        problem = std::strerror(errno);
        return Kind::Other;
    }
    unsigned char head[8] = {};
    input.read(reinterpret_cast<char*>(head), sizeof head);
    const std::streamsize got = input.gcount();
    static const unsigned char pngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (got >= 3 && head[0] == 0xff && head[1] == 0xd8 && head[2] == 0xff) return Kind::Jpeg;
    if (got == 8 && std::memcmp(head, pngSignature, 8) == 0) return Kind::Png;
    problem = "not a JPEG or PNG file";
    return Kind::Other;
}

// libjpeg reports errors through this handler: the message is kept and control goes back to
// the setjmp in decodeJpeg. Warnings (corrupt or missing data, which libjpeg otherwise fills
// with grey) count as errors too, so a truncated file is refused rather than half shown.
struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void jpegFail(j_common_ptr info) {
    auto* error = reinterpret_cast<JpegError*>(info->err);
    info->err->format_message(info, error->message);
    std::longjmp(error->jump, 1);
}

void jpegMessage(j_common_ptr info, int level) {
    if (level < 0) jpegFail(info);
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Everything touched after setjmp lives outside the function that calls it, so longjmp does not
// skip destructors that matter.
bool decodeJpeg(std::FILE* file, Picture& picture, std::string& problem) {
    jpeg_decompress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = jpegFail;
    error.manager.emit_message = jpegMessage;
    error.message[0] = '\0';
    if (setjmp(error.jump) != 0) {
        jpeg_destroy_decompress(&info);
        problem = error.message;
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) {
        jpeg_destroy_decompress(&info);
        problem = "CMYK JPEG files are not supported";
        return false;
    }
    if (!merrowhost::imageSizeAllowed(info.image_width, info.image_height)) {
        jpeg_destroy_decompress(&info);
        problem = "picture too large";
        return false;
    }
    info.out_color_space = JCS_EXT_RGBA;
    jpeg_start_decompress(&info);
    const int width = static_cast<int>(info.output_width);
    const int height = static_cast<int>(info.output_height);
    try {
        picture.rgba.resize(static_cast<size_t>(width) * height * 4);
    } catch (const std::bad_alloc&) {
        jpeg_destroy_decompress(&info);
        problem = "out of memory";
        return false;
    }
    picture.width = width;
    picture.height = height;
    while (info.output_scanline < info.output_height) {
        std::uint8_t* row =
            picture.rgba.data() + static_cast<size_t>(info.output_scanline) * width * 4;
        JSAMPROW rows[1] = {row};
        jpeg_read_scanlines(&info, rows, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

bool readJpeg(const std::filesystem::path& file, Picture& picture, std::string& problem) {
    std::unique_ptr<std::FILE, FileCloser> input(std::fopen(file.c_str(), "rb"));
    if (!input) {
        problem = std::strerror(errno);
        return false;
    }
    return decodeJpeg(input.get(), picture, problem);
}

bool readPng(const std::filesystem::path& file, Picture& picture, std::string& problem) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, file.c_str()) == 0) {
        problem = image.message;
        png_image_free(&image);
        return false;
    }
    if (!merrowhost::imageSizeAllowed(image.width, image.height)) {
        png_image_free(&image);
        problem = "picture too large";
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    try {
        picture.width = static_cast<int>(image.width);
        picture.height = static_cast<int>(image.height);
        picture.rgba.resize(PNG_IMAGE_SIZE(image));
    } catch (const std::bad_alloc&) {
        png_image_free(&image);
        problem = "out of memory";
        return false;
    }
    if (png_image_finish_read(&image, nullptr, picture.rgba.data(), 0, nullptr) == 0) {
        problem = image.message;
        png_image_free(&image);
        return false;
    }
    png_image_free(&image);
    return true;
}

}  // namespace

Picture orientPicture(const Picture& stored, int orientation) {
    if (orientation < 2 || orientation > 8) return stored;
    const int w = stored.width;
    const int h = stored.height;
    const bool turned = orientation >= 5;
    Picture shown;
    shown.width = turned ? h : w;
    shown.height = turned ? w : h;
    shown.rgba.resize(stored.rgba.size());
    // For each shown pixel (x, y), the stored pixel it comes from.
    for (int y = 0; y < shown.height; ++y) {
        for (int x = 0; x < shown.width; ++x) {
            int sx = x;
            int sy = y;
            switch (orientation) {
                case 2:
                    sx = w - 1 - x;
                    break;  // mirrored left to right
                case 3:
                    sx = w - 1 - x;
                    sy = h - 1 - y;
                    break;  // half a turn
                case 4:
                    sy = h - 1 - y;
                    break;  // mirrored top to bottom
                case 5:
                    sx = y;
                    sy = x;
                    break;  // transposed
                case 6:
                    sx = y;
                    sy = h - 1 - x;
                    break;  // turned clockwise to show
                case 7:
                    sx = w - 1 - y;
                    sy = h - 1 - x;
                    break;  // transversed
                case 8:
                    sx = w - 1 - y;
                    sy = x;
                    break;  // turned anticlockwise to show
                default:
                    break;
            }
            std::memcpy(&shown.rgba[(static_cast<size_t>(y) * shown.width + x) * 4],
                        &stored.rgba[(static_cast<size_t>(sy) * w + sx) * 4], 4);
        }
    }
    return shown;
}

std::optional<Picture> readPhoto(const std::filesystem::path& file, int orientation,
                                 std::string& error) {
    std::string problem;
    Picture picture;
    bool ok = false;
    switch (sniff(file, problem)) {
        case Kind::Jpeg:
            ok = readJpeg(file, picture, problem);
            break;
        case Kind::Png:
            ok = readPng(file, picture, problem);
            break;
        case Kind::Other:
            break;
    }
    if (!ok) {
        error = file.string() + ": " + problem;
        return std::nullopt;
    }
    try {
        return orientPicture(picture, orientation);
    } catch (const std::bad_alloc&) {
        error = file.string() + ": out of memory";
        return std::nullopt;
    }
}

}  // namespace merrowcli::import
