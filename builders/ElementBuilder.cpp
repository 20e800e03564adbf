#include "builders/ElementBuilder.h"

namespace Merrow {

ElementBuilder::ElementBuilder(const char* name, const char* id)
    : name_(name ? name : ""), id_(id ? id : "") {}

bool ElementBuilder::addTo(XmlElementOperator& parent) {
    // The path reaches the element just appended, also when an earlier sibling has the same
    // name and identifier.
    std::string path = parent.appendElement(name_.c_str(), id_.c_str());
    if (path.empty()) return false;
    xpath_ = path;
    return true;
}

bool ElementBuilder::addTo(ElementBuilder& other) {
    return &other != this;
}

}  // namespace Merrow
