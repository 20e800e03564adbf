#pragma once
// The elements of one registry document by the value of their "id" attribute (without
// namespace) and by their local name, so that the glue finds an element named by identifier,
// or every element of a name, without scanning the document. The registry builds it when a document
// is added and the glue keeps it current on every change it makes (a new element, a written "id").
// Registry documents are changed only through the glue, so the index holds every element that
// carries an id.
//
// The index may hold more than the truth (an element whose id was written over is dropped, but
// callers still check each candidate's attribute), never less.

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct _xmlDoc;
struct _xmlNode;

namespace merrowhost {

class ElementIndex {
public:
    // Indexes every element of the document.
    explicit ElementIndex(_xmlDoc* doc);

    // The index of a registry document; null for a document the registry does not hold.
    static ElementIndex* of(_xmlDoc* doc);
    // Attaches the index to its document (the document keeps a pointer to it) and detaches it.
    void attach();
    void detach();

    // Records an element and the elements below it.
    void addSubtree(_xmlNode* element);
    // The element's "id" is about to change from oldId (null when it had none) to newId.
    void idChanged(_xmlNode* element, const char* oldId, const char* newId);

    // The elements whose "id" equals id, in no particular order; each candidate still carries
    // that id.
    std::vector<_xmlNode*> elementsWithId(std::string_view id) const;
    // The first of those in document order; null when there is none.
    _xmlNode* firstWithId(std::string_view id) const;
    // Every element of that local name, whatever its namespace, in document order.
    const std::vector<_xmlNode*>& elementsNamed(const std::string& localName) const;

private:
    struct NameList {
        std::vector<_xmlNode*> elements;
        bool ordered = true;  // false after an element was added behind the loaded ones
    };

    // inOrder: the elements come in document order after every element indexed so far.
    void addTree(_xmlNode* top, bool inOrder);
    void addElement(_xmlNode* element, bool inOrder);

    _xmlDoc* doc_;
    std::unordered_map<std::string, std::vector<_xmlNode*>> byId_;
    mutable std::unordered_map<std::string, NameList> byName_;
};

// Sorts elements of one document into document order.
void sortInDocumentOrder(std::vector<_xmlNode*>* elements);

}  // namespace merrowhost
