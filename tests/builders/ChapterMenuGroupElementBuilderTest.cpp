#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "builders/ChapterMenuGroupElementBuilder.h"
#include "imagetrack/BufferImageTrackCreatorManager.h"
#include "support/SceneTestSupport.h"
#include "support/TestDocument.h"

namespace {

using Merrow::ChapterMenuGroupElementBuilder;
using Merrow::XmlElementOperator;
using merrowtest::body;
using merrowtest::TestDocument;
using scenetest::element;
using scenetest::ids;
using scenetest::masked;

using Ids = std::vector<std::string>;

// A chapter page template with a background, a scrolling strip with one button and two holders
// (a non-holder child between them); two titles of two chapters each, and one of three chapters
// whose second names no pictures.
constexpr const char* kTemplate =
    "<container id=\"ChapterPageLayout\" x=\"0\" y=\"600\" width=\"1920\" height=\"480\">"
    "<decoration id=\"CH_BG\" x=\"0\" y=\"0\" width=\"1920\" height=\"480\"/>"
    "<scrollcontainer2 id=\"CH_SCROLL\" direction=\"horizontal\" x=\"100\" y=\"650\" "
    "width=\"1700\" height=\"300\">"
    "<graphicbutton id=\"CH_BTN_LEFT\" x=\"10\" y=\"20\" width=\"40\" height=\"40\"/>"
    "<scrollinfo>"
    "<scrollholder id=\"CH_HOLDER_1\">"
    "<graphicbutton id=\"CH_BUTTON_1\" x=\"5\" y=\"6\" width=\"160\" height=\"90\"/>"
    "<scenetext id=\"CH_TEXT_1\" x=\"5\" y=\"100\" width=\"160\" height=\"30\"/>"
    "<rectangle id=\"CH_POPUP_1\" x=\"0\" y=\"0\" width=\"170\" height=\"140\"/>"
    "</scrollholder>"
    "<rectangle id=\"CH_GAP\"/>"
    "<scrollholder id=\"CH_HOLDER_2\">"
    "<graphicbutton id=\"CH_BUTTON_2\" x=\"15\" y=\"6\" width=\"160\" height=\"90\"/>"
    "</scrollholder>"
    "</scrollinfo></scrollcontainer2></container>";

constexpr const char* kTitles =
    "<titlesInfo><titleInfo id=\"TI_A\">"
    "<chapterInfo id=\"A1\" index=\"0\" thumbnailId=\"PA1\" textId=\"XA1\"/>"
    "<chapterInfo id=\"A2\" index=\"1\" thumbnailId=\"PA2\" textId=\"XA2\"/></titleInfo>"
    "<titleInfo id=\"TI_B\">"
    "<chapterInfo id=\"B1\" index=\"0\" thumbnailId=\"PB1\" textId=\"XB1\"/>"
    "<chapterInfo id=\"B2\" index=\"1\" thumbnailId=\"PB2\" textId=\"XB2\"/></titleInfo>"
    "<titleInfo id=\"TI_C\">"
    "<chapterInfo id=\"C1\" index=\"0\" thumbnailId=\"PC1\" textId=\"XC1\"/>"
    "<chapterInfo id=\"C2\" index=\"1\"/>"
    "<chapterInfo id=\"C3\" index=\"2\" thumbnailId=\"PC3\" textId=\"XC3\"/></titleInfo>"
    "</titlesInfo>";

constexpr const char* kNewDocument =
    "<root xmlns=\"urn:merrow:calendar\"><titlelist><title id=\"TI_A\" titleNo=\"{A}\"/>"
    "</titlelist><layout/></root>";

class ChapterMenuTest : public ::testing::Test {
protected:
    void open(const std::string& layoutTemplate = kTemplate) {
        ref_ =
            std::make_unique<TestDocument>("<root xmlns=\"urn:merrow:design\"><layout>" +
                                               layoutTemplate + "</layout>" + kTitles + "</root>",
                                           "design.xml");
        doc_ = std::make_unique<TestDocument>(kNewDocument, "new.xml");
        template_ = std::make_unique<XmlElementOperator>(
            ref_->glue(), "/NS:root/NS:layout/NS:container[@id=\"ChapterPageLayout\"]");
    }
    XmlElementOperator title(const char* id) {
        return XmlElementOperator(ref_->glue(), std::string("//NS:titleInfo[@id=\"") + id + "\"]");
    }
    // One menu for the title at position index.
    bool addMenu(XmlElementOperator& titleInfo, int index, std::string* container = nullptr) {
        ChapterMenuGroupElementBuilder builder(nullptr, *template_, titleInfo, index, &manager_);
        XmlElementOperator layout(doc_->glue(), "/NS:root/NS:layout");
        const bool result = builder.addTo(layout);
        if (container != nullptr) *container = builder.getChpaterLayoutContainerId();
        return result;
    }
    std::string text() const { return body(*doc_); }

