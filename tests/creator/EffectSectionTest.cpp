#include <gtest/gtest.h>

#include <set>
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

const char* const kEffect = "/NS:root/NS:effect[@id=\"effect\"]";

// The calendar command a page button's name asks for: "M_BTN_NEXT" (the month page's next
// button) turns to the next cells, and so on.
std::string commandOf(const std::string& launcher) {
    const size_t role = launcher.find("_BTN_");
    if (role == std::string::npos) return {};
    const std::string name = launcher.substr(role + 5);
    if (name == "BACK") return "BackPage";
    if (name == "NEXT") return "NextPage";
    if (name == "PREVIOUS") return "PreviousPage";
    if (name == "PLAYALL") return "PlayAllContent";
    return {};
}

// After `before` other children, the effect element holds one button trigger for each of the
// back, next, previous and play-all buttons of the month (M), day (D) and content (C) pages,
// each sending the calendar the command its button's name asks for.
void expectButtonTriggers(CXMLOutputFileGlue& doc, const Elements& before) {
    const Elements children = elements(doc, std::string(kEffect) + "/NS:*");
    ASSERT_EQ(children.size(), before.size() + 12);
    EXPECT_EQ(Elements(children.begin(), children.begin() + before.size()), before);
    std::set<std::string> launchers;
    std::set<std::string> ids;
    for (size_t i = before.size(); i < children.size(); ++i) {
        const auto& [element, id] = children[i];
        SCOPED_TRACE(id);
        EXPECT_EQ(element, "trigger");
        EXPECT_TRUE(ids.insert(id).second);
        const std::string path = std::string(kEffect) + "/NS:trigger[@id=\"" + id + "\"]";
        const std::string launcher = attribute(doc, path, "launcher");
        launchers.insert(launcher);
        EXPECT_EQ(attribute(doc, path, "state"), "action");
        EXPECT_EQ(attribute(doc, path, "type"), "button");
        EXPECT_EQ(elements(doc, path + "/NS:*"), (Elements{{"use", "use_1"}}));
        EXPECT_EQ(attribute(doc, path + "/NS:use", "param"), commandOf(launcher)) << launcher;
        EXPECT_EQ(attribute(doc, path + "/NS:use", "target"), "CalendarCommand");
    }
    std::set<std::string> buttons;
    for (const char* page : {"M", "D", "C"}) {
        for (const char* role : {"BACK", "NEXT", "PREVIOUS", "PLAYALL"}) {
            buttons.insert(std::string(page) + "_BTN_" + role);
        }
    }
    EXPECT_EQ(launchers, buttons);
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
