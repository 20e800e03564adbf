// The glue's rendering model. An element is drawn from the picture file its attributes name
// ("imageHighlight" for the focus rendering, else "imageBody", else "image"), at its "width" by
// "height" when both are given, else at the picture's own size. Its layer is the position of its
// top-level layout container, its page its own "page" attribute; it is drawn only when asked for
// on that layer and page (an element without a page, or with a negative one, is on the first
// page, 0). Its navigation list names the elements that provide its thumbnail ("thumbnailId")
// and its text ("textId"), each attribute a list of identifiers separated by white space.
// Render types and tag kinds are the host's own numbers.

#include <libxml/tree.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstddef>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "host/dom/DocumentRegistry.h"
#include "host/dom/ElementLookup.h"
#include "host/dom/XmlElement.h"
#include "host/dom/XmlOutputFileGlue.h"
#include "host/framework/Diagnostics.h"
#include "host/pictures/DibImage.h"
#include "host/pictures/DvdBuf.h"
#include "host/pictures/ImageLimits.h"
#include "host/pictures/PicturePrefetch.h"
#include "host/pictures/PictureScaler.h"

using merrowhost::DocumentRegistry;
using merrowhost::elementAttribute;
using merrowhost::findElementById;

namespace {

constexpr int kRenderNormal = 7;
constexpr int kRenderFocus = 8;
constexpr int kTagThumbnail = 4;
constexpr int kTagText = 24;

// The leading integer of text as atoi reads it (white space, a sign, digits), saturated to the
// int range; false when no digit comes first.
bool leadingInteger(const std::string& text, int* value) {
    size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])) != 0) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    if (at >= text.size() || std::isdigit(static_cast<unsigned char>(text[at])) == 0) return false;
    long long number = 0;
    for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) != 0; ++at) {
        number = number * 10 + (text[at] - '0');
        if (number > static_cast<long long>(INT_MAX) + 1)
            number = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) number = -number;
    *value = static_cast<int>(number > INT_MAX ? INT_MAX : number);
    return true;
}

// The integer value of an attribute; false when it is missing or does not start with a number.
bool integerAttribute(xmlNodePtr element, const char* name, int* value) {
    std::string text;
    return elementAttribute(element, name, &text) && leadingInteger(text, value);
}

// The 0-based position, among the "container" children of /root/layout, of the container that
// holds element (or is element); 0 when element is not inside one.
int layerOf(xmlNodePtr element) {
    const merrowhost::XmlElement root(xmlDocGetRootElement(element->doc));
    if (!root.is("root")) return 0;
    for (merrowhost::XmlElement node(element); node && node != root; node = node.parent()) {
        const merrowhost::XmlElement parent = node.parent();
        if (!parent.is("layout") || parent.parent() != root) continue;
        if (!node.is("container")) return 0;
        int position = 0;
        for (merrowhost::XmlElement sibling = parent.child(); sibling && sibling != node;
             sibling = sibling.next()) {
            if (sibling.is("container")) ++position;
        }
        return position;
    }
    return 0;
}

// The page an element is drawn on.
int drawnPageOf(xmlNodePtr element) {
    int page = 0;
    return integerAttribute(element, "page", &page) && page > 0 ? page : 0;
}

// What one rendering needs from the document, read under the registry lock so that the picture
// file is loaded without holding it.
struct RenderSource {
    std::string file;
    std::string element;  // name, id and line, for a diagnostic when the picture is not used
    std::string elementId;
    int line = 0;
    bool sized = false;
    int width = 0;
    int height = 0;
    int x = 0;
    int y = 0;
};

bool nonEmptyAttribute(xmlNodePtr element, const char* name, std::string* value) {
    return elementAttribute(element, name, value) && !value->empty();
}

bool readRenderSource(xmlNodePtr element, int type, RenderSource* source) {
    const bool found =
        (type == kRenderFocus && nonEmptyAttribute(element, "imageHighlight", &source->file)) ||
        nonEmptyAttribute(element, "imageBody", &source->file) ||
        nonEmptyAttribute(element, "image", &source->file);
    if (!found) return false;
    source->element = reinterpret_cast<const char*>(element->name);
    elementAttribute(element, "id", &source->elementId);
    source->line = static_cast<int>(xmlGetLineNo(element));
    int width = 0;
    int height = 0;
    if (integerAttribute(element, "width", &width) &&
        integerAttribute(element, "height", &height) && width > 0 && height > 0) {
        source->sized = true;
        source->width = width;
        source->height = height;
    }
    if (!integerAttribute(element, "x", &source->x)) source->x = 0;
    if (!integerAttribute(element, "y", &source->y)) source->y = 0;
    return true;
}

