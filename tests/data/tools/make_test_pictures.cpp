// Draws the test pictures of the test program's template folders. In the calendar folder
// (HD Popup/16x9/BD Calendar):
//   Numbers_S1.png     the digits 0 to 9 as block digits, one 20 x 28 tile each (200 x 28, RGBA:
//                      white opaque strokes on a transparent ground)
//   Background.jpg     a 64 x 36 colour gradient without alpha
// In the application folder (BD Application):
//   MonthBtn_Body.png  a 12 x 8 button body: orange, opaque, with a half-transparent border
//
// Build and run from the repository root:
//   g++ -std=c++20 -O2 tests/data/tools/make_test_pictures.cpp -o /tmp/make_test_pictures -lpng
//   -ljpeg /tmp/make_test_pictures "tests/data/program/Content/Menu Template/HD Popup/16x9/BD
//   Calendar"

// jpeglib.h needs size_t and FILE declared before it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
// clang-format off
#include <jpeglib.h>
#include <png.h>
// clang-format on
#include <string>
#include <vector>

namespace {

constexpr int kTileWidth = 20;
constexpr int kTileHeight = 28;
constexpr int kDigits = 10;

// Seven segments per digit, in the order top, upper right, lower right, bottom, lower left,
// upper left, middle.
constexpr bool kSegments[kDigits][7] = {
    {true, true, true, true, true, true, false},   {false, true, true, false, false, false, false},
    {true, true, false, true, true, false, true},  {true, true, true, true, false, false, true},
    {false, true, true, false, false, true, true}, {true, false, true, true, false, true, true},
    {true, false, true, true, true, true, true},   {true, true, true, false, false, false, false},
    {true, true, true, true, true, true, true},    {true, true, true, true, false, true, true},
};

struct Box {
    int x0, y0, x1, y1;  // inclusive-exclusive
};

// Segment boxes inside a tile: strokes 3 pixels wide, 3 pixels from the left and right edges.
constexpr Box kSegmentBoxes[7] = {
    {4, 2, 16, 5},  {14, 2, 17, 15}, {14, 13, 17, 26}, {4, 23, 16, 26},
    {3, 13, 6, 26}, {3, 2, 6, 15},   {4, 12, 16, 15},
};

bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        png_write_row(png, const_cast<uint8_t*>(&rgba[static_cast<size_t>(y) * width * 4]));
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

bool writeJpeg(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row =
            const_cast<uint8_t*>(&rgb[static_cast<size_t>(cinfo.next_scanline) * width * 3]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const std::string templates = std::string(argv[1]) + "/";
    const std::string folder = templates + "HD Popup/16x9/BD Calendar/";

    const int width = kTileWidth * kDigits;
    std::vector<uint8_t> digits(static_cast<size_t>(width) * kTileHeight * 4, 0);
    for (int digit = 0; digit < kDigits; ++digit) {
        for (int segment = 0; segment < 7; ++segment) {
            if (!kSegments[digit][segment]) continue;
            const Box& box = kSegmentBoxes[segment];
            for (int y = box.y0; y < box.y1; ++y) {
                for (int x = box.x0; x < box.x1; ++x) {
                    uint8_t* pixel =
                        &digits[(static_cast<size_t>(y) * width + digit * kTileWidth + x) * 4];
                    pixel[0] = pixel[1] = pixel[2] = pixel[3] = 255;
                }
            }
        }
    }
    if (!writePng(folder + "Numbers_S1.png", width, kTileHeight, digits)) {
        std::fprintf(stderr, "cannot write Numbers_S1.png\n");
        return 1;
    }

    constexpr int kBackgroundWidth = 64;
    constexpr int kBackgroundHeight = 36;
    std::vector<uint8_t> background(static_cast<size_t>(kBackgroundWidth) * kBackgroundHeight * 3);
    for (int y = 0; y < kBackgroundHeight; ++y) {
        for (int x = 0; x < kBackgroundWidth; ++x) {
            uint8_t* pixel = &background[(static_cast<size_t>(y) * kBackgroundWidth + x) * 3];
            pixel[0] = static_cast<uint8_t>(32 + x * 2);
            pixel[1] = static_cast<uint8_t>(48 + y * 3);
            pixel[2] = 160;
        }
    }
    if (!writeJpeg(folder + "Background.jpg", kBackgroundWidth, kBackgroundHeight, background)) {
        std::fprintf(stderr, "cannot write Background.jpg\n");
        return 1;
    }

    constexpr int kButtonWidth = 12;
    constexpr int kButtonHeight = 8;
    std::vector<uint8_t> button(static_cast<size_t>(kButtonWidth) * kButtonHeight * 4);
    for (int y = 0; y < kButtonHeight; ++y) {
        for (int x = 0; x < kButtonWidth; ++x) {
            uint8_t* pixel = &button[(static_cast<size_t>(y) * kButtonWidth + x) * 4];
            const bool border = x == 0 || y == 0 || x == kButtonWidth - 1 || y == kButtonHeight - 1;
            pixel[0] = 255;
            pixel[1] = 140;
            pixel[2] = 0;
            pixel[3] = border ? 128 : 255;
        }
    }
    if (!writePng(templates + "BD Application/MonthBtn_Body.png", kButtonWidth, kButtonHeight,
                  button)) {
        std::fprintf(stderr, "cannot write MonthBtn_Body.png\n");
        return 1;
    }
    return 0;
}
