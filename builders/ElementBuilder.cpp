#include "builders/ElementBuilder.h"

#include "document/NodeList.h"

namespace Merrow {

ElementBuilder::ElementBuilder(const char* name, const char* id)
    : name_(name ? name : ""), id_(id ? id : "") {}

bool ElementBuilder::addTo(XmlElementOperator& parent) {
    std::string path = parent.addElement(name_.c_str(), id_.c_str());
    if (path.empty()) return false;
    // When an earlier sibling has the same name and identifier, the path is narrowed to the
    // element just appended, so that the writes that follow reach it and not that sibling.
    if (NodeList(parent.getXmlGlue(), path).size() > 1) path += "[last()]";
    xpath_ = path;
    return true;
}

bool ElementBuilder::addTo(ElementBuilder& other) {
    return &other != this;
}

}  // namespace Merrow
