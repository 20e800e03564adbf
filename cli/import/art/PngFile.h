#pragma once
// Writes the import's pictures.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/import/art/Picture.h"

namespace merrowcli::import {

// Writes the picture as an 8-bit PNG whose bytes depend only on the pixels (no time or text
// chunks; R, G, B when every pixel is opaque, else R, G, B, A), through a temporary file renamed
// into place; the bytes written into *written when it is given. False, with a message naming the
// file, on failure.
bool writePng(const Picture& picture, const std::filesystem::path& file, std::string& error,
              std::vector<uint8_t>* written = nullptr);

}  // namespace merrowcli::import
