#include "host/dom/XmlElement.h"

#include <libxml/tree.h>

#include <cstring>

namespace merrowhost {

namespace {

const xmlNode* elementOrNull(const xmlNode* node) {
    return node != nullptr && node->type == XML_ELEMENT_NODE ? node : nullptr;
}

// The first element at or after node among its siblings.
const xmlNode* firstElementFrom(const xmlNode* node) {
    while (node != nullptr && node->type != XML_ELEMENT_NODE) node = node->next;
    return node;
}

}  // namespace

XmlElement::XmlElement(const xmlNode* node) : node_(elementOrNull(node)) {}

std::string XmlElement::name() const {
    return node_ != nullptr ? reinterpret_cast<const char*>(node_->name) : "";
}

bool XmlElement::is(const char* name) const {
    return node_ != nullptr && std::strcmp(reinterpret_cast<const char*>(node_->name), name) == 0;
}

int XmlElement::line() const {
    return node_ != nullptr ? static_cast<int>(xmlGetLineNo(node_)) : 0;
}

bool XmlElement::has(const char* attribute) const {
    return node_ != nullptr && xmlHasNsProp(node_, BAD_CAST attribute, nullptr) != nullptr;
}

std::optional<std::string> XmlElement::attribute(const char* name) const {
    if (node_ == nullptr) return std::nullopt;
    xmlChar* value = xmlGetNoNsProp(node_, BAD_CAST name);
    if (value == nullptr) return std::nullopt;
    std::string text = reinterpret_cast<const char*>(value);
    xmlFree(value);
    return text;
}

std::string XmlElement::attribute(const char* name, const std::string& fallback) const {
    return attribute(name).value_or(fallback);
}

std::vector<std::pair<std::string, std::string>> XmlElement::attributes() const {
    std::vector<std::pair<std::string, std::string>> all;
    if (node_ == nullptr) return all;
    for (const xmlAttr* a = node_->properties; a != nullptr; a = a->next) {
        xmlChar* value = xmlNodeGetContent(reinterpret_cast<const xmlNode*>(a));
        all.emplace_back(reinterpret_cast<const char*>(a->name),
                         value != nullptr ? reinterpret_cast<const char*>(value) : "");
        xmlFree(value);
    }
    return all;
}

XmlElement XmlElement::parent() const {
    return XmlElement(node_ != nullptr ? node_->parent : nullptr);
}

XmlElement XmlElement::child() const {
    return XmlElement(node_ != nullptr ? firstElementFrom(node_->children) : nullptr);
}

XmlElement XmlElement::child(const char* name) const {
    for (XmlElement each = child(); each; each = each.next()) {
        if (each.is(name)) return each;
    }
    return {};
}

XmlElement XmlElement::child(const char* name, const char* attribute,
                             const std::string& value) const {
    for (XmlElement each = child(); each; each = each.next()) {
        if (each.is(name) && each.attribute(attribute) == value) return each;
    }
    return {};
}

XmlElement XmlElement::next() const {
    return XmlElement(node_ != nullptr ? firstElementFrom(node_->next) : nullptr);
}

std::vector<XmlElement> XmlElement::children() const {
    std::vector<XmlElement> all;
    for (XmlElement each = child(); each; each = each.next()) all.push_back(each);
    return all;
}

std::vector<XmlElement> XmlElement::children(const char* name) const {
    std::vector<XmlElement> all;
    for (XmlElement each = child(); each; each = each.next()) {
        if (each.is(name)) all.push_back(each);
    }
    return all;
}

bool XmlElement::isInside(const char* name) const {
    for (XmlElement up = parent(); up; up = up.parent()) {
        if (up.is(name)) return true;
    }
    return false;
}

}  // namespace merrowhost
