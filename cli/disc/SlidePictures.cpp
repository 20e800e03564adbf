#include "cli/disc/SlidePictures.h"

#include <libxml/tree.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "cli/build/ProjectFile.h"
#include "cli/build/ProjectSettings.h"
#include "cli/core/InputFile.h"
#include "cli/core/Messages.h"
#include "cli/core/XmlInput.h"
#include "cli/import/art/PhotoReader.h"
#include "host/pictures/JpegWriter.h"
#include "host/pictures/PictureFile.h"
#include "host/pictures/PictureScaler.h"

namespace merrowcli::disc {

namespace fs = std::filesystem;

namespace {

constexpr int kSlideQuality = 90;
// Photos that cannot be read are named up to this many; the rest are counted.
constexpr size_t kNamedMissing = 5;

std::string property(const xmlNode* node, const char* name) {
    xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
    std::string text = value != nullptr ? reinterpret_cast<const char*>(value) : "";
    xmlFree(value);
    return text;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// "%XX" back to the byte; a '%' not followed by two hex digits stays as it is.
std::string percentDecoded(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexDigit(text[i + 1]) >= 0 &&
            hexDigit(text[i + 2]) >= 0) {
            out.push_back(static_cast<char>(hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2])));
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

// The media folder project.xml records (`media`, relative to the project folder), else the
// project folder.
fs::path mediaFolder(const fs::path& projectFolder) {
    ProjectSettings settings;
    std::string ignored;
    if (!readProjectFile(projectFolder / "project.xml", &settings, &ignored)) return projectFolder;
    return projectFolder / settings.mediaFolder;
}

}  // namespace

bool readSlideshow(const fs::path& projectFolder, Slideshow* slideshow, std::string* error) {
    *slideshow = Slideshow();
    const fs::path file = projectFolder / "slideshow.xml";
    std::error_code ec;
    if (!fs::exists(file, ec)) return true;
    std::string bytes;
    if (!readInputFile(file, file.string(), &bytes, error)) return false;
    const XmlDocument xml = parseXml(bytes, file.string(), error);
    if (!xml) return false;
    const xmlNode* root = xmlDocGetRootElement(xml.get());
    if (root == nullptr || std::strcmp(reinterpret_cast<const char*>(root->name), "slideshow")) {
        *error = file.string() + ": not a slideshow (its document element is not <slideshow>)";
        return false;
    }
    const int seconds = std::atoi(property(root, "secondsPerPhoto").c_str());
    if (seconds > 0) slideshow->secondsPerPhoto = seconds;
    const fs::path media = mediaFolder(projectFolder);
    for (const xmlNode* n = root->children; n != nullptr; n = n->next) {
        if (n->type != XML_ELEMENT_NODE ||
            std::strcmp(reinterpret_cast<const char*>(n->name), "photo") != 0) {
            continue;
        }
        SlidePhoto photo;
        photo.file = media / fs::path(percentDecoded(property(n, "file")));
        photo.orientation = std::atoi(property(n, "orientation").c_str());
        slideshow->photos.push_back(std::move(photo));
    }
    return true;
}

std::vector<uint8_t> fittedSlide(const std::vector<uint8_t>& rgba, int pictureWidth,
                                 int pictureHeight, int width, int height) {
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3, 0);
    if (pictureWidth <= 0 || pictureHeight <= 0) return rgb;
    // The largest size of the picture's shape that fits, in whole pixels.
    int w = width;
    int h = static_cast<int>((static_cast<long long>(pictureHeight) * width * 2 + pictureWidth) /
                             (2LL * pictureWidth));
    if (h > height) {
        h = height;
        w = static_cast<int>((static_cast<long long>(pictureWidth) * height * 2 + pictureHeight) /
                             (2LL * pictureHeight));
    }
    w = std::clamp(w, 1, width);
    h = std::clamp(h, 1, height);
    std::vector<uint8_t> scaled(static_cast<size_t>(w) * h * 4);
    if (!merrowhost::scalePixels(rgba.data(), pictureWidth, pictureHeight, pictureWidth * 4,
                                 scaled.data(), w, h, w * 4)) {
        return rgb;
    }
    const int left = (width - w) / 2;
    const int top = (height - h) / 2;
    for (int y = 0; y < h; ++y) {
        const uint8_t* from = &scaled[static_cast<size_t>(y) * w * 4];
        uint8_t* to = &rgb[(static_cast<size_t>(top + y) * width + left) * 3];
        for (int x = 0; x < w; ++x, from += 4, to += 3) {
            // Over black: each channel weighted by the alpha.
            for (int c = 0; c < 3; ++c)
                to[c] = static_cast<uint8_t>((from[c] * from[3] + 127) / 255);
        }
    }
    return rgb;
}

bool writeSlides(const Slideshow& slideshow, const fs::path& folder, std::string* error) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        *error = folder.string() + ": cannot be made: " + ec.message();
        return false;
    }
    size_t missing = 0;
    for (size_t i = 0; i < slideshow.photos.size(); ++i) {
        const SlidePhoto& photo = slideshow.photos[i];
        std::string problem;
        std::vector<uint8_t> rgb;
        merrowhost::RgbaPicture stored;
        // Straight alpha kept, no pixel budget: one photo is read at a time.
        if (merrowhost::readRgbaPicture(photo.file.string(), true, {true, false}, &stored,
                                        &problem)) {
            const import::Picture shown = import::orientPicture(stored, photo.orientation);
            rgb = fittedSlide(shown.rgba, shown.width, shown.height, kSlideWidth, kSlideHeight);
        } else {
            if (++missing <= kNamedMissing) {
                Messages::instance().warning(photo.file.string(), 0,
                                             problem + "; its slide stays black");
            }
            rgb.assign(static_cast<size_t>(kSlideWidth) * kSlideHeight * 3, 0);
        }
        char name[32];
        std::snprintf(name, sizeof name, "%05zu.jpg", i);
        if (!merrowhost::writeJpeg((folder / name).string(), kSlideWidth, kSlideHeight, 3,
                                   rgb.data(), kSlideQuality, &problem)) {
            *error = (folder / name).string() + ": cannot be written: " + problem;
            return false;
        }
    }
    if (missing > kNamedMissing) {
        Messages::instance().warning(std::to_string(missing - kNamedMissing) +
                                     " more slideshow photos cannot be read; their slides stay "
                                     "black");
    }
    return true;
}

}  // namespace merrowcli::disc
