#pragma once
// Evaluates the host's XPath text on one document: the prefix "NS" stands for the namespace of
// the document element (or for no namespace when it has none), and relative paths start at the
// document element. Only element nodes are returned, in document order. On a registry document
// the simple path shapes the glue composes are resolved through the document's id index; every
// other path goes to libxml2, and both give the same answer.

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

    // A record of how paths were resolved, for tests that compare the index with libxml2: while
    // one is installed, every path resolved through the index is evaluated by libxml2 too.
    struct CrossCheck {
        size_t indexed = 0;                    // paths resolved through the index
        size_t libxml2 = 0;                    // paths left to libxml2 alone
        std::vector<std::string> differences;  // paths where the two answers differ
    };
    // Installs record (null removes it); not thread-safe, for tests. A process started with
    // MERROWHOST_CROSS_CHECK_PATHS set in its environment checks every path the same way and
    // writes the figures and each difference to stderr when it exits.
    static void setCrossCheck(CrossCheck* record);

private:
    bool selectThroughLibxml2(const char* xpath, std::vector<_xmlNode*>* elements) const;

    _xmlDoc* doc_;
};

}  // namespace merrowhost
