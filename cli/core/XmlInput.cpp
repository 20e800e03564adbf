#include "cli/core/XmlInput.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <vector>

#include "cli/core/InputFile.h"
#include "host/dom/EntityExpansion.h"
#include "host/dom/LibxmlErrorTrap.h"

namespace merrowcli {

namespace {

struct ParserFree {
    void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
};

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The qualified name of an attribute as the start tag writes it.
std::string qualifiedName(const xmlAttr* attribute) {
    std::string name;
    if (attribute->ns != nullptr && attribute->ns->prefix != nullptr) {
        name = reinterpret_cast<const char*>(attribute->ns->prefix);
        name.push_back(':');
    }
    name.append(reinterpret_cast<const char*>(attribute->name));
    return name;
}

// Finds the line of each attribute name in the start tag that begins at bytes[at] ('<') and
// keeps it in the attribute's _private field as line + 1, so that 0 means unknown. Returns the
// offset after the tag's name, or npos when the tag is not the element's.
size_t markTagAttributes(const std::string& bytes, const std::vector<size_t>& lineStarts, size_t at,
                         xmlNode* node) {
    const std::string name = reinterpret_cast<const char*>(node->name);
    if (at >= bytes.size() || bytes[at] != '<') return std::string::npos;
    // The tag's qualified name must end with the element's local name, else this is not its
    // tag (the recorded place is off when the input was converted from another encoding).
    size_t end = at + 1;
    while (end < bytes.size() && !isBlank(bytes[end]) && bytes[end] != '>' && bytes[end] != '/') {
        ++end;
    }
    const std::string written = bytes.substr(at + 1, end - at - 1);
    if (written != name &&
        (written.size() <= name.size() ||
         written.compare(written.size() - name.size() - 1, std::string::npos, ":" + name) != 0)) {
        return std::string::npos;
    }
    at = end;
    if (node->properties == nullptr) return at;
    while (at < bytes.size()) {
        while (at < bytes.size() && isBlank(bytes[at])) ++at;
        if (at >= bytes.size() || bytes[at] == '>' || bytes[at] == '/') break;
        const size_t nameStart = at;
        while (at < bytes.size() && !isBlank(bytes[at]) && bytes[at] != '=') ++at;
        const std::string attributeName = bytes.substr(nameStart, at - nameStart);
        // Line 1, plus one for every line start at or before the name.
        const auto line = static_cast<intptr_t>(
            1 + (std::upper_bound(lineStarts.begin(), lineStarts.end(), nameStart) -
                 lineStarts.begin()));
        while (at < bytes.size() && (isBlank(bytes[at]) || bytes[at] == '=')) ++at;
        if (at >= bytes.size() || (bytes[at] != '"' && bytes[at] != '\'')) break;
        const size_t close = bytes.find(bytes[at], at + 1);
        if (close == std::string::npos) break;
        at = close + 1;
        for (xmlAttr* attribute = node->properties; attribute != nullptr;
             attribute = attribute->next) {
            if (attribute->_private == nullptr && qualifiedName(attribute) == attributeName) {
                attribute->_private = reinterpret_cast<void*>(line + 1);
            }
        }
    }
    return at;
}

// The offset after the markup that starts at bytes[at] ('<') and is no start tag (a comment,
// CDATA, a processing instruction, an end tag, a document type declaration with its internal
// subset); at itself when a start tag starts there.
size_t skipOtherMarkup(const std::string& bytes, size_t at) {
    const auto past = [&](const char* close) {
        const size_t found = bytes.find(close, at);
        return found == std::string::npos ? bytes.size() : found + std::strlen(close);
    };
    if (bytes.compare(at, 4, "<!--") == 0) return past("-->");
    if (bytes.compare(at, 9, "<![CDATA[") == 0) return past("]]>");
    if (bytes.compare(at, 2, "<?") == 0) return past("?>");
    if (bytes.compare(at, 2, "</") == 0) return past(">");
    if (bytes.compare(at, 2, "<!") != 0) return at;
    // A declaration: quoted literals and comments may hold any of '<', '>', '[' and ']'.
    int depth = 0;
    for (size_t i = at + 2; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '"' || c == '\'') {
            const size_t close = bytes.find(c, i + 1);
            if (close == std::string::npos) return bytes.size();
            i = close;
        } else if (bytes.compare(i, 4, "<!--") == 0) {
            const size_t close = bytes.find("-->", i + 4);
            if (close == std::string::npos) return bytes.size();
            i = close + 2;
        } else if (c == '[') {
            ++depth;
        } else if (c == ']') {
            --depth;
        } else if (c == '>' && depth <= 0) {
            return i + 1;
        }
    }
    return bytes.size();
}

// The element after node in document order (entity references are not entered: the
// elements they hold are not in the text), or null.
xmlNode* nextElement(xmlNode* node) {
    for (xmlNode* child = node->children; child != nullptr; child = child->next) {
        if (child->type == XML_ELEMENT_NODE) return child;
    }
    for (xmlNode* at = node; at != nullptr && at->type == XML_ELEMENT_NODE; at = at->parent) {
        for (xmlNode* sibling = at->next; sibling != nullptr; sibling = sibling->next) {
            if (sibling->type == XML_ELEMENT_NODE) return sibling;
        }
    }
    return nullptr;
}

// libxml2 gives an element the line where its start tag ends. The start tags in the text are
// met in the order of the elements in the tree, so one walk over the text (skipping comments,
// CDATA, processing instructions, end tags and the document type declaration) pairs each
// element with its tag and gives each attribute its own line. The walk stops at a tag that is
// not its element's (text in another encoding than UTF-8), leaving the rest unknown.
void markAttributeLines(const std::string& bytes, const std::vector<size_t>& lineStarts,
                        xmlNode* root) {
    size_t at = 0;
    for (xmlNode* element = root; element != nullptr; element = nextElement(element)) {
        while (true) {
            at = bytes.find('<', at);
            if (at == std::string::npos) return;
            const size_t after = skipOtherMarkup(bytes, at);
            if (after == at) break;
            at = after;
        }
        at = markTagAttributes(bytes, lineStarts, at, element);
        if (at == std::string::npos) return;
    }
}

}  // namespace

