#pragma once
// The path of an element that a layout handler has just appended to the new document.

#include <string>

#include "document/NodeList.h"
#include "document/XmlElementOperator.h"

namespace Merrow {

// Adds the element under parent and gives a path that selects that very element: when an
// earlier sibling answers to the same name and identifier (identifiers made by translation may
// repeat, and placeholders may have none), the path is narrowed with [last()] so that the writes
// that follow reach the new element and not that sibling. "" when nothing was added.
inline std::string appendLayoutElement(XmlElementOperator& parent, const char* name,
                                       const std::string& id) {
    std::string path = parent.addElement(name, id.c_str());
    if (!path.empty() && NodeList(parent.getXmlGlue(), path).size() > 1) path += "[last()]";
    return path;
}

}  // namespace Merrow
