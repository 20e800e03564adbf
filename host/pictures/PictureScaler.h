#pragma once
// Draws a loaded picture into bitmaps of any size with bilinear filtering in fixed-point
// arithmetic, so that the result is the same on every machine. Colours are weighted by their
// alpha, so fully transparent pixels do not bleed into their neighbours; at the picture's own
// size every pixel is copied unchanged.

#include <cstdint>

#include "host/objects/HostTypes.h"

namespace merrowhost {

// colour: width x height 24-bit B, G, R rows, alpha: 8-bit rows or null for an opaque picture,
// both top-down in CDVDBuf's layout. image is a 32-bit bitmap (B, G, R, A) and mask, when not
// null, an 8-bit bitmap of the same size, both valid for dibLayoutValid; the picture fills them
// entirely. Does nothing for a non-positive source size.
void scalePictureToDibs(const uint8_t* colour, const uint8_t* alpha, int width, int height,
                        BITMAPINFOHEADER* image, BITMAPINFOHEADER* mask);

}  // namespace merrowhost
