#include "cli/import/Design.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <set>
#include <system_error>
#include <utility>

#include "host/dom/EntityExpansion.h"
#include "host/dom/LibxmlErrorTrap.h"

namespace merrowcli::import {

namespace fs = std::filesystem;

namespace {

using merrowhost::XmlElement;

// The element's width and height as the component reads them (atoi); 0 x 0 when either is
// not positive.
Size sizeOf(const XmlElement& element) {
    const Size size{std::atoi(element.attribute("width", "").c_str()),
                    std::atoi(element.attribute("height", "").c_str())};
    if (size.width <= 0 || size.height <= 0) return {};
    return size;
}

// The select button of a grid page: container/gridcontainer/gridholder[TEMPLATE]/graphicbutton.
Size gridButton(const XmlElement& layout, const char* container) {
    return sizeOf(layout.child("container", "id", container)
                      .child("gridcontainer")
                      .child("gridholder", "type", "TEMPLATE")
                      .child("graphicbutton"));
}

// The thumbnail ("BUTTON_" in the id) and text ("TEXT_") of a scene template.
void sceneSizes(const XmlElement& holder, Size* thumbnail, Size* text) {
    for (const XmlElement& node : holder.children()) {
        if (!node.is("graphicbutton") && !node.is("scenetext")) continue;
        const std::string id = node.attribute("id", "");
        if (id.find("BUTTON_") != std::string::npos) {
            if (thumbnail->width == 0) *thumbnail = sizeOf(node);
        } else if (id.find("TEXT_") != std::string::npos) {
            if (text->width == 0) *text = sizeOf(node);
        }
    }
}

// The sizes of the pictures the layout shows; false with *error naming the first one that
// has none.
bool readSizes(const XmlElement& layout, const std::string& shown, DesignSizes* sizes,
               std::string* error) {
    *sizes = {};
    const XmlElement yearHolder = layout.child("container", "id", "YearPageLayout")
                                      .child("scrollcontainer3")
                                      .child("scrollinfo")
                                      .child("scrollholder", "id", "Y_HOLDER_1");
    sceneSizes(yearHolder, &sizes->year, &sizes->yearText);
    sizes->month = gridButton(layout, "MonthPageLayout");
    sizes->day = gridButton(layout, "DayPageLayout");
    sizes->content = gridButton(layout, "ContentPageLayout");
    const XmlElement chapterHolder = layout.child("container", "id", "ChapterPageLayout")
                                         .child("scrollcontainer2")
                                         .child("scrollinfo")
                                         .child("scrollholder");
    sceneSizes(chapterHolder, &sizes->chapter, &sizes->chapterText);
    const std::pair<const char*, Size> needed[] = {
        {"the year scene's thumbnail button (Y_HOLDER_1, an id with BUTTON_)", sizes->year},
        {"the year scene's text (Y_HOLDER_1, an id with TEXT_)", sizes->yearText},
        {"the month grid's TEMPLATE graphicbutton", sizes->month},
        {"the day grid's TEMPLATE graphicbutton", sizes->day},
        {"the content grid's TEMPLATE graphicbutton", sizes->content},
    };
    for (const auto& [what, size] : needed) {
        if (size.width == 0) {
            *error = shown + ": the layout has no " + what + " with a width and height";
            return false;
        }
    }
    return true;
}

void collectPictures(const XmlElement& first, std::set<std::string>* names) {
    for (XmlElement node = first; node; node = node.next()) {
        for (const char* name : {"image", "imageBody", "imageHighlight"}) {
            const std::string value = node.attribute(name, "");
            if (!value.empty()) names->insert(value);
        }
        collectPictures(node.child(), names);
    }
}

}  // namespace

void Design::DocFree::operator()(_xmlDoc* doc) const {
    xmlFreeDoc(doc);
}

Design::Design() = default;
Design::~Design() = default;

bool Design::load(const fs::path& folder, std::string* error) {
    folder_ = folder;
    const fs::path file = folder / kDesignFile;
    const std::string shown = file.string();
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) {
        *error = shown + ": no such file (a design is a folder with design.xml and its art)";
        return false;
    }
    // The trap stops the parser at its first error, as every other XML input here is read.
    merrowhost::LibxmlErrorTrap trap;
    doc_.reset(xmlReadFile(file.c_str(), nullptr, XML_PARSE_NONET | XML_PARSE_NOBLANKS));
    if (!doc_ || trap.stoppedParser()) {
        doc_.reset();
        *error = shown + ":" + std::to_string(trap.hasError() ? trap.error().line : 0) +
                 ": not a well-formed XML document";
        return false;
    }
    int line = 0;
    if (!merrowhost::entityExpansionWithin(doc_.get(), merrowhost::kEntityExpansionLimit, &line)) {
        *error = shown + ":" + std::to_string(line) + ": " + merrowhost::kEntityExpansionProblem;
        doc_.reset();
        return false;
    }
    const XmlElement root(xmlDocGetRootElement(doc_.get()));
    const XmlElement layout = root.is("root") ? root.child("layout") : XmlElement();
    if (!layout) {
        *error = shown + ": the document has no /root/layout";
        return false;
    }
    return readSizes(layout, shown, &sizes_, error) && listPictures(layout, shown, error);
}

bool Design::listPictures(const XmlElement& layout, const std::string& shown, std::string* error) {
    const fs::path& folder = folder_;
    std::error_code ec;
    std::set<std::string> names;
    collectPictures(layout.child(), &names);
    pictures_.clear();
    for (const std::string& name : names) {
        const fs::path relative = fs::path(name).lexically_normal();
        if (relative.is_absolute() || relative.empty() || *relative.begin() == "..") {
            *error = shown + ": the picture \"" + name + "\" is not inside the design folder";
            return false;
        }
        if (relative.string().rfind(kDrawnFolder, 0) == 0) {
            *error = shown + ": the picture \"" + name + "\" is in " + kDrawnFolder +
                     ", where the import writes the pictures it draws";
            return false;
        }
        if (!fs::is_regular_file(folder / relative, ec)) {
            *error = shown + ": the picture \"" + name + "\" is missing from " + folder.string();
            return false;
        }
        pictures_.push_back(name);
    }
    return true;
}

}  // namespace merrowcli::import
