#include "cli/check/TrackPicture.h"

#include <png.h>

#include <cstring>
#include <system_error>
#include <vector>

namespace merrowcli {

namespace fs = std::filesystem;

std::string trackPictureProblem(const fs::path& file) {
    std::error_code ec;
    if (!fs::exists(file, ec)) return "missing";
    if (!fs::is_regular_file(file, ec)) return "not a regular file";
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, file.c_str()) == 0) {
        const std::string reason = image.message;
        png_image_free(&image);
        return "not a PNG picture (" + reason + ")";
    }
    image.format = PNG_FORMAT_RGBA;
    if (image.width == 0 || image.height == 0 || image.width > 16384 || image.height > 16384) {
        png_image_free(&image);
        return "has an unusable size";
    }
    std::vector<png_byte> pixels(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) == 0) {
        const std::string reason = image.message;
        png_image_free(&image);
        return "does not decode (" + reason + ")";
    }
    return {};
}

}  // namespace merrowcli
