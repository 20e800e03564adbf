// Grid layouts: the grid's attributes and background picture, and the overlay items of the
// template cell chosen by their reference ids.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "creator/LayoutTestSupport.h"
#include "host/title/ProjectSourceObject.h"
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

// A month page holding one grid whose template cell holds the given items.
std::string monthPage(const std::string& gridAttributes, const std::string& cell,
                      const std::string& moreHolders = "") {
    return design(
        "<container id=\"MonthPageLayout\" width=\"1920\" height=\"1080\" x=\"0\" "
        "y=\"0\"><gridcontainer id=\"M_GRID\" " +
        gridAttributes + ">" + moreHolders + "<gridholder type=\"TEMPLATE\">" + cell +
        "</gridholder></gridcontainer></container>");
}

const char* const kGridGeometry =
    "x=\"10\" y=\"20\" width=\"700\" height=\"500\" col=\"7\" row=\"6\" hGap=\"2\" vGap=\"3\" "
    "topMargin=\"4\" leftMargin=\"5\" rightMargin=\"6\" bottomMargin=\"7\"";

TEST(GridLayout, CopiesTheGridAndPutsItsBackgroundPictureAfterIt) {
    TempFolder folder;
    const std::string background = folder.picture("grid.png", 3, 2, {10, 200, 30, 255});
    TestDocument ref(monthPage(std::string(kGridGeometry) + " image=\"" + background + "\"", ""));
    auto doc = newDocument();
    Presentation presentation;
    LayoutCreator creator;
    EXPECT_TRUE(creator.addLayoutElement(doc->glue(), ref.glue(), presentation.get(), nullptr));
    EXPECT_EQ(view(*doc),
              "<layout><container id=\"MonthPageLayout\" width=\"1920\" height=\"1080\" "
              "visibility=\"false\" x=\"0\" y=\"0\">"
              "<gridlayout id=\"M_GRID\" x=\"10\" y=\"20\" width=\"700\" height=\"500\" "
              "col=\"7\" row=\"6\" hGap=\"2\" vGap=\"3\" topMargin=\"4\" leftMargin=\"5\" "
              "rightMargin=\"6\" bottomMargin=\"7\"/>"
              "<decoration id=\"M_GRID_BGIMAGE\" x=\"10\" y=\"20\" width=\"700\" "
              "height=\"500\" image=\"TRACK\"/>"
              "</container></layout>");
    const std::string image =
        attribute(doc->glue(), "//NS:decoration[@id=\"M_GRID_BGIMAGE\"]", "image");
    const merrowhost::ImageTrackObject* track = presentation.track(image);
    ASSERT_NE(track, nullptr) << image;
    EXPECT_EQ(track->width(), 3);
    EXPECT_EQ(firstPixel(track), (std::vector<uint8_t>{10, 200, 30, 255}));
}

TEST(GridLayout, WithoutImageOrTemplateCellWritesTheBareGrid) {
    // The only holder is not the template cell: its items are not copied.
    TestDocument ref(
        design("<container id=\"MonthPageLayout\"><gridcontainer id=\"M_GRID\" x=\"1\" y=\"2\">"
               "<gridholder type=\"NORMAL\"><graphictext id=\"INDEX_1\"/></gridholder>"
               "</gridcontainer></container>"));
    auto doc = newDocument();
    LayoutCreator creator;
    XmlElementOperator parent(doc->glue(), "/NS:root");
    XmlElementOperator grid(ref.glue(), "//NS:gridcontainer");
    EXPECT_TRUE(creator.addGridLayoutElement(parent, grid, nullptr, nullptr));
    EXPECT_EQ(view(*doc), "<gridlayout id=\"M_GRID\" x=\"1\" y=\"2\"/>");
}