// The picture files of a document's elements in document order, and where each element's
// files begin, so that a rendering can have the files of the next ones decoded ahead: the
// component asks for its renderings mostly in document order. Only a hint; a plan that no
// longer fits its document makes only the guesses worse.
struct RenderPlan {
    xmlDocPtr doc = nullptr;
    std::vector<std::string> files;
    std::unordered_map<std::string, size_t> firstFile;  // element id -> index in files
};

// Renderings whose files are fetched ahead of the one asked for.
constexpr size_t kFilesAhead = 32;

void addRenderFiles(xmlNodePtr element, RenderPlan* plan) {
    std::string id;
    if (!elementAttribute(element, "id", &id) || id.empty()) return;
    const size_t first = plan->files.size();
    for (const char* name : {"imageBody", "image", "imageHighlight"}) {
        std::string file;
        if (nonEmptyAttribute(element, name, &file)) plan->files.push_back(std::move(file));
    }
    if (plan->files.size() > first) plan->firstFile.emplace(std::move(id), first);
}

void makeRenderPlan(xmlDocPtr doc, RenderPlan* plan) {
    *plan = RenderPlan{};
    plan->doc = doc;
    xmlNodePtr node = xmlDocGetRootElement(doc);
    while (node != nullptr) {
        if (node->type == XML_ELEMENT_NODE) addRenderFiles(node, plan);
        if (node->type == XML_ELEMENT_NODE && node->children != nullptr) {
            node = node->children;
            continue;
        }
        while (node != nullptr && node->next == nullptr) {
            node = node->parent;
            if (node == nullptr || node->type == XML_DOCUMENT_NODE) node = nullptr;
        }
        if (node != nullptr) node = node->next;
    }
}

// The files of the renderings after the element's, from the plan of its document (made on the
// first rendering of a document). Called under the registry lock.
std::vector<std::string> filesAfter(unsigned domId, xmlDocPtr doc, const std::string& id) {
    static std::mutex mutex;
    static std::map<unsigned, RenderPlan> plans;
    const std::lock_guard<std::mutex> lock(mutex);
    RenderPlan& plan = plans[domId];
    if (plan.doc != doc) makeRenderPlan(doc, &plan);
    const auto found = plan.firstFile.find(id);
    if (found == plan.firstFile.end()) return {};
    size_t from = found->second + 1;
    while (from < plan.files.size() && plan.files[from] == plan.files[found->second]) ++from;
    const size_t to = std::min(plan.files.size(), from + kFilesAhead);
    return {plan.files.begin() + static_cast<std::ptrdiff_t>(from),
            plan.files.begin() + static_cast<std::ptrdiff_t>(to)};
}

int32_t clampedSum(int a, int b) {
    const long long sum = static_cast<long long>(a) + b;
    return static_cast<int32_t>(sum > INT32_MAX ? INT32_MAX : (sum < INT32_MIN ? INT32_MIN : sum));
}

// One pair of this kind for each identifier of a list attribute, in order; an attribute without
// any gives one pair with an empty identifier.
void appendIdentifiers(const std::string& text, int kind,
                       std::vector<std::pair<int, std::string>>* pairs) {
    const size_t before = pairs->size();
    size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])) != 0) ++at;
        size_t end = at;
        while (end < text.size() && std::isspace(static_cast<unsigned char>(text[end])) == 0) ++end;
        if (end > at) pairs->emplace_back(kind, text.substr(at, end - at));
        at = end;
    }
    if (pairs->size() == before) pairs->emplace_back(kind, std::string());
}

char* copyString(const std::string& text) {
    char* copy = new char[text.size() + 1];
    std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

}  // namespace

bool CXMLOutputFileGlue::GetNodeLayerPageByID(const char* id, int* layer, int* page) {
    if (layer != nullptr) *layer = -1;
    if (page != nullptr) *page = -1;
    if (id == nullptr) return false;
    int foundLayer = -1;
    int foundPage = -1;
    const bool ok = merrowhost::onRegistryDocument(domId_, [&](xmlDocPtr doc) {
        xmlNodePtr element = findElementById(doc, id);
        if (element == nullptr) return false;
        foundLayer = layerOf(element);
        if (!integerAttribute(element, "page", &foundPage)) foundPage = -1;
        return true;
    });
    if (!ok) return false;
    if (layer != nullptr) *layer = foundLayer;
    if (page != nullptr) *page = foundPage;
    return true;
}

