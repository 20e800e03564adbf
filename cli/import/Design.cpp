#include "cli/import/Design.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <set>
#include <system_error>

#include "host/dom/EntityExpansion.h"

namespace merrowcli::import {

namespace fs = std::filesystem;

namespace {

bool named(const xmlNode* node, const char* name) {
    return node != nullptr && node->type == XML_ELEMENT_NODE &&
           std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

std::string attribute(const xmlNode* node, const char* name) {
    xmlChar* value = xmlGetNoNsProp(node, BAD_CAST name);
    if (value == nullptr) return {};
    std::string text = reinterpret_cast<const char*>(value);
    xmlFree(value);
    return text;
}

// The first element child named name (with the attribute's value when attr is given).
const xmlNode* child(const xmlNode* parent, const char* name, const char* attr = nullptr,
                     const char* value = nullptr) {
    if (parent == nullptr) return nullptr;
    for (const xmlNode* node = parent->children; node != nullptr; node = node->next) {
        if (!named(node, name)) continue;
        if (attr == nullptr || attribute(node, attr) == value) return node;
    }
    return nullptr;
}

// The element's width and height as the component reads them (atoi); 0 x 0 when either is
// not positive.
Size sizeOf(const xmlNode* element) {
    if (element == nullptr) return {};
    const Size size{std::atoi(attribute(element, "width").c_str()),
                    std::atoi(attribute(element, "height").c_str())};
    if (size.width <= 0 || size.height <= 0) return {};
    return size;
}

// The select button of a grid page: container/gridcontainer/gridholder[TEMPLATE]/graphicbutton.
Size gridButton(const xmlNode* layout, const char* container) {
    const xmlNode* grid = child(child(layout, "container", "id", container), "gridcontainer");
    return sizeOf(child(child(grid, "gridholder", "type", "TEMPLATE"), "graphicbutton"));
}

// The thumbnail ("BUTTON_" in the id) and text ("TEXT_") of a scene template.
void sceneSizes(const xmlNode* holder, Size* thumbnail, Size* text) {
    if (holder == nullptr) return;
    for (const xmlNode* node = holder->children; node != nullptr; node = node->next) {
        if (!named(node, "graphicbutton") && !named(node, "scenetext")) continue;
        const std::string id = attribute(node, "id");
        if (id.find("BUTTON_") != std::string::npos) {
            if (thumbnail->width == 0) *thumbnail = sizeOf(node);
        } else if (id.find("TEXT_") != std::string::npos) {
            if (text->width == 0) *text = sizeOf(node);
        }
    }
}

void collectPictures(const xmlNode* element, std::set<std::string>* names) {
    for (const xmlNode* node = element; node != nullptr; node = node->next) {
        if (node->type != XML_ELEMENT_NODE) continue;
        for (const char* name : {"image", "imageBody", "imageHighlight"}) {
            const std::string value = attribute(node, name);
            if (!value.empty()) names->insert(value);
        }
        collectPictures(node->children, names);
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
    doc_.reset(xmlReadFile(
        file.c_str(), nullptr,
        XML_PARSE_NONET | XML_PARSE_NOBLANKS | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
    if (!doc_) {
        const xmlError* problem = xmlGetLastError();
        *error = shown + ":" + std::to_string(problem != nullptr ? problem->line : 0) +
                 ": not a well-formed XML document";
        return false;
    }
    int line = 0;
    if (!merrowhost::entityExpansionWithin(doc_.get(), merrowhost::kEntityExpansionLimit, &line)) {
        *error = shown + ":" + std::to_string(line) + ": " + merrowhost::kEntityExpansionProblem;
        doc_.reset();
        return false;
    }
    const xmlNode* root = xmlDocGetRootElement(doc_.get());
    const xmlNode* layout = named(root, "root") ? child(root, "layout") : nullptr;
    if (layout == nullptr) {
        *error = shown + ": the document has no /root/layout";
        return false;
    }
    sizes_ = {};
    const xmlNode* yearHolder =
        child(child(child(child(layout, "container", "id", "YearPageLayout"), "scrollcontainer3"),
                    "scrollinfo"),
              "scrollholder", "id", "Y_HOLDER_1");
    sceneSizes(yearHolder, &sizes_.year, &sizes_.yearText);
    sizes_.month = gridButton(layout, "MonthPageLayout");
    sizes_.day = gridButton(layout, "DayPageLayout");
    sizes_.content = gridButton(layout, "ContentPageLayout");
    const xmlNode* chapterHolder = child(
        child(child(child(layout, "container", "id", "ChapterPageLayout"), "scrollcontainer2"),
              "scrollinfo"),
        "scrollholder");
    sceneSizes(chapterHolder, &sizes_.chapter, &sizes_.chapterText);

    const std::pair<const char*, Size> needed[] = {
        {"the year scene's thumbnail button (Y_HOLDER_1, an id with BUTTON_)", sizes_.year},
        {"the year scene's text (Y_HOLDER_1, an id with TEXT_)", sizes_.yearText},
        {"the month grid's TEMPLATE graphicbutton", sizes_.month},
        {"the day grid's TEMPLATE graphicbutton", sizes_.day},
        {"the content grid's TEMPLATE graphicbutton", sizes_.content},
    };
    for (const auto& [what, size] : needed) {
        if (size.width == 0) {
            *error = shown + ": the layout has no " + what + " with a width and height";
            return false;
        }
    }

    std::set<std::string> names;
    collectPictures(layout->children, &names);
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
