#include "host/dom/ElementIndex.h"

#include <libxml/tree.h>
#include <libxml/xpath.h>

#include <algorithm>
#include <cstring>

namespace merrowhost {
namespace {

// The element's own "id" without namespace, or null; no copy is made.
const xmlChar* idOf(xmlNodePtr element) {
    xmlAttrPtr attribute = xmlHasNsProp(element, BAD_CAST "id", nullptr);
    if (attribute == nullptr || attribute->type != XML_ATTRIBUTE_NODE) return nullptr;
    xmlNodePtr text = attribute->children;
    // A value of one text node, as every parsed or written attribute is; anything else is read
    // through libxml2 by the caller's check.
    if (text == nullptr) return BAD_CAST "";
    if (text->next == nullptr && text->type == XML_TEXT_NODE) return text->content;
    return nullptr;
}

bool hasId(xmlNodePtr element, std::string_view id) {
    xmlChar* value = xmlGetNoNsProp(element, BAD_CAST "id");
    if (value == nullptr) return false;
    const bool same = std::string_view(reinterpret_cast<const char*>(value)) == id;
    xmlFree(value);
    return same;
}

}  // namespace

ElementIndex::ElementIndex(_xmlDoc* doc) : doc_(doc) {
    // A walk of the whole document meets its elements in document order.
    if (doc_ != nullptr) addTree(xmlDocGetRootElement(doc_), true);
}

ElementIndex* ElementIndex::of(_xmlDoc* doc) {
    return doc != nullptr ? static_cast<ElementIndex*>(doc->_private) : nullptr;
}

void ElementIndex::attach() {
    if (doc_ != nullptr) doc_->_private = this;
}

void ElementIndex::detach() {
    if (doc_ != nullptr && doc_->_private == this) doc_->_private = nullptr;
}

void ElementIndex::addElement(xmlNodePtr element, bool inOrder) {
    NameList& named = byName_[reinterpret_cast<const char*>(element->name)];
    named.elements.push_back(element);
    if (!inOrder) named.ordered = false;
    const xmlChar* id = idOf(element);
    if (id != nullptr) {
        byId_[reinterpret_cast<const char*>(id)].push_back(element);
        return;
    }
    // An unusual attribute value (entity references): read it the slow way.
    xmlChar* value = xmlGetNoNsProp(element, BAD_CAST "id");
    if (value == nullptr) return;
    try {
        byId_[reinterpret_cast<const char*>(value)].push_back(element);
    } catch (...) {
        xmlFree(value);
        throw;
    }
    xmlFree(value);
}

void ElementIndex::addSubtree(xmlNodePtr top) {
    addTree(top, false);
}

void ElementIndex::addTree(xmlNodePtr top, bool inOrder) {
    xmlNodePtr node = top;
    while (node != nullptr) {
        if (node->type == XML_ELEMENT_NODE) {
            addElement(node, inOrder);
            if (node->children != nullptr) {
                node = node->children;
                continue;
            }
        }
        while (node != top && node->next == nullptr) node = node->parent;
        if (node == top) return;
        node = node->next;
    }
}

void ElementIndex::idChanged(xmlNodePtr element, const char* oldId, const char* newId) {
    if (oldId != nullptr) {
        const auto found = byId_.find(oldId);
        if (found != byId_.end()) {
            auto& list = found->second;
            list.erase(std::remove(list.begin(), list.end(), element), list.end());
            if (list.empty()) byId_.erase(found);
        }
    }
    if (newId != nullptr) {
        auto& list = byId_[newId];
        if (std::find(list.begin(), list.end(), element) == list.end()) list.push_back(element);
    }
}

std::vector<xmlNodePtr> ElementIndex::elementsWithId(std::string_view id) const {
    std::vector<xmlNodePtr> elements;
    const auto found = byId_.find(std::string(id));
    if (found == byId_.end()) return elements;
    for (xmlNodePtr element : found->second) {
        if (hasId(element, id)) elements.push_back(element);
    }
    return elements;
}

xmlNodePtr ElementIndex::firstWithId(std::string_view id) const {
    std::vector<xmlNodePtr> elements = elementsWithId(id);
    if (elements.empty()) return nullptr;
    sortInDocumentOrder(&elements);
    return elements.front();
}

const std::vector<xmlNodePtr>& ElementIndex::elementsNamed(const std::string& localName) const {
    static const std::vector<xmlNodePtr> none;
    const auto found = byName_.find(localName);
    if (found == byName_.end()) return none;
    NameList& named = found->second;
    if (!named.ordered) {
        sortInDocumentOrder(&named.elements);
        named.ordered = true;
    }
    return named.elements;
}

void sortInDocumentOrder(std::vector<xmlNodePtr>* elements) {
    if (elements->size() < 2) return;
    // xmlXPathCmpNodes gives 1 when its first node comes first.
    std::stable_sort(elements->begin(), elements->end(), [](xmlNodePtr a, xmlNodePtr b) {
        return a != b && xmlXPathCmpNodes(a, b) == 1;
    });
}

}  // namespace merrowhost
