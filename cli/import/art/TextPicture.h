#pragma once
// Pictures of text for the import (year captions, chapter titles).

#include <cstdint>
#include <string>

#include "cli/import/art/Picture.h"

namespace merrowcli::import {

// The text (UTF-8, one line) drawn with Pango and Cairo in DejaVu Sans, centred in a
// transparent picture of width x height, in the colour rgb (0xRRGGBB), at the largest size up
// to 70% of the height that fits, down to a smallest size at which it is ellipsized.
Picture textPicture(const std::string& text, int width, int height, std::uint32_t rgb = 0xffffff);

}  // namespace merrowcli::import
