// Scroll containers, copied level by level: "scrollcontainer3" with its geometry and direction,
// its "scrollinfo" children, and their "scrollholder" children, whose own children become
// placeholder rectangles and anchors that the calendar pages fill later.

#include <initializer_list>
#include <string>

#include "creator/BDJCalendarApplicationCreator.h"
#include "creator/ChildRoute.h"

using Merrow::ChildRoute;
using Merrow::XmlElementOperator;

namespace {

// Adds the element with the reference element's id and, when it was added, copies the listed
// attributes from the reference element. Returns the new element's path, empty when none.
std::string copyElement(XmlElementOperator& parent, const XmlElementOperator& ref, const char* name,
                        std::initializer_list<const char*> attributes) {
    const std::string path = parent.appendElement(name, ref.getId());
    if (!path.empty()) {
        XmlElementOperator written(parent.getXmlGlue(), path);
        for (const char* attribute : attributes) {
            written.setAttribute(attribute, ref.getAttribute(attribute));
        }
    }
    return path;
}

// The children's results never reach their parent.
constexpr auto kIgnoreResult = [](bool) { return true; };

}  // namespace

bool CBDJCalendarApplicationCreator::addScrollContainer3Element(XmlElementOperator& parent,
                                                                XmlElementOperator& ref,
                                                                CzfServiceObject* presentation,
                                                                SAVEDATA* record) {
    static constexpr ChildRoute kRoutes[] = {
        {"decoration", &CBDJCalendarApplicationCreator::addDecorationElement},
        {"graphicbutton", &CBDJCalendarApplicationCreator::addButtonElement},
        {"scrollinfo", &CBDJCalendarApplicationCreator::addScrollInfoElement},
    };
    const std::string path =
        copyElement(parent, ref, "scrollcontainer3", {"width", "height", "x", "y", "direction"});
    Merrow::routeChildren(*this, ref, parent.getXmlGlue(), path, kRoutes, presentation, record,
                          kIgnoreResult);
    return !path.empty();
}

bool CBDJCalendarApplicationCreator::addScrollInfoElement(XmlElementOperator& parent,
                                                          XmlElementOperator& ref,
                                                          CzfServiceObject* presentation,
                                                          SAVEDATA* record) {
    static constexpr ChildRoute kRoutes[] = {
        {"scrollholder", &CBDJCalendarApplicationCreator::addScrollHolderElement},
    };
    const std::string path = copyElement(parent, ref, "scrollinfo", {});
    Merrow::routeChildren(*this, ref, parent.getXmlGlue(), path, kRoutes, presentation, record,
                          kIgnoreResult);
    return !path.empty();
}

bool CBDJCalendarApplicationCreator::addScrollHolderElement(XmlElementOperator& parent,
                                                            XmlElementOperator& ref,
                                                            CzfServiceObject* presentation,
                                                            SAVEDATA* record) {
    static constexpr ChildRoute kRoutes[] = {
        {"graphicbutton", &CBDJCalendarApplicationCreator::addRectangleElement},
        {"scenetext", &CBDJCalendarApplicationCreator::addRectangleElement},
        {"rectangle", &CBDJCalendarApplicationCreator::addRectangleElement},
        {"icon", &CBDJCalendarApplicationCreator::addRectangleElement},
        {"graphictext", &CBDJCalendarApplicationCreator::addAnchorElement},
    };
    const std::string path = copyElement(parent, ref, "scrollholder", {});
    // The first holder of the run is remembered, whether or not it could be written.
    if (firstScrollHolderPath.empty()) firstScrollHolderPath = ref.getXPath();
    Merrow::routeChildren(*this, ref, parent.getXmlGlue(), path, kRoutes, presentation, record,
                          kIgnoreResult);
    return !path.empty();
}
