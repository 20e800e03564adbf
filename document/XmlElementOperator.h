#pragma once
// A handle on one element of a host document: a glue reference and an absolute XPath. Handles
// never cache nodes; every read and write goes to the glue with the handle's XPath.

#include <string>

#include "host/dom/XmlOutputFileGlue.h"
#include "merrowkit/Export.h"

namespace Merrow {

class MERROWKIT_API XmlElementOperator {
public:
    XmlElementOperator(CXMLOutputFileGlue& glue, std::string xpath);
    XmlElementOperator(const XmlElementOperator& other) = default;
    // Re-attaches this handle's glue to the document of other's glue, then copies the XPath.
    // Over the same glue object only the XPath is copied, so the document is never lost.
    XmlElementOperator& operator=(const XmlElementOperator& other);

    std::string getXPath() const { return xpath_; }
    CXMLOutputFileGlue& getXmlGlue() const { return glue_; }

    // xpath + "/" + prefix + ":" + name, with the identifier predicate when id is not empty.
    std::string getChildXPath(const char* name, const char* id) const;
    std::string getAllChildXPath() const;
    // ".." followed by the XPath.
    std::string getParentXPath() const;
    unsigned childCount(const char* name) const;
    std::string getId() const;
    std::string getAttribute(const char* name) const;
    bool setAttribute(const char* name, const char* value);
    bool setAttribute(const char* name, const std::string& value) {
        return setAttribute(name, value.c_str());
    }
    // Appends a child element and returns its XPath; empty when nothing was added.
    std::string addElement(const char* name, const char* id);
    std::string addElement(const char* name, const std::string& id) {
        return addElement(name, id.c_str());
    }
    // Appends a child element like addElement, and gives a path that selects that very element:
    // when an earlier sibling answers to the same name and identifier (identifiers may repeat,
    // and elements may have none), the path is narrowed with [last()], so that the writes that
    // follow reach the new element and not that sibling. "" when nothing was added.
    std::string appendElement(const char* name, const char* id);
    std::string appendElement(const char* name, const std::string& id) {
        return appendElement(name, id.c_str());
    }

private:
    CXMLOutputFileGlue& glue_;
    std::string xpath_;
};

}  // namespace Merrow
