#pragma once
// The path shapes the glue is asked for again and again, resolved by walking the document and
// its id index instead of libxml2's XPath, which scans every sibling for each identifier
// predicate. A path is simple when it is a chain of child steps with name tests in the "NS"
// prefix (or without prefix), each with predicates of the kinds [@attr="value"], [N] and
// [last()]; it may start at the document ("/"), at the document element (a relative path, "."),
// or with "//" followed by a step whose first predicate is [@id="value"]. Any other text is not
// simple and goes to libxml2. The answer is always the one libxml2 gives.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct _xmlDoc;
struct _xmlNode;

namespace merrowhost {

class ElementIndex;

struct PathPredicate {
    enum class Kind { Attribute, Position, Last };
    Kind kind = Kind::Attribute;
    std::string name;   // the attribute, for Attribute
    std::string value;  // the literal, for Attribute
    long position = 0;  // 1-based, for Position
};

struct PathStep {
    bool prefixed = false;  // "NS:name" rather than "name"
    bool anyName = false;   // "*" or "NS:*"
    std::string name;
    std::vector<PathPredicate> predicates;
};

struct SimplePath {
    enum class Start { DocumentElement, Document, AnyDescendant };
    Start start = Start::DocumentElement;
    std::vector<PathStep> steps;
};

// Empty when the text is not of the simple shapes above.
std::optional<SimplePath> parseSimplePath(std::string_view text);

// The elements the path selects, in document order. namespaceHref is the namespace the "NS"
// prefix stands for (null: the document element has none, and "NS:" names match elements
// without namespace, as the evaluator's dropped prefix does).
std::vector<_xmlNode*> evaluateSimplePath(const SimplePath& path, _xmlDoc* doc,
                                          const ElementIndex& index);

}  // namespace merrowhost
