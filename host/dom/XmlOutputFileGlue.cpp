#include "host/dom/XmlOutputFileGlue.h"

#include <libxml/chvalid.h>
#include <libxml/encoding.h>
#include <libxml/tree.h>
#include <libxml/xmlstring.h>

#include <climits>
#include <cstring>
#include <memory>
#include <vector>

#include "host/dom/DocumentRegistry.h"
#include "host/dom/ElementIndex.h"
#include "host/dom/ElementLookup.h"
#include "host/dom/LibxmlErrorTrap.h"
#include "host/dom/XPathEvaluator.h"
#include "host/framework/AtomicFileWriter.h"

using merrowhost::DocumentRegistry;
using merrowhost::XPathEvaluator;

namespace {

// True when text is UTF-8 made only of characters XML allows, so that the saved file can be
// read back.
bool isXmlText(const char* text) {
    if (text == nullptr) return false;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    size_t left = std::strlen(text);
    if (left > static_cast<size_t>(INT_MAX)) return false;
    while (left > 0) {
        int length = static_cast<int>(left);
        const int c = xmlGetUTF8Char(bytes, &length);
        if (c < 0 || length <= 0 || !xmlIsCharQ(c)) return false;
        bytes += length;
        left -= static_cast<size_t>(length);
    }
    return true;
}

char* copyString(const xmlChar* text) {
    const char* source = reinterpret_cast<const char*>(text);
    const size_t length = std::strlen(source);
    char* copy = new char[length + 1];
    std::memcpy(copy, source, length + 1);
    return copy;
}

// An attribute name is an NCName (no namespace) or a prefixed name whose prefix is declared
// in scope of the element ("xml" always is). "xmlns" names a namespace declaration, not an
// attribute: written as one, it would move the element to another namespace when the saved
// document is read back.
bool resolveAttributeName(xmlNodePtr node, const char* name, xmlNsPtr* ns, std::string* local) {
    if (name == nullptr || name[0] == '\0' || std::strcmp(name, "xmlns") == 0) return false;
    if (xmlValidateNCName(BAD_CAST name, 0) == 0) {
        *ns = nullptr;
        *local = name;
        return true;
    }
    if (xmlValidateQName(BAD_CAST name, 0) != 0) return false;
    const char* colon = std::strchr(name, ':');
    if (colon == nullptr) return false;
    const std::string prefix(name, colon);
    *ns = xmlSearchNs(node->doc, node, BAD_CAST prefix.c_str());
    if (*ns == nullptr) return false;
    *local = colon + 1;
    return true;
}

void freeNodeList(_NODE_INFO** nodes, size_t count) {
    if (nodes == nullptr) return;
    for (size_t i = 0; i < count; ++i) {
        if (nodes[i] == nullptr) continue;
        delete[] nodes[i]->id;
        delete[] nodes[i]->name;
        delete nodes[i];
    }
    delete[] nodes;
}

bool readAttribute(xmlNodePtr node, const char* name, char** value) {
    xmlNsPtr ns = nullptr;
    std::string local;
    if (node == nullptr || !resolveAttributeName(node, name, &ns, &local)) return false;
    xmlChar* text = ns != nullptr ? xmlGetNsProp(node, BAD_CAST local.c_str(), ns->href)
                                  : xmlGetNoNsProp(node, BAD_CAST local.c_str());
    if (text == nullptr) return false;
    try {
        *value = copyString(text);
    } catch (...) {
        xmlFree(text);
        throw;
    }
    xmlFree(text);
    return true;
}

// Writes the bytes through a temporary file beside path, so that a failed save leaves any
// earlier file untouched and never a partial one.
bool replaceFile(const std::string& path, const std::string& bytes) {
    merrowhost::AtomicFileWriter writer;
    return writer.open(path) && writer.write(bytes.data(), bytes.size()) && writer.commit();
}

}  // namespace

CXMLOutputFileGlue::CXMLOutputFileGlue() = default;

