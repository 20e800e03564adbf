#include "host/dom/ElementLookup.h"

#include <libxml/tree.h>

#include "host/dom/ElementIndex.h"

namespace merrowhost {

bool elementAttribute(xmlNodePtr element, const char* name, std::string* value) {
    if (element == nullptr || name == nullptr) return false;
    xmlChar* text = xmlGetNoNsProp(element, BAD_CAST name);
    if (text == nullptr) return false;
    try {
        value->assign(reinterpret_cast<const char*>(text));
    } catch (...) {
        xmlFree(text);
        throw;
    }
    xmlFree(text);
    return true;
}

xmlNodePtr findElementById(xmlDocPtr doc, const char* id) {
    if (doc == nullptr || id == nullptr) return nullptr;
    if (const ElementIndex* index = ElementIndex::of(doc)) return index->firstWithId(id);
    xmlNodePtr root = xmlDocGetRootElement(doc);
    xmlNodePtr node = root;
    std::string value;
    while (node != nullptr) {
        if (node->type == XML_ELEMENT_NODE) {
            if (elementAttribute(node, "id", &value) && value == id) return node;
            if (node->children != nullptr) {
                node = node->children;
                continue;
            }
        }
        while (node != root && node->next == nullptr) node = node->parent;
        if (node == root) return nullptr;
        node = node->next;
    }
    return nullptr;
}

}  // namespace merrowhost
