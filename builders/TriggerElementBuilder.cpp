#include "builders/TriggerElementBuilder.h"

namespace Merrow {

namespace {

const char* stateWord(int code) {
    switch (code) {
        case TriggerElementBuilder::kStateAction:
            return "action";
        case TriggerElementBuilder::kStateFocus:
            return "focus";
        default:
            return "";
    }
}

const char* typeWord(int code) {
    return code == TriggerElementBuilder::kTypeButton ? "button" : "";
}

}  // namespace

TriggerElementBuilder::TriggerElementBuilder(const char* id, const char* launcher, int state,
                                             int type)
    : ElementBuilder("trigger", id),
      launcher_(launcher ? launcher : ""),
      stateCode_(state),
      typeCode_(type) {}

void TriggerElementBuilder::addChild(ElementBuilder* child) {
    children_.push_back(child);
}

bool TriggerElementBuilder::addTo(XmlElementOperator& parent) {
    if (!ElementBuilder::addTo(parent)) return false;
    XmlElementOperator element(parent.getXmlGlue(), xPath());
    element.setAttribute("launcher", launcher_);
    element.setAttribute("state", stateWord(stateCode_));
    element.setAttribute("type", typeWord(typeCode_));
    for (ElementBuilder* child : children_) {
        if (child != nullptr) child->addTo(element);
    }
    return true;
}

}  // namespace Merrow