CXMLOutputFileGlue::CXMLOutputFileGlue(const char* namespaceUri, CzfServiceObject*) {
    merrowhost::LibxmlErrorTrap trap;
    xmlDocPtr doc = xmlNewDoc(BAD_CAST "1.0");
    if (doc == nullptr) return;
    xmlNodePtr root = xmlNewDocNode(doc, nullptr, BAD_CAST "root", nullptr);
    if (root == nullptr) {
        xmlFreeDoc(doc);
        return;
    }
    xmlDocSetRootElement(doc, root);
    // The namespace becomes the default one (xmlns="..."). A text that could not be written
    // back as XML leaves the element without namespace.
    if (namespaceUri != nullptr && namespaceUri[0] != '\0' && isXmlText(namespaceUri)) {
        xmlNsPtr ns = xmlNewNs(root, BAD_CAST namespaceUri, nullptr);
        if (ns != nullptr) xmlSetNs(root, ns);
    }
    try {
        domId_ = DocumentRegistry::instance().add(doc);
    } catch (...) {
        xmlFreeDoc(doc);
        domId_ = 0;
    }
}

CXMLOutputFileGlue::CXMLOutputFileGlue(unsigned domId, const char*, CzfServiceObject* service) {
    Attach(domId, service);
}

CXMLOutputFileGlue::~CXMLOutputFileGlue() {
    domId_ = 0;
}

bool CXMLOutputFileGlue::Attach(unsigned domId, CzfServiceObject*) {
    domId_ = 0;
    try {
        if (domId == 0 || !DocumentRegistry::instance().contains(domId)) return false;
    } catch (...) {
        return false;
    }
    domId_ = domId;
    return true;
}

void CXMLOutputFileGlue::Detach() {
    domId_ = 0;
}

unsigned CXMLOutputFileGlue::GetDOMId() const {
    return domId_;
}

const char* CXMLOutputFileGlue::GetNameSpaceString() const {
    return XPathEvaluator::kPrefix;
}

bool CXMLOutputFileGlue::AddNode(const char* parentXPath, const char* name, const char* id) {
    if (name == nullptr || xmlValidateNCName(BAD_CAST name, 0) != 0) return false;
    const bool withId = id != nullptr && id[0] != '\0';
    if (withId && !isXmlText(id)) return false;
    return merrowhost::onRegistryDocument(domId_, [&](xmlDocPtr doc) {
        xmlNodePtr parent = XPathEvaluator(doc).firstElement(parentXPath);
        xmlNodePtr root = xmlDocGetRootElement(doc);
        if (parent == nullptr || root == nullptr) return false;
        merrowhost::LibxmlErrorTrap trap;
        const xmlChar* href =
            (root->ns != nullptr && root->ns->href != nullptr && root->ns->href[0] != '\0')
                ? root->ns->href
                : nullptr;
        // Reuse a declaration in scope at the parent; declare the namespace on the new element
        // only where the parent's scope hides it.
        xmlNsPtr ns = href != nullptr ? xmlSearchNsByHref(doc, parent, href) : nullptr;
        xmlNodePtr child = xmlNewDocNode(doc, ns, BAD_CAST name, nullptr);
        if (child == nullptr) return false;
        if (href != nullptr && ns == nullptr) {
            xmlNsPtr own = xmlNewNs(child, href, nullptr);
            if (own == nullptr) {
                xmlFreeNode(child);
                return false;
            }
            xmlSetNs(child, own);
        } else if (href == nullptr) {
            // Without namespace, a default namespace declared above the parent must not apply.
            xmlNsPtr inherited = xmlSearchNs(doc, parent, nullptr);
            if (inherited != nullptr && inherited->href != nullptr && inherited->href[0] != '\0' &&
                xmlNewNs(child, BAD_CAST "", nullptr) == nullptr) {
                xmlFreeNode(child);
                return false;
            }
        }
        if (withId && xmlNewNsProp(child, nullptr, BAD_CAST "id", BAD_CAST id) == nullptr) {
            xmlFreeNode(child);
            return false;
        }
        if (xmlAddChild(parent, child) == nullptr) {
            xmlFreeNode(child);
            return false;
        }
        if (merrowhost::ElementIndex* index = merrowhost::ElementIndex::of(doc)) {
            index->addSubtree(child);
        }
        return true;
    });
}

