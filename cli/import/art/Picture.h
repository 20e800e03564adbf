#pragma once
// The pixels the import draws with.

#include "host/pictures/PictureFile.h"

namespace merrowcli::import {

// An 8-bit picture, rows top to bottom, 4 bytes a pixel in R, G, B, A order, no padding: the
// pictures the host's readers give.
using Picture = merrowhost::RgbaPicture;

}  // namespace merrowcli::import
