#pragma once
// Writes baseline JPEG files: grey or colour, with a fixed quality and no time stamps, so the
// same pixels always give the same bytes with the same library. The file is written under a
// temporary name in the target's folder and renamed into place. A relative path is taken
// against the project folder (resolvePath).

#include <cstdint>
#include <string>

namespace merrowhost {

// pixels: width * height samples of components bytes each (1: grey; 3: R, G, B), top-down, no
// padding. quality 1 to 100. False with *error set (when error is not null) for bad arguments,
// a size that imageSizeAllowed refuses, or a file that cannot be written.
bool writeJpeg(const std::string& path, int width, int height, int components,
               const uint8_t* pixels, int quality, std::string* error);

}  // namespace merrowhost
