#include "cli/core/XmlInput.h"

#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <vector>

#include "cli/core/InputFile.h"
#include "host/dom/LibxmlErrorTrap.h"

namespace merrowcli {

namespace {

struct ParserFree {
    void operator()(xmlParserCtxt* context) const {
        // xmlFreeParserCtxt leaves the record of where elements start (record_info) behind.
        xmlClearNodeInfoSeq(&context->node_seq);
        xmlFreeParserCtxt(context);
    }
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

// The offset of the document element's start tag: the first '<' after the prolog (the XML
// declaration, processing instructions, comments and a document type declaration). npos when
// the prolog cannot be walked.
size_t rootTagOffset(const std::string& bytes) {
    size_t at = 0;
    while ((at = bytes.find('<', at)) != std::string::npos) {
        if (bytes.compare(at, 4, "<!--") == 0) {
            at = bytes.find("-->", at + 4);
            if (at == std::string::npos) return at;
            at += 3;
        } else if (bytes.compare(at, 2, "<?") == 0) {
            at = bytes.find("?>", at + 2);
            if (at == std::string::npos) return at;
            at += 2;
        } else if (bytes.compare(at, 2, "<!") == 0) {
            // A document type declaration; one with an internal subset is not walked.
            const size_t close = bytes.find('>', at);
            if (close == std::string::npos || bytes.find('[', at) < close) {
                return std::string::npos;
            }
            at = close + 1;
        } else {
            return at;
        }
    }
    return at;
}

// Finds the line of each attribute name in the start tag that begins at bytes[at] ('<') and
// keeps it in the attribute's _private field as line + 1, so that 0 means unknown.
void markTagAttributes(const std::string& bytes, const std::vector<size_t>& lineStarts, size_t at,
                       xmlNode* node) {
    const std::string name = reinterpret_cast<const char*>(node->name);
    if (at >= bytes.size() || bytes[at] != '<') return;
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
        return;
    }
    at = end;
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
}

// libxml2 gives an element the line where its start tag ends. The parser's record of where
// each start tag begins (for the document element, which libxml2 does not record reliably, the
// end of the prolog) lets us walk the tag's text and give each attribute its own line.
void markAttributeLines(xmlParserCtxt* context, const std::string& bytes,
                        const std::vector<size_t>& lineStarts, xmlNode* element, bool isRoot) {
    for (xmlNode* node = element; node != nullptr; node = node->next) {
        if (node->type != XML_ELEMENT_NODE) continue;
        markAttributeLines(context, bytes, lineStarts, node->children, false);
        if (node->properties == nullptr) continue;
        size_t at = std::string::npos;
        if (isRoot) {
            at = rootTagOffset(bytes);
        } else if (const xmlParserNodeInfo* info = xmlParserFindNodeInfo(context, node)) {
            at = info->begin_pos;
        }
        markTagAttributes(bytes, lineStarts, at, node);
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
    // A memory context (rather than xmlCtxtReadMemory, which resets it) keeps the record of
    // where each element starts; empty input has no such context and takes the plain path.
    std::unique_ptr<xmlParserCtxt, ParserFree> context(
        bytes.empty() ? xmlNewParserCtxt()
                      : xmlCreateMemoryParserCtxt(bytes.data(), static_cast<int>(bytes.size())));
    if (!context) {
        *error = located(shown, 0, "out of memory");
        return nullptr;
    }
    XmlDocument doc;
    if (bytes.empty()) {
        doc.reset(xmlCtxtReadMemory(context.get(), bytes.data(), 0, shown.c_str(), nullptr,
                                    XML_PARSE_NONET));
    } else {
        xmlCtxtUseOptions(context.get(), XML_PARSE_NONET);
        context->record_info = 1;
        xmlParseDocument(context.get());
        doc.reset(context->myDoc);
        context->myDoc = nullptr;
        if (context->wellFormed == 0) doc.reset();
    }
    if (!doc || context->nsWellFormed == 0) {
        if (trap.hasError()) {
            const merrowhost::LibxmlErrorTrap::Error& found = trap.error();
            *error = shown + ":" + std::to_string(found.line) + ":" + std::to_string(found.column) +
                     ": " + found.message;
        } else {
            *error = located(shown, 0, "not well-formed XML");
        }
        return nullptr;
    }
    if (!bytes.empty()) {
        std::vector<size_t> lineStarts;  // the offset where each line after the first begins
        for (size_t at = bytes.find('\n'); at != std::string::npos; at = bytes.find('\n', at + 1)) {
            lineStarts.push_back(at + 1);
        }
        markAttributeLines(context.get(), bytes, lineStarts, xmlDocGetRootElement(doc.get()), true);
    }
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
