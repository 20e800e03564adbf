// Scroll containers: the strip with its geometry and direction, its scroll infos and holders, the
// placeholders inside the holders, and the first holder of the run.

#include <gtest/gtest.h>

#include <string>

#include "creator/LayoutTestSupport.h"
#include "support/TestDocument.h"

namespace {

using layouttest::design;
using layouttest::LayoutCreator;
using layouttest::newDocument;
using layouttest::view;
using Merrow::XmlElementOperator;
using merrowtest::TestDocument;

const char* const kYearStrip =
    "<scrollcontainer3 id=\"Y_SCROLL\" width=\"800\" height=\"200\" x=\"100\" y=\"300\" "
    "direction=\"horizontal\">"
    "<decoration id=\"Y_BG\" x=\"0\" y=\"0\" width=\"8\" height=\"2\"/>"
    "<graphicbutton id=\"Y_BTN_PREVIOUS\" x=\"1\" y=\"1\" width=\"4\" height=\"4\"/>"
    "<graphictext id=\"TITLE_NUMBER_9\" x=\"1\"/>"
    "<scrollinfo id=\"Y_INFO\">"
    "<scrollholder id=\"Y_HOLDER_1\">"
    "<graphicbutton id=\"L1_BUTTON_1\" x=\"1\" y=\"2\" width=\"3\" height=\"4\"/>"
    "<scenetext id=\"TEXT_1\" x=\"5\"/>"
    "<icon id=\"PHOTO_DECORATION_1\" width=\"6\" height=\"7\"/>"
    "<rectangle id=\"POPUP_1\" y=\"8\"/>"
    "<graphictext id=\"TITLE_NUMBER_1\" x=\"9\" y=\"10\" width=\"11\" height=\"12\"/>"
    "<decoration id=\"BUTTON_SKIPPED\"/>"
    "</scrollholder>"
    "<scrollholder id=\"Y_HOLDER_2\"><graphictext id=\"YEAR_LABEL\" x=\"13\"/></scrollholder>"
    "</scrollinfo></scrollcontainer3>";

TEST(ScrollContainer, CopiesTheStripLevelByLevelWithPlaceholders) {
    TestDocument ref(
        design("<container id=\"YearPageLayout\">" + std::string(kYearStrip) + "</container>"));
    auto doc = newDocument();
    LayoutCreator creator;
    EXPECT_TRUE(creator.addLayoutElement(doc->glue(), ref.glue(), nullptr, nullptr));
    EXPECT_EQ(view(*doc),
              "<layout><container id=\"YearPageLayout\" visibility=\"false\">"
              "<scrollcontainer3 id=\"Y_SCROLL\" width=\"800\" height=\"200\" x=\"100\" "
              "y=\"300\" direction=\"horizontal\">"
              "<decoration id=\"Y_BG\" x=\"0\" y=\"0\" width=\"8\" height=\"2\" image=\"TRACK\"/>"
              "<graphicbutton id=\"Y_BTN_PREVIOUS\" x=\"1\" y=\"1\" width=\"4\" height=\"4\" "
              "imageNormal=\"TRACK\" imageAction=\"TRACK\" imageFocus=\"TRACK\"/>"
              "<scrollinfo id=\"Y_INFO\">"
              "<scrollholder id=\"Y_HOLDER_1\">"
              "<rectangle id=\"button_1\" width=\"3\" height=\"4\" x=\"1\" y=\"2\"/>"
              "<rectangle id=\"text_1\" x=\"5\"/>"
              "<rectangle id=\"photo_decoration_1\" width=\"6\" height=\"7\"/>"
              "<rectangle id=\"popup_1\" y=\"8\"/>"
              "<anchor id=\"title_number_1\" width=\"11\" height=\"12\" x=\"9\" y=\"10\"/>"
              "</scrollholder>"
              "<scrollholder id=\"Y_HOLDER_2\"><anchor x=\"13\"/></scrollholder>"
              "</scrollinfo></scrollcontainer3></container></layout>");
}

TEST(ScrollContainer, LeavesOutWhatTheReferenceLacks) {
    TestDocument ref(
        design("<container id=\"YearPageLayout\"><scrollcontainer3 id=\"S\" "
               "x=\"1\" height=\"2\"/></container>"));
    auto doc = newDocument();
    LayoutCreator creator;
    XmlElementOperator parent(doc->glue(), "/NS:root");
    XmlElementOperator strip(ref.glue(), "//NS:scrollcontainer3");
    EXPECT_TRUE(creator.addScrollContainer3Element(parent, strip, nullptr, nullptr));
    EXPECT_EQ(view(*doc), "<scrollcontainer3 id=\"S\" height=\"2\" x=\"1\"/>");
}

TEST(ScrollContainer, PlaceholdersSharingAnIdKeepTheirOwnGeometry) {
    // Labels without a marker, id-less children and two buttons that translate alike: each
    // placeholder has the geometry of its own reference element.
    TestDocument ref(
        design("<container id=\"YearPageLayout\"><scrollcontainer3 id=\"S\">"
               "<scrollinfo id=\"I\"><scrollholder id=\"H\">"
               "<graphictext id=\"YEAR_LABEL\" x=\"1\"/>"
               "<graphictext id=\"MONTH_LABEL\" x=\"2\"/>"
               "<scenetext y=\"3\"/><scenetext y=\"4\"/>"
               "<graphicbutton id=\"L1_BUTTON_1\" width=\"5\"/>"
               "<graphicbutton id=\"L2_BUTTON_1\" width=\"6\"/>"
               "</scrollholder></scrollinfo></scrollcontainer3></container>"));
    auto doc = newDocument();
    LayoutCreator creator;
    EXPECT_TRUE(creator.addLayoutElement(doc->glue(), ref.glue(), nullptr, nullptr));
    EXPECT_EQ(view(*doc),
              "<layout><container id=\"YearPageLayout\" visibility=\"false\">"
              "<scrollcontainer3 id=\"S\"><scrollinfo id=\"I\"><scrollholder id=\"H\">"
              "<anchor x=\"1\"/><anchor x=\"2\"/>"
              "<rectangle y=\"3\"/><rectangle y=\"4\"/>"
              "<rectangle id=\"button_1\" width=\"5\"/>"
              "<rectangle id=\"button_1\" width=\"6\"/>"
              "</scrollholder></scrollinfo></scrollcontainer3></container></layout>");
}

TEST(ScrollContainer, RemembersTheFirstHolderOfTheRunOnly) {
    TestDocument ref(design("<container id=\"YearPageLayout\">" + std::string(kYearStrip) +
                            "</container><container id=\"Other\"><scrollcontainer3 id=\"S2\">"
                            "<scrollinfo id=\"I2\"><scrollholder id=\"H2\"/></scrollinfo>"
                            "</scrollcontainer3></container>"));
    auto doc = newDocument();
    LayoutCreator creator;
    EXPECT_TRUE(creator.addLayoutElement(doc->glue(), ref.glue(), nullptr, nullptr));
    // The path names the reference holder the first scroll holder was made from.
    EXPECT_EQ(XmlElementOperator(ref.glue(), creator.scrollHolderPath()).getId(), "Y_HOLDER_1");
    EXPECT_NE(creator.scrollHolderPath().find("YearPageLayout"), std::string::npos);
}

TEST(ScrollContainer, AHandlerFailsOnlyForItsOwnElement) {
    TestDocument ref(
        design("<container id=\"YearPageLayout\">" + std::string(kYearStrip) + "</container>"));
    auto doc = newDocument();
    LayoutCreator creator;
    XmlElementOperator missing(doc->glue(), "/NS:root/NS:missing");
    XmlElementOperator info(ref.glue(), "//NS:scrollinfo");
    EXPECT_FALSE(creator.addScrollInfoElement(missing, info, nullptr, nullptr));
    EXPECT_EQ(view(*doc), "");
    // Its holders were still visited: the first of them is remembered.
    EXPECT_EQ(XmlElementOperator(ref.glue(), creator.scrollHolderPath()).getId(), "Y_HOLDER_1");

    // On its own, a holder writes its placeholders; one without a marker of its kind has no id.
    XmlElementOperator root(doc->glue(), "/NS:root");
    XmlElementOperator holder(ref.glue(), "//NS:scrollholder[@id=\"Y_HOLDER_2\"]");
    EXPECT_TRUE(creator.addScrollHolderElement(root, holder, nullptr, nullptr));
    EXPECT_EQ(view(*doc), "<scrollholder id=\"Y_HOLDER_2\"><anchor x=\"13\"/></scrollholder>");
}

}  // namespace
