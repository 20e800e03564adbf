#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "creator/CreatorTestSupport.h"

namespace {

using creatortest::attribute;
using creatortest::elements;
using creatortest::NewDocument;
using creatortest::SectionCreator;

using Elements = std::vector<std::pair<std::string, std::string>>;

struct ExpectedTrigger {
    std::string id;
    std::string launcher;
    std::string param;
};

const std::vector<ExpectedTrigger> kExpectedTriggers = {
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

const char* const kEffect = "/NS:root/NS:effect[@id=\"effect\"]";

// Every table trigger, in order, after `before` other children of the effect element.
void expectButtonTriggers(CXMLOutputFileGlue& doc, const Elements& before) {
    Elements expected = before;
    for (const ExpectedTrigger& trigger : kExpectedTriggers) {
        expected.emplace_back("trigger", trigger.id);
    }
    EXPECT_EQ(elements(doc, std::string(kEffect) + "/NS:*"), expected);

    for (const ExpectedTrigger& trigger : kExpectedTriggers) {
        SCOPED_TRACE(trigger.id);
        const std::string path = std::string(kEffect) + "/NS:trigger[@id=\"" + trigger.id + "\"]";
        EXPECT_EQ(attribute(doc, path, "launcher"), trigger.launcher);
        EXPECT_EQ(attribute(doc, path, "state"), "action");
        EXPECT_EQ(attribute(doc, path, "type"), "button");
        EXPECT_EQ(elements(doc, path + "/NS:*"), (Elements{{"use", "use_1"}}));
        EXPECT_EQ(attribute(doc, path + "/NS:use", "param"), trigger.param);
        EXPECT_EQ(attribute(doc, path + "/NS:use", "target"), "CalendarCommand");
    }
}

TEST(EffectSection, WritesTheTwelveButtonTriggersIntoANewEffectElement) {
    NewDocument doc;
    SectionCreator creator(nullptr, nullptr, nullptr);
    NewDocument ref;
    EXPECT_TRUE(creator.addEffectSectionElement(doc.glue(), ref.glue()));

    EXPECT_EQ(elements(doc.glue(), "/NS:root/NS:*"), (Elements{{"effect", "effect"}}));
    expectButtonTriggers(doc.glue(), {});
    // The play-all triggers follow the content page's triggers without a 29 between them.
    EXPECT_TRUE(elements(doc.glue(), "//NS:trigger[@id=\"trigger_29\"]").empty());
    // Attributes in the order written.
    EXPECT_NE(doc.text().find("<trigger id=\"trigger_30\" launcher=\"M_BTN_PLAYALL\" "
                              "state=\"action\" type=\"button\">"),
              std::string::npos)
        << doc.text();
    EXPECT_NE(doc.text().find("<use id=\"use_1\" param=\"PlayAllContent\" "
                              "target=\"CalendarCommand\"/>"),
              std::string::npos)
        << doc.text();
}

TEST(EffectSection, AppendsToAnEffectElementMadeEarlierInTheRun) {
    NewDocument doc;
    ASSERT_TRUE(doc.glue().AddNode(".", "layout", nullptr));
    ASSERT_TRUE(doc.glue().AddNode(".", "effect", "effect"));
    ASSERT_TRUE(doc.glue().AddNode(kEffect, "trigger", "trigger_1"));

    SectionCreator creator(nullptr, nullptr, nullptr);
    NewDocument ref;
    EXPECT_TRUE(creator.addEffectSectionElement(doc.glue(), ref.glue()));

    EXPECT_EQ(elements(doc.glue(), "/NS:root/NS:*"),
              (Elements{{"layout", "-"}, {"effect", "effect"}}));
    expectButtonTriggers(doc.glue(), {{"trigger", "trigger_1"}});
}

TEST(EffectSection, AnEffectElementWithAnotherIdIsNotReused) {
    NewDocument doc;
    ASSERT_TRUE(doc.glue().AddNode(".", "effect", "sceneEffect"));

    SectionCreator creator(nullptr, nullptr, nullptr);
    NewDocument ref;
    EXPECT_TRUE(creator.addEffectSectionElement(doc.glue(), ref.glue()));

    EXPECT_EQ(elements(doc.glue(), "/NS:root/NS:*"),
              (Elements{{"effect", "sceneEffect"}, {"effect", "effect"}}));
    EXPECT_TRUE(elements(doc.glue(), "/NS:root/NS:effect[@id=\"sceneEffect\"]/NS:*").empty());
    expectButtonTriggers(doc.glue(), {});
}

}  // namespace
