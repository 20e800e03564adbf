// The places where the calendar's select buttons land in the new document (the resource sets,
// the focus control and the effect section), and the template buttons that give their size.

#include "builders/CalendarCommandElementBuilder.h"
#include "builders/ReferenceWalk.h"
#include "document/XPathText.h"

namespace Merrow {

namespace {

XmlElementOperator gridTemplateButton(XmlElementOperator& navigationInfo, const char* layoutId) {
    CXMLOutputFileGlue& ref = navigationInfo.getXmlGlue();
    const char* prefix = ref.GetNameSpaceString();
    const std::string path = step(prefix, "root") + step(prefix, "layout") +
                             step(prefix, "container") + idPredicate(layoutId) +
                             step(prefix, "gridcontainer") + step(prefix, "gridholder") +
                             attributePredicate("type", "TEMPLATE") + step(prefix, "graphicbutton");
    return XmlElementOperator(ref, path);
}

}  // namespace

bool CalendarCommandElementBuilder::addResourceElement(XmlElementOperator& parent,
                                                       const char* setId, ElementBuilder& builder) {
    CXMLOutputFileGlue& doc = parent.getXmlGlue();
    const std::string set = setId ? setId : "";
    // The creation driver normally made the list already ("Resourcelist"); this is the fallback.
    XmlElementOperator list = sectionElement(doc, "resourcelist");
    XmlElementOperator resourceSet(
        doc, list.getXPath() + step(doc.GetNameSpaceString(), "resourceset") + idPredicate(set));
    if (resourceSet.getId().empty()) list.addElement("resourceset", set);
    builder.addTo(resourceSet);
    return true;
}

bool CalendarCommandElementBuilder::addFocusItemElement(XmlElementOperator& parent,
                                                        ElementBuilder& builder) {
    XmlElementOperator focusControl = focusControlElement(parent.getXmlGlue());
    return builder.addTo(focusControl);
}

bool CalendarCommandElementBuilder::addTriggerElement(XmlElementOperator& parent,
                                                      ElementBuilder& builder) {
    XmlElementOperator effect = sectionElement(parent.getXmlGlue(), "effect");
    return builder.addTo(effect);
}

XmlElementOperator CalendarCommandElementBuilder::getMonthGridLayoutButtonOperator() {
    return gridTemplateButton(navigationInfo_, "MonthPageLayout");
}

XmlElementOperator CalendarCommandElementBuilder::getDayGridLayoutButtonOperator() {
    return gridTemplateButton(navigationInfo_, "DayPageLayout");
}

XmlElementOperator CalendarCommandElementBuilder::getContentGridLayoutButtonOperator() {
    return gridTemplateButton(navigationInfo_, "ContentPageLayout");
}

}  // namespace Merrow
