#pragma once
// Thumbnails: a picture cropped to fill a size and scaled down without aliasing.

#include "cli/import/art/Picture.h"

namespace merrowcli::import {

// Crops the picture to the aspect ratio of width x height around its centre, then scales it to
// exactly that size with an area filter (each target pixel averages the source pixels it
// covers, weighted by alpha). An empty picture or size gives an empty picture (a transparent
// one of the size when only the source is empty).
Picture fillTo(const Picture& picture, int width, int height);

// The focused variant of a thumbnail: brightened, with a yellow frame along its edges (about a
// twentieth of the shorter side, at least 2 pixels).
Picture highlighted(const Picture& thumbnail);

}  // namespace merrowcli::import
