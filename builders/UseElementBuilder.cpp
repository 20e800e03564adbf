#include "builders/UseElementBuilder.h"

namespace Merrow {

UseElementBuilder::UseElementBuilder(const char* id, const char* target, const char* param)
    : ElementBuilder("use", id), target_(target ? target : ""), param_(param ? param : "") {}

bool UseElementBuilder::addTo(XmlElementOperator& parent) {
    if (!ElementBuilder::addTo(parent)) return false;
    XmlElementOperator element(parent.getXmlGlue(), xPath());
    element.setAttribute("target", target_);
    if (!param_.empty()) element.setAttribute("param", param_);
    return true;
}

}  // namespace Merrow
