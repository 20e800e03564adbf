#pragma once
// Evaluates the host's XPath text on one document: the prefix "NS" stands for the namespace of
// the document element (or for no namespace when it has none), and relative paths start at the
// document element. Only element nodes are returned, in document order.

#include <string>
#include <string_view>
#include <vector>

struct _xmlDoc;
struct _xmlNode;

namespace merrowhost {

class XPathEvaluator {
public:
    static constexpr const char* kPrefix = "NS";

    explicit XPathEvaluator(_xmlDoc* doc) : doc_(doc) {}

    // False for a null or empty path, text that is not an XPath expression, or a result that
    // is not a node set. A node set without elements is a success with no elements.
    bool selectElements(const char* xpath, std::vector<_xmlNode*>* elements) const;
    // The first selected element in document order; null when there is none or on failure.
    _xmlNode* firstElement(const char* xpath) const;

    // Removes the "NS:" prefix from every name test of the text, leaving string literals and
    // longer names that merely end in "NS" alone. Used for documents without namespace.
    static std::string dropPrefix(std::string_view xpath);

private:
    _xmlDoc* doc_;
};

}  // namespace merrowhost
