#include <gtest/gtest.h>

#include "builders/ElementBuilder.h"
#include "builders/FocusItemElementBuilder.h"
#include "builders/SizeableElementBuilder.h"
#include "builders/TriggerElementBuilder.h"
#include "builders/UseElementBuilder.h"
#include "support/TestDocument.h"

namespace {

using Merrow::ElementBuilder;
using Merrow::SizeableElementBuilder;
using Merrow::XmlElementOperator;
using merrowtest::TestDocument;

using merrowtest::body;

TEST(ElementBuilders, WriteNameAndIdAndRecordThePath) {
    auto doc = TestDocument::empty();
    XmlElementOperator root(doc->glue(), "/NS:root");
    ElementBuilder builder("scrollinfo", "info");
    EXPECT_EQ(builder.xPath(), "");
    ASSERT_TRUE(builder.addTo(root));
    EXPECT_EQ(builder.xPath(), "/NS:root/NS:scrollinfo[@id=\"info\"]");
    EXPECT_EQ(body(*doc), "<scrollinfo id=\"info\"/>");
}

TEST(ElementBuilders, EmptyIdWritesNoIdAttribute) {
    auto doc = TestDocument::empty();
    XmlElementOperator root(doc->glue(), "/NS:root");
    ElementBuilder builder("scrollinfo", "");
    ASSERT_TRUE(builder.addTo(root));
    EXPECT_EQ(builder.xPath(), "/NS:root/NS:scrollinfo");
    EXPECT_EQ(body(*doc), "<scrollinfo/>");
}

TEST(ElementBuilders, MissingParentFailsAndWritesNothing) {
    auto doc = TestDocument::empty();
    XmlElementOperator nowhere(doc->glue(), "/NS:root/NS:missing");
    SizeableElementBuilder builder("rectangle", "r");
    builder.setWidth(5);
    EXPECT_FALSE(builder.addTo(nowhere));
    EXPECT_EQ(builder.xPath(), "");
    EXPECT_EQ(body(*doc), "");
}

TEST(ElementBuilders, AddToAnotherBuilderWritesNothing) {
    auto doc = TestDocument::empty();
    ElementBuilder first("a", "1");
    ElementBuilder second("b", "2");
    EXPECT_TRUE(first.addTo(second));
    EXPECT_FALSE(first.addTo(first));
    EXPECT_EQ(body(*doc), "");
}

TEST(ElementBuilders, SecondAddToAppendsAnotherElement) {
    auto doc = TestDocument::empty();
    XmlElementOperator root(doc->glue(), "/NS:root");
    ElementBuilder builder("use", "");
    ASSERT_TRUE(builder.addTo(root));
    ASSERT_TRUE(builder.addTo(root));
    EXPECT_EQ(body(*doc), "<use/><use/>");
}

// A second addTo moves the builder to the element it just appended: the geometry lands there,
// not on the earlier element of the same name and identifier.
TEST(SizeableBuilders, SecondAddToWritesTheNewElement) {
    auto doc = TestDocument::empty();
    XmlElementOperator root(doc->glue(), "/NS:root");
    SizeableElementBuilder builder("rectangle", "r");
    builder.setWidth(5);
    ASSERT_TRUE(builder.addTo(root));
    builder.setWidth(9);
    ASSERT_TRUE(builder.addTo(root));
    EXPECT_EQ(body(*doc),
              "<rectangle id=\"r\" x=\"0\" y=\"0\" width=\"5\" height=\"0\"/>"
              "<rectangle id=\"r\" x=\"0\" y=\"0\" width=\"9\" height=\"0\"/>");
    EXPECT_EQ(XmlElementOperator(doc->glue(), builder.xPath()).getAttribute("width"), "9");
}

TEST(SizeableBuilders, UnsetGeometryIsWrittenAsZeros) {
    auto doc = TestDocument::empty();
    XmlElementOperator root(doc->glue(), "/NS:root");
    SizeableElementBuilder builder("rectangle", "r");
    ASSERT_TRUE(builder.addTo(root));
    EXPECT_EQ(body(*doc), "<rectangle id=\"r\" x=\"0\" y=\"0\" width=\"0\" height=\"0\"/>");
}

TEST(SizeableBuilders, TextSettersReadLikeAtoi) {
    SizeableElementBuilder builder("rectangle", "r");
    builder.setWidth("120px");
    EXPECT_EQ(builder.getWidth(), 120);
    builder.setHeight("");
    EXPECT_EQ(builder.getHeight(), 0);
    builder.setX("left");
    EXPECT_EQ(builder.getX(), 0);
    builder.setY("  -35");
    EXPECT_EQ(builder.getY(), -35);
    builder.setY(static_cast<const char*>(nullptr));
    EXPECT_EQ(builder.getY(), 0);
}

TEST(SizeableBuilders, NegativeNumbersKeepTheirSign) {
    auto doc = TestDocument::empty();
    XmlElementOperator root(doc->glue(), "/NS:root");
    SizeableElementBuilder builder("rectangle", "r");
    builder.setX("-7");
    builder.setY(12);
    ASSERT_TRUE(builder.addTo(root));
    EXPECT_EQ(body(*doc), "<rectangle id=\"r\" x=\"-7\" y=\"12\" width=\"0\" height=\"0\"/>");
}

TEST(FocusItems, WriteTargetAndFailWithoutOne) {
    auto doc = TestDocument::empty();
    XmlElementOperator root(doc->glue(), "/NS:root");
    Merrow::FocusItemElementBuilder item("focusitem_1", "BTN");
    EXPECT_TRUE(item.addTo(root));
    Merrow::FocusItemElementBuilder empty("focusitem_2", "");
    EXPECT_FALSE(empty.addTo(root));
    EXPECT_EQ(body(*doc),
              "<focusitem id=\"focusitem_1\" target=\"BTN\"/><focusitem id=\"focusitem_2\"/>");
}

TEST(Triggers, WriteCodesAsWordsAndTheirChildrenInOrder) {
    auto doc = TestDocument::empty();
    XmlElementOperator root(doc->glue(), "/NS:root");
    Merrow::TriggerElementBuilder trigger("trigger_1", "BTN", 1, 1);
    Merrow::UseElementBuilder use("use_a", "CalendarCommand", "SwitchPage,X");
    Merrow::UseElementBuilder plain("use_b", "jump", "");
    trigger.addChild(&use);
    trigger.addChild(&plain);
    ASSERT_TRUE(trigger.addTo(root));
    EXPECT_EQ(body(*doc),
              "<trigger id=\"trigger_1\" launcher=\"BTN\" state=\"action\" type=\"button\">"
              "<use id=\"use_a\" target=\"CalendarCommand\" param=\"SwitchPage,X\"/>"
              "<use id=\"use_b\" target=\"jump\"/></trigger>");
}

TEST(Triggers, UnknownCodesWriteNoWord) {
    auto doc = TestDocument::empty();
    XmlElementOperator root(doc->glue(), "/NS:root");
    Merrow::TriggerElementBuilder focus("t2", "A", 2, 0);
    Merrow::TriggerElementBuilder none("t3", "B", 3, 1);
    ASSERT_TRUE(focus.addTo(root));
    ASSERT_TRUE(none.addTo(root));
    EXPECT_EQ(body(*doc),
              "<trigger id=\"t2\" launcher=\"A\" state=\"focus\"/>"
              "<trigger id=\"t3\" launcher=\"B\" type=\"button\"/>");
}

// Triggers and focus items that share an identifier each keep their own attributes and uses.
TEST(Triggers, RepeatedIdentifiersKeepEachTriggerWhole) {
    auto doc = TestDocument::empty();
    XmlElementOperator root(doc->glue(), "/NS:root");
    for (const char* target : {"A", "B"}) {
        Merrow::TriggerElementBuilder trigger("trigger_", target, 1, 1);
        Merrow::UseElementBuilder use("", "CalendarCommand", target);
        trigger.addChild(&use);
        ASSERT_TRUE(trigger.addTo(root));
        Merrow::FocusItemElementBuilder item("focusitem_", target);
        ASSERT_TRUE(item.addTo(root));
    }
    EXPECT_EQ(body(*doc),
              "<trigger id=\"trigger_\" launcher=\"A\" state=\"action\" type=\"button\">"
              "<use target=\"CalendarCommand\" param=\"A\"/></trigger>"
              "<focusitem id=\"focusitem_\" target=\"A\"/>"
              "<trigger id=\"trigger_\" launcher=\"B\" state=\"action\" type=\"button\">"
              "<use target=\"CalendarCommand\" param=\"B\"/></trigger>"
              "<focusitem id=\"focusitem_\" target=\"B\"/>");
}

TEST(Triggers, ChildrenMayDieAfterTheTriggerWasAdded) {
    auto doc = TestDocument::empty();
    XmlElementOperator root(doc->glue(), "/NS:root");
    auto trigger = std::make_unique<Merrow::TriggerElementBuilder>("t", "L", 1, 1);
    {
        auto use = std::make_unique<Merrow::UseElementBuilder>("", "CalendarCommand", "P");
        trigger->addChild(use.get());
        ASSERT_TRUE(trigger->addTo(root));
    }
    trigger.reset();
    EXPECT_EQ(body(*doc),
              "<trigger id=\"t\" launcher=\"L\" state=\"action\" type=\"button\">"
              "<use target=\"CalendarCommand\" param=\"P\"/></trigger>");
}

}  // namespace
