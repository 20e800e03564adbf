#pragma once
// A plain value handle on one element of a libxml2 document, for every reader of XML in the
// command and the host: its name, its attributes (without namespace) with or without a default,
// its element children and its line. An empty handle (no element) answers with empty names,
// defaults and no children, so that a chain of lookups needs no checks in between. The document
// must outlive the handle.

#include <optional>
#include <string>
#include <utility>
#include <vector>

struct _xmlNode;

namespace merrowhost {

class XmlElement {
public:
    XmlElement() = default;
    // The element node; anything else (null, text, a comment) gives an empty handle.
    explicit XmlElement(const _xmlNode* node);

    explicit operator bool() const { return node_ != nullptr; }
    const _xmlNode* node() const { return node_; }

    // The local name; empty for an empty handle.
    std::string name() const;
    bool is(const char* name) const;
    int line() const;

    bool has(const char* attribute) const;
    std::optional<std::string> attribute(const char* name) const;
    std::string attribute(const char* name, const std::string& fallback) const;
    // Every attribute, its local name and value, in document order.
    std::vector<std::pair<std::string, std::string>> attributes() const;

    XmlElement parent() const;
    // The first element child, or the first of that name (with that value of an attribute).
    XmlElement child() const;
    XmlElement child(const char* name) const;
    XmlElement child(const char* name, const char* attribute, const std::string& value) const;
    // The next element after this one among its parent's children.
    XmlElement next() const;
    std::vector<XmlElement> children() const;
    std::vector<XmlElement> children(const char* name) const;
    // True when an element of that name encloses this one.
    bool isInside(const char* name) const;

    bool operator==(const XmlElement& other) const { return node_ == other.node_; }

private:
    const _xmlNode* node_ = nullptr;
};

}  // namespace merrowhost
