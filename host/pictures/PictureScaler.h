#pragma once
// Draws a loaded picture into bitmaps of any size with pixman. Reductions below half size use
// its separable convolution filter, which averages every source pixel under each target pixel
// (a box filter as wide as the reduction), so fine detail becomes its mean colour instead of
// aliasing. Sizes from half up, enlargements included, are bilinear: two taps along each axis
// already cover every source pixel there, in one fast pass. Colours are weighted by their alpha
// (the filters run on premultiplied pixels), so fully transparent pixels do not darken or tint
// their neighbours. At the picture's own size every pixel is copied unchanged. The arithmetic
// is integer, so the result is the same on every machine.

#include <cstdint>

#include "host/objects/HostTypes.h"

namespace merrowhost {

// Scales a picture of 8-bit, 4-byte pixels. Byte 3 of each pixel is the alpha, straight (not
// premultiplied: 0 transparent, 255 opaque); bytes 0..2 are the colour channels in any order,
// each filtered alike, so B, G, R, A (the host's bitmaps) and R, G, B, A both work and keep
// their order. src holds srcHeight rows of srcWidth pixels, top-down, srcStride bytes apart;
// dst likewise for the target size, and the result fills it entirely (row padding beyond
// 4 * dstWidth is left alone). Same size: an exact copy. Returns false, leaving dst alone, for
// null buffers, a size that is not positive or exceeds kMaxImageSide, a stride shorter than a
// row, or when memory runs out. Does not throw.
bool scalePixels(const uint8_t* src, int srcWidth, int srcHeight, int srcStride, uint8_t* dst,
                 int dstWidth, int dstHeight, int dstStride);

// colour: width x height 24-bit B, G, R rows, alpha: 8-bit rows or null for an opaque picture,
// both top-down in CDVDBuf's layout. image is a 32-bit bitmap (B, G, R, A) and mask, when not
// null, an 8-bit bitmap of the same size, both valid for dibLayoutValid; the picture fills them
// entirely. Does nothing for a non-positive source size. Returns false when nothing was drawn.
bool scalePictureToDibs(const uint8_t* colour, const uint8_t* alpha, int width, int height,
                        BITMAPINFOHEADER* image, BITMAPINFOHEADER* mask);

}  // namespace merrowhost
