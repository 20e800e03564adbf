#include "document/NodeList.h"

#include "document/CreatorSetToolBox.h"

namespace Merrow {

NodeList::NodeList(CXMLOutputFileGlue& glue, const std::string& xpath) {
    ok_ = glue.SelectNodes(xpath.c_str(), &nodes_, &count_);
    if (nodes_ == nullptr || count_ < 0) count_ = 0;
}

NodeList::~NodeList() {
    CreatorSetToolBox::freeNodeInfo(&nodes_, count_);
}

const char* NodeList::name(int index) const {
    const char* text = nodes_[index] ? nodes_[index]->name : nullptr;
    return text ? text : "";
}

const char* NodeList::id(int index) const {
    const char* text = nodes_[index] ? nodes_[index]->id : nullptr;
    return text ? text : "";
}

}  // namespace Merrow
