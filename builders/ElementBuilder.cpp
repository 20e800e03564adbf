#include "builders/ElementBuilder.h"

namespace Merrow {

ElementBuilder::ElementBuilder(const char* name, const char* id)
    : name_(name ? name : ""), id_(id ? id : "") {}

bool ElementBuilder::addTo(XmlElementOperator& parent) {
    const std::string path = parent.addElement(name_.c_str(), id_.c_str());
    if (path.empty()) return false;
    xpath_ = path;
    return true;
}

bool ElementBuilder::addTo(ElementBuilder& other) {
    return &other != this;
}

}  // namespace Merrow
