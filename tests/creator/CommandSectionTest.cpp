#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "creator/BDJCalendarApplicationCreator.h"
#include "document/NodeList.h"
#include "support/TestDocument.h"

namespace {

using merrowtest::body;
using merrowtest::TestDocument;

// Reaches the section and the creator's chapter menu records.
class CommandSectionCreator : public CBDJCalendarApplicationCreator {
public:
    CommandSectionCreator() : CBDJCalendarApplicationCreator(nullptr, nullptr, nullptr) {}
    using CBDJCalendarApplicationCreator::addCommandSectionElement;
    void addChapterMenu(const Merrow::ChapterMenuData& record) {
        chapterMenuRecords.push_back(record);
    }
};

constexpr const char* kFixedFocusItems =
    "<focusitem id=\"focusitem_1_1\" target=\"Y_BTN_PREVIOUS\"/>"
    "<focusitem id=\"focusitem_1_2\" target=\"Y_BTN_NEXT\"/>"
    "<focusitem id=\"focusitem_2\" target=\"M_BTN_BACK\"/>"
    "<focusitem id=\"focusitem_3\" target=\"M_BTN_PREVIOUS\"/>"
    "<focusitem id=\"focusitem_4\" target=\"M_BTN_NEXT\"/>"
    "<focusitem id=\"focusitem_5\" target=\"D_BTN_BACK\"/>"
    "<focusitem id=\"focusitem_6\" target=\"D_BTN_PREVIOUS\"/>"
    "<focusitem id=\"focusitem_7\" target=\"D_BTN_NEXT\"/>"
    "<focusitem id=\"focusitem_8\" target=\"C_BTN_BACK\"/>"
    "<focusitem id=\"focusitem_9\" target=\"C_BTN_PREVIOUS\"/>"
    "<focusitem id=\"focusitem_10\" target=\"C_BTN_NEXT\"/>"
    "<focusitem id=\"focusitem_21\" target=\"M_BTN_PLAYALL\"/>"
    "<focusitem id=\"focusitem_22\" target=\"D_BTN_PLAYALL\"/>"
    "<focusitem id=\"focusitem_23\" target=\"C_BTN_PLAYALL\"/>";

constexpr const char* kEventHandler =
    "<eventhandler id=\"eventhandler\">"
    "<key_event id=\"key_event_1\" vkey=\"VK_POPUP_MENU\">"
    "<use id=\"use_1_1\" param=\"TogglePage\" target=\"CalendarCommand\"/>"
    "<use id=\"use_1_2\" target=\"focuscontrol\"/></key_event>"
    "<key_event id=\"key_event_2\" vkey=\"VK_UP\">"
    "<use id=\"use_2_1\" target=\"Y_SCROLL\"/>"
    "<use id=\"use_2_2\" target=\"focuscontrol\"/>"
    "<use id=\"use_2_3\" param=\"ShowChapterMenu\" target=\"CalendarCommand\"/></key_event>"
    "<key_event id=\"key_event_3\" vkey=\"VK_DOWN\">"
    "<use id=\"use_3_1\" target=\"Y_SCROLL\"/>"
    "<use id=\"use_3_2\" target=\"focuscontrol\"/>"
    "<use id=\"use_3_3\" param=\"HideChapterMenu\" target=\"CalendarCommand\"/></key_event>"
    "<key_event id=\"key_event_4\" vkey=\"VK_LEFT\"><use id=\"use_4_1\" target=\"focuscontrol\"/>"
    "</key_event>"
    "<key_event id=\"key_event_5\" vkey=\"VK_RIGHT\"><use id=\"use_5_1\" target=\"focuscontrol\"/>"
    "</key_event></eventhandler>";

constexpr const char* kEmptyCalendar =
    "<calendar id=\"CalendarCommand\" firstPageId=\"YearPage\"><pageroot id=\"PageRoot\">"
    "<yearpage id=\"YearPage\" layoutId=\"YearPageLayout\" photoNumber=\"0\"/></pageroot>"
    "</calendar>";

std::string design(const std::string& inner) {
    return "<root xmlns=\"urn:merrow:design\">" + inner + "</root>";
}

std::string calendarDocument(const std::string& inner) {
    return "<root xmlns=\"urn:merrow:calendar\"><resourcelist id=\"Resourcelist\"/>" + inner +
           "</root>";
}

std::vector<std::string> ids(CXMLOutputFileGlue& glue, const std::string& xpath) {
    Merrow::NodeList nodes(glue, xpath);
    std::vector<std::string> found;
    for (int i = 0; i < nodes.size(); ++i) found.emplace_back(nodes.id(i));
    return found;
}

std::vector<std::string> fixedFocusItemIds() {
    return {"focusitem_1_1", "focusitem_1_2", "focusitem_2",  "focusitem_3", "focusitem_4",
            "focusitem_5",   "focusitem_6",   "focusitem_7",  "focusitem_8", "focusitem_9",
            "focusitem_10",  "focusitem_21",  "focusitem_22", "focusitem_23"};
}

TEST(CommandSection, WithoutNavigationWritesEmptyCalendarFocusControlAndKeys) {
    TestDocument ref(design(""), "design.xml");
    TestDocument doc(calendarDocument(""), "new.xml");
    CommandSectionCreator creator;
    EXPECT_TRUE(creator.addCommandSectionElement(doc.glue(), ref.glue(), nullptr, nullptr));

    EXPECT_EQ(body(doc), std::string("<resourcelist id=\"Resourcelist\"/>"
                                     "<command id=\"command\">") +
                             kEmptyCalendar +
                             "<focuscontrol id=\"focuscontrol\" default=\"L1_SCENE_1\">" +
                             kFixedFocusItems + "</focuscontrol>" + kEventHandler + "</command>");
}

TEST(CommandSection, WritesIntoTheCommandElementThatExists) {
    TestDocument ref(design(""), "design.xml");
    TestDocument doc(
        calendarDocument("<command id=\"command\"><showchaptermenu id=\"T1_ShowChapterMenu\"/>"
                         "<focuscontrol id=\"focuscontrol\">"
                         "<focusitem id=\"focusitem_T1_SCENE_1\" target=\"T1_SCENE_1\"/>"
                         "</focuscontrol></command>"),
        "new.xml");
    CommandSectionCreator creator;
    EXPECT_TRUE(creator.addCommandSectionElement(doc.glue(), ref.glue(), nullptr, nullptr));

    // One command element: the chapter menu's commands first, then the section's parts, and
    // one focus control that the fixed items complete.
    EXPECT_EQ(body(doc), std::string("<resourcelist id=\"Resourcelist\"/>"
                                     "<command id=\"command\">"
                                     "<showchaptermenu id=\"T1_ShowChapterMenu\"/>"
                                     "<focuscontrol id=\"focuscontrol\" default=\"L1_SCENE_1\">"
                                     "<focusitem id=\"focusitem_T1_SCENE_1\" "
                                     "target=\"T1_SCENE_1\"/>") +
                             kFixedFocusItems + "</focuscontrol>" + kEmptyCalendar + kEventHandler +
                             "</command>");
}

// Two years of one month each, with the year page's scene template.
constexpr const char* kTwoYears =
    "<layout><container id=\"YearPageLayout\"><scrollcontainer3><scrollinfo>"
    "<scrollholder id=\"Y_HOLDER_1\"><graphicbutton id=\"Y_BUTTON_1\" width=\"300\" "
    "height=\"200\"/></scrollholder></scrollinfo></scrollcontainer3></container></layout>"
    "<navigationInfo><dateInfo>"
    "<yearInfo id=\"Y1\" content=\"2024\"><monthInfo id=\"M1\" index=\"0\" firstdayShift=\"1\" "
    "monthDays=\"31\"/></yearInfo>"
    "<yearInfo id=\"Y2\" content=\"2025\"><monthInfo id=\"M2\" index=\"5\" firstdayShift=\"6\" "
    "monthDays=\"30\"/></yearInfo>"
    "</dateInfo></navigationInfo>";

TEST(CommandSection, CalendarFocusItemsComeFirstInTheOneFocusControl) {
    TestDocument ref(design(kTwoYears), "design.xml");
    TestDocument doc(calendarDocument("<layout><container id=\"YearPageLayout\">"
                                      "<scrollcontainer3 id=\"Y_SCROLL\"/></container></layout>"),
                     "new.xml");
    CommandSectionCreator creator;
    creator.addCommandSectionElement(doc.glue(), ref.glue(), nullptr, nullptr);

    EXPECT_EQ(ids(doc.glue(), "//NS:command"), std::vector<std::string>{"command"});
    EXPECT_EQ(ids(doc.glue(), "//NS:focuscontrol"), std::vector<std::string>{"focuscontrol"});
    // Each year's scene is written before its months.
    std::vector<std::string> expected = {"focusitem_L1_SCENE_1", "focusitem_M1",
                                         "focusitem_L1_SCENE_2", "focusitem_M2"};
    for (const std::string& id : fixedFocusItemIds()) expected.push_back(id);
    EXPECT_EQ(ids(doc.glue(), "//NS:focuscontrol/NS:*"), expected);
    EXPECT_EQ(ids(doc.glue(), "//NS:effect/NS:trigger"),
              (std::vector<std::string>{"trigger_Y2024MonthPage", "trigger_M1",
                                        "trigger_Y2025MonthPage", "trigger_M2"}));
    EXPECT_EQ(ids(doc.glue(), "//NS:scrollcontainer3/NS:graphicbutton"),
              (std::vector<std::string>{"L1_SCENE_1", "L1_SCENE_2"}));
}

TEST(CommandSection, FailedCalendarStillCompletesFocusControlAndKeys) {
    TestDocument ref(design("<navigationInfo><dateInfo><yearInfo id=\"Y1\"/></dateInfo>"
                            "</navigationInfo>"),
                     "design.xml");
    TestDocument doc(calendarDocument(""), "new.xml");
    CommandSectionCreator creator;
    EXPECT_FALSE(creator.addCommandSectionElement(doc.glue(), ref.glue(), nullptr, nullptr));

    EXPECT_EQ(ids(doc.glue(), "//NS:focuscontrol/NS:*"), fixedFocusItemIds());
    const std::string text = body(doc);
    EXPECT_NE(text.find(kEventHandler), std::string::npos) << text;
    EXPECT_NE(text.find("<year id=\"Y1\"/>"), std::string::npos) << text;
}

TEST(CommandSection, ContentEntriesGetTheCreatorsChapterMenus) {
    TestDocument ref(design("<navigationInfo><dateInfo><yearInfo id=\"Y\" content=\"2024\">"
                            "<monthInfo id=\"M\" index=\"0\" firstdayShift=\"1\" monthDays=\"31\">"
                            "<dayInfo id=\"D\" index=\"0\">"
                            "<contentInfo id=\"V\" content=\"8:00\" titleInfoID=\"T1\"/>"
                            "</dayInfo></monthInfo></yearInfo></dateInfo></navigationInfo>"),
                     "design.xml");
    TestDocument doc(calendarDocument(""), "new.xml");
    CommandSectionCreator creator;
    creator.addChapterMenu({"T1", "T1_ChapterMenuLayout", "T1_Show", "T1_Hide"});
    EXPECT_TRUE(creator.addCommandSectionElement(doc.glue(), ref.glue(), nullptr, nullptr));

    const std::string text = body(doc);
    EXPECT_NE(text.find("<titlecontent id=\"V\" time=\"8:00\" titleId=\"T1\" "
                        "chapterLayoutId=\"T1_ChapterMenuLayout\" showChapterCmdId=\"T1_Show\" "
                        "hideChapterCmdId=\"T1_Hide\" thumbnailResId=\"ContentSelectBtn_1\"/>"),
              std::string::npos)
        << text;
}

}  // namespace
