#include "cli/import/art/LibraryVersions.h"

#include <jconfig.h>  // libjpeg-turbo's version, which it tells only to the compiler
#include <libheif/heif.h>
#include <pixman.h>
#include <png.h>
#include <zlib.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libswscale/swscale.h>
}

namespace merrowcli::import {

std::string artLibraryVersions() {
    return "avformat " + std::to_string(avformat_version()) + " avcodec " +
           std::to_string(avcodec_version()) + " avutil " + std::to_string(avutil_version()) +
           " swscale " + std::to_string(swscale_version()) + " heif " +
           std::to_string(heif_get_version_number()) + " png " +
           std::to_string(png_access_version_number()) + " zlib " + zlibVersion() + " pixman " +
           std::to_string(pixman_version()) + " jpeg " +
           std::to_string(LIBJPEG_TURBO_VERSION_NUMBER);
}

}  // namespace merrowcli::import
