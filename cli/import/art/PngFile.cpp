#include "cli/import/art/PngFile.h"

#include <vector>

#include "host/framework/AtomicFileWriter.h"
#include "host/pictures/PngWriter.h"

namespace merrowcli::import {

bool writePng(const Picture& picture, const std::filesystem::path& file, std::string& error,
              std::vector<uint8_t>* written) {
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.rgba.size() != static_cast<size_t>(picture.width) * picture.height * 4) {
        error = file.string() + ": no picture to write";
        return false;
    }
    std::vector<uint8_t> png;
    std::string problem;
    if (!merrowhost::encodeRgbaPng(picture.width, picture.height, picture.rgba.data(),
                                   merrowhost::kPhotoPngSettings, &png, &problem)) {
        error = file.string() + ": " + problem;
        return false;
    }
    // The path as given: the host's writer takes it as it is, not against a project folder.
    if (!merrowhost::writeWholeFile(file.string(), png.data(), png.size(),
                                    merrowhost::FileCreation::kReplace, &problem)) {
        error = problem;
        return false;
    }
    if (written != nullptr) written->swap(png);
    return true;
}

}  // namespace merrowcli::import