    Merrow::BufferImageTrackCreatorManager manager_;
    std::unique_ptr<TestDocument> ref_;
    std::unique_ptr<TestDocument> doc_;
    std::unique_ptr<XmlElementOperator> template_;
};

TEST_F(ChapterMenuTest, WritesTheHiddenMenuItsScenesAndCommands) {
    open();
    XmlElementOperator titleInfo = title("TI_A");
    ChapterMenuGroupElementBuilder builder(nullptr, *template_, titleInfo, 0, &manager_);
    XmlElementOperator layout(doc_->glue(), "/NS:root/NS:layout");
    ASSERT_TRUE(builder.addTo(layout));
    EXPECT_EQ(builder.getChpaterLayoutContainerId(), "T1_ChapterMenuLayout");
    EXPECT_EQ(builder.getShowChapterCommandId(), "Show_T1_ChapterMenuLayout");
    EXPECT_EQ(builder.getHideChapterCommandId(), "Hide_T1_ChapterMenuLayout");

    const char* scene = " imageNormal=\"#\" imageAction=\"#\" imageFocus=\"#\"/>";
    EXPECT_EQ(
        masked(text()),
        std::string("<titlelist><title id=\"TI_A\" titleNo=\"{A}\"/></titlelist>"
                    "<layout><container id=\"T1_ChapterMenuLayout\" x=\"0\" y=\"600\" "
                    "width=\"1920\" height=\"480\" visibility=\"false\">"
                    "<decoration id=\"T1_CH_BG\" x=\"0\" y=\"0\" width=\"1920\" height=\"480\" "
                    "image=\"#\"/>"
                    "<scrollcontainer2 id=\"T1_CH_SCROLL\" direction=\"horizontal\" x=\"100\" "
                    "y=\"650\" width=\"1700\" height=\"300\">"
                    "<graphicbutton id=\"T1_CH_BTN_LEFT\" x=\"10\" y=\"20\" width=\"40\" "
                    "height=\"40\"") +
            scene +
            "<scrollinfo><scrollholder id=\"CH_HOLDER_1\">"
            "<rectangle id=\"button_1\" x=\"5\" y=\"6\" width=\"160\" height=\"90\"/>"
            "<rectangle id=\"text_1\" x=\"5\" y=\"100\" width=\"160\" height=\"30\"/>"
            "<rectangle id=\"popup_1\" x=\"0\" y=\"0\" width=\"170\" height=\"140\"/>"
            "</scrollholder><scrollholder id=\"CH_HOLDER_2\">"
            "<rectangle id=\"button_3\" x=\"15\" y=\"6\" width=\"160\" height=\"90\"/>"
            "</scrollholder></scrollinfo>"
            "<graphicbutton id=\"T1_SCENE_1\" x=\"0\" y=\"0\" width=\"160\" height=\"90\"" +
            scene + "<graphicbutton id=\"T1_TEXT_1\" x=\"0\" y=\"0\" width=\"160\" height=\"30\"" +
            scene + "<graphicbutton id=\"T1_SCENE_2\" x=\"0\" y=\"0\" width=\"160\" height=\"90\"" +
            scene + "<graphicbutton id=\"T1_TEXT_2\" x=\"0\" y=\"0\" width=\"160\" height=\"30\"" +
            scene +
            "</scrollcontainer2></container></layout>"
            "<command id=\"command\"><focuscontrol id=\"focuscontrol\">"
            "<focusitem id=\"focusitem_T1_CH_BTN_LEFT\" target=\"T1_CH_BTN_LEFT\"/>"
            "<focusitem id=\"focusitem_T1_SCENE_1\" target=\"T1_SCENE_1\"/>"
            "<focusitem id=\"focusitem_T1_SCENE_2\" target=\"T1_SCENE_2\"/></focuscontrol>"
            "<jumpchapter id=\"jumpchapter_A1\" titleNo=\"{A}\" chapterNo=\"0\"/>"
            "<jumpchapter id=\"jumpchapter_A2\" titleNo=\"{A}\" chapterNo=\"1\"/>"
            "<menuproperty id=\"Show_T1_ChapterMenuLayout\" target=\"T1_ChapterMenuLayout\">"
            "<property id=\"property_visibility\" name=\"visibility\" value=\"true\"/>"
            "<property id=\"property_enabled\" name=\"enabled\" value=\"true\"/></menuproperty>"
            "<menuproperty id=\"Hide_T1_ChapterMenuLayout\" target=\"T1_ChapterMenuLayout\">"
            "<property id=\"property_visibility\" name=\"visibility\" value=\"false\"/>"
            "<property id=\"property_enabled\" name=\"enabled\" value=\"false\"/></menuproperty>"
            "</command>"
            "<effect id=\"effect\">"
            "<trigger id=\"trigger_A1\" launcher=\"T1_SCENE_1\" state=\"action\" type=\"button\">"
            "<use id=\"use_jumpchapter_A1\" target=\"jumpchapter_A1\"/></trigger>"
            "<trigger id=\"trigger_A2\" launcher=\"T1_SCENE_2\" state=\"action\" type=\"button\">"
            "<use id=\"use_jumpchapter_A2\" target=\"jumpchapter_A2\"/></trigger></effect>");
}

TEST_F(ChapterMenuTest, TemplateStartingWithAnotherElementGivesAnEmptyContainer) {
    open(
        "<container id=\"ChapterPageLayout\" width=\"1920\">"
        "<rectangle id=\"R\"/><decoration id=\"CH_BG\"/>"
        "<scrollcontainer2 id=\"CH_SCROLL\"/></container>");
    XmlElementOperator titleInfo = title("TI_B");
    std::string container;
    EXPECT_FALSE(addMenu(titleInfo, 1, &container));
    EXPECT_EQ(container, "T2_ChapterMenuLayout");
    EXPECT_EQ(element(text(), "<layout>"),
              "<layout><container id=\"T2_ChapterMenuLayout\" width=\"1920\" "
              "visibility=\"false\"/></layout>");
    EXPECT_EQ(ids(doc_->glue(), "/NS:root/NS:command/NS:*"),
              (Ids{"Show_T2_ChapterMenuLayout", "Hide_T2_ChapterMenuLayout"}));
    EXPECT_EQ(text().find("<effect"), std::string::npos);
}

TEST_F(ChapterMenuTest, ScrollInfoStartingWithAnotherElementStopsTheStrip) {
    open(
        "<container id=\"ChapterPageLayout\">"
        "<scrollcontainer2 id=\"CH_SCROLL\" x=\"1\" y=\"2\" width=\"3\" height=\"4\">"
        "<scrollinfo><rectangle id=\"GAP\"/><scrollholder id=\"CH_HOLDER_1\">"
        "<graphicbutton id=\"CH_BUTTON_1\"/></scrollholder></scrollinfo>"
        "<graphicbutton id=\"CH_BTN_LEFT\"/></scrollcontainer2>"
        "<decoration id=\"CH_BG\"/></container>");
    XmlElementOperator titleInfo = title("TI_A");
    EXPECT_FALSE(addMenu(titleInfo, 0));
    // No "direction" in the template, none written; nothing after the scroll info is visited.
    EXPECT_EQ(element(text(), "<layout>"),
              "<layout><container id=\"T1_ChapterMenuLayout\" visibility=\"false\">"
              "<scrollcontainer2 id=\"T1_CH_SCROLL\" x=\"1\" y=\"2\" width=\"3\" height=\"4\">"
              "<scrollinfo/></scrollcontainer2></container></layout>");
    EXPECT_EQ(ids(doc_->glue(), "/NS:root/NS:command/NS:*"),
              (Ids{"Show_T1_ChapterMenuLayout", "Hide_T1_ChapterMenuLayout"}));
}

TEST_F(ChapterMenuTest, ScenesGoIntoTheLastScrollContainer) {
    open(
        "<container id=\"ChapterPageLayout\">"
        "<scrollcontainer2 id=\"FIRST\"><scrollinfo><scrollholder id=\"CH_HOLDER_1\">"
        "<graphicbutton id=\"CH_BUTTON_1\"/></scrollholder></scrollinfo></scrollcontainer2>"
        "<scrollcontainer2 id=\"SECOND\"><scrollinfo><scrollholder id=\"OTHER\">"
        "<graphicbutton id=\"OTHER_BUTTON_1\"/></scrollholder></scrollinfo></scrollcontainer2>"
        "</container>");
    XmlElementOperator titleInfo = title("TI_A");
    ASSERT_TRUE(addMenu(titleInfo, 0));
    const std::string container = "/NS:root/NS:layout/NS:container[@id=\"T1_ChapterMenuLayout\"]";
    EXPECT_EQ(ids(doc_->glue(), container + "/NS:scrollcontainer2[@id=\"T1_FIRST\"]/NS:*"),
              (Ids{"-"}));
    // The scenes follow the first holder met, in the strip written last.
    EXPECT_EQ(ids(doc_->glue(), container + "/NS:scrollcontainer2[@id=\"T1_SECOND\"]/NS:*"),
              (Ids{"-", "T1_SCENE_1", "T1_SCENE_2"}));
}

// Two template children of one kind in a holder give two placeholders of one identifier; each
// keeps its own geometry.
TEST_F(ChapterMenuTest, RepeatedPlaceholdersKeepTheirOwnGeometry) {
    open(
        "<container id=\"ChapterPageLayout\">"
        "<scrollcontainer2 id=\"CH_SCROLL\"><scrollinfo><scrollholder id=\"CH_HOLDER_1\">"
        "<rectangle id=\"CH_FRAME_1\" x=\"1\" y=\"2\" width=\"30\" height=\"40\"/>"
        "<rectangle id=\"CH_POPUP_1\" x=\"5\" y=\"6\" width=\"70\" height=\"80\"/>"
        "</scrollholder></scrollinfo></scrollcontainer2></container>");
    XmlElementOperator titleInfo = title("TI_A");
    addMenu(titleInfo, 0);
    EXPECT_EQ(element(text(), "<scrollholder "),
              "<scrollholder id=\"CH_HOLDER_1\">"
              "<rectangle id=\"popup_1\" x=\"1\" y=\"2\" width=\"30\" height=\"40\"/>"
              "<rectangle id=\"popup_1\" x=\"5\" y=\"6\" width=\"70\" height=\"80\"/>"
              "</scrollholder>");
}

// A holder whose children give no placeholder still counts as written: the strip goes on to the
// next holder.
TEST_F(ChapterMenuTest, HolderWithoutPlaceholdersDoesNotStopTheStrip) {
    open(
        "<container id=\"ChapterPageLayout\">"
        "<scrollcontainer2 id=\"CH_SCROLL\"><scrollinfo>"
        "<scrollholder id=\"CH_HOLDER_1\"><decoration id=\"CH_MARK_1\"/></scrollholder>"
        "<scrollholder id=\"CH_HOLDER_2\"><graphicbutton id=\"CH_BUTTON_2\"/></scrollholder>"
        "</scrollinfo></scrollcontainer2></container>");
    XmlElementOperator titleInfo = title("TI_A");
    // The scenes follow the first holder, which has nothing to write.
    EXPECT_FALSE(addMenu(titleInfo, 0));
    const std::string info =
        "/NS:root/NS:layout/NS:container/NS:scrollcontainer2/NS:scrollinfo/NS:scrollholder";
    EXPECT_EQ(ids(doc_->glue(), info), (Ids{"CH_HOLDER_1", "CH_HOLDER_2"}));
    EXPECT_EQ(ids(doc_->glue(), info + "/NS:*"), (Ids{"button_2"}));
}

// The scenes are written chapter by chapter; a chapter whose pictures cannot be made ends them,
// and the menu reports false.
TEST_F(ChapterMenuTest, FailingChapterEndsTheScenes) {
    open();
    XmlElementOperator titleInfo = title("TI_C");
    EXPECT_FALSE(addMenu(titleInfo, 2));
    EXPECT_EQ(ids(doc_->glue(), "//NS:scrollcontainer2/NS:graphicbutton"),
              (Ids{"T3_CH_BTN_LEFT", "T3_SCENE_1", "T3_TEXT_1", "T3_SCENE_2"}));
    EXPECT_EQ(ids(doc_->glue(), "//NS:focuscontrol/NS:*"),
              (Ids{"focusitem_T3_CH_BTN_LEFT", "focusitem_T3_SCENE_1", "focusitem_T3_SCENE_2"}));
}

TEST_F(ChapterMenuTest, TwoMenusShareOneCommandAndOneFocusControl) {
    open();
    XmlElementOperator first = title("TI_A");
    XmlElementOperator second = title("TI_B");
    ASSERT_TRUE(addMenu(first, 0));
    ASSERT_TRUE(addMenu(second, 1));
    CXMLOutputFileGlue& glue = doc_->glue();
    EXPECT_EQ(ids(glue, "/NS:root/NS:*"), (Ids{"-", "-", "command", "effect"}));
    EXPECT_EQ(ids(glue, "/NS:root/NS:command/NS:focuscontrol"), (Ids{"focuscontrol"}));
    EXPECT_EQ(ids(glue, "/NS:root/NS:command/NS:focuscontrol/NS:*"),
              (Ids{"focusitem_T1_CH_BTN_LEFT", "focusitem_T1_SCENE_1", "focusitem_T1_SCENE_2",
                   "focusitem_T2_CH_BTN_LEFT", "focusitem_T2_SCENE_1", "focusitem_T2_SCENE_2"}));
    EXPECT_EQ(ids(glue, "/NS:root/NS:command/NS:menuproperty"),
              (Ids{"Show_T1_ChapterMenuLayout", "Hide_T1_ChapterMenuLayout",
                   "Show_T2_ChapterMenuLayout", "Hide_T2_ChapterMenuLayout"}));
    // Only the first title is in the title list: the second menu has no jumps.
    EXPECT_EQ(ids(glue, "/NS:root/NS:command/NS:jumpchapter"),
              (Ids{"jumpchapter_A1", "jumpchapter_A2"}));

    // Holders and placeholders keep the reference identifiers in both menus.
    for (const char* menu : {"T1_ChapterMenuLayout", "T2_ChapterMenuLayout"}) {
        const std::string info = std::string("/NS:root/NS:layout/NS:container[@id=\"") + menu +
                                 "\"]/NS:scrollcontainer2/NS:scrollinfo";
        EXPECT_EQ(ids(glue, info + "/NS:scrollholder"), (Ids{"CH_HOLDER_1", "CH_HOLDER_2"}));
        EXPECT_EQ(ids(glue, info + "/NS:scrollholder/NS:rectangle"),
                  (Ids{"button_1", "text_1", "popup_1", "button_3"}));
    }
}

}  // namespace