TEST(GridLayout, TemplateItemsBecomeDateMarksAndCounters) {
    TempFolder folder;
    const std::string mark = folder.picture("mark.png", 2, 2, {250, 0, 0, 255});
    TestDocument ref(monthPage(
        "x=\"0\" y=\"0\"",
        "<graphicbutton id=\"M_SCENE_1\" x=\"1\" y=\"1\" width=\"1\" height=\"1\"/>"
        "<graphictext id=\"L1_INDEX_1\" x=\"1\" y=\"2\" width=\"99\" height=\"30\" type=\"TIME\"/>"
        "<icon id=\"TITLE_DECORATION_1_PHOTO_DECORATION_1\" x=\"3\" y=\"4\" width=\"5\" "
        "height=\"6\" image=\"" +
            mark +
            "\"/>"
            "<text id=\"PHOTO_NUMBER_1\" x=\"7\" y=\"8\" width=\"90\" height=\"90\" "
            "type=\"PHOTO\"/>"
            "<rectangle id=\"TITLE_NUMBER_1\"/>"
            "<text id=\"Text_TITLE_NUMBER_1\"/>"
            "<graphictext id=\"SCENE_TITLE_NUMBER_1\"/>"
            "<graphictext id=\"UNKNOWN_1\"/>"));
    auto doc = newDocument();
    Presentation presentation;
    LayoutCreator creator;
    EXPECT_TRUE(creator.addLayoutElement(doc->glue(), ref.glue(), presentation.get(), nullptr));
    EXPECT_EQ(view(*doc),
              "<layout><container id=\"MonthPageLayout\" width=\"1920\" height=\"1080\" "
              "visibility=\"false\" x=\"0\" y=\"0\">"
              "<gridlayout id=\"M_GRID\" x=\"0\" y=\"0\">"
              "<graphictext id=\"Date_1\" tileImage=\"TRACK\" x=\"1\" y=\"2\" tileHeight=\"30\" "
              "tileWidth=\"28\" type=\"TIME\"/>"
              "<decoration id=\"title_decoration_1_PHOTO_DECORATION_1\" x=\"3\" y=\"4\" "
              "height=\"6\" width=\"5\" image=\"TRACK\"/>"
              "<graphictext id=\"photo_number_1\" tileImage=\"TRACK\" tileWidth=\"20\" "
              "tileHeight=\"28\" type=\"PHOTO\"/>"
              "</gridlayout></container></layout>");

    // Number tiles come from the template picture, the mark from its own file.
    ASSERT_EQ(presentation.tracks().size(), 3u);
    const merrowhost::ImageTrackObject* date =
        presentation.track(attribute(doc->glue(), "//NS:graphictext[@id=\"Date_1\"]", "tileImage"));
    ASSERT_NE(date, nullptr);
    EXPECT_EQ(date->width(), 200);
    EXPECT_EQ(date->height(), 28);
    const merrowhost::ImageTrackObject* markTrack =
        presentation.track(attribute(doc->glue(), "//NS:decoration", "image"));
    ASSERT_NE(markTrack, nullptr);
    EXPECT_EQ(firstPixel(markTrack), (std::vector<uint8_t>{250, 0, 0, 255}));
}

TEST(GridLayout, DateTypeIsTimeOnlyForExactlyTime) {
    for (const char* type : {"", " type=\"time\"", " type=\"TIME \"", " type=\"DAY\""}) {
        TestDocument ref(
            monthPage("x=\"0\"", std::string("<graphictext id=\"A_INDEX_1\"") + type + "/>"));
        auto doc = newDocument();
        LayoutCreator creator;
        XmlElementOperator parent(doc->glue(), "/NS:root");
        XmlElementOperator grid(ref.glue(), "//NS:gridcontainer");
        EXPECT_TRUE(creator.addGridLayoutElement(parent, grid, nullptr, nullptr));
        EXPECT_EQ(view(*doc),
                  "<gridlayout id=\"M_GRID\" x=\"0\">"
                  "<graphictext id=\"Date_1\" tileImage=\"TRACK\" tileWidth=\"28\" "
                  "type=\"DATE\"/></gridlayout>")
            << type;
    }
}

