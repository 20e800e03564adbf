#pragma once
// Shared by the image-track tests: a temporary folder for pictures, solid test pictures, a
// reference document loaded from inline XML, and access to the host's image track objects.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "host/dom/DocumentRegistry.h"
#include "host/dom/XmlOutputFileGlue.h"
#include "host/objects/HostInterfaces.h"
#include "host/objects/ServiceObject.h"
#include "host/pictures/PngWriter.h"
#include "host/title/ImageTrackObject.h"
#include "support/TempFolder.h"

namespace imagetracktest {

inline const std::string kProgramFolder = std::string(MERROWKIT_TEST_DATA) + "/program/";
inline const std::string kCalendarFolder =
    kProgramFolder + "Content/Menu Template/HD Popup/16x9/BD Calendar/";
inline const std::string kApplicationFolder =
    kProgramFolder + "Content/Menu Template/BD Application/";

class TempFolder : public merrowtest::TempFolder {
public:
    TempFolder() : merrowtest::TempFolder("merrowkit-imagetrack") {}
};

struct Rgba {
    uint8_t r, g, b, a;
};

// Writes a picture of one colour; returns its path.
inline std::string writeSolidPng(const std::string& path, int width, int height, Rgba colour) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = colour.r;
        pixels[i + 1] = colour.g;
        pixels[i + 2] = colour.b;
        pixels[i + 3] = colour.a;
    }
    std::string error;
    EXPECT_TRUE(merrowhost::writeRgbaPng(path, width, height, pixels.data(), &error)) << error;
    return path;
}

// A reference document loaded from inline XML, with a glue attached to it; released at the end.
class ReferenceDocument {
public:
    explicit ReferenceDocument(const std::string& xml) {
        merrowhost::DocumentLoadError error;
        domId_ = merrowhost::loadDocumentString(xml, "reference", &error);
        EXPECT_NE(domId_, 0u) << error.text();
        glue_ = std::make_unique<CXMLOutputFileGlue>(domId_, "test", nullptr);
    }
    ~ReferenceDocument() {
        glue_.reset();
        merrowhost::releaseDocument(domId_);
    }
    ReferenceDocument(const ReferenceDocument&) = delete;
    ReferenceDocument& operator=(const ReferenceDocument&) = delete;

    CXMLOutputFileGlue& glue() { return *glue_; }

private:
    unsigned domId_ = 0;
    std::unique_ptr<CXMLOutputFileGlue> glue_;
};

struct ObjectFree {
    void operator()(CzfServiceObject* object) const { CzfObjectFactory::zfFreeObject(object); }
};
using ObjectPtr = std::unique_ptr<CzfServiceObject, ObjectFree>;

inline const merrowhost::ImageTrackObject* asTrack(const CzfServiceObject* object) {
    return dynamic_cast<const merrowhost::ImageTrackObject*>(object);
}

// The track's pixel at (x, y) as R, G, B, A; all 0 when the track has no readable picture.
inline Rgba pixelAt(const CzfServiceObject* object, int x, int y) {
    const merrowhost::ImageTrackObject* track = asTrack(object);
    if (track == nullptr) return {0, 0, 0, 0};
    const std::vector<uint8_t> rgba = track->rgba();
    const size_t at = (static_cast<size_t>(y) * track->width() + x) * 4;
    if (x < 0 || y < 0 || x >= track->width() || at + 3 >= rgba.size()) return {0, 0, 0, 0};
    return {rgba[at], rgba[at + 1], rgba[at + 2], rgba[at + 3]};
}

// True when every pixel of the track has this colour.
inline bool allPixels(const CzfServiceObject* object, Rgba colour) {
    const merrowhost::ImageTrackObject* track = asTrack(object);
    if (track == nullptr) return false;
    const std::vector<uint8_t> rgba = track->rgba();
    if (rgba.empty()) return false;
    for (size_t i = 0; i < rgba.size(); i += 4) {
        if (rgba[i] != colour.r || rgba[i + 1] != colour.g || rgba[i + 2] != colour.b ||
            rgba[i + 3] != colour.a) {
            return false;
        }
    }
    return true;
}

// The fallback picture: buffer bytes 255, 0, 0 are read back as R 0, G 0, B 255; alpha 50.
inline constexpr Rgba kFallback = {0, 0, 255, 50};

inline bool isFallbackPicture(const CzfServiceObject* object) {
    const merrowhost::ImageTrackObject* track = asTrack(object);
    return track != nullptr && track->mode() == merrowhost::ImageTrackObject::kModeBuffers &&
           track->width() == 100 && track->height() == 100 && allPixels(object, kFallback);
}

}  // namespace imagetracktest
