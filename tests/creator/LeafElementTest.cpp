// Leaf layout elements: decorations and buttons with their rendered pictures, graphic texts with
// their number tiles, and the placeholder rectangles and anchors with their translated ids.

#include <gtest/gtest.h>

#include <string>

#include "creator/LayoutTestSupport.h"
#include "document/NodeList.h"
#include "support/TestDocument.h"

namespace {

using layouttest::attribute;
using layouttest::design;
using layouttest::firstPixel;
using layouttest::LayoutCreator;
using layouttest::newDocument;
using layouttest::Presentation;
using layouttest::TempFolder;
using layouttest::view;
using Merrow::XmlElementOperator;
using merrowtest::TestDocument;

// One reference element inside a page container (the rendering takes the layer from it).
std::string page(const std::string& element) {
    return design("<container id=\"DayPageLayout\">" + element + "</container>");
}

XmlElementOperator firstChild(TestDocument& ref) {
    Merrow::NodeList children(ref.glue(), "//NS:container/NS:*");
    EXPECT_GT(children.size(), 0);
    XmlElementOperator container(ref.glue(), "//NS:container");
    return XmlElementOperator(ref.glue(),
                              container.getChildXPath(children.name(0), children.id(0)));
}

TEST(LeafDecoration, AnIconBecomesADecorationWithItsGeometryAndPicture) {
    TempFolder folder;
    const std::string red = folder.picture("red.png", 2, 2, {240, 10, 10, 255});
    TestDocument ref(page("<icon id=\"D_ICON\" x=\"5\" y=\"6\" width=\"4\" height=\"3\" image=\"" +
                          red + "\"/>"));
    auto doc = newDocument();
    Presentation presentation;
    LayoutCreator creator;
    XmlElementOperator parent(doc->glue(), "/NS:root");
    XmlElementOperator icon = firstChild(ref);
    EXPECT_TRUE(creator.addDecorationElement(parent, icon, presentation.get(), nullptr));
    EXPECT_EQ(view(*doc),
              "<decoration id=\"D_ICON\" x=\"5\" y=\"6\" width=\"4\" height=\"3\" "
              "image=\"TRACK\"/>");
    const merrowhost::ImageTrackObject* track =
        presentation.track(attribute(doc->glue(), "/NS:root/NS:decoration", "image"));
    ASSERT_NE(track, nullptr);
    // Rendered at the element's size from the element's picture.
    EXPECT_EQ(track->width(), 4);
    EXPECT_EQ(track->height(), 3);
    EXPECT_EQ(firstPixel(track), (std::vector<uint8_t>{240, 10, 10, 255}));
}

TEST(LeafButton, NormalAndFocusPicturesComeFromTheButton) {
    TempFolder folder;
    const std::string body = folder.picture("body.png", 3, 3, {0, 0, 200, 255});
    const std::string highlight = folder.picture("highlight.png", 3, 3, {0, 200, 0, 255});
    TestDocument ref(
        page("<graphicbutton id=\"D_BTN_BACK\" x=\"1\" y=\"2\" width=\"3\" "
             "height=\"3\" imageBody=\"" +
             body + "\" imageHighlight=\"" + highlight + "\"/>"));
    auto doc = newDocument();
    Presentation presentation;
    LayoutCreator creator;
    XmlElementOperator parent(doc->glue(), "/NS:root");
    XmlElementOperator button = firstChild(ref);
    EXPECT_TRUE(creator.addButtonElement(parent, button, presentation.get(), nullptr));
    EXPECT_EQ(view(*doc),
              "<graphicbutton id=\"D_BTN_BACK\" x=\"1\" y=\"2\" width=\"3\" height=\"3\" "
              "imageNormal=\"TRACK\" imageAction=\"TRACK\" imageFocus=\"TRACK\"/>");
    const std::string path = "/NS:root/NS:graphicbutton";
    const std::string normal = attribute(doc->glue(), path, "imageNormal");
    EXPECT_EQ(attribute(doc->glue(), path, "imageAction"), normal);
    EXPECT_EQ(firstPixel(presentation.track(normal)), (std::vector<uint8_t>{0, 0, 200, 255}));
    EXPECT_EQ(firstPixel(presentation.track(attribute(doc->glue(), path, "imageFocus"))),
              (std::vector<uint8_t>{0, 200, 0, 255}));
}

TEST(LeafPictures, ElementsWithoutIdHaveNoPictureAndFail) {
    TestDocument ref(
        design("<container id=\"C\"><graphicbutton x=\"1\" width=\"2\"/>"
               "<decoration y=\"3\" height=\"4\"/></container>"));
    auto doc = newDocument();
    Presentation presentation;
    LayoutCreator creator;
    XmlElementOperator parent(doc->glue(), "/NS:root");
    XmlElementOperator button(ref.glue(), "//NS:graphicbutton");
    XmlElementOperator decoration(ref.glue(), "//NS:decoration");
    EXPECT_FALSE(creator.addButtonElement(parent, button, presentation.get(), nullptr));
    EXPECT_FALSE(creator.addDecorationElement(parent, decoration, presentation.get(), nullptr));
    EXPECT_EQ(view(*doc),
              "<graphicbutton x=\"1\" y=\"0\" width=\"2\" height=\"0\"/>"
              "<decoration x=\"0\" y=\"3\" width=\"0\" height=\"4\"/>");
    EXPECT_TRUE(presentation.tracks().empty());
}

TEST(LeafGraphicText, HasFixedTileWidthAValueAndTheNumberTiles) {
    TestDocument ref(
        page("<graphictext id=\"D_DATE\" x=\"7\" y=\"8\" width=\"300\" height=\"40\"/>"));
    auto doc = newDocument();
    Presentation presentation;
    LayoutCreator creator;
    XmlElementOperator parent(doc->glue(), "/NS:root");
    XmlElementOperator text = firstChild(ref);
    EXPECT_TRUE(creator.addGraphicTextElement(parent, text, presentation.get(), nullptr));
    EXPECT_EQ(view(*doc),
              "<graphictext id=\"D_DATE\" tileWidth=\"50\" tileHeight=\"40\" x=\"7\" y=\"8\" "
              "value=\"3333\" tileImage=\"TRACK\"/>");
    ASSERT_EQ(presentation.tracks().size(), 1u);
    const merrowhost::ImageTrackObject* tiles = presentation.tracks()[0];
    EXPECT_EQ(attribute(doc->glue(), "/NS:root/NS:graphictext", "tileImage"), tiles->objectId());
    EXPECT_EQ(tiles->width(), 200);
    EXPECT_EQ(tiles->height(), 28);
}

TEST(LeafGraphicText, WithoutPresentationTheTileIdIsStillWritten) {
    TestDocument ref(page("<graphictext id=\"D_DATE\" type=\"DATE\"/>"));
    auto doc = newDocument();
    LayoutCreator creator;
    XmlElementOperator parent(doc->glue(), "/NS:root");
    XmlElementOperator text = firstChild(ref);
    EXPECT_TRUE(creator.addGraphicTextElement(parent, text, nullptr, nullptr));
    EXPECT_EQ(view(*doc),
              "<graphictext id=\"D_DATE\" tileWidth=\"50\" type=\"DATE\" value=\"3333\" "
              "tileImage=\"TRACK\"/>");
}

TEST(LeafGraphicText, FailsWhenItCannotBeAddedAndMakesNoTrack) {
    TestDocument ref(page("<graphictext id=\"D_DATE\"/>"));
    auto doc = newDocument();
    Presentation presentation;
    LayoutCreator creator;
    XmlElementOperator missing(doc->glue(), "/NS:root/NS:missing");
    XmlElementOperator text = firstChild(ref);
    EXPECT_FALSE(creator.addGraphicTextElement(missing, text, presentation.get(), nullptr));
    EXPECT_EQ(view(*doc), "");
    EXPECT_TRUE(presentation.tracks().empty());
}

struct PlaceholderCase {
    const char* referenceId;
    const char* expected;  // "" for no id
};

TEST(LeafPlaceholders, RectanglesTakeTheFirstMatchingPairInOrder) {
    const PlaceholderCase cases[] = {
        {"L1_POPUP_3", "popup_3"},
        {"TEXT_BUTTON_2", "button_2"},  // BUTTON_ is tried before TEXT_
        {"BUTTON_", "button_"},
        {"X_TITLE_DECORATION_4", "title_decoration_4"},
        {"PHOTO_DECORATION_5", "photo_decoration_5"},
        {"TITLE_NUMBER_1", ""},
    };
    for (const PlaceholderCase& one : cases) {
        TestDocument ref(page(std::string("<rectangle id=\"") + one.referenceId +
                              "\" width=\"1\" height=\"2\" x=\"3\" y=\"4\"/>"));
        auto doc = newDocument();
        LayoutCreator creator;
        XmlElementOperator parent(doc->glue(), "/NS:root");
        XmlElementOperator rectangle = firstChild(ref);
        EXPECT_TRUE(creator.addRectangleElement(parent, rectangle, nullptr, nullptr));
        const std::string id =
            *one.expected ? std::string(" id=\"") + one.expected + "\"" : std::string();
        EXPECT_EQ(view(*doc), "<rectangle" + id + " width=\"1\" height=\"2\" x=\"3\" y=\"4\"/>")
            << one.referenceId;
    }
}

TEST(LeafPlaceholders, AnchorsKnowOnlyTheNumberPairs) {
    const PlaceholderCase cases[] = {
        {"TITLE_NUMBER_1", "title_number_1"},
        {"L2_PHOTO_NUMBER_2", "photo_number_2"},
        {"PHOTO_NUMBER_TITLE_NUMBER_3", "title_number_3"},
        {"BUTTON_1", ""},
    };
    for (const PlaceholderCase& one : cases) {
        TestDocument ref(
            page(std::string("<graphictext id=\"") + one.referenceId + "\" x=\"5\"/>"));
        auto doc = newDocument();
        LayoutCreator creator;
        XmlElementOperator parent(doc->glue(), "/NS:root");
        XmlElementOperator text = firstChild(ref);
        EXPECT_TRUE(creator.addAnchorElement(parent, text, nullptr, nullptr));
        const std::string id =
            *one.expected ? std::string(" id=\"") + one.expected + "\"" : std::string();
        EXPECT_EQ(view(*doc), "<anchor" + id + " x=\"5\"/>") << one.referenceId;
    }
}

TEST(LeafPlaceholders, FailWhenTheyCannotBeAdded) {
    TestDocument ref(page("<rectangle id=\"BUTTON_1\"/>"));
    auto doc = newDocument();
    LayoutCreator creator;
    XmlElementOperator missing(doc->glue(), "/NS:root/NS:missing");
    XmlElementOperator rectangle = firstChild(ref);
    EXPECT_FALSE(creator.addRectangleElement(missing, rectangle, nullptr, nullptr));
    EXPECT_FALSE(creator.addAnchorElement(missing, rectangle, nullptr, nullptr));
    EXPECT_EQ(view(*doc), "");
}

}  // namespace
