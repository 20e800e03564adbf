#include "cli/import/art/PngFile.h"

#include "host/pictures/PngWriter.h"

namespace merrowcli::import {

bool writePng(const Picture& picture, const std::filesystem::path& file, std::string& error) {
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.rgba.size() != static_cast<size_t>(picture.width) * picture.height * 4) {
        error = file.string() + ": no picture to write";
        return false;
    }
    // An absolute path, so the host's writer does not take it against a project folder.
    std::error_code ignored;
    std::filesystem::path target = std::filesystem::absolute(file, ignored);
    if (target.empty()) target = file;
    std::string problem;
    if (!merrowhost::writeRgbaPng(target.string(), picture.width, picture.height,
                                  picture.rgba.data(), &problem)) {
        // The host's writer names the file for failures of the file itself, not for the rest.
        const std::string written = target.string();
        if (problem.compare(0, written.size(), written) == 0) problem.erase(0, written.size() + 2);
        error = file.string() + ": " + problem;
        return false;
    }
    return true;
}

}  // namespace merrowcli::import
