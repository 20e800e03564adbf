#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "builders/FocusItemElementBuilder.h"
#include "builders/SceneGroupElementBuilder.h"
#include "imagetrack/BufferImageTrackCreatorManager.h"
#include "support/SceneTestSupport.h"
#include "support/TestDocument.h"

namespace {

using Merrow::XmlElementOperator;
using merrowtest::body;
using merrowtest::TestDocument;
using scenetest::element;
using scenetest::masked;

// Reaches the builder's protected steps.
class SceneUnderTest : public Merrow::SceneGroupElementBuilder {
public:
    using SceneGroupElementBuilder::addChapterSceneGroupElement;
    using SceneGroupElementBuilder::getCommandElement;
    using SceneGroupElementBuilder::getTitleInfoElementIndex;
    using SceneGroupElementBuilder::SceneGroupElementBuilder;
};

// ---------------------------------------------------------------------------------------------
// Identifier rule

TEST(ReplaceIdToken, MissingMarkerLeavesTheOutputAlone) {
    std::string out = "before";
    EXPECT_FALSE(Merrow::replaceIdToken(out, "Y_ICON_1", "BUTTON_", "SCENE_", "L1_", "3"));
    EXPECT_EQ(out, "before");
    EXPECT_FALSE(Merrow::replaceIdToken(out, "", "BUTTON_", "SCENE_", nullptr, nullptr));
    EXPECT_EQ(out, "before");
}

TEST(ReplaceIdToken, HeadAndTailReplaceTheTextAroundTheMarker) {
    std::string out;
    ASSERT_TRUE(Merrow::replaceIdToken(out, "Y_BUTTON_1_X", "BUTTON_", "SCENE_", "L1_", "3"));
    EXPECT_EQ(out, "L1_SCENE_3");
    ASSERT_TRUE(Merrow::replaceIdToken(out, "Y_BUTTON_1_X", "BUTTON_", "SCENE_", "L1_", ""));
    EXPECT_EQ(out, "L1_SCENE_");
}

TEST(ReplaceIdToken, WithoutHeadOrTailTheTemplateTextIsKept) {
    std::string out;
    ASSERT_TRUE(Merrow::replaceIdToken(out, "Y_BUTTON_1_X", "BUTTON_", "SCENE_", nullptr, nullptr));
    EXPECT_EQ(out, "Y_SCENE_1_X");
    ASSERT_TRUE(Merrow::replaceIdToken(out, "Y_BUTTON_1_X", "BUTTON_", "SCENE_", "T2_", nullptr));
    EXPECT_EQ(out, "T2_SCENE_1_X");
    ASSERT_TRUE(Merrow::replaceIdToken(out, "Y_BUTTON_1_X", "BUTTON_", "SCENE_", nullptr, "9"));
    EXPECT_EQ(out, "Y_SCENE_9");
}

TEST(ReplaceIdToken, OnlyTheFirstOccurrenceCounts) {
    std::string out;
    ASSERT_TRUE(Merrow::replaceIdToken(out, "A_TEXT_B_TEXT_C", "TEXT_", "X_", nullptr, nullptr));
    EXPECT_EQ(out, "A_X_B_TEXT_C");
}

// ---------------------------------------------------------------------------------------------
// Year scenes

// The year page's scene template and three years of navigation data.
constexpr const char* kYearReference =
    "<root xmlns=\"urn:merrow:design\"><layout><container id=\"YearPageLayout\">"
    "<scrollcontainer3 id=\"Y_SCROLL\"><scrollinfo><scrollholder id=\"Y_HOLDER_1\">"
    "<graphicbutton id=\"Y_BUTTON_1\" x=\"7\" y=\"9\" width=\"200\" height=\"120\"/>"
    "<scenetext id=\"Y_TEXT_1\" x=\"7\" y=\"130\" width=\"200\" height=\"40\"/>"
    "<icon id=\"Y_TITLE_DECORATION_1\" x=\"3\" y=\"4\" width=\"24\" height=\"24\"/>"
    "<icon id=\"Y_PHOTO_DECORATION_1\" width=\"22\" height=\"20\"/>"
    "<graphictext id=\"Y_TITLE_NUMBER_1\" type=\"title\" width=\"99\" height=\"99\"/>"
    "<graphictext id=\"Y_PHOTO_NUMBER_1\" type=\"photo\"/>"
    "</scrollholder></scrollinfo></scrollcontainer3></container></layout>"
    "<navigationInfo><dateInfo>"
    "<yearInfo id=\"Y2021\" content=\"2021\" thumbnailId=\"P1\" textId=\"T1\" "
    "TITLE_NUMBER=\"1\" PHOTO_NUMBER=\"2\"/>"
    "<yearInfo id=\"Y2022\" content=\"2022\" thumbnailId=\"P2\" textId=\"T2\"/>"
    "<yearInfo id=\"Y2023\" content=\"2023\" thumbnailId=\"P3\" textId=\"T3\" "
    "TITLE_NUMBER=\"12\"/>"
    "</dateInfo></navigationInfo></root>";

// The new document as the calendar leaves it before the year scenes.
constexpr const char* kYearDocument =
    "<root xmlns=\"urn:merrow:calendar\"><layout><container id=\"YearPageLayout\">"
    "<scrollcontainer3 id=\"Y_SCROLL\"/></container></layout>"
    "<command id=\"command\"><calendar id=\"CalendarCommand\"><pageroot id=\"PageRoot\">"
    "<yearpage id=\"YearPage\">"
    "<year id=\"Y2021\"><monthpage id=\"Y2021MonthPage\"/></year>"
    "<year id=\"Y2022\"><monthpage id=\"Y2022MonthPage\"/></year>"
    "<year id=\"Y2023\"><monthpage id=\"Y2023MonthPage\"/></year>"
    "</yearpage></pageroot></calendar></command></root>";

constexpr const char* kYearScroll =
    "/NS:root/NS:layout/NS:container[@id=\"YearPageLayout\"]/NS:scrollcontainer3";

class YearSceneTest : public ::testing::Test {
protected:
    void open(const std::string& reference, const std::string& document = kYearDocument) {
        ref_ = std::make_unique<TestDocument>(reference, "design.xml");
        doc_ = std::make_unique<TestDocument>(document, "new.xml");
        holder_ = std::make_unique<XmlElementOperator>(
            ref_->glue(),
            std::string(kYearScroll) + "/NS:scrollinfo/NS:scrollholder[@id=\"Y_HOLDER_1\"]");
        years_ =
            std::make_unique<XmlElementOperator>(ref_->glue(), "//NS:navigationInfo/NS:dateInfo");
    }
    bool addScene(int index, CzfServiceObject* presentation = nullptr) {
        Merrow::SceneGroupElementBuilder scene(*holder_, *years_, presentation, &manager_, index);
        XmlElementOperator parent(doc_->glue(), kYearScroll);
        return scene.addTo(parent);
    }
    std::string text() const { return body(*doc_); }

