// The places where the calendar's select buttons land in the new document (the resource sets,
// the focus control and the effect section), and the template buttons that give their size.

#include "builders/CalendarCommandElementBuilder.h"
#include "document/NodeList.h"
#include "document/XPathText.h"

namespace Merrow {

namespace {

std::string rootPath(CXMLOutputFileGlue& doc) {
    return step(doc.GetNameSpaceString(), "root");
}

// Makes sure the document element has a child of this name; adds it with the identifier when
// there is none. An existing one is kept whatever its identifier, so the document never holds
// two of them. Gives the path of the (first) child.
std::string ensureRootChild(CXMLOutputFileGlue& doc, const char* name, const char* id) {
    const std::string root = rootPath(doc);
    const std::string path = root + step(doc.GetNameSpaceString(), name);
    NodeList existing(doc, path);
    if (existing.size() == 0) XmlElementOperator(doc, root).addElement(name, id);
    return path;
}

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
    const std::string listPath = ensureRootChild(doc, "resourcelist", "resourcelist");
    XmlElementOperator resourceSet(
        doc, listPath + step(doc.GetNameSpaceString(), "resourceset") + idPredicate(set));
    if (resourceSet.getId().empty())
        XmlElementOperator(doc, listPath).addElement("resourceset", set);
    builder.addTo(resourceSet);
    return true;
}

bool CalendarCommandElementBuilder::addFocusItemElement(XmlElementOperator& parent,
                                                        ElementBuilder& builder) {
    CXMLOutputFileGlue& doc = parent.getXmlGlue();
    XmlElementOperator command(doc, ensureRootChild(doc, "command", "command"));
    XmlElementOperator focusControl(doc, command.getChildXPath("focuscontrol", "focuscontrol"));
    if (focusControl.getId().empty()) command.addElement("focuscontrol", "focuscontrol");
    return builder.addTo(focusControl);
}

bool CalendarCommandElementBuilder::addTriggerElement(XmlElementOperator& parent,
                                                      ElementBuilder& builder) {
    CXMLOutputFileGlue& doc = parent.getXmlGlue();
    XmlElementOperator effect(doc, ensureRootChild(doc, "effect", "effect"));
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
