#pragma once
// Parsing the XML files a user names, safely: no DTD is loaded, no entity expanded, nothing
// read from the network. A syntax error becomes one "FILE:LINE:COLUMN: problem" message.

#include <memory>
#include <string>

struct _xmlDoc;

namespace merrowcli {

struct XmlDocumentFree {
    void operator()(_xmlDoc* doc) const;
};
using XmlDocument = std::unique_ptr<_xmlDoc, XmlDocumentFree>;

// The document of the bytes, shown as `shown` in messages; null with *error set when they are
// not well-formed, namespace-correct XML.
XmlDocument parseXml(const std::string& bytes, const std::string& shown, std::string* error);

}  // namespace merrowcli
