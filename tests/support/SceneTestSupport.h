#pragma once
// Shared by the chapter menu and scene group tests: reading parts of a written document, and a
// presentation object that collects the image tracks made for it.

#include <memory>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "document/NodeList.h"
#include "document/XmlElementOperator.h"
#include "host/objects/GlobalApi.h"
#include "host/objects/ServiceObject.h"
#include "host/title/ImageTrackObject.h"
#include "host/title/PresentationObject.h"

namespace scenetest {

// Image track identifiers are made by the host; "#" stands for any of them, so documents can be
// compared whole. An image attribute that was not written stays absent.
inline std::string masked(const std::string& text) {
    static const std::regex image(
        " (imageNormal|imageAction|imageFocus|image|tileImage)=\"[^\"]+\"");
    return std::regex_replace(text, image, " $1=\"#\"");
}

// The first element of text whose start tag begins with open, up to its end tag (or the end of
// its start tag when it is empty). Elements of the same name must not nest.
inline std::string element(const std::string& text, const std::string& open) {
    const size_t start = text.find(open);
    if (start == std::string::npos) return std::string();
    const size_t tagEnd = text.find('>', start);
    if (text[tagEnd - 1] == '/') return text.substr(start, tagEnd + 1 - start);
    const std::string name = open.substr(1, open.find_first_of(" />", 1) - 1);
    const std::string close = "</" + name + ">";
    const size_t end = text.find(close, start);
    return end == std::string::npos ? std::string()
                                    : text.substr(start, end + close.size() - start);
}

// The identifiers of the elements that the path selects, in document order; "-" for none.
inline std::vector<std::string> ids(CXMLOutputFileGlue& glue, const std::string& xpath) {
    Merrow::NodeList nodes(glue, xpath);
    std::vector<std::string> found;
    for (int i = 0; i < nodes.size(); ++i) {
        const std::string id = nodes.id(i);
        found.push_back(id.empty() ? "-" : id);
    }
    return found;
}

inline std::string attribute(CXMLOutputFileGlue& glue, const std::string& xpath, const char* name) {
    return Merrow::XmlElementOperator(glue, xpath).getAttribute(name);
}

// A presentation object of the host, freed at the end of the test.
class Presentation {
public:
    Presentation()
        : object_(CzfObjectFactory::zfCreateObject(&merrowhost::kClassPresentation, nullptr)) {}
    ~Presentation() {
        if (object_ != nullptr) CzfObjectFactory::zfFreeObject(object_);
    }
    Presentation(const Presentation&) = delete;
    Presentation& operator=(const Presentation&) = delete;

    CzfServiceObject* get() const { return object_; }
    // The identifiers of the tracks registered with it.
    std::set<std::string> trackIds() const {
        std::set<std::string> found;
        auto* presentation = dynamic_cast<merrowhost::PresentationObject*>(object_);
        if (presentation == nullptr) return found;
        for (merrowhost::ImageTrackObject* track : presentation->tracks()) {
            char id[CzfGlobalAPI2::kObjectIdBufferSize] = {};
            CzfGlobalAPI2::zfGetObjectIDString(track, true, id, nullptr);
            found.insert(id);
        }
        return found;
    }

private:
    CzfServiceObject* object_;
};

}  // namespace scenetest
