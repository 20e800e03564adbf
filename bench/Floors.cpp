// floors OUT_DIR: the two costs a build cannot go below, measured on what it wrote: libxml2
// saving the produced document, and libpng encoding the produced tracks at the writer's
// settings (zlib level 6, every filter, one core). Prints CPU seconds of each.

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "CpuSeconds.h"
#include "host/pictures/PictureFile.h"

namespace {

namespace fs = std::filesystem;

void discard(png_structp, png_bytep, png_size_t) {}
void flush(png_structp) {}

// Encodes one RGBA picture the way the track writer does, into nothing.
bool encode(const merrowhost::RgbaPicture& picture) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, nullptr, discard, flush);
    png_set_compression_level(png, 6);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
    const auto width = static_cast<png_uint_32>(picture.width);
    const auto height = static_cast<png_uint_32>(picture.height);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_write_info(png, info);
    for (png_uint_32 y = 0; y < height; ++y) {
        png_write_row(png, picture.rgba.data() + static_cast<size_t>(y) * width * 4);
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: floors OUT_DIR\n");
        return 2;
    }
    const fs::path out = argv[1];
    const fs::path documentFile = out / "AppPresentation.xml";
    xmlDocPtr doc = xmlReadFile(documentFile.c_str(), nullptr, XML_PARSE_NONET);
    if (doc == nullptr) {
        std::fprintf(stderr, "floors: %s: cannot read\n", documentFile.c_str());
        return 1;
    }
    const fs::path saved = out / ".floors-saved.xml";
    double start = cpuSeconds();
    const int bytes = xmlSaveFormatFileEnc(saved.c_str(), doc, "UTF-8", 1);
    const double saveSeconds = cpuSeconds() - start;
    xmlFreeDoc(doc);
    fs::remove(saved);
    if (bytes < 0) {
        std::fprintf(stderr, "floors: cannot save the document\n");
        return 1;
    }

    std::vector<fs::path> tracks;
    for (const auto& entry : fs::directory_iterator(out / "tracks")) {
        if (entry.path().extension() == ".png") tracks.push_back(entry.path());
    }
    std::sort(tracks.begin(), tracks.end());
    double encodeSeconds = 0;
    for (const fs::path& track : tracks) {
        merrowhost::RgbaPicture picture;
        std::string problem;
        if (!merrowhost::readRgbaPicture(track.string(), false, {true, false}, &picture,
                                         &problem)) {
            std::fprintf(stderr, "floors: %s: %s\n", track.c_str(), problem.c_str());
            return 1;
        }
        start = cpuSeconds();
        const bool encoded = encode(picture);
        encodeSeconds += cpuSeconds() - start;
        if (!encoded) {
            std::fprintf(stderr, "floors: %s: cannot encode\n", track.c_str());
            return 1;
        }
    }
    std::printf("save %.3f encode %.2f tracks %zu\n", saveSeconds, encodeSeconds, tracks.size());
    return 0;
}