void XmlDocumentFree::operator()(_xmlDoc* doc) const {
    xmlFreeDoc(doc);
}

XmlDocument parseXml(const std::string& bytes, const std::string& shown, std::string* error) {
    if (bytes.size() > static_cast<size_t>(INT_MAX)) {
        *error = located(shown, 0, "too large");
        return nullptr;
    }
    merrowhost::LibxmlErrorTrap trap;
    // libxml2 keeps each element's line (xmlGetLineNo); attribute lines come from one walk over
    // the text (markAttributeLines), so parsing stays linear in the document.
    std::unique_ptr<xmlParserCtxt, ParserFree> context(xmlNewParserCtxt());
    if (!context) {
        *error = located(shown, 0, "out of memory");
        return nullptr;
    }
    XmlDocument doc(xmlCtxtReadMemory(context.get(), bytes.data(), static_cast<int>(bytes.size()),
                                      shown.c_str(), nullptr, XML_PARSE_NONET));
    if (!doc || context->nsWellFormed == 0 || trap.stoppedParser()) {
        if (trap.hasError()) {
            const merrowhost::LibxmlErrorTrap::Error& found = trap.error();
            *error = shown + ":" + std::to_string(found.line) + ":" + std::to_string(found.column) +
                     ": " + found.message;
        } else {
            *error = located(shown, 0, "not well-formed XML");
        }
        return nullptr;
    }
    int line = 0;
    if (!merrowhost::entityExpansionWithin(doc.get(), merrowhost::kEntityExpansionLimit, &line)) {
        *error = located(shown, line, merrowhost::kEntityExpansionProblem);
        return nullptr;
    }
    std::vector<size_t> lineStarts;  // the offset where each line after the first begins
    for (size_t at = bytes.find('\n'); at != std::string::npos; at = bytes.find('\n', at + 1)) {
        lineStarts.push_back(at + 1);
    }
    markAttributeLines(bytes, lineStarts, xmlDocGetRootElement(doc.get()));
    return doc;
}

int attributeLine(const _xmlNode* element, const char* name) {
    for (const xmlAttr* attribute = element->properties; attribute != nullptr;
         attribute = attribute->next) {
        if (attribute->_private != nullptr &&
            std::strcmp(reinterpret_cast<const char*>(attribute->name), name) == 0) {
            return static_cast<int>(reinterpret_cast<intptr_t>(attribute->_private) - 1);
        }
    }
    return static_cast<int>(xmlGetLineNo(element));
}

}  // namespace merrowcli
