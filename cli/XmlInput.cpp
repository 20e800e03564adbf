#include "cli/XmlInput.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <climits>

#include "cli/InputFile.h"
#include "host/dom/LibxmlErrorTrap.h"

namespace merrowcli {

namespace {

struct ParserFree {
    void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
};

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
    std::unique_ptr<xmlParserCtxt, ParserFree> context(xmlNewParserCtxt());
    if (!context) {
        *error = located(shown, 0, "out of memory");
        return nullptr;
    }
    XmlDocument doc(xmlCtxtReadMemory(context.get(), bytes.data(), static_cast<int>(bytes.size()),
                                      shown.c_str(), nullptr, XML_PARSE_NONET));
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
    return doc;
}

}  // namespace merrowcli
