#pragma once
// Hands the child elements of a reference element to the creator's layout handlers by tag.

#include <cstring>
#include <span>
#include <string>

#include "builders/ReferenceWalk.h"
#include "creator/BDJCalendarApplicationCreator.h"
#include "document/NodeList.h"
#include "document/XmlElementOperator.h"

namespace Merrow {

// The shape shared by every layout handler: output parent, reference element, presentation
// object, project record.
using LayoutHandler = bool (CBDJCalendarApplicationCreator::*)(XmlElementOperator&,
                                                               XmlElementOperator&,
                                                               CzfServiceObject*, SAVEDATA*);

struct ChildRoute {
    const char* tag;
    LayoutHandler handler;
};

// Walks the child elements of ref in document order. A child goes to the handler of the first
// route whose tag equals its own, with a handle on the child (addressed by position when it has
// no id) and one on outParentPath in out; children of other tags are skipped. onResult(handler
// result) returns whether to go on.
template <typename OnResult>
void routeChildren(CBDJCalendarApplicationCreator& creator, const XmlElementOperator& ref,
                   CXMLOutputFileGlue& out, const std::string& outParentPath,
                   std::span<const ChildRoute> routes, CzfServiceObject* presentation,
                   SAVEDATA* record, OnResult&& onResult) {
    NodeList children(ref.getXmlGlue(), ref.getAllChildXPath());
    for (int i = 0; i < children.size(); ++i) {
        const char* tag = children.name(i);
        XmlElementOperator child(ref.getXmlGlue(), referenceChildPath(ref, children, i));
        XmlElementOperator parent(out, outParentPath);
        for (const ChildRoute& route : routes) {
            if (std::strcmp(route.tag, tag) != 0) continue;
            if (!onResult((creator.*route.handler)(parent, child, presentation, record))) return;
            break;
        }
    }
}

}  // namespace Merrow