    Merrow::BufferImageTrackCreatorManager manager_;
    std::unique_ptr<TestDocument> ref_;
    std::unique_ptr<TestDocument> doc_;
    std::unique_ptr<XmlElementOperator> holder_;
    std::unique_ptr<XmlElementOperator> years_;
};

TEST_F(YearSceneTest, ThirdYearGetsItsElementsAndSwitchesToItsMonthPage) {
    open(kYearReference);
    ASSERT_TRUE(addScene(2));

    EXPECT_EQ(masked(element(text(), "<scrollcontainer3 ")),
              "<scrollcontainer3 id=\"Y_SCROLL\">"
              "<graphicbutton id=\"L1_SCENE_3\" x=\"0\" y=\"0\" width=\"200\" height=\"120\" "
              "imageNormal=\"#\" imageAction=\"#\" imageFocus=\"#\"/>"
              "<graphicbutton id=\"L1_TEXT_3\" x=\"0\" y=\"0\" width=\"200\" height=\"40\" "
              "imageNormal=\"#\" imageAction=\"#\" imageFocus=\"#\"/>"
              "<decoration id=\"L1_TITLEDECORATION_3\" x=\"0\" y=\"0\" width=\"24\" "
              "height=\"24\" image=\"#\"/>"
              "<decoration id=\"L1_PHOTODECORATION_3\" x=\"0\" y=\"0\" width=\"22\" "
              "height=\"20\" image=\"#\"/>"
              "<graphictext id=\"L1_TITLENUMBER_3\" tileImage=\"#\" tileWidth=\"20\" "
              "tileHeight=\"28\" type=\"title\" x=\"0\" y=\"0\" value=\"12\"/>"
              "<graphictext id=\"L1_PHOTONUMBER_3\" tileImage=\"#\" tileWidth=\"20\" "
              "tileHeight=\"28\" type=\"photo\" x=\"0\" y=\"0\" value=\"0\"/>"
              "</scrollcontainer3>");
    EXPECT_EQ(element(text(), "<focuscontrol "),
              "<focuscontrol id=\"focuscontrol\">"
              "<focusitem id=\"focusitem_L1_SCENE_3\" target=\"L1_SCENE_3\"/></focuscontrol>");
    EXPECT_EQ(
        element(text(), "<effect "),
        "<effect id=\"effect\">"
        "<trigger id=\"trigger_Y2023MonthPage\" launcher=\"L1_SCENE_3\" state=\"action\" "
        "type=\"button\"><use target=\"CalendarCommand\" param=\"SwitchPage,Y2023MonthPage\"/>"
        "</trigger></effect>");
}

TEST_F(YearSceneTest, NumberTextsTakeTheYearsNumbers) {
    open(kYearReference);
    ASSERT_TRUE(addScene(0));
    CXMLOutputFileGlue& glue = doc_->glue();
    const std::string scroll = kYearScroll;
    EXPECT_EQ(
        scenetest::attribute(glue, scroll + "/NS:graphictext[@id=\"L1_TITLENUMBER_1\"]", "value"),
        "1");
    EXPECT_EQ(
        scenetest::attribute(glue, scroll + "/NS:graphictext[@id=\"L1_PHOTONUMBER_1\"]", "value"),
        "2");
}

TEST_F(YearSceneTest, NegativeIndexWritesEmptyNumbersWithoutTriggerOrValue) {
    // The number text comes first so that the failing thumbnail does not hide it.
    open(
        "<root xmlns=\"urn:merrow:design\"><holder id=\"Y_HOLDER_1\">"
        "<graphictext id=\"Y_TITLE_NUMBER_1\" type=\"title\"/>"
        "<graphicbutton id=\"Y_BUTTON_1\" width=\"20\" height=\"10\"/>"
        "<scenetext id=\"Y_TEXT_1\"/></holder>"
        "<navigationInfo><dateInfo><yearInfo id=\"Y2021\" content=\"2021\" thumbnailId=\"P1\" "
        "TITLE_NUMBER=\"4\"/></dateInfo></navigationInfo></root>");
    holder_ = std::make_unique<XmlElementOperator>(ref_->glue(), "/NS:root/NS:holder");

    // No year is selected, so the thumbnail has no picture and the walk stops there.
    EXPECT_FALSE(addScene(-1));
    EXPECT_EQ(masked(element(text(), "<scrollcontainer3 ")),
              "<scrollcontainer3 id=\"Y_SCROLL\">"
              "<graphictext id=\"L1_TITLENUMBER_\" tileImage=\"#\" tileWidth=\"20\" "
              "tileHeight=\"28\" type=\"title\" x=\"0\" y=\"0\"/>"
              "<graphicbutton id=\"L1_SCENE_\" x=\"0\" y=\"0\" width=\"20\" height=\"10\"/>"
              "</scrollcontainer3>");
    EXPECT_EQ(text().find("<effect"), std::string::npos);
    EXPECT_NE(text().find("<focusitem id=\"focusitem_L1_SCENE_\" target=\"L1_SCENE_\"/>"),
              std::string::npos);
}

TEST_F(YearSceneTest, NumberTilesAreRegisteredWithThePresentation) {
    open(kYearReference);
    scenetest::Presentation presentation;
    ASSERT_NE(presentation.get(), nullptr);
    ASSERT_TRUE(addScene(1, presentation.get()));

    const std::string scroll = kYearScroll;
    const std::string tiles = scenetest::attribute(
        doc_->glue(), scroll + "/NS:graphictext[@id=\"L1_TITLENUMBER_2\"]", "tileImage");
    ASSERT_FALSE(tiles.empty());
    EXPECT_EQ(presentation.trackIds().count(tiles), 1u);
    // Two buttons with two tracks each, two decorations, two tile images.
    EXPECT_EQ(presentation.trackIds().size(), 8u);
}

TEST_F(YearSceneTest, TextButtonMakesTwoTracksFromItsOneCreator) {
    open(kYearReference);
    ASSERT_TRUE(addScene(0));
    const std::string text = std::string(kYearScroll) + "/NS:graphicbutton[@id=\"L1_TEXT_1\"]";
    const std::string normal = scenetest::attribute(doc_->glue(), text, "imageNormal");
    const std::string focus = scenetest::attribute(doc_->glue(), text, "imageFocus");
    ASSERT_FALSE(normal.empty());
    ASSERT_FALSE(focus.empty());
    EXPECT_NE(normal, focus);
    EXPECT_EQ(scenetest::attribute(doc_->glue(), text, "imageAction"), normal);
}

TEST_F(YearSceneTest, TemplateWithoutChildrenFails) {
    open(
        "<root xmlns=\"urn:merrow:design\"><holder id=\"Y_HOLDER_1\"/>"
        "<navigationInfo><dateInfo><yearInfo id=\"Y2021\"/></dateInfo></navigationInfo></root>");
    holder_ = std::make_unique<XmlElementOperator>(ref_->glue(), "/NS:root/NS:holder");
    EXPECT_FALSE(addScene(0));
    EXPECT_EQ(element(text(), "<scrollcontainer3 "), "<scrollcontainer3 id=\"Y_SCROLL\"/>");
}

TEST_F(YearSceneTest, EntryListWithYearsAndChaptersIsTheYearPage) {
    open(
        "<root xmlns=\"urn:merrow:design\"><holder id=\"H\">"
        "<graphicbutton id=\"X_BUTTON_1\" width=\"5\" height=\"6\"/></holder>"
        "<navigationInfo><dateInfo><chapterInfo id=\"C1\"/><chapterInfo id=\"C2\"/>"
        "<yearInfo id=\"Y2021\" thumbnailId=\"P1\"/></dateInfo></navigationInfo></root>");
    holder_ = std::make_unique<XmlElementOperator>(ref_->glue(), "/NS:root/NS:holder");
    EXPECT_TRUE(addScene(0));
    EXPECT_EQ(scenetest::ids(doc_->glue(), std::string(kYearScroll) + "/NS:*"),
              (std::vector<std::string>{"L1_SCENE_1"}));
}

// ---------------------------------------------------------------------------------------------
// Chapter scenes

// Two titles; the second has three chapters. The holder template is a chapter menu's first
// scroll holder.
constexpr const char* kChapterReference =
    "<root xmlns=\"urn:merrow:design\"><layout><container id=\"ChapterPageLayout\">"
    "<scrollcontainer2 id=\"CH_SCROLL\"><scrollinfo><scrollholder id=\"CH_HOLDER_1\">"
    "<rectangle id=\"CH_POPUP_1\" width=\"300\" height=\"200\"/>"
    "<graphicbutton id=\"CH_BUTTON_1\" x=\"5\" y=\"6\" width=\"160\" height=\"90\"/>"
    "<scenetext id=\"CH_TEXT_1\" x=\"5\" y=\"100\" width=\"160\" height=\"30\"/>"
    "</scrollholder></scrollinfo></scrollcontainer2></container></layout>"
    "<titlesInfo><titleInfo id=\"TI_A\"><chapterInfo id=\"A1\" index=\"0\"/>"
    "<chapterInfo id=\"A2\" index=\"1\"/></titleInfo>"
    "<titleInfo id=\"TI_B\">"
    "<chapterInfo id=\"B1\" index=\"0\" thumbnailId=\"PB1\" textId=\"XB1\"/>"
    "<chapterInfo id=\"B2\" index=\"1\" thumbnailId=\"PB2\" textId=\"XB2\"/>"
    "<chapterInfo id=\"B3\" index=\"2\" thumbnailId=\"PB3\" textId=\"XB3\"/>"
    "</titleInfo></titlesInfo>"
    "<archive><titleInfo id=\"TI_LOOSE\">"
    "<chapterInfo id=\"L1\" index=\"0\" thumbnailId=\"PL1\" textId=\"XL1\"/>"
    "<chapterInfo id=\"L2\" index=\"1\" thumbnailId=\"PL2\" textId=\"XL2\"/>"
    "</titleInfo></archive></root>";

constexpr const char* kChapterDocument =
    "<root xmlns=\"urn:merrow:calendar\"><titlelist>"
    "<title id=\"TI_B\" titleNo=\"{B}\" nextTitleNo=\"{B}\"/></titlelist>"
    "<layout><container id=\"T2_ChapterMenuLayout\"><scrollcontainer2 id=\"T2_CH_SCROLL\"/>"
    "</container></layout></root>";

constexpr const char* kChapterScroll =
    "/NS:root/NS:layout/NS:container[@id=\"T2_ChapterMenuLayout\"]/NS:scrollcontainer2";

class ChapterSceneTest : public ::testing::Test {
protected:
    void open(const std::string& reference = kChapterReference,
              const std::string& document = kChapterDocument) {
        ref_ = std::make_unique<TestDocument>(reference, "design.xml");
        doc_ = std::make_unique<TestDocument>(document, "new.xml");
        holder_ = std::make_unique<XmlElementOperator>(ref_->glue(),
                                                       "//NS:scrollholder[@id=\"CH_HOLDER_1\"]");
        title_ = std::make_unique<XmlElementOperator>(ref_->glue(), "//NS:titleInfo[@id=\"TI_B\"]");
    }
    bool addScene(int index) {
        Merrow::SceneGroupElementBuilder scene(*holder_, *title_, nullptr, &manager_, index);
        XmlElementOperator parent(doc_->glue(), kChapterScroll);
        return scene.addTo(parent);
    }
    std::string text() const { return body(*doc_); }

