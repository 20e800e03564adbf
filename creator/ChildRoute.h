#pragma once
// Hands the child elements of a reference element to the creator's layout handlers by tag.

#include <span>
#include <string>

#include "builders/ReferenceWalk.h"
#include "creator/BDJCalendarApplicationCreator.h"
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
// route whose tag equals its own, with a handle on the child and one on outParentPath in out;
// children of other tags are skipped. onResult(handler result) returns whether to go on.
template <typename OnResult>
void routeChildren(CBDJCalendarApplicationCreator& creator, const XmlElementOperator& ref,
                   CXMLOutputFileGlue& out, const std::string& outParentPath,
                   std::span<const ChildRoute> routes, CzfServiceObject* presentation,
                   SAVEDATA* record, OnResult&& onResult) {
    forEachChildElement(ref, [&](const std::string& tag, XmlElementOperator& child, int) {
        for (const ChildRoute& route : routes) {
            if (tag != route.tag) continue;
            XmlElementOperator parent(out, outParentPath);
            return onResult((creator.*route.handler)(parent, child, presentation, record));
        }
        return true;
    });
}

}  // namespace Merrow
