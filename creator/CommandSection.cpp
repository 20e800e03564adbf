// The command section: the calendar's page tree, the focus control and the key handlers.

#include <string>

#include "builders/CalendarCommandElementBuilder.h"
#include "builders/ElementIds.h"
#include "builders/ReferenceWalk.h"
#include "creator/BDJCalendarApplicationCreator.h"
#include "document/XPathText.h"
#include "imagetrack/BufferImageTrackCreatorManager.h"

using Merrow::XmlElementOperator;

namespace {

struct FocusItemRow {
    const char* id;
    const char* target;
};

// The page navigation buttons of the layouts, after the focus items of the calendar itself.
constexpr FocusItemRow kFocusItems[] = {
    {"focusitem_1_1", "Y_BTN_PREVIOUS"}, {"focusitem_1_2", "Y_BTN_NEXT"},
    {"focusitem_2", "M_BTN_BACK"},       {"focusitem_3", "M_BTN_PREVIOUS"},
    {"focusitem_4", "M_BTN_NEXT"},       {"focusitem_5", "D_BTN_BACK"},
    {"focusitem_6", "D_BTN_PREVIOUS"},   {"focusitem_7", "D_BTN_NEXT"},
    {"focusitem_8", "C_BTN_BACK"},       {"focusitem_9", "C_BTN_PREVIOUS"},
    {"focusitem_10", "C_BTN_NEXT"},      {"focusitem_21", "M_BTN_PLAYALL"},
    {"focusitem_22", "D_BTN_PLAYALL"},   {"focusitem_23", "C_BTN_PLAYALL"},
};

// The thumbnail of the first year has the focus when the application starts.
constexpr const char* kDefaultFocus = "L1_SCENE_1";

struct UseRow {
    const char* id;
    const char* param;  // null: the use has no parameter
    const char* target;
};

struct KeyEventRow {
    const char* id;
    const char* vkey;
    UseRow uses[3];  // ends at the first row without an identifier
};

constexpr KeyEventRow kKeyEvents[] = {
    {"key_event_1",
     "VK_POPUP_MENU",
     {{"use_1_1", "TogglePage", Merrow::kCalendarCommandId}, {"use_1_2", nullptr, "focuscontrol"}}},
    {"key_event_2",
     "VK_UP",
     {{"use_2_1", nullptr, "Y_SCROLL"},
      {"use_2_2", nullptr, "focuscontrol"},
      {"use_2_3", "ShowChapterMenu", Merrow::kCalendarCommandId}}},
    {"key_event_3",
     "VK_DOWN",
     {{"use_3_1", nullptr, "Y_SCROLL"},
      {"use_3_2", nullptr, "focuscontrol"},
      {"use_3_3", "HideChapterMenu", Merrow::kCalendarCommandId}}},
    {"key_event_4", "VK_LEFT", {{"use_4_1", nullptr, "focuscontrol"}}},
    {"key_event_5", "VK_RIGHT", {{"use_5_1", nullptr, "focuscontrol"}}},
};

// Runs one part of the section; a part that throws counts as failed and the next still runs.
template <typename Part>
bool runPart(Part&& part) noexcept {
    try {
        return part();
    } catch (...) {
        return false;
    }
}

}  // namespace

bool CBDJCalendarApplicationCreator::addCommandSectionElement(CXMLOutputFileGlue& doc,
                                                              CXMLOutputFileGlue& ref,
                                                              CzfServiceObject* presentation,
                                                              SAVEDATA* record) {
    try {
        // A chapter menu may have made the command element already; the section then writes
        // into that one, so the document holds a single command element.
        XmlElementOperator command = Merrow::sectionElement(doc, "command");
        XmlElementOperator navigationInfo(
            ref, Merrow::anywhere(ref.GetNameSpaceString(), "navigationInfo"));

        // The select buttons of the calendar take their pictures from this manager.
        Merrow::BufferImageTrackCreatorManager manager;
        const bool calendar = runPart([&] {
            return addCalendarCommandElement(command, navigationInfo, presentation, &manager,
                                             record);
        });
        const bool focus =
            runPart([&] { return addFocusControlCommandElement(command, navigationInfo); });
        const bool events =
            runPart([&] { return addEventHandlerCommandElement(command, navigationInfo); });
        return calendar && focus && events;
    } catch (...) {
        return false;
    }
}

bool CBDJCalendarApplicationCreator::addCalendarCommandElement(
    XmlElementOperator& command, XmlElementOperator& navigationInfo, CzfServiceObject* presentation,
    Merrow::ImageTrackCreatorManager* manager, SAVEDATA* /*record*/) {
    Merrow::CalendarCommandElementBuilder calendar(Merrow::kCalendarCommandId, navigationInfo,
                                                   presentation, manager, chapterMenuRecords);
    return calendar.addTo(command);
}

bool CBDJCalendarApplicationCreator::addFocusControlCommandElement(
    XmlElementOperator& command, XmlElementOperator& /*navigationInfo*/) {
    CXMLOutputFileGlue& doc = command.getXmlGlue();
    XmlElementOperator focusControl = Merrow::focusControlElement(doc);
    focusControl.setAttribute("default", kDefaultFocus);
    for (const FocusItemRow& row : kFocusItems) {
        XmlElementOperator item(doc, focusControl.addElement("focusitem", row.id));
        item.setAttribute("target", row.target);
    }
    return true;
}

bool CBDJCalendarApplicationCreator::addEventHandlerCommandElement(
    XmlElementOperator& command, XmlElementOperator& /*navigationInfo*/) {
    CXMLOutputFileGlue& doc = command.getXmlGlue();
    XmlElementOperator handler(doc, command.addElement("eventhandler", "eventhandler"));
    for (const KeyEventRow& row : kKeyEvents) {
        XmlElementOperator keyEvent(doc, handler.addElement("key_event", row.id));
        keyEvent.setAttribute("vkey", row.vkey);
        for (const UseRow& use : row.uses) {
            if (use.id == nullptr) break;
            XmlElementOperator element(doc, keyEvent.addElement("use", use.id));
            if (use.param != nullptr) element.setAttribute("param", use.param);
            element.setAttribute("target", use.target);
        }
    }
    return true;
}
