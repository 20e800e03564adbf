#include "document/XmlElementOperator.h"

#include <utility>

#include "document/HostString.h"
#include "document/NodeList.h"
#include "document/XPathText.h"

namespace Merrow {

XmlElementOperator::XmlElementOperator(CXMLOutputFileGlue& glue, std::string xpath)
    : glue_(glue), xpath_(std::move(xpath)) {}

XmlElementOperator& XmlElementOperator::operator=(const XmlElementOperator& other) {
    if (this == &other) return *this;
    if (&glue_ != &other.glue_) {
        // Detaching first would make a glue shared by both handles forget its document, so the
        // re-attach happens only between two different glue objects.
        const unsigned domId = other.glue_.GetDOMId();
        glue_.Detach();
        glue_.Attach(domId, nullptr);
    }
    xpath_ = other.xpath_;
    return *this;
}

std::string XmlElementOperator::getChildXPath(const char* name, const char* id) const {
    std::string path = xpath_ + step(glue_.GetNameSpaceString(), name ? name : "");
    if (id != nullptr && id[0] != '\0') path += idPredicate(id);
    return path;
}

std::string XmlElementOperator::getAllChildXPath() const {
    return xpath_ + step(glue_.GetNameSpaceString(), "*");
}

std::string XmlElementOperator::getParentXPath() const {
    return ".." + xpath_;
}

unsigned XmlElementOperator::childCount(const char* name) const {
    if (name == nullptr || name[0] == '\0') return 0;
    NodeList nodes(glue_, xpath_ + step(glue_.GetNameSpaceString(), name));
    return static_cast<unsigned>(nodes.size());
}

std::string XmlElementOperator::getId() const {
    NodeList nodes(glue_, xpath_);
    return nodes.size() > 0 ? std::string(nodes.id(0)) : std::string();
}

std::string XmlElementOperator::getAttribute(const char* name) const {
    if (name == nullptr) return std::string();
    HostString value;
    if (!glue_.GetNodeAttribute(xpath_.c_str(), name, value.out())) return std::string();
    return value.str();
}

bool XmlElementOperator::setAttribute(const char* name, const char* value) {
    if (name == nullptr || name[0] == '\0' || value == nullptr || value[0] == '\0') return false;
    return glue_.SetNodeAttribute(xpath_.c_str(), name, value);
}

std::string XmlElementOperator::addElement(const char* name, const char* id) {
    if (name == nullptr || name[0] == '\0') return std::string();
    if (!glue_.AddNode(xpath_.c_str(), name, id)) return std::string();
    return getChildXPath(name, id);
}

std::string XmlElementOperator::appendElement(const char* name, const char* id) {
    std::string path = addElement(name, id);
    if (!path.empty() && NodeList(glue_, path).size() > 1) path += "[last()]";
    return path;
}

}  // namespace Merrow
