#pragma once
// Parsing the XML files a user names, safely: no DTD is loaded, no entity expanded, nothing
// read from the network. A syntax error becomes one "FILE:LINE:COLUMN: problem" message.

#include <memory>
#include <string>

struct _xmlDoc;
struct _xmlNode;

namespace merrowcli {

struct XmlDocumentFree {
    void operator()(_xmlDoc* doc) const;
};
using XmlDocument = std::unique_ptr<_xmlDoc, XmlDocumentFree>;

// The document of the bytes, shown as `shown` in messages; null with *error set when they are
// not well-formed, namespace-correct XML.
XmlDocument parseXml(const std::string& bytes, const std::string& shown, std::string* error);

// The line of an element's attribute (without namespace) in a document of parseXml: the line
// its name is on, which in a start tag over several lines is not the element's line. The
// element's line when the attribute is absent or its place is unknown.
int attributeLine(const _xmlNode* element, const char* name);

}  // namespace merrowcli
