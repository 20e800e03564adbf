// The layout section: page containers copied hidden with their geometry, children dispatched by
// kind, the walk's running result, the chapter page layout hand-off, and the id translation.

#include <gtest/gtest.h>

#include <string>

#include "creator/LayoutTestSupport.h"
#include "support/TestDocument.h"

namespace {

using layouttest::design;
using layouttest::LayoutCreator;
using layouttest::newDocument;
using layouttest::view;
using merrowtest::TestDocument;

// Runs the layout section of a fresh creator over the design; returns its result.
bool runLayout(TestDocument& ref, TestDocument& doc, LayoutCreator& creator) {
    return creator.addLayoutElement(doc.glue(), ref.glue(), nullptr, nullptr);
}

TEST(LayoutIdTranslation, ReplacesFromTheFirstMarkerAndDropsWhatCameBefore) {
    LayoutCreator creator;
    std::string out = "unchanged";
    EXPECT_TRUE(creator.translateElementId(out, "L1_SCENE_1", "SCENE_", "SCENE_"));
    EXPECT_EQ(out, "SCENE_1");
    EXPECT_TRUE(creator.translateElementId(out, "X_BUTTON_1_BUTTON_2", "BUTTON_", "button_"));
    EXPECT_EQ(out, "button_1_BUTTON_2");
    EXPECT_TRUE(creator.translateElementId(out, "INDEX_1", "INDEX_1", "Date_1"));
    EXPECT_EQ(out, "Date_1");
}

TEST(LayoutIdTranslation, LeavesTheOutputAloneWithoutMarker) {
    LayoutCreator creator;
    std::string out = "kept";
    EXPECT_FALSE(creator.translateElementId(out, "PHOTO_NUMBER_1", "TITLE_NUMBER_", "x_"));
    EXPECT_EQ(out, "kept");
    // Markers are compared by case.
    EXPECT_FALSE(creator.translateElementId(out, "button_1", "BUTTON_", "button_"));
    EXPECT_EQ(out, "kept");
}

TEST(LayoutSection, CopiesContainersHiddenWithGeometryAndSkipsUnknownKinds) {
    TestDocument ref(design(
        "<container id=\"YearPageLayout\" width=\"1920\" height=\"1080\" x=\"0\" y=\"0\">"
        "<rectangle id=\"R1\" x=\"1\"/><anchor id=\"A1\"/><scrollholder id=\"H1\"/></container>"
        "<container id=\"MonthPageLayout\" x=\"5\" width=\"640\" y=\"6\" height=\"480\"/>"));
    auto doc = newDocument();
    LayoutCreator creator;
    EXPECT_TRUE(runLayout(ref, *doc, creator));
    EXPECT_EQ(view(*doc),
              "<layout>"
              "<container id=\"YearPageLayout\" width=\"1920\" height=\"1080\" "
              "visibility=\"false\" x=\"0\" y=\"0\"/>"
              "<container id=\"MonthPageLayout\" width=\"640\" height=\"480\" "
              "visibility=\"false\" x=\"5\" y=\"6\"/>"
              "</layout>");
}

TEST(LayoutSection, DispatchesChildrenByKindInDocumentOrder) {
    TestDocument ref(design(
        "<container id=\"DayPageLayout\" width=\"10\" height=\"20\" x=\"1\" y=\"2\">"
        "<graphictext id=\"D_DATE\" width=\"99\" height=\"30\" x=\"3\" y=\"4\" type=\"DATE\"/>"
        "<icon id=\"D_ICON\" x=\"5\" y=\"6\" width=\"7\" height=\"8\"/>"
        "<decoration id=\"D_BG\" x=\"0\" y=\"0\" width=\"10\" height=\"20\"/>"
        "<graphicbutton id=\"D_BTN_BACK\" x=\"1\" y=\"1\" width=\"2\" height=\"2\"/>"
        "<scrollcontainer3 id=\"D_SCROLL\" width=\"9\" height=\"9\" x=\"0\" y=\"0\"/>"
        "<gridcontainer id=\"D_GRID\" x=\"0\" y=\"0\" width=\"3\" height=\"3\"/>"
        "</container>"));
    auto doc = newDocument();
    LayoutCreator creator;
    EXPECT_TRUE(runLayout(ref, *doc, creator));
    EXPECT_EQ(view(*doc),
              "<layout><container id=\"DayPageLayout\" width=\"10\" height=\"20\" "
              "visibility=\"false\" x=\"1\" y=\"2\">"
              "<graphictext id=\"D_DATE\" tileWidth=\"50\" tileHeight=\"30\" x=\"3\" y=\"4\" "
              "type=\"DATE\" value=\"3333\" tileImage=\"TRACK\"/>"
              "<decoration id=\"D_ICON\" x=\"5\" y=\"6\" width=\"7\" height=\"8\" "
              "image=\"TRACK\"/>"
              "<decoration id=\"D_BG\" x=\"0\" y=\"0\" width=\"10\" height=\"20\" "
              "image=\"TRACK\"/>"
              "<graphicbutton id=\"D_BTN_BACK\" x=\"1\" y=\"1\" width=\"2\" height=\"2\" "
              "imageNormal=\"TRACK\" imageAction=\"TRACK\" imageFocus=\"TRACK\"/>"
              "<scrollcontainer3 id=\"D_SCROLL\" width=\"9\" height=\"9\" x=\"0\" y=\"0\"/>"
              "<gridlayout id=\"D_GRID\" x=\"0\" y=\"0\" width=\"3\" height=\"3\"/>"
              "</container></layout>");
}

TEST(LayoutSection, TextChildrenDependOnTheVariant) {
    TestDocument ref(design(
        "<container id=\"ContentPageLayout\"><text id=\"C_TEXT\" x=\"1\" y=\"2\" width=\"3\" "
        "height=\"4\"/></container>"));
    auto doc = newDocument();
    LayoutCreator creator;
    EXPECT_TRUE(runLayout(ref, *doc, creator));
#if defined(MERROWKIT_OLDER_VARIANT)
    // The older variant copies a text as a decoration showing its rendering.
    EXPECT_EQ(view(*doc),
              "<layout><container id=\"ContentPageLayout\" visibility=\"false\">"
              "<decoration id=\"C_TEXT\" x=\"1\" y=\"2\" width=\"3\" height=\"4\" "
              "image=\"TRACK\"/></container></layout>");
#else
    EXPECT_EQ(view(*doc),
              "<layout><container id=\"ContentPageLayout\" visibility=\"false\"/></layout>");
#endif
}

TEST(LayoutSection, WithoutPageContainersWritesAnEmptyLayoutAndFails) {
    for (const std::string& layout :
         {std::string(), std::string("<container id=\"ChapterPageLayout\" width=\"5\"/>"),
          // A container without an id cannot be addressed: it is left out.
          std::string("<container width=\"5\" height=\"5\"><decoration id=\"X\"/></container>")}) {
        TestDocument ref(design(layout));
        auto doc = newDocument();
        LayoutCreator creator;
        EXPECT_FALSE(runLayout(ref, *doc, creator)) << layout;
        EXPECT_EQ(view(*doc), "<layout/>") << layout;
    }
}

TEST(LayoutSection, AContainerWithoutIdDoesNotDisturbTheOthers) {
    TestDocument ref(design("<container width=\"5\"/><container id=\"A\" width=\"1\"/>"));
    auto doc = newDocument();
    LayoutCreator creator;
    EXPECT_TRUE(runLayout(ref, *doc, creator));
    EXPECT_EQ(view(*doc),
              "<layout><container id=\"A\" width=\"1\" visibility=\"false\"/></layout>");
}

TEST(LayoutSection, FailingHandlerStopsTheWalk) {
    // A button without an id has no picture to render, so its handler fails.
    TestDocument ref(
        design("<container id=\"A\" width=\"1\" height=\"2\" x=\"3\" y=\"4\">"
               "<graphictext id=\"A_TEXT\" height=\"5\" x=\"6\" y=\"7\"/><rectangle id=\"R\"/>"
               "</container>"
               "<container id=\"B\" width=\"8\" height=\"9\" x=\"0\" y=\"0\">"
               "<graphictext id=\"B_TEXT\" height=\"5\" x=\"6\" y=\"7\"/>"
               "<graphicbutton x=\"1\" y=\"2\" width=\"3\" height=\"4\"/>"
               "<graphictext id=\"B_AFTER\" height=\"1\" x=\"1\" y=\"1\"/>"
               "</container>"
               "<container id=\"ChapterPageLayout\"/>"
               "<container id=\"C\" width=\"1\" height=\"1\" x=\"1\" y=\"1\"/>",
               "<titlesInfo><titleInfo id=\"T\"><chapterInfo id=\"c1\"/><chapterInfo id=\"c2\"/>"
               "</titleInfo></titlesInfo>"));
    auto doc = newDocument();
    LayoutCreator creator;
    EXPECT_FALSE(runLayout(ref, *doc, creator));
    EXPECT_EQ(view(*doc),
              "<layout>"
              "<container id=\"A\" width=\"1\" height=\"2\" visibility=\"false\" x=\"3\" y=\"4\">"
              "<graphictext id=\"A_TEXT\" tileWidth=\"50\" tileHeight=\"5\" x=\"6\" y=\"7\" "
              "value=\"3333\" tileImage=\"TRACK\"/></container>"
              "<container id=\"B\" width=\"8\" height=\"9\" visibility=\"false\" x=\"0\" y=\"0\">"
              "<graphictext id=\"B_TEXT\" tileWidth=\"50\" tileHeight=\"5\" x=\"6\" y=\"7\" "
              "value=\"3333\" tileImage=\"TRACK\"/>"
              "<graphicbutton x=\"1\" y=\"2\" width=\"3\" height=\"4\"/></container>"
              "</layout>");
    // The chapter page layout after the failing container is never reached.
    EXPECT_TRUE(creator.chapterMenus().empty());
}

TEST(LayoutSection, ChapterPageLayoutGoesToTheChapterMenusAndLeavesTheResultAlone) {
    const std::string titles =
        "<titlesInfo><titleInfo id=\"TI_1\"><chapterInfo id=\"c1\"/><chapterInfo id=\"c2\"/>"
        "</titleInfo><titleInfo id=\"TI_2\"><chapterInfo id=\"c3\"/></titleInfo></titlesInfo>";
    TestDocument ref(
        design("<container id=\"ChapterPageLayout\" width=\"5\" height=\"5\"/>"
               "<container id=\"YearPageLayout\" width=\"1\"/>",
               titles));
    auto doc = newDocument();
    LayoutCreator creator;
    EXPECT_TRUE(runLayout(ref, *doc, creator));
    ASSERT_EQ(creator.chapterMenus().size(), 1u);
    EXPECT_EQ(creator.chapterMenus()[0].titleInfoId, "TI_1");
    // The template itself is not copied; the page container after it is.
    const std::string text = view(*doc);
    EXPECT_EQ(text.find("ChapterPageLayout"), std::string::npos) << text;
    EXPECT_NE(text.find("<container id=\"YearPageLayout\" width=\"1\" visibility=\"false\"/>"),
              std::string::npos)
        << text;
}

TEST(LayoutSection, ChildrenWithoutIdKeepTheirOwnAttributes) {
    // Neither the reference child nor the copy may be taken for its same-named sibling.
    TestDocument ref(
        design("<container id=\"DayPageLayout\">"
               "<graphictext height=\"3\" x=\"1\" y=\"2\" type=\"DATE\"/>"
               "<graphictext height=\"6\" x=\"4\" y=\"5\" type=\"TIME\"/>"
               "</container>"));
    auto doc = newDocument();
    LayoutCreator creator;
    EXPECT_TRUE(runLayout(ref, *doc, creator));
    EXPECT_EQ(view(*doc),
              "<layout><container id=\"DayPageLayout\" visibility=\"false\">"
              "<graphictext tileWidth=\"50\" tileHeight=\"3\" x=\"1\" y=\"2\" type=\"DATE\" "
              "value=\"3333\" tileImage=\"TRACK\"/>"
              "<graphictext tileWidth=\"50\" tileHeight=\"6\" x=\"4\" y=\"5\" type=\"TIME\" "
              "value=\"3333\" tileImage=\"TRACK\"/>"
              "</container></layout>");
}

TEST(LayoutSection, IdsWithQuotesAddressTheirOwnContainer) {
    TestDocument ref(
        design("<container id='Say \"hi\"' width=\"3\" height=\"4\" x=\"5\" y=\"6\">"
               "<rectangle id=\"R\"/></container>"
               "<container id=\"Say\" width=\"7\"/>"));
    auto doc = newDocument();
    LayoutCreator creator;
    EXPECT_TRUE(runLayout(ref, *doc, creator));
    EXPECT_EQ(view(*doc),
              "<layout>"
              "<container id=\"Say &quot;hi&quot;\" width=\"3\" height=\"4\" "
              "visibility=\"false\" x=\"5\" y=\"6\"/>"
              "<container id=\"Say\" width=\"7\" visibility=\"false\"/>"
              "</layout>");
}

}  // namespace
