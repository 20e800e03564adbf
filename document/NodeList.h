#pragma once
// The result of SelectNodes, released with CreatorSetToolBox::freeNodeInfo when it goes out of
// scope, on every path.

#include <string>

#include "host/dom/XmlOutputFileGlue.h"

namespace Merrow {

class NodeList {
public:
    NodeList(CXMLOutputFileGlue& glue, const std::string& xpath);
    ~NodeList();
    NodeList(const NodeList&) = delete;
    NodeList& operator=(const NodeList&) = delete;

    // The host's result of SelectNodes.
    bool ok() const { return ok_; }
    int size() const { return count_; }
    // The local name; never null.
    const char* name(int index) const;
    // The identifier; "" when the element has none.
    const char* id(int index) const;

private:
    _NODE_INFO** nodes_ = nullptr;
    int count_ = 0;
    bool ok_ = false;
};

}  // namespace Merrow
