#pragma once
// Small helpers shared by the chapter menu and scene group builders: the walk over the children
// of a reference element, the path of a just-appended element, and the shared sections of the
// new document ("command", "effect") that the first builder needing them creates.

#include <string>

#include "document/NodeList.h"
#include "document/XPathText.h"
#include "document/XmlElementOperator.h"

namespace Merrow {

// The path of the index-th element child that nodes lists under parent. A child with an
// identifier is addressed by name and identifier; one without by its position, because its name
// alone would select its first same-named sibling.
inline std::string referenceChildPath(const XmlElementOperator& parent, const NodeList& nodes,
                                      int index) {
    const char* id = nodes.id(index);
    if (id[0] != '\0') return parent.getChildXPath(nodes.name(index), id);
    return parent.getAllChildXPath() + "[" + std::to_string(index + 1) + "]";
}

struct WalkResult {
    int children = 0;
    bool result = false;
};

// Visits the element children of parent in document order as handles on parent's document:
// visit(tag, child, position, running). The running result starts false; a visit that leaves
// it false ends the walk, so a walk whose first child no row handles stops at once.
template <typename Visit>
WalkResult walkReferenceChildren(const XmlElementOperator& parent, Visit&& visit) {
    NodeList nodes(parent.getXmlGlue(), parent.getAllChildXPath());
    WalkResult walk;
    walk.children = nodes.size();
    for (int i = 0; i < nodes.size(); ++i) {
        XmlElementOperator child(parent.getXmlGlue(), referenceChildPath(parent, nodes, i));
        const std::string tag = nodes.name(i);
        visit(tag, child, i, walk.result);
        if (!walk.result) break;
    }
    return walk;
}

// Appends a child element and gives a path that selects that very element, also when siblings
// share its name and identifier; "" when nothing was added.
inline std::string appendElement(XmlElementOperator& parent, const char* name,
                                 const std::string& id) {
    std::string path = parent.addElement(name, id);
    if (!path.empty()) path += "[last()]";
    return path;
}

// A handle on the section child of the document element ("/NS:root/NS:command", say), which is
// added with the section's name as identifier when the document holds no such element yet, so
// the document never holds two of them.
inline XmlElementOperator sectionElement(CXMLOutputFileGlue& doc, const char* name) {
    const char* prefix = doc.GetNameSpaceString();
    XmlElementOperator root(doc, step(prefix, "root"));
    XmlElementOperator section(doc, root.getXPath() + step(prefix, name));
    bool exists = false;
    {
        NodeList nodes(doc, section.getXPath());
        exists = nodes.size() > 0;
    }
    if (!exists) root.addElement(name, name);
    return section;
}

// The focus control of the command section, added when missing.
inline XmlElementOperator focusControlElement(CXMLOutputFileGlue& doc) {
    XmlElementOperator command = sectionElement(doc, "command");
    XmlElementOperator focusControl(doc, command.getChildXPath("focuscontrol", "focuscontrol"));
    if (focusControl.getId().empty()) command.addElement("focuscontrol", "focuscontrol");
    return focusControl;
}

}  // namespace Merrow
