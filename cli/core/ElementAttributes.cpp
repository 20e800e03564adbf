#include "cli/core/ElementAttributes.h"

#include <libxml/tree.h>

#include "cli/core/InputFile.h"
#include "cli/core/TextValues.h"
#include "cli/core/XmlInput.h"

namespace merrowcli {

std::string nodeName(const xmlNode* node) {
    return reinterpret_cast<const char*>(node->name);
}

// Built by appending (GCC 12 warns falsely about "<" + std::string at -O2).
std::string tagOf(const std::string& name) {
    std::string tag(1, '<');
    tag.append(name);
    tag.append(1, '>');
    return tag;
}

int lineOf(const xmlNode* node) {
    return static_cast<int>(xmlGetLineNo(node));
}

bool isElement(const xmlNode* node) {
    return node->type == XML_ELEMENT_NODE;
}

bool isBlankText(const xmlNode* node) {
    if (node->type != XML_TEXT_NODE && node->type != XML_CDATA_SECTION_NODE) return true;
    return xmlIsBlankNode(const_cast<xmlNode*>(node)) != 0;
}

bool ElementAttributes::onlyKnown(std::initializer_list<const char*> allowed,
                                  std::string* error) const {
    for (const xmlAttr* a = element_->properties; a != nullptr; a = a->next) {
        const std::string name = reinterpret_cast<const char*>(a->name);
        bool known = false;
        for (const char* candidate : allowed) known = known || name == candidate;
        if (!known || a->ns != nullptr) {
            *error = problemAt(reinterpret_cast<const char*>(a->name),
                               tagOf(nodeName(element_)) + ": unknown attribute '" + name + "'");
            return false;
        }
    }
    return true;
}

std::optional<std::string> ElementAttributes::get(const char* name) const {
    xmlChar* value = xmlGetNoNsProp(element_, BAD_CAST name);
    if (value == nullptr) return std::nullopt;
    std::string text = reinterpret_cast<const char*>(value);
    xmlFree(value);
    return text;
}

bool ElementAttributes::readInteger(const char* name, long long low, long long high, long long* out,
                                    std::string* error) const {
    const std::optional<std::string> text = get(name);
    if (!text) return true;
    if (!parseInteger(*text, low, high, out)) {
        *error = problemAt(name, std::string(name) + " \"" + *text + "\" is not " +
                                     (low < 0 ? "a whole number" : "a non-negative whole number") +
                                     " in range");
        return false;
    }
    return true;
}

bool ElementAttributes::readBoolean(const char* name, bool* out, std::string* error) const {
    const std::optional<std::string> text = get(name);
    if (!text) return true;
    if (!parseBoolean(*text, out)) {
        *error = problemAt(
            name, std::string(name) + " \"" + *text + "\" is not a truth value (true or false)");
        return false;
    }
    return true;
}

std::string ElementAttributes::problem(const std::string& text) const {
    return located(file_, lineOf(element_), text);
}

std::string ElementAttributes::problemAt(const char* attribute, const std::string& text) const {
    return located(file_, attributeLine(element_, attribute), text);
}

}  // namespace merrowcli