bool CXMLOutputFileGlue::SetNodeAttribute(const char* xpath, const char* name, const char* value) {
    if (name == nullptr || value == nullptr || !isXmlText(value)) return false;
    return merrowhost::onRegistryDocument(domId_, [&](xmlDocPtr doc) {
        xmlNodePtr node = XPathEvaluator(doc).firstElement(xpath);
        xmlNsPtr ns = nullptr;
        std::string local;
        if (node == nullptr || !resolveAttributeName(node, name, &ns, &local)) return false;
        merrowhost::LibxmlErrorTrap trap;
        merrowhost::ElementIndex* index = merrowhost::ElementIndex::of(doc);
        if (index != nullptr && ns == nullptr && local == "id") {
            std::string old;
            const bool hadId = merrowhost::elementAttribute(node, "id", &old);
            if (xmlSetNsProp(node, nullptr, BAD_CAST "id", BAD_CAST value) == nullptr) return false;
            index->idChanged(node, hadId ? old.c_str() : nullptr, value);
            return true;
        }
        return xmlSetNsProp(node, ns, BAD_CAST local.c_str(), BAD_CAST value) != nullptr;
    });
}

bool CXMLOutputFileGlue::GetNodeAttribute(const char* xpath, const char* name, char** value) {
    if (value == nullptr) return false;
    *value = nullptr;
    return merrowhost::onRegistryDocument(domId_, [&](xmlDocPtr doc) {
        return readAttribute(XPathEvaluator(doc).firstElement(xpath), name, value);
    });
}

bool CXMLOutputFileGlue::GetAttributeByID(const char* id, const char* name, char** value) {
    if (value == nullptr) return false;
    *value = nullptr;
    if (id == nullptr) return false;
    return merrowhost::onRegistryDocument(domId_, [&](xmlDocPtr doc) {
        return readAttribute(merrowhost::findElementById(doc, id), name, value);
    });
}

bool CXMLOutputFileGlue::SelectNodes(const char* xpath, _NODE_INFO*** nodes, int* count) {
    if (nodes != nullptr) *nodes = nullptr;
    if (count != nullptr) *count = 0;
    if (nodes == nullptr || count == nullptr) return false;
    return merrowhost::onRegistryDocument(domId_, [&](xmlDocPtr doc) {
        std::vector<xmlNodePtr> elements;
        if (!XPathEvaluator(doc).selectElements(xpath, &elements)) return false;
        if (elements.empty()) return true;
        if (elements.size() > static_cast<size_t>(INT_MAX)) return false;
        const size_t size = elements.size();
        _NODE_INFO** list = new _NODE_INFO*[size]();
        try {
            std::string id;
            for (size_t i = 0; i < size; ++i) {
                list[i] = new _NODE_INFO{nullptr, nullptr};
                list[i]->name = copyString(elements[i]->name);
                if (merrowhost::elementAttribute(elements[i], "id", &id)) {
                    list[i]->id = copyString(BAD_CAST id.c_str());
                }
            }
        } catch (...) {
            freeNodeList(list, size);
            throw;
        }
        *nodes = list;
        *count = static_cast<int>(size);
        return true;
    });
}

bool CXMLOutputFileGlue::SaveXMLFile(const char* path) {
    if (path == nullptr || path[0] == '\0') return false;
    try {
        std::string bytes;
        if (!merrowhost::onRegistryDocument(domId_, [&](xmlDocPtr doc) {
                bytes = merrowhost::serializeDocument(doc);
                return !bytes.empty();
            })) {
            return false;
        }
        return replaceFile(path, bytes);
    } catch (...) {
        return false;
    }
}
