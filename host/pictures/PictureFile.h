#pragma once
// A picture file of either kind the readers know, told by its first bytes whatever its name
// says, and read as R, G, B, A bytes: what the command's import and check and the benchmark
// decode, with the protections of PngReader and JpegReader.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "host/pictures/PictureRows.h"

namespace merrowhost {

enum class PictureKind { kPng, kJpeg, kOther };

// By the first bytes of the open file; the file is rewound afterwards.
PictureKind sniffPicture(std::FILE* file);

// An 8-bit picture, rows top to bottom, 4 bytes a pixel in R, G, B, A order, no padding.
struct RgbaPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
};

// Reads a regular file (never a FIFO or a device) of the kinds allowed: a PNG file, or with
// jpegToo a JPEG file as well. Opaque where the file has no alpha. False with *problem set to a
// short reason (the system's, "not a PNG file", "not a JPEG or PNG file", or the reader's).
bool readRgbaPicture(const std::string& path, bool jpegToo, const PictureReading& reading,
                     RgbaPicture* picture, std::string* problem);

}  // namespace merrowhost
