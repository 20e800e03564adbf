#include "builders/FocusItemElementBuilder.h"

namespace Merrow {

FocusItemElementBuilder::FocusItemElementBuilder(const char* id, const char* target)
    : ElementBuilder("focusitem", id), target_(target ? target : "") {}

bool FocusItemElementBuilder::addTo(XmlElementOperator& parent) {
    if (!ElementBuilder::addTo(parent)) return false;
    XmlElementOperator element(parent.getXmlGlue(), xPath());
    return element.setAttribute("target", target_);
}

}  // namespace Merrow
