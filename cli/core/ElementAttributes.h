#pragma once
// One element of a strictly read XML file (project.xml): its attributes checked against the
// names it may carry and read as text, whole numbers or truth values, with the element's line
// in every problem.

#include <initializer_list>
#include <optional>
#include <string>

struct _xmlNode;

namespace merrowcli {

// The element's local name, and "<name>" as messages write it.
std::string nodeName(const _xmlNode* node);
std::string tagOf(const std::string& name);
int lineOf(const _xmlNode* node);
bool isElement(const _xmlNode* node);
// Text outside elements is only allowed to be white space; true for anything but other text.
bool isBlankText(const _xmlNode* node);

class ElementAttributes {
public:
    ElementAttributes(const std::string& file, const _xmlNode* element)
        : file_(file), element_(element) {}

    // False with *error naming the first attribute that is not among the allowed ones (or has
    // a namespace).
    bool onlyKnown(std::initializer_list<const char*> allowed, std::string* error) const;

    std::optional<std::string> get(const char* name) const;

    // A whole number within [low, high] into *out; absent leaves *out as it is.
    bool readInteger(const char* name, long long low, long long high, long long* out,
                     std::string* error) const;
    // A truth value into *out; absent leaves *out as it is.
    bool readBoolean(const char* name, bool* out, std::string* error) const;

    // "FILE:LINE: text" at the element.
    std::string problem(const std::string& text) const;
    // "FILE:LINE: text" at the line of the named attribute.
    std::string problemAt(const char* attribute, const std::string& text) const;

private:
    const std::string& file_;
    const _xmlNode* element_;
};

}  // namespace merrowcli
