#include <string>

#include "builders/ElementIds.h"
#include "creator/BDJCalendarApplicationCreator.h"

namespace {

// One navigation button of the month ("M_"), day ("D_") or content ("C_") page and the page
// command it sends to the calendar command element when actioned.
struct ButtonTrigger {
    const char* id;
    const char* launcher;
    const char* param;
};

// The play-all triggers are numbered from 30; there is no trigger 29.
constexpr ButtonTrigger kButtonTriggers[] = {
    {"trigger_20", "M_BTN_BACK", "BackPage"},
    {"trigger_21", "M_BTN_NEXT", "NextPage"},
    {"trigger_22", "M_BTN_PREVIOUS", "PreviousPage"},
    {"trigger_23", "D_BTN_BACK", "BackPage"},
    {"trigger_24", "D_BTN_NEXT", "NextPage"},
    {"trigger_25", "D_BTN_PREVIOUS", "PreviousPage"},
    {"trigger_26", "C_BTN_BACK", "BackPage"},
    {"trigger_27", "C_BTN_NEXT", "NextPage"},
    {"trigger_28", "C_BTN_PREVIOUS", "PreviousPage"},
    {"trigger_30", "M_BTN_PLAYALL", "PlayAllContent"},
    {"trigger_31", "D_BTN_PLAYALL", "PlayAllContent"},
    {"trigger_32", "C_BTN_PLAYALL", "PlayAllContent"},
};

}  // namespace

// The fixed button triggers of the calendar pages, appended to the shared "effect" element
// (made here when no earlier part of the run made it).
bool CBDJCalendarApplicationCreator::addEffectSectionElement(CXMLOutputFileGlue& doc,
                                                             CXMLOutputFileGlue& /*ref*/) {
    try {
        Merrow::XmlElementOperator root(doc, "/NS:root");
        Merrow::XmlElementOperator effect(doc, root.getChildXPath("effect", "effect"));
        if (effect.getId().empty()) root.addElement("effect", "effect");

        for (const ButtonTrigger& row : kButtonTriggers) {
            Merrow::XmlElementOperator trigger(effect.getXmlGlue(),
                                               effect.addElement("trigger", row.id));
            trigger.setAttribute("launcher", row.launcher);
            trigger.setAttribute("state", "action");
            trigger.setAttribute("type", "button");

            Merrow::XmlElementOperator use(trigger.getXmlGlue(),
                                           trigger.addElement("use", "use_1"));
            use.setAttribute("param", row.param);
            use.setAttribute("target", Merrow::kCalendarCommandId);
        }
        return true;
    } catch (...) {
        return false;
    }
}