bool CXMLOutputFileGlue::GetNodeBufferByID(const char* id, int layer, int page,
                                           CAppDocEditorCtrl::RenderType renderType, RECT* rect,
                                           BITMAPINFOHEADER** image, BITMAPINFOHEADER** mask) {
    if (image != nullptr) *image = nullptr;
    if (mask != nullptr) *mask = nullptr;
    if (id == nullptr || image == nullptr) return false;
    const int type = static_cast<int>(renderType);
    if (type != kRenderNormal && type != kRenderFocus) return false;
    try {
        RenderSource source;
        std::vector<std::string> ahead;
        if (!merrowhost::onRegistryDocument(domId_, [&](xmlDocPtr doc) {
                xmlNodePtr element = findElementById(doc, id);
                if (element == nullptr || layerOf(element) != layer ||
                    drawnPageOf(element) != page || !readRenderSource(element, type, &source)) {
                    return false;
                }
                ahead = filesAfter(domId_, doc, id);
                return true;
            })) {
            return false;
        }
        merrowhost::prefetchPictures(ahead);
        merrowhost::awaitPrefetchedPicture(source.file);

        CDVDBuf colour;
        uint8_t* alphaPlane = nullptr;
        if (!colour.Create(source.file.c_str(), nullptr, &alphaPlane)) {
            merrowhost::reportPictureNotUsed({domId_, source.line, source.element, source.elementId,
                                              source.file, colour.lastError()});
            return false;
        }
        int width = 0;
        int height = 0;
        colour.GetWHU(&width, &height, nullptr);
        CDVDBuf alpha;
        alpha.Adopt(alphaPlane, 8, width, height);

        const int targetWidth = source.sized ? source.width : width;
        const int targetHeight = source.sized ? source.height : height;
        merrowhost::DibHolder bitmap(merrowhost::makeDib32(targetWidth, targetHeight));
        merrowhost::DibHolder maskBitmap;
        if (mask != nullptr) maskBitmap.reset(merrowhost::makeMaskDib8(targetWidth, targetHeight));
        if (bitmap == nullptr || (mask != nullptr && maskBitmap == nullptr)) return false;
        if (!merrowhost::scalePictureToDibs(colour.GetBuffer(), alpha.GetBuffer(), width, height,
                                            bitmap.get(), maskBitmap.get())) {
            return false;
        }

        if (rect != nullptr) {
            *rect = RECT{source.x, source.y, clampedSum(source.x, targetWidth),
                         clampedSum(source.y, targetHeight)};
        }
        *image = bitmap.release();
        if (mask != nullptr) *mask = maskBitmap.release();
        return true;
    } catch (...) {
        return false;
    }
}

bool CXMLOutputFileGlue::GetNavigationListByID(const char* id, _NAVIGATION_NODE** list,
                                               int* count) {
    if (list != nullptr) *list = nullptr;
    if (count != nullptr) *count = 0;
    if (id == nullptr || list == nullptr || count == nullptr) return false;
    std::vector<std::pair<int, std::string>> pairs;
    try {
        if (!merrowhost::onRegistryDocument(domId_, [&](xmlDocPtr doc) {
                xmlNodePtr element = findElementById(doc, id);
                if (element == nullptr) return false;
                std::string value;
                if (elementAttribute(element, "thumbnailId", &value)) {
                    appendIdentifiers(value, kTagThumbnail, &pairs);
                }
                if (elementAttribute(element, "textId", &value)) {
                    appendIdentifiers(value, kTagText, &pairs);
                }
                return true;
            })) {
            return false;
        }
    } catch (...) {
        return false;
    }

    const int size = static_cast<int>(pairs.size());
    if (size == 0) return true;
    _NAVIGATION_NODE* nodes = nullptr;
    try {
        nodes = new _NAVIGATION_NODE[size]();
        for (int at = 0; at < size; ++at) {
            nodes[at] = {static_cast<ApplicationDoc::TagNode>(pairs[at].first),
                         copyString(pairs[at].second)};
        }
    } catch (...) {
        if (nodes != nullptr) {
            for (int i = 0; i < size; ++i) delete[] nodes[i].id;
        }
        delete[] nodes;
        return false;
    }
    *list = nodes;
    *count = size;
    return true;
}
