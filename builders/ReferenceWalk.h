#pragma once
// Small helpers shared by the builders and the creator: the walk over the element children of a
// reference element, and the sections of the new document ("command", "effect", ...) that the
// first writer needing them creates.

#include <string>

#include "document/NodeList.h"
#include "document/XPathText.h"
#include "document/XmlElementOperator.h"

namespace Merrow {

// The path of the index-th (0-based) element child of parent. Children are addressed by their
// position, since neither a name nor an identifier need be unique among siblings.
inline std::string childElementPath(const XmlElementOperator& parent, int index) {
    return parent.getAllChildXPath() + "[" + std::to_string(index + 1) + "]";
}

// Visits the element children of parent in document order as handles on parent's document:
// visit(tag, child, position) gives whether to go on. True when every visit went on (and so
// for an element without children).
template <typename Visit>
bool forEachChildElement(const XmlElementOperator& parent, Visit&& visit) {
    NodeList nodes(parent.getXmlGlue(), parent.getAllChildXPath());
    for (int i = 0; i < nodes.size(); ++i) {
        XmlElementOperator child(parent.getXmlGlue(), childElementPath(parent, i));
        const std::string tag = nodes.name(i);
        if (!visit(tag, child, i)) return false;
    }
    return true;
}

// The walk of the builders that carry one running result over the children:
// visit(tag, child, position, running). The running result starts false and a visit may leave
// it as the child before left it; once it is false the walk ends, so a walk whose first child
// no visit handles stops at once. Gives the running result at the end (false without children).
template <typename Visit>
bool walkReferenceChildren(const XmlElementOperator& parent, Visit&& visit) {
    bool running = false;
    forEachChildElement(parent,
                        [&](const std::string& tag, XmlElementOperator& child, int position) {
                            visit(tag, child, position, running);
                            return running;
                        });
    return running;
}

// A handle on the child of the document element with this name ("/NS:root/NS:command", say),
// which is added with the name as identifier when the document holds no such element yet, so
// the document never holds two of them. An existing one is kept whatever its identifier.
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

// The focus control of the command section, added (with the section) when missing.
inline XmlElementOperator focusControlElement(CXMLOutputFileGlue& doc) {
    XmlElementOperator command = sectionElement(doc, "command");
    XmlElementOperator focusControl(doc, command.getChildXPath("focuscontrol", "focuscontrol"));
    if (focusControl.getId().empty()) command.addElement("focuscontrol", "focuscontrol");
    return focusControl;
}

}  // namespace Merrow