    Merrow::BufferImageTrackCreatorManager manager_;
    std::unique_ptr<TestDocument> ref_;
    std::unique_ptr<TestDocument> doc_;
    std::unique_ptr<XmlElementOperator> holder_;
    std::unique_ptr<XmlElementOperator> title_;
};

TEST_F(ChapterSceneTest, KnownTitleGetsThumbnailTextAndJumpToTheChapter) {
    open();
    ASSERT_TRUE(addScene(1));
    EXPECT_EQ(masked(text()),
              "<titlelist><title id=\"TI_B\" titleNo=\"{B}\" nextTitleNo=\"{B}\"/></titlelist>"
              "<layout><container id=\"T2_ChapterMenuLayout\">"
              "<scrollcontainer2 id=\"T2_CH_SCROLL\">"
              "<graphicbutton id=\"T2_SCENE_2\" x=\"0\" y=\"0\" width=\"160\" height=\"90\" "
              "imageNormal=\"#\" imageAction=\"#\" imageFocus=\"#\"/>"
              "<graphicbutton id=\"T2_TEXT_2\" x=\"0\" y=\"0\" width=\"160\" height=\"30\" "
              "imageNormal=\"#\" imageAction=\"#\" imageFocus=\"#\"/>"
              "</scrollcontainer2></container></layout>"
              "<command id=\"command\"><focuscontrol id=\"focuscontrol\">"
              "<focusitem id=\"focusitem_T2_SCENE_2\" target=\"T2_SCENE_2\"/></focuscontrol>"
              "<jumpchapter id=\"jumpchapter_B2\" titleNo=\"{B}\" chapterNo=\"1\"/></command>"
              "<effect id=\"effect\"><trigger id=\"trigger_B2\" launcher=\"T2_SCENE_2\" "
              "state=\"action\" type=\"button\">"
              "<use id=\"use_jumpchapter_B2\" target=\"jumpchapter_B2\"/></trigger></effect>");
}

TEST_F(ChapterSceneTest, TitleMissingFromTheTitleListGetsNoJump) {
    open(kChapterReference,
         "<root xmlns=\"urn:merrow:calendar\"><titlelist>"
         "<title id=\"TI_A\" titleNo=\"{A}\"/></titlelist>"
         "<layout><container id=\"T2_ChapterMenuLayout\"><scrollcontainer2 id=\"T2_CH_SCROLL\"/>"
         "</container></layout></root>");
    ASSERT_TRUE(addScene(0));
    const std::string written = text();
    EXPECT_EQ(scenetest::ids(doc_->glue(), std::string(kChapterScroll) + "/NS:*"),
              (std::vector<std::string>{"T2_SCENE_1", "T2_TEXT_1"}));
    EXPECT_EQ(element(written, "<command "),
              "<command id=\"command\"><focuscontrol id=\"focuscontrol\">"
              "<focusitem id=\"focusitem_T2_SCENE_1\" target=\"T2_SCENE_1\"/></focuscontrol>"
              "</command>");
    EXPECT_EQ(written.find("jumpchapter"), std::string::npos);
    EXPECT_EQ(written.find("<effect"), std::string::npos);
}

TEST_F(ChapterSceneTest, TitleOutsideTheTitlesListTakesPrefixT0) {
    open();
    title_ = std::make_unique<XmlElementOperator>(ref_->glue(), "//NS:titleInfo[@id=\"TI_LOOSE\"]");
    ASSERT_TRUE(addScene(0));
    EXPECT_EQ(scenetest::ids(doc_->glue(), std::string(kChapterScroll) + "/NS:*"),
              (std::vector<std::string>{"T0_SCENE_1", "T0_TEXT_1"}));
}

TEST_F(ChapterSceneTest, TitlePositionIsSearchedAgainUntilFound) {
    open();
    title_ = std::make_unique<XmlElementOperator>(ref_->glue(), "//NS:titleInfo[@id=\"TI_LOOSE\"]");
    SceneUnderTest scene(*holder_, *title_, nullptr, &manager_, 0);
    EXPECT_EQ(scene.getTitleInfoElementIndex(), -1);
    // The title joins the titles list as its third child.
    XmlElementOperator titles(ref_->glue(), "//NS:titlesInfo");
    ASSERT_FALSE(titles.addElement("titleInfo", "TI_LOOSE").empty());
    EXPECT_EQ(scene.getTitleInfoElementIndex(), 2);
}

TEST_F(ChapterSceneTest, LeadingRectangleLetsTheWalkGoOn) {
    // The template's first child is a rectangle: the scene is still written.
    open();
    SceneUnderTest scene(*holder_, *title_, nullptr, &manager_, 2);
    XmlElementOperator parent(doc_->glue(), kChapterScroll);
    EXPECT_TRUE(scene.addChapterSceneGroupElement(parent, "3"));
    EXPECT_EQ(scenetest::ids(doc_->glue(), std::string(kChapterScroll) + "/NS:*"),
              (std::vector<std::string>{"T2_SCENE_3", "T2_TEXT_3"}));
}

TEST_F(ChapterSceneTest, LeadingDecorationEndsTheWalkAtOnce) {
    open(
        "<root xmlns=\"urn:merrow:design\"><scrollholder id=\"CH_HOLDER_1\">"
        "<decoration id=\"CH_DECORATION_1\"/>"
        "<graphicbutton id=\"CH_BUTTON_1\" width=\"1\" height=\"1\"/></scrollholder>"
        "<titlesInfo><titleInfo id=\"TI_B\">"
        "<chapterInfo id=\"B1\" thumbnailId=\"P\"/><chapterInfo id=\"B2\" thumbnailId=\"P\"/>"
        "</titleInfo></titlesInfo></root>");
    EXPECT_FALSE(addScene(0));
    EXPECT_EQ(scenetest::ids(doc_->glue(), std::string(kChapterScroll) + "/NS:*"),
              std::vector<std::string>{});
    EXPECT_EQ(text().find("<command"), std::string::npos);
}

TEST_F(ChapterSceneTest, ChapterWithoutThumbnailFailsTheScene) {
    open(
        "<root xmlns=\"urn:merrow:design\"><scrollholder id=\"CH_HOLDER_1\">"
        "<graphicbutton id=\"CH_BUTTON_1\" width=\"1\" height=\"1\"/>"
        "<scenetext id=\"CH_TEXT_1\"/></scrollholder>"
        "<titlesInfo><titleInfo id=\"TI_B\">"
        "<chapterInfo id=\"B1\" textId=\"X\"/><chapterInfo id=\"B2\"/>"
        "</titleInfo></titlesInfo></root>");
    EXPECT_FALSE(addScene(0));
    // The button stays without pictures and the text is not reached.
    EXPECT_EQ(element(text(), "<scrollcontainer2 "),
              "<scrollcontainer2 id=\"T2_CH_SCROLL\">"
              "<graphicbutton id=\"T1_SCENE_1\" x=\"0\" y=\"0\" width=\"1\" height=\"1\"/>"
              "</scrollcontainer2>");
}

TEST_F(ChapterSceneTest, SingleChapterOrNoEntriesWriteNothing) {
    open(
        "<root xmlns=\"urn:merrow:design\"><scrollholder id=\"CH_HOLDER_1\">"
        "<graphicbutton id=\"CH_BUTTON_1\"/></scrollholder>"
        "<titlesInfo><titleInfo id=\"TI_B\"><chapterInfo id=\"B1\" thumbnailId=\"P\"/>"
        "</titleInfo><titleInfo id=\"TI_C\"/></titlesInfo></root>");
    const std::string before = text();
    EXPECT_FALSE(addScene(0));
    title_ = std::make_unique<XmlElementOperator>(ref_->glue(), "//NS:titleInfo[@id=\"TI_C\"]");
    EXPECT_FALSE(addScene(0));
    EXPECT_EQ(text(), before);
}

TEST_F(ChapterSceneTest, IdentifierWithBothMarkersMakesAThumbnail) {
    open(
        "<root xmlns=\"urn:merrow:design\"><scrollholder id=\"CH_HOLDER_1\">"
        "<scenetext id=\"CH_TEXT_BUTTON_1\" width=\"4\" height=\"3\"/></scrollholder>"
        "<titlesInfo><titleInfo id=\"TI_B\">"
        "<chapterInfo id=\"B1\" thumbnailId=\"P\"/><chapterInfo id=\"B2\" thumbnailId=\"P\"/>"
        "</titleInfo></titlesInfo></root>");
    ASSERT_TRUE(addScene(1));
    EXPECT_EQ(scenetest::ids(doc_->glue(), std::string(kChapterScroll) + "/NS:*"),
              (std::vector<std::string>{"T1_SCENE_2"}));
    EXPECT_NE(text().find("jumpchapter_B2"), std::string::npos);
}

// ---------------------------------------------------------------------------------------------
// Shared sections

TEST_F(ChapterSceneTest, ScenesShareOneCommandEffectAndFocusControl) {
    open();
    ASSERT_TRUE(addScene(0));
    ASSERT_TRUE(addScene(1));
    CXMLOutputFileGlue& glue = doc_->glue();
    EXPECT_EQ(scenetest::ids(glue, "/NS:root/NS:*"),
              (std::vector<std::string>{"-", "-", "command", "effect"}));
    EXPECT_EQ(scenetest::ids(glue, "/NS:root/NS:command/NS:*"),
              (std::vector<std::string>{"focuscontrol", "jumpchapter_B1", "jumpchapter_B2"}));
    EXPECT_EQ(scenetest::ids(glue, "/NS:root/NS:command/NS:focuscontrol/NS:*"),
              (std::vector<std::string>{"focusitem_T2_SCENE_1", "focusitem_T2_SCENE_2"}));
    EXPECT_EQ(scenetest::ids(glue, "/NS:root/NS:effect/NS:*"),
              (std::vector<std::string>{"trigger_B1", "trigger_B2"}));
}

TEST_F(ChapterSceneTest, ExistingCommandIsNeverDoubled) {
    // A command element without identifier is still the document's command section.
    open(kChapterReference, "<root xmlns=\"urn:merrow:calendar\"><command/></root>");
    SceneUnderTest scene(*holder_, *title_, nullptr, &manager_, 0);
    XmlElementOperator command = scene.getCommandElement(doc_->glue());
    EXPECT_EQ(command.getXPath(), "/NS:root/NS:command");
    EXPECT_EQ(scenetest::ids(doc_->glue(), "/NS:root/NS:*"), (std::vector<std::string>{"-"}));
}

}  // namespace
