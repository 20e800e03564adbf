#pragma once
// Shared by the layout tests: a creator whose layout handlers can be called one by one, design
// documents from inline XML, a presentation object that collects the image tracks, pictures in
// a temporary folder, and a view of the new document with the track ids made comparable.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "creator/BDJCalendarApplicationCreator.h"
#include "document/XmlElementOperator.h"
#include "host/objects/HostInterfaces.h"
#include "host/objects/ServiceObject.h"
#include "host/pictures/PngWriter.h"
#include "host/title/ImageTrackObject.h"
#include "host/title/PresentationObject.h"
#include "support/TempFolder.h"
#include "support/TestDocument.h"

namespace layouttest {

class LayoutCreator : public CBDJCalendarApplicationCreator {
public:
    explicit LayoutCreator(CzfServiceObject* sourceObject = nullptr)
        : CBDJCalendarApplicationCreator(sourceObject, nullptr, nullptr) {}

    using CBDJCalendarApplicationCreator::addAnchorElement;
    using CBDJCalendarApplicationCreator::addButtonElement;
    using CBDJCalendarApplicationCreator::addDecorationElement;
    using CBDJCalendarApplicationCreator::addGraphicTextElement;
    using CBDJCalendarApplicationCreator::addGridLayoutElement;
    using CBDJCalendarApplicationCreator::addGridLayoutItemElement;
    using CBDJCalendarApplicationCreator::addLayoutElement;
    using CBDJCalendarApplicationCreator::addRectangleElement;
    using CBDJCalendarApplicationCreator::addScrollContainer3Element;
    using CBDJCalendarApplicationCreator::addScrollHolderElement;
    using CBDJCalendarApplicationCreator::addScrollInfoElement;
    using CBDJCalendarApplicationCreator::translateElementId;

    const std::string& scrollHolderPath() const { return firstScrollHolderPath; }
    const std::vector<Merrow::ChapterMenuData>& chapterMenus() const { return chapterMenuRecords; }
};

// A reference document whose layout holds the given containers.
inline std::string design(const std::string& layout, const std::string& more = "") {
    return "<root xmlns=\"urn:merrow:design\"><layout>" + layout + "</layout>" + more + "</root>";
}

inline std::unique_ptr<merrowtest::TestDocument> newDocument() {
    return merrowtest::TestDocument::empty(kCalendarNamespaceUri);
}

// The new document's children of root, with every image track id written as "TRACK".
inline std::string view(const merrowtest::TestDocument& doc) {
    static const std::regex kTrackId("track_[0-9]+");
    return std::regex_replace(merrowtest::body(doc), kTrackId, "TRACK");
}

struct ObjectFree {
    void operator()(CzfServiceObject* object) const { CzfObjectFactory::zfFreeObject(object); }
};
using ObjectPtr = std::unique_ptr<CzfServiceObject, ObjectFree>;

// A presentation object from the host's factory; tracks handed to it are kept in order.
class Presentation {
public:
    Presentation()
        : object_(CzfObjectFactory::zfCreateObject(&merrowhost::kClassPresentation, nullptr)) {
        EXPECT_NE(presentation(), nullptr);
    }
    CzfServiceObject* get() const { return object_.get(); }
    merrowhost::PresentationObject* presentation() const {
        return dynamic_cast<merrowhost::PresentationObject*>(object_.get());
    }
    std::vector<merrowhost::ImageTrackObject*> tracks() const {
        return presentation() ? presentation()->tracks()
                              : std::vector<merrowhost::ImageTrackObject*>();
    }
    // The registered track with this object id, or null.
    const merrowhost::ImageTrackObject* track(const std::string& id) const {
        for (merrowhost::ImageTrackObject* track : tracks()) {
            if (track->objectId() == id) return track;
        }
        return nullptr;
    }

private:
    ObjectPtr object_;
};

class TempFolder : public merrowtest::TempFolder {
public:
    TempFolder() : merrowtest::TempFolder("merrowkit-layout") {}

    // Writes a picture of one colour (R, G, B, A) and returns its path.
    std::string picture(const std::string& name, int width, int height,
                        std::vector<uint8_t> colour) const {
        std::vector<uint8_t> pixels;
        for (int i = 0; i < width * height; ++i)
            pixels.insert(pixels.end(), colour.begin(), colour.end());
        const std::string path = file(name);
        std::string error;
        EXPECT_TRUE(merrowhost::writeRgbaPng(path, width, height, pixels.data(), &error)) << error;
        return path;
    }
};

// The first pixel of a track as R, G, B, A.
inline std::vector<uint8_t> firstPixel(const merrowhost::ImageTrackObject* track) {
    if (track == nullptr) return {};
    const std::vector<uint8_t> rgba = track->rgba();
    if (rgba.size() < 4) return {};
    return {rgba.begin(), rgba.begin() + 4};
}

inline std::string attribute(CXMLOutputFileGlue& glue, const std::string& xpath, const char* name) {
    return Merrow::XmlElementOperator(glue, xpath).getAttribute(name);
}

}  // namespace layouttest
