#pragma once
// Reads a PNG file with libpng, for every reader of the program (the host's pictures, the
// import's photos, the check's tracks, the benchmark). Every colour type, depth and interlacing
// becomes 8-bit B, G, R rows, plus an alpha plane when the file has alpha (an alpha channel or a
// transparency chunk) and the reading wants it. Refused before any pixel memory is reserved:
// sizes merrowhost::imageSizeAllowed refuses, and sizes the file's compressed data cannot hold.
// Truncated or corrupt files are refused; warnings (unknown chunks, a bad ancillary CRC) are not.

#include <cstdio>

#include "host/pictures/PictureRows.h"

namespace merrowhost {

// Reads the open file from its start; false with picture->message set when it cannot. On
// failure nothing is left allocated.
bool readPng(std::FILE* file, const PictureReading& reading, PictureRows* picture);

}  // namespace merrowhost
