#include "host/dom/XPathEvaluator.h"

#include <libxml/tree.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

#include "host/dom/ElementIndex.h"
#include "host/dom/LibxmlErrorTrap.h"
#include "host/dom/SimplePath.h"

namespace merrowhost {
namespace {

void ignoreError(void*, xmlErrorPtr) {}

struct ContextDeleter {
    void operator()(xmlXPathContextPtr context) const { xmlXPathFreeContext(context); }
};
struct ObjectDeleter {
    void operator()(xmlXPathObjectPtr object) const { xmlXPathFreeObject(object); }
};

// A character that can continue an XPath name (or a variable reference), so that a following
// "NS:" belongs to a longer name and is not a prefix of its own.
bool continuesName(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x80 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
           (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.' || c == ':' || c == '$';
}

// The process-wide record asked for by the environment, reported at exit.
struct EnvironmentCrossCheck {
    XPathEvaluator::CrossCheck record;
    EnvironmentCrossCheck() = default;
    ~EnvironmentCrossCheck() {
        std::fprintf(stderr, "merrowhost: paths: %zu indexed, %zu to libxml2, %zu differ\n",
                     record.indexed, record.libxml2, record.differences.size());
        for (const std::string& path : record.differences) {
            std::fprintf(stderr, "merrowhost: path differs: %s\n", path.c_str());
        }
    }
};

XPathEvaluator::CrossCheck* environmentCrossCheck() {
    const char* wanted = std::getenv("MERROWHOST_CROSS_CHECK_PATHS");
    if (wanted == nullptr || wanted[0] == '\0') return nullptr;
    static EnvironmentCrossCheck check;
    return &check.record;
}

XPathEvaluator::CrossCheck* crossCheck = environmentCrossCheck();

}  // namespace

void XPathEvaluator::setCrossCheck(CrossCheck* record) {
    crossCheck = record;
}

std::string XPathEvaluator::dropPrefix(std::string_view xpath) {
    const std::string_view prefix = "NS:";
    std::string out;
    out.reserve(xpath.size());
    char quote = 0;
    for (size_t i = 0; i < xpath.size(); ++i) {
        const char c = xpath[i];
        if (quote != 0) {
            if (c == quote) quote = 0;
            out += c;
            continue;
        }
        if (c == '"' || c == '\'') {
            quote = c;
            out += c;
            continue;
        }
        // "NS::" would be an axis name, not a prefix.
        if (xpath.substr(i, prefix.size()) == prefix && (i == 0 || !continuesName(xpath[i - 1])) &&
            (i + prefix.size() >= xpath.size() || xpath[i + prefix.size()] != ':')) {
            i += prefix.size() - 1;
            continue;
        }
        out += c;
    }
    return out;
}

bool XPathEvaluator::selectElements(const char* xpath, std::vector<_xmlNode*>* elements) const {
    if (elements == nullptr) return false;
    elements->clear();
    if (doc_ == nullptr || xpath == nullptr || xpath[0] == '\0') return false;
    if (xmlDocGetRootElement(doc_) == nullptr) return false;

    const ElementIndex* index = ElementIndex::of(doc_);
    std::optional<SimplePath> simple;
    if (index != nullptr) simple = parseSimplePath(xpath);
    if (!simple) {
        if (crossCheck != nullptr) ++crossCheck->libxml2;
        return selectThroughLibxml2(xpath, elements);
    }
    *elements = evaluateSimplePath(*simple, doc_, *index);
    if (crossCheck != nullptr) {
        ++crossCheck->indexed;
        std::vector<_xmlNode*> expected;
        if (!selectThroughLibxml2(xpath, &expected) || expected != *elements) {
            crossCheck->differences.push_back(xpath);
        }
    }
    return true;
}

bool XPathEvaluator::selectThroughLibxml2(const char* xpath,
                                          std::vector<_xmlNode*>* elements) const {
    xmlNodePtr root = xmlDocGetRootElement(doc_);

    LibxmlErrorTrap trap;
    std::unique_ptr<xmlXPathContext, ContextDeleter> context(xmlXPathNewContext(doc_));
    if (!context) return false;
    context->error = ignoreError;
    context->userData = nullptr;
    context->node = root;

    std::string text = xpath;
    if (root->ns != nullptr && root->ns->href != nullptr && root->ns->href[0] != '\0') {
        if (xmlXPathRegisterNs(context.get(), BAD_CAST kPrefix, root->ns->href) != 0) return false;
    } else {
        text = dropPrefix(text);
    }

    std::unique_ptr<xmlXPathObject, ObjectDeleter> result(
        xmlXPathEvalExpression(BAD_CAST text.c_str(), context.get()));
    if (!result || result->type != XPATH_NODESET) return false;
    xmlNodeSetPtr nodes = result->nodesetval;
    if (nodes == nullptr) return true;
    xmlXPathNodeSetSort(nodes);
    for (int i = 0; i < nodes->nodeNr; ++i) {
        xmlNodePtr node = nodes->nodeTab[i];
        if (node != nullptr && node->type == XML_ELEMENT_NODE) elements->push_back(node);
    }
    return true;
}

_xmlNode* XPathEvaluator::firstElement(const char* xpath) const {
    std::vector<_xmlNode*> elements;
    if (!selectElements(xpath, &elements) || elements.empty()) return nullptr;
    return elements.front();
}

}  // namespace merrowhost