TEST(GridLayout, ItemsThatTranslateAlikeKeepTheirOwnAttributes) {
    // A date and a time number both become "Date_1"; each keeps its own place and type.
    TestDocument ref(monthPage("x=\"0\"",
                               "<graphictext id=\"INDEX_1\" x=\"1\" y=\"2\" height=\"3\"/>"
                               "<graphictext id=\"T_INDEX_1\" x=\"4\" y=\"5\" height=\"6\" "
                               "type=\"TIME\"/>"));
    auto doc = newDocument();
    LayoutCreator creator;
    XmlElementOperator parent(doc->glue(), "/NS:root");
    XmlElementOperator grid(ref.glue(), "//NS:gridcontainer");
    EXPECT_TRUE(creator.addGridLayoutElement(parent, grid, nullptr, nullptr));
    EXPECT_EQ(view(*doc),
              "<gridlayout id=\"M_GRID\" x=\"0\">"
              "<graphictext id=\"Date_1\" tileImage=\"TRACK\" x=\"1\" y=\"2\" "
              "tileHeight=\"3\" tileWidth=\"28\" type=\"DATE\"/>"
              "<graphictext id=\"Date_1\" tileImage=\"TRACK\" x=\"4\" y=\"5\" "
              "tileHeight=\"6\" tileWidth=\"28\" type=\"TIME\"/>"
              "</gridlayout>");
}

TEST(GridLayout, MarkPicturesAreTakenAsNamed) {
    // The number tile picture is found in the template folder by name; a mark's picture is not
    // looked for there.
    TestDocument ref(monthPage("x=\"0\"",
                               "<icon id=\"PHOTO_DECORATION_1\" x=\"1\" image=\"Numbers_S1.png\"/>"
                               "<graphictext id=\"TITLE_NUMBER_1\" type=\"TITLE\"/>"));
    auto doc = newDocument();
    LayoutCreator creator;
    XmlElementOperator parent(doc->glue(), "/NS:root");
    XmlElementOperator grid(ref.glue(), "//NS:gridcontainer");
    EXPECT_TRUE(creator.addGridLayoutElement(parent, grid, nullptr, nullptr));
    EXPECT_EQ(view(*doc),
              "<gridlayout id=\"M_GRID\" x=\"0\">"
              "<decoration id=\"photo_decoration_1\" x=\"1\"/>"
              "<graphictext id=\"title_number_1\" tileImage=\"TRACK\" tileWidth=\"20\" "
              "tileHeight=\"28\" type=\"TITLE\"/>"
              "</gridlayout>");
}

TEST(GridLayout, AGridThatCannotBeAddedFailsAndMakesNoPictures) {
    TestDocument ref(
        monthPage("x=\"0\" image=\"Numbers_S1.png\"",
                  "<graphictext id=\"INDEX_1\"/><graphictext id=\"TITLE_NUMBER_1\"/>"));
    auto doc = newDocument();
    Presentation presentation;
    LayoutCreator creator;
    XmlElementOperator parent(doc->glue(), "/NS:root/NS:missing");
    XmlElementOperator grid(ref.glue(), "//NS:gridcontainer");
    EXPECT_FALSE(creator.addGridLayoutElement(parent, grid, presentation.get(), nullptr));
    EXPECT_EQ(view(*doc), "");
    EXPECT_TRUE(presentation.tracks().empty());
}

TEST(GridLayout, NumberTilesCarryTheSourcesProjectRecord) {
    merrowhost::ProjectSourceObject source;
    SAVEDATA record{};
    std::strcpy(record.projectName, "Holiday");
    record.revision = 42;
    source.setRecord(&record);
    SAVEDATA other{};
    other.revision = 1;

    TestDocument ref(monthPage("x=\"0\"", "<graphictext id=\"INDEX_1\"/>"));
    auto doc = newDocument();
    Presentation presentation;
    LayoutCreator creator(&source);
    XmlElementOperator parent(doc->glue(), "/NS:root");
    XmlElementOperator grid(ref.glue(), "//NS:gridcontainer");
    EXPECT_TRUE(creator.addGridLayoutElement(parent, grid, presentation.get(), &other));
    ASSERT_EQ(presentation.tracks().size(), 1u);
    const SAVEDATA* kept = presentation.tracks()[0]->record();
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->revision, 42u);
    EXPECT_STREQ(kept->projectName, "Holiday");
}

}  // namespace
