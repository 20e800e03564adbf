#pragma once
// Reads a JPEG file with libjpeg(-turbo), for every reader of the program. Grey, colour and RGB
// files become 8-bit B, G, R rows; CMYK files are refused. Refused before any pixel memory is
// reserved: sizes merrowhost::imageSizeAllowed refuses, and sizes the file cannot hold (every
// block of a Huffman-coded picture takes at least one bit). Truncated or damaged data stops the
// reading instead of being shown grey, and a progressive file of more than kMaxJpegScans scans is
// taken as corrupt.

#include <cstdio>

#include "host/pictures/PictureRows.h"

namespace merrowhost {

// Real files have a dozen scans, and each scan costs a pass over the whole picture.
constexpr int kMaxJpegScans = 500;

// Reads the open file from its start; false with picture->message set when it cannot. On
// failure nothing is left allocated.
bool readJpeg(std::FILE* file, const PictureReading& reading, PictureRows* picture);

}  // namespace merrowhost
