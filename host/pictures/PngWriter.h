#pragma once
// Writes PNG files. The bytes depend only on the picture: no time chunk, fixed compression
// settings. A file is written under a temporary name in the target's folder and renamed into
// place, so a failed write leaves no partial file and any earlier file untouched. A relative
// path is taken against the project folder (resolvePath).

#include <cstdint>
#include <string>
#include <vector>

namespace merrowhost {

struct PngPaletteEntry {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
    uint8_t alpha;  // written as a transparency chunk when any entry is below 255
};

// A picture in one of PNG's own pixel layouts.
struct PngPicture {
    enum class ColourType { Grey, GreyAlpha, Rgb, Rgba, Palette };

    int width = 0;
    int height = 0;
    ColourType colourType = ColourType::Rgba;
    // 8 or 16; Grey also takes 1, 2 and 4; Palette takes 1, 2, 4 and 8 but not 16.
    int bitDepth = 8;
    bool interlaced = false;
    // Top-down rows as PNG stores them, without padding: each row holds width samples of the
    // colour type's channels at bitDepth bits (rounded up to whole bytes), 16-bit samples
    // high byte first, samples below 8 bits packed from the high bit.
    std::vector<uint8_t> rows;
    // Palette only: 1 to 2^bitDepth entries.
    std::vector<PngPaletteEntry> palette;

    // Bytes of one row of rows for this layout; 0 when the layout is invalid.
    size_t rowBytes() const;
};

// False with *error set (when error is not null) for an invalid layout, a row buffer of the
// wrong size, a size that imageSizeAllowed refuses, or a file that cannot be written.
bool writePng(const std::string& path, const PngPicture& picture, std::string* error);

// An 8-bit R, G, B, A picture: rgba holds width * height * 4 bytes, top-down, no padding.
bool writeRgbaPng(const std::string& path, int width, int height, const uint8_t* rgba,
                  std::string* error);

// How an in-memory PNG is compressed: one filter on every row, a zlib level and strategy.
struct PngSettings {
    enum class Filter { kUp, kPaeth };
    Filter filter = Filter::kUp;
    int level = 6;               // zlib's 0..9
    bool runLengthOnly = false;  // zlib's Z_RLE strategy instead of its default
    // A picture whose every pixel is opaque is written as R, G, B without the alpha channel.
    bool opaqueAsRgb = false;
};

// The settings of track pictures, chosen by measuring the benchmark's calendars: zlib level 5
// with the "up" filter on every row and zlib's default strategy encodes them in less than half
// the time of level 6 with libpng's adaptive filter choice, for files a few per cent larger.
constexpr int kTrackPngLevel = 5;
constexpr PngSettings kTrackPngSettings{PngSettings::Filter::kUp, kTrackPngLevel, false, false};

// The settings of pictures drawn from photos (noisy, opaque): the Paeth filter and zlib's
// run-length strategy, without alpha, encode an import's thumbnails in a ninth of the time of
// level 6 with libpng's adaptive filter choice, for files a fifth smaller
// (bench/encode-settings on an imported project).
constexpr PngSettings kPhotoPngSettings{PngSettings::Filter::kPaeth, 6, true, true};

// Encodes an 8-bit R, G, B, A picture (width * height * 4 bytes, top-down) as a whole PNG file
// in memory with the given settings. The bytes depend only on the picture and the settings.
// False with *error set on a size that imageSizeAllowed refuses or when memory runs out; never
// throws.
bool encodeRgbaPng(int width, int height, const uint8_t* rgba, const PngSettings& settings,
                   std::vector<uint8_t>* png, std::string* error);

// encodeRgbaPng with the track settings.
bool encodeTrackPng(int width, int height, const uint8_t* rgba, std::vector<uint8_t>* png,
                    std::string* error);

// Decodes PNG bytes into 8-bit R, G, B, A (width * height * 4 bytes, top-down). False (outputs
// untouched) for bytes that are not a readable PNG or a size that imageSizeAllowed refuses.
bool decodeRgbaPng(const uint8_t* data, size_t size, std::vector<uint8_t>* rgba, int* width,
                   int* height);

}  // namespace merrowhost
