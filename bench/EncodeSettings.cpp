// encode-settings FOLDER: encodes the tracks of a produced output folder (FOLDER/tracks), or
// else every PNG under FOLDER (an imported project's pictures), with several zlib levels,
// strategies and PNG filter sets on one core and prints, for each, the CPU seconds and the total
// bytes, over every picture and over the distinct pictures only. Used to choose the track
// writer's settings and those of the import's pictures.

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "CpuSeconds.h"
#include "host/pictures/PictureFile.h"

namespace {

namespace fs = std::filesystem;

struct Picture {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    std::vector<png_byte> pixels;
};

struct Setting {
    const char* name;
    int level;
    int filters;
    int strategy = Z_DEFAULT_STRATEGY;
    int memLevel = 8;
    bool rgbWhenOpaque = false;  // an opaque picture written without its alpha channel
};

void count(png_structp png, png_bytep, png_size_t size) {
    *static_cast<size_t*>(png_get_io_ptr(png)) += size;
}
void flush(png_structp) {}

bool opaque(const Picture& picture) {
    for (size_t at = 3; at < picture.pixels.size(); at += 4) {
        if (picture.pixels[at] != 255) return false;
    }
    return true;
}

// An opaque picture's rows without alpha, when the setting asks for them.
struct RgbRows {
    bool rgb = false;
    std::vector<png_byte> row;
};

// The bytes of one RGBA picture encoded with the setting; 0 on failure. rows is made by the
// caller: a local set here could be clobbered by libpng's longjmp.
size_t encode(const Picture& picture, const Setting& setting, RgbRows* rows) {
    size_t bytes = 0;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) return 0;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return 0;
    }
    png_set_write_fn(png, &bytes, count, flush);
    png_set_compression_level(png, setting.level);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, setting.filters);
    png_set_compression_strategy(png, setting.strategy);
    png_set_compression_mem_level(png, setting.memLevel);
    png_set_IHDR(png, info, picture.width, picture.height, 8,
                 rows->rgb ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_write_info(png, info);
    for (png_uint_32 y = 0; y < picture.height; ++y) {
        const png_byte* source = picture.pixels.data() + static_cast<size_t>(y) * picture.width * 4;
        if (!rows->rgb) {
            png_write_row(png, source);
            continue;
        }
        for (png_uint_32 x = 0; x < picture.width; ++x) {
            std::copy(source + x * 4, source + x * 4 + 3, rows->row.begin() + x * 3);
        }
        png_write_row(png, rows->row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: encode-settings OUT_DIR|PROJECT_DIR\n");
        return 2;
    }
    std::vector<fs::path> files;
    const fs::path tracks = fs::path(argv[1]) / "tracks";
    for (const auto& entry :
         fs::recursive_directory_iterator(fs::is_directory(tracks) ? tracks : fs::path(argv[1]))) {
        if (entry.path().extension() == ".png") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    std::vector<Picture> pictures;
    std::vector<bool> distinct;
    std::set<std::pair<std::pair<png_uint_32, png_uint_32>, std::vector<png_byte>>> seen;
    for (const fs::path& file : files) {
        merrowhost::RgbaPicture read;
        std::string problem;
        if (!merrowhost::readRgbaPicture(file.string(), false, {true, false}, &read, &problem)) {
            std::fprintf(stderr, "encode-settings: %s: %s\n", file.c_str(), problem.c_str());
            return 1;
        }
        Picture picture;
        picture.width = static_cast<png_uint_32>(read.width);
        picture.height = static_cast<png_uint_32>(read.height);
        picture.pixels = std::move(read.rgba);
        distinct.push_back(seen.insert({{picture.width, picture.height}, picture.pixels}).second);
        pictures.push_back(std::move(picture));
    }
    const Setting settings[] = {
        {"level 6, all filters", 6, PNG_ALL_FILTERS},
        {"level 6, up", 6, PNG_FILTER_UP},
        {"level 6, up, filtered", 6, PNG_FILTER_UP, Z_FILTERED},
        {"level 5, up", 5, PNG_FILTER_UP},
        {"level 5, up, memory 9", 5, PNG_FILTER_UP, Z_DEFAULT_STRATEGY, 9},
        {"level 4, up, memory 9", 4, PNG_FILTER_UP, Z_DEFAULT_STRATEGY, 9},
        {"level 4, up", 4, PNG_FILTER_UP},
        {"level 4, up, filtered", 4, PNG_FILTER_UP, Z_FILTERED},
        {"level 4, up + sub", 4, PNG_FILTER_UP | PNG_FILTER_SUB},
        {"level 4, up + paeth", 4, PNG_FILTER_UP | PNG_FILTER_PAETH},
        {"level 4, paeth", 4, PNG_FILTER_PAETH},
        {"level 4, sub", 4, PNG_FILTER_SUB},
        {"level 3, up + paeth", 3, PNG_FILTER_UP | PNG_FILTER_PAETH},
        {"level 3, paeth", 3, PNG_FILTER_PAETH},
        {"level 3, avg", 3, PNG_FILTER_AVG},
        {"level 3, sub", 3, PNG_FILTER_SUB},
        {"level 3, up", 3, PNG_FILTER_UP},
        {"level 2, up", 2, PNG_FILTER_UP},
        {"level 1, up", 1, PNG_FILTER_UP},
        {"level 1, paeth", 1, PNG_FILTER_PAETH},
        {"level 1, none", 1, PNG_FILTER_NONE},
        {"level 6, up, rle", 6, PNG_FILTER_UP, Z_RLE},
        {"level 6, paeth, rle", 6, PNG_FILTER_PAETH, Z_RLE},
        {"level 6, all, rgb", 6, PNG_ALL_FILTERS, Z_DEFAULT_STRATEGY, 8, true},
        {"level 1, up, rgb", 1, PNG_FILTER_UP, Z_DEFAULT_STRATEGY, 8, true},
        {"level 6, up, rle, rgb", 6, PNG_FILTER_UP, Z_RLE, 8, true},
        {"level 6, paeth, rle, rgb", 6, PNG_FILTER_PAETH, Z_RLE, 8, true},
    };
    std::printf("%zu pictures, %zu distinct\n", pictures.size(), seen.size());
    std::printf("%-26s %9s %12s %12s\n", "setting", "cpu_s", "bytes", "distinct_s");
    for (const Setting& setting : settings) {
        size_t total = 0;
        double distinctSeconds = 0;
        const double start = cpuSeconds();
        for (size_t i = 0; i < pictures.size(); ++i) {
            const double one = cpuSeconds();
            RgbRows rows;
            rows.rgb = setting.rgbWhenOpaque && opaque(pictures[i]);
            if (rows.rgb) rows.row.resize(static_cast<size_t>(pictures[i].width) * 3);
            total += encode(pictures[i], setting, &rows);
            if (distinct[i]) distinctSeconds += cpuSeconds() - one;
        }
        std::printf("%-26s %9.2f %12zu %12.2f\n", setting.name, cpuSeconds() - start, total,
                    distinctSeconds);
    }
    return 0;
}
