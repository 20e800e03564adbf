#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "builders/CalendarCommandElementBuilder.h"
#include "document/NodeList.h"
#include "host/objects/GlobalApi.h"
#include "host/objects/ServiceObject.h"
#include "host/title/ImageTrackObject.h"
#include "host/title/PresentationObject.h"
#include "imagetrack/BufferImageTrackCreatorManager.h"
#include "support/TestDocument.h"

namespace {

using Merrow::ChapterMenuData;
using Merrow::XmlElementOperator;
using merrowtest::body;
using merrowtest::TestDocument;

// Reaches the builder's protected steps.
class CalendarUnderTest : public Merrow::CalendarCommandElementBuilder {
public:
    using CalendarCommandElementBuilder::addContentElement;
    using CalendarCommandElementBuilder::CalendarCommandElementBuilder;
};

// The template buttons of the three grid layouts. The day layout's first holder is not the
// template and must not be taken.
constexpr const char* kTemplates =
    "<layout>"
    "<container id=\"MonthPageLayout\"><gridcontainer><gridholder type=\"TEMPLATE\">"
    "<graphicbutton id=\"MT\" x=\"33\" y=\"44\" width=\"160\" height=\"90\"/>"
    "</gridholder></gridcontainer></container>"
    "<container id=\"DayPageLayout\"><gridcontainer>"
    "<gridholder type=\"ITEM\"><graphicbutton id=\"DX\" width=\"1\" height=\"2\"/></gridholder>"
    "<gridholder type=\"TEMPLATE\"><graphicbutton id=\"DT\" width=\"120\" height=\"80\"/>"
    "</gridholder></gridcontainer></container>"
    "<container id=\"ContentPageLayout\"><gridcontainer><gridholder type=\"TEMPLATE\">"
    "<graphicbutton id=\"CT\" width=\"200\" height=\"112\"/>"
    "</gridholder></gridcontainer></container>"
    "</layout>";

constexpr const char* kNewDocument =
    "<root xmlns=\"urn:merrow:calendar\"><resourcelist id=\"Resourcelist\"/>"
    "<command id=\"command\"/></root>";

// The first element of the document text that begins with open, up to its matching end (or
// the end of its start tag when it is empty).
std::string element(const std::string& text, const std::string& open) {
    const size_t start = text.find(open);
    if (start == std::string::npos) return std::string();
    const size_t tagEnd = text.find('>', start);
    if (text[tagEnd - 1] == '/') return text.substr(start, tagEnd + 1 - start);
    const std::string name = open.substr(1, open.find_first_of(" />", 1) - 1);
    const std::string close = "</" + name + ">";
    const size_t end = text.find(close, start);
    return end == std::string::npos ? std::string()
                                    : text.substr(start, end + close.size() - start);
}

// The start tag of the element with this identifier.
std::string startTag(const std::string& text, const std::string& id) {
    const size_t at = text.find(" id=\"" + id + "\"");
    if (at == std::string::npos) return std::string();
    const size_t start = text.rfind('<', at);
    return text.substr(start, text.find('>', at) + 1 - start);
}

// Every value of the attribute in document order.
std::vector<std::string> values(const std::string& text, const std::string& attribute) {
    std::vector<std::string> found;
    const std::string key = " " + attribute + "=\"";
    for (size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + 1)) {
        const size_t start = at + key.size();
        found.push_back(text.substr(start, text.find('"', start) - start));
    }
    return found;
}

// The identifiers of the elements that the path selects, in document order.
std::vector<std::string> ids(CXMLOutputFileGlue& glue, const std::string& xpath) {
    Merrow::NodeList nodes(glue, xpath);
    std::vector<std::string> found;
    for (int i = 0; i < nodes.size(); ++i) found.emplace_back(nodes.id(i));
    return found;
}

class CalendarCommandTest : public ::testing::Test {
protected:
    // Opens a reference document with these navigation entries and a new document, and makes
    // the builder on them.
    void open(const std::string& navigation, const std::string& layout = kTemplates,
              const std::string& newDocument = kNewDocument) {
        ref_ = std::make_unique<TestDocument>(
            "<root xmlns=\"urn:merrow:design\">" + layout + navigation + "</root>", "design.xml");
        doc_ = std::make_unique<TestDocument>(newDocument, "new.xml");
        navigationInfo_ = std::make_unique<XmlElementOperator>(ref_->glue(), "//NS:navigationInfo");
        builder_ = std::make_unique<CalendarUnderTest>("CalendarCommand", *navigationInfo_,
                                                       presentation_, &manager_, menus_);
    }
    bool build(const std::string& navigation) {
        open(navigation);
        return addCalendar();
    }
    bool addCalendar() {
        XmlElementOperator command(doc_->glue(), "/NS:root/NS:command");
        return builder_->addTo(command);
    }
    std::string text() const { return body(*doc_); }
    std::string calendar() const { return element(text(), "<calendar "); }

    CzfServiceObject* presentation_ = nullptr;
    Merrow::BufferImageTrackCreatorManager manager_;
    std::vector<ChapterMenuData> menus_;
    std::unique_ptr<TestDocument> ref_;
    std::unique_ptr<TestDocument> doc_;
    std::unique_ptr<XmlElementOperator> navigationInfo_;
    std::unique_ptr<CalendarUnderTest> builder_;
};

std::string navigation(const std::string& years, const std::string& dateAttributes = "") {
    return "<navigationInfo><dateInfo" + dateAttributes + ">" + years +
           "</dateInfo></navigationInfo>";
}

TEST_F(CalendarCommandTest, WritesThePageTreeWithItsAttributesInOrder) {
    ASSERT_TRUE(build(navigation(
        "<yearInfo id=\"Y1\" content=\"2024\" TITLE_NUMBER=\"2\" PHOTO_NUMBER=\"5\">"
        "<monthInfo id=\"M1\" index=\"2\" firstdayShift=\"5\" monthDays=\"31\" PHOTO_NUMBER=\"5\">"
        "<dayInfo id=\"D1\" index=\"9\" TITLE_NUMBER=\"1\" PHOTO_NUMBER=\"3\">"
        "<contentInfo id=\"S1\" PHOTO_NUMBER=\"3\" content=\"10:15\" startFrame=\"2\" "
        "titleInfoID=\"T1\"/>"
        "<contentInfo id=\"V1\" content=\"18:40\" titleInfoID=\"T2\"/>"
        "</dayInfo></monthInfo></yearInfo>",
        " TITLE_NUMBER=\"2\" PHOTO_NUMBER=\"5\"")));

    EXPECT_EQ(calendar(),
              "<calendar id=\"CalendarCommand\" firstPageId=\"YearPage\"><pageroot id=\"PageRoot\">"
              "<yearpage id=\"YearPage\" layoutId=\"YearPageLayout\" titleNumber=\"2\" "
              "photoNumber=\"5\"><year id=\"Y1\" year=\"2024\">"
              "<monthpage id=\"Y2024MonthPage\" layoutId=\"MonthPageLayout\" "
              "nextPageButtonId=\"M_BTN_NEXT\" previousPageButtonId=\"M_BTN_PREVIOUS\" "
              "titleNumber=\"2\" photoNumber=\"5\">"
              "<month id=\"M1\" startDay=\"5\" month=\"3\" days=\"31\" "
              "thumbnailResId=\"MonthSelectBtn_1\">"
              "<daypage id=\"D20243DayPage\" layoutId=\"DayPageLayout\" "
              "nextPageButtonId=\"D_BTN_NEXT\" previousPageButtonId=\"D_BTN_PREVIOUS\" "
              "titleNumber=\"0\" photoNumber=\"5\">"
              "<day id=\"D1\" day=\"10\" thumbnailResId=\"DaySelectBtn_1\">"
              "<contentpage id=\"C20240310ContentPage\" layoutId=\"ContentPageLayout\" "
              "nextPageButtonId=\"C_BTN_NEXT\" previousPageButtonId=\"C_BTN_PREVIOUS\" "
              "titleNumber=\"1\" photoNumber=\"3\">"
              "<slideshowcontent id=\"S1\" time=\"10:15\" startTime=\"0:0:6:00\" titleId=\"T1\" "
              "thumbnailResId=\"ContentSelectBtn_1\"/>"
              "<titlecontent id=\"V1\" time=\"18:40\" titleId=\"T2\" "
              "thumbnailResId=\"ContentSelectBtn_2\"/>"
              "</contentpage></day></daypage></month></monthpage></year></yearpage></pageroot>"
              "</calendar>");
}

// Two years of two months of two days with one content each.
std::string fullCalendar() {
    std::string years;
    for (int y = 1; y <= 2; ++y) {
        const std::string year = std::to_string(y);
        years += "<yearInfo id=\"Y" + year + "\" content=\"202" + std::to_string(3 + y) + "\">";
        for (int m = 1; m <= 2; ++m) {
            const std::string month = year + std::to_string(m);
            years += "<monthInfo id=\"M" + month + "\" index=\"" + std::to_string(m - 1) +
                     "\" firstdayShift=\"1\" monthDays=\"30\">";
            for (int d = 1; d <= 2; ++d) {
                const std::string day = month + std::to_string(d);
                years += "<dayInfo id=\"D" + day + "\" index=\"" + std::to_string(d - 1) +
                         "\"><contentInfo id=\"C" + day + "\" content=\"9:00\"/></dayInfo>";
            }
            years += "</monthInfo>";
        }
        years += "</yearInfo>";
    }
    return navigation(years);
}

TEST_F(CalendarCommandTest, NumbersSelectButtonsDepthFirstAcrossYears) {
    ASSERT_TRUE(build(fullCalendar()));

    const std::vector<std::string> expected = {
        "MonthSelectBtn_1", "DaySelectBtn_1", "ContentSelectBtn_1", "DaySelectBtn_2",
        "ContentSelectBtn_2", "MonthSelectBtn_2", "DaySelectBtn_3", "ContentSelectBtn_3",
        "DaySelectBtn_4", "ContentSelectBtn_4",
        // The second year goes on from the first.
        "MonthSelectBtn_3", "DaySelectBtn_5", "ContentSelectBtn_5", "DaySelectBtn_6",
        "ContentSelectBtn_6", "MonthSelectBtn_4", "DaySelectBtn_7", "ContentSelectBtn_7",
        "DaySelectBtn_8", "ContentSelectBtn_8"};
    EXPECT_EQ(values(calendar(), "thumbnailResId"), expected);

    EXPECT_EQ(ids(doc_->glue(), "//NS:resourceset[@id=\"MonthResourceSet\"]/NS:*"),
              (std::vector<std::string>{"MonthSelectBtn_1", "MonthSelectBtn_2", "MonthSelectBtn_3",
                                        "MonthSelectBtn_4"}));
    EXPECT_EQ(ids(doc_->glue(), "//NS:yearpage/NS:year"), (std::vector<std::string>{"Y1", "Y2"}));
    // The first month of the second year: its button, focus item and trigger.
    EXPECT_EQ(startTag(text(), "focusitem_M21"),
              "<focusitem id=\"focusitem_M21\" target=\"MonthSelectBtn_3\"/>");
    EXPECT_EQ(element(text(), "<trigger id=\"trigger_M21\""),
              "<trigger id=\"trigger_M21\" launcher=\"MonthSelectBtn_3\" state=\"action\" "
              "type=\"button\"><use target=\"CalendarCommand\" param=\"SwitchPage,D20251DayPage\"/>"
              "</trigger>");
}

TEST_F(CalendarCommandTest, ContentPageIdsTakeTwoDigitsForMonthAndDay) {
    ASSERT_TRUE(
        build(navigation("<yearInfo id=\"Y\" content=\"2024\">"
                         "<monthInfo id=\"Jan\" index=\"0\" firstdayShift=\"1\" monthDays=\"31\">"
                         "<dayInfo id=\"Jan11\" index=\"10\"/></monthInfo>"
                         "<monthInfo id=\"Nov\" index=\"10\" firstdayShift=\"5\" monthDays=\"30\">"
                         "<dayInfo id=\"Nov1\" index=\"0\"/></monthInfo>"
                         "<monthInfo id=\"NoIndex\" firstdayShift=\"0\" monthDays=\"30\">"
                         "<dayInfo id=\"NoIndex1\" index=\"0\"/></monthInfo>"
                         "</yearInfo>")));

    // Month 1 day 11 and month 11 day 1 now name different pages.
    EXPECT_EQ(ids(doc_->glue(), "//NS:contentpage"),
              (std::vector<std::string>{"C20240111ContentPage", "C20241101ContentPage",
                                        "C20240001ContentPage"}));
    // Day page identifiers keep their numbers unpadded; a month without an index is month 0.
    EXPECT_EQ(ids(doc_->glue(), "//NS:daypage"),
              (std::vector<std::string>{"D20241DayPage", "D202411DayPage", "D20240DayPage"}));
    EXPECT_EQ(values(calendar(), "month"), (std::vector<std::string>{"1", "11", "0"}));
    EXPECT_EQ(values(calendar(), "day"), (std::vector<std::string>{"11", "1", "1"}));

    // The day buttons switch to the pages under those identifiers.
    const std::string effect = element(text(), "<effect ");
    EXPECT_EQ(
        values(effect, "param"),
        (std::vector<std::string>{"SwitchPage,D20241DayPage", "SwitchPage,C20240111ContentPage",
                                  "SwitchPage,D202411DayPage", "SwitchPage,C20241101ContentPage",
                                  "SwitchPage,D20240DayPage", "SwitchPage,C20240001ContentPage"}));
}

TEST_F(CalendarCommandTest, StartTimeCarriesSecondsIntoMinutesAndHours) {
    ASSERT_TRUE(
        build(navigation("<yearInfo id=\"Y\" content=\"2024\">"
                         "<monthInfo id=\"M\" index=\"0\" firstdayShift=\"1\" monthDays=\"31\">"
                         "<dayInfo id=\"D\" index=\"0\">"
                         "<contentInfo id=\"F25\" PHOTO_NUMBER=\"1\" startFrame=\"25\"/>"
                         "<contentInfo id=\"F2\" PHOTO_NUMBER=\"1\" startFrame=\"2\"/>"
                         "<contentInfo id=\"None\" PHOTO_NUMBER=\"1\"/>"
                         "<contentInfo id=\"F1200\" PHOTO_NUMBER=\"1\" startFrame=\"1200\"/>"
                         "<contentInfo id=\"F1221\" PHOTO_NUMBER=\"1\" startFrame=\"1221\"/>"
                         "<contentInfo id=\"Text\" PHOTO_NUMBER=\"1\" startFrame=\" 7 frames\"/>"
                         "<contentInfo id=\"Negative\" PHOTO_NUMBER=\"1\" startFrame=\"-4\"/>"
                         "<contentInfo id=\"Title\" startFrame=\"25\"/>"
                         "</dayInfo></monthInfo></yearInfo>")));

    EXPECT_EQ(values(calendar(), "startTime"),
              (std::vector<std::string>{"0:1:15:00", "0:0:6:00", "0:0:0:00", "1:0:0:00", "1:1:3:00",
                                        "0:0:21:00", "0:0:0:00"}));
    // A title entry has no start time, whatever its entry says.
    EXPECT_EQ(startTag(text(), "Title"),
              "<titlecontent id=\"Title\" thumbnailResId=\"ContentSelectBtn_8\"/>");
}

TEST_F(CalendarCommandTest, MonthWithoutDaysCountStopsItsYearAndLaterYears) {
    EXPECT_FALSE(build(navigation(
        "<yearInfo id=\"Y1\" content=\"2024\">"
        "<monthInfo id=\"A\" index=\"0\" firstdayShift=\"1\" monthDays=\"31\">"
        "<dayInfo id=\"A1\" index=\"0\"/></monthInfo>"
        "<monthInfo id=\"B\" index=\"1\" firstdayShift=\"4\"><dayInfo id=\"B1\" index=\"0\"/>"
        "</monthInfo>"
        "<monthInfo id=\"C\" index=\"2\" firstdayShift=\"4\" monthDays=\"31\"/>"
        "</yearInfo>"
        "<yearInfo id=\"Y2\" content=\"2025\"/>")));

    // The incomplete month is written with its button, but without a day page.
    EXPECT_EQ(element(calendar(), "<month id=\"B\""),
              "<month id=\"B\" startDay=\"4\" month=\"2\" thumbnailResId=\"MonthSelectBtn_2\"/>");
    EXPECT_EQ(ids(doc_->glue(), "//NS:resourceset[@id=\"MonthResourceSet\"]/NS:*"),
              (std::vector<std::string>{"MonthSelectBtn_1", "MonthSelectBtn_2"}));
    EXPECT_EQ(startTag(text(), "focusitem_B"),
              "<focusitem id=\"focusitem_B\" target=\"MonthSelectBtn_2\"/>");
    EXPECT_NE(startTag(text(), "trigger_B"), "");
    EXPECT_EQ(ids(doc_->glue(), "//NS:daypage"), (std::vector<std::string>{"D20241DayPage"}));
    // Neither the next month nor the next year is written.
    EXPECT_EQ(ids(doc_->glue(), "//NS:month"), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(ids(doc_->glue(), "//NS:year"), (std::vector<std::string>{"Y1"}));
}

TEST_F(CalendarCommandTest, YearWithoutTextStopsTheYears) {
    EXPECT_FALSE(
        build(navigation("<yearInfo id=\"Y1\"><monthInfo id=\"A\" index=\"0\" firstdayShift=\"1\" "
                         "monthDays=\"31\"/></yearInfo>"
                         "<yearInfo id=\"Y2\" content=\"2025\"/>")));
    EXPECT_EQ(element(calendar(), "<yearpage "),
              "<yearpage id=\"YearPage\" layoutId=\"YearPageLayout\" photoNumber=\"0\">"
              "<year id=\"Y1\"/></yearpage>");
    EXPECT_EQ(element(text(), "<resourcelist "), "<resourcelist id=\"Resourcelist\"/>");
}

TEST_F(CalendarCommandTest, YearWithoutMonthsSucceedsAndTheNextYearFollows) {
    EXPECT_TRUE(
        build(navigation("<yearInfo id=\"Y1\" content=\"2024\"/>"
                         "<yearInfo id=\"Y2\" content=\"2025\" TITLE_NUMBER=\"4\"/>")));
    EXPECT_EQ(ids(doc_->glue(), "//NS:monthpage"),
              (std::vector<std::string>{"Y2024MonthPage", "Y2025MonthPage"}));
    EXPECT_EQ(startTag(text(), "Y2025MonthPage"),
              "<monthpage id=\"Y2025MonthPage\" layoutId=\"MonthPageLayout\" "
              "nextPageButtonId=\"M_BTN_NEXT\" previousPageButtonId=\"M_BTN_PREVIOUS\" "
              "titleNumber=\"4\" photoNumber=\"0\"/>");
}

TEST_F(CalendarCommandTest, EmptyDateInfoGivesAnEmptyYearPage) {
    EXPECT_TRUE(build(navigation("")));
    EXPECT_EQ(calendar(),
              "<calendar id=\"CalendarCommand\" firstPageId=\"YearPage\"><pageroot id=\"PageRoot\">"
              "<yearpage id=\"YearPage\" layoutId=\"YearPageLayout\" photoNumber=\"0\"/>"
              "</pageroot></calendar>");

    // No navigation data at all reads the same way.
    EXPECT_TRUE(build(""));
    EXPECT_EQ(startTag(text(), "YearPage"),
              "<yearpage id=\"YearPage\" layoutId=\"YearPageLayout\" photoNumber=\"0\"/>");
}

TEST_F(CalendarCommandTest, ContentOfATitleWithChapterMenuGetsItsIdentifiers) {
    menus_ = {{"T2", "T2_ChapterMenuLayout", "T2_ShowChapterMenu", "T2_HideChapterMenu"},
              {"T1", "T1_ChapterMenuLayout", "T1_ShowChapterMenu", "T1_HideChapterMenu"},
              {"T1", "Second", "Second", "Second"},
              {"", "Nameless", "Nameless", "Nameless"}};
    ASSERT_TRUE(build(
        navigation("<yearInfo id=\"Y\" content=\"2024\">"
                   "<monthInfo id=\"M\" index=\"0\" firstdayShift=\"1\" monthDays=\"31\">"
                   "<dayInfo id=\"D\" index=\"0\">"
                   "<contentInfo id=\"V1\" content=\"8:00\" titleInfoID=\"T1\"/>"
                   "<contentInfo id=\"S1\" PHOTO_NUMBER=\"2\" content=\"9:00\" titleInfoID=\"T1\"/>"
                   "<contentInfo id=\"V9\" content=\"10:00\" titleInfoID=\"T9\"/>"
                   "<contentInfo id=\"V0\" content=\"11:00\"/>"
                   "</dayInfo></monthInfo></yearInfo>")));

    EXPECT_EQ(startTag(text(), "V1"),
              "<titlecontent id=\"V1\" time=\"8:00\" titleId=\"T1\" "
              "chapterLayoutId=\"T1_ChapterMenuLayout\" showChapterCmdId=\"T1_ShowChapterMenu\" "
              "hideChapterCmdId=\"T1_HideChapterMenu\" thumbnailResId=\"ContentSelectBtn_1\"/>");
    EXPECT_EQ(startTag(text(), "S1"),
              "<slideshowcontent id=\"S1\" time=\"9:00\" startTime=\"0:0:0:00\" titleId=\"T1\" "
              "chapterLayoutId=\"T1_ChapterMenuLayout\" showChapterCmdId=\"T1_ShowChapterMenu\" "
              "hideChapterCmdId=\"T1_HideChapterMenu\" thumbnailResId=\"ContentSelectBtn_2\"/>");
    EXPECT_EQ(startTag(text(), "V9"),
              "<titlecontent id=\"V9\" time=\"10:00\" titleId=\"T9\" "
              "thumbnailResId=\"ContentSelectBtn_3\"/>");
    // An entry that names no title is not tied to a title that has no identifier.
    EXPECT_EQ(startTag(text(), "V0"),
              "<titlecontent id=\"V0\" time=\"11:00\" thumbnailResId=\"ContentSelectBtn_4\"/>");
}

TEST_F(CalendarCommandTest, SelectButtonsLandInResourceSetsFocusControlAndEffect) {
    ASSERT_TRUE(build(navigation(
        "<yearInfo id=\"Y\" content=\"2024\">"
        "<monthInfo id=\"M1\" index=\"0\" firstdayShift=\"1\" monthDays=\"31\">"
        "<dayInfo id=\"D1\" index=\"4\"><contentInfo id=\"S1\" PHOTO_NUMBER=\"1\"/></dayInfo>"
        "</monthInfo></yearInfo>")));

    // No tracks without a picture provider: the buttons carry their geometry only. The
    // template's position is not taken, only its size.
    EXPECT_EQ(element(text(), "<resourcelist "),
              "<resourcelist id=\"Resourcelist\">"
              "<resourceset id=\"MonthResourceSet\"><graphicbutton id=\"MonthSelectBtn_1\" x=\"0\" "
              "y=\"0\" width=\"160\" height=\"90\"/></resourceset>"
              "<resourceset id=\"DayResourceSet\"><graphicbutton id=\"DaySelectBtn_1\" x=\"0\" "
              "y=\"0\" width=\"120\" height=\"80\"/></resourceset>"
              "<resourceset id=\"ContentResourceSet\"><graphicbutton id=\"ContentSelectBtn_1\" "
              "x=\"0\" y=\"0\" width=\"200\" height=\"112\"/></resourceset>"
              "</resourcelist>");
    EXPECT_EQ(element(text(), "<command "),
              "<command id=\"command\">" + calendar() +
                  "<focuscontrol id=\"focuscontrol\">"
                  "<focusitem id=\"focusitem_M1\" target=\"MonthSelectBtn_1\"/>"
                  "<focusitem id=\"focusitem_D1\" target=\"DaySelectBtn_1\"/>"
                  "<focusitem id=\"focusitem_S1\" target=\"ContentSelectBtn_1\"/>"
                  "</focuscontrol></command>");
    EXPECT_EQ(element(text(), "<effect "),
              "<effect id=\"effect\">"
              "<trigger id=\"trigger_M1\" launcher=\"MonthSelectBtn_1\" state=\"action\" "
              "type=\"button\"><use target=\"CalendarCommand\" param=\"SwitchPage,D20241DayPage\"/>"
              "</trigger>"
              "<trigger id=\"trigger_D1\" launcher=\"DaySelectBtn_1\" state=\"action\" "
              "type=\"button\"><use target=\"CalendarCommand\" "
              "param=\"SwitchPage,C20240105ContentPage\"/></trigger>"
              "<trigger id=\"trigger_S1\" launcher=\"ContentSelectBtn_1\" state=\"action\" "
              "type=\"button\"><use target=\"CalendarCommand\" param=\"PlayContent,S1\"/>"
              "</trigger></effect>");
}

TEST_F(CalendarCommandTest, MakesTheResourceListWhenTheDocumentHasNone) {
    open(navigation("<yearInfo id=\"Y\" content=\"2024\">"
                    "<monthInfo id=\"M1\" index=\"0\" firstdayShift=\"1\" monthDays=\"31\"/>"
                    "<monthInfo id=\"M2\" index=\"1\" firstdayShift=\"4\" monthDays=\"29\"/>"
                    "</yearInfo>"),
         kTemplates, "<root xmlns=\"urn:merrow:calendar\"><command id=\"command\"/></root>");
    ASSERT_TRUE(addCalendar());
    EXPECT_EQ(ids(doc_->glue(), "/NS:root/NS:resourcelist"),
              (std::vector<std::string>{"resourcelist"}));
    EXPECT_EQ(ids(doc_->glue(), "/NS:root/NS:resourcelist/NS:resourceset/NS:*"),
              (std::vector<std::string>{"MonthSelectBtn_1", "MonthSelectBtn_2"}));
}

TEST_F(CalendarCommandTest, MissingTemplateButtonGivesZeroSize) {
    open(navigation("<yearInfo id=\"Y\" content=\"2024\">"
                    "<monthInfo id=\"M1\" index=\"0\" firstdayShift=\"1\" monthDays=\"31\"/>"
                    "</yearInfo>"),
         "");
    ASSERT_TRUE(addCalendar());
    EXPECT_EQ(startTag(text(), "MonthSelectBtn_1"),
              "<graphicbutton id=\"MonthSelectBtn_1\" x=\"0\" y=\"0\" width=\"0\" height=\"0\"/>");
}

TEST_F(CalendarCommandTest, ContentWhoseElementWasNotAddedStillGetsAButton) {
    open(navigation(""));
    XmlElementOperator missingPage(doc_->glue(), "/NS:root/NS:contentpage");
    XmlElementOperator entry(ref_->glue(), "//NS:nothing");
    EXPECT_TRUE(builder_->addContentElement(missingPage, entry));

    EXPECT_EQ(ids(doc_->glue(), "//NS:resourceset[@id=\"ContentResourceSet\"]/NS:*"),
              (std::vector<std::string>{"ContentSelectBtn_1"}));
    EXPECT_EQ(startTag(text(), "focusitem_"),
              "<focusitem id=\"focusitem_\" target=\"ContentSelectBtn_1\"/>");
    EXPECT_EQ(element(text(), "<trigger "),
              "<trigger id=\"trigger_\" launcher=\"ContentSelectBtn_1\" state=\"action\" "
              "type=\"button\"><use target=\"CalendarCommand\" param=\"PlayContent,\"/></trigger>");
}

TEST_F(CalendarCommandTest, EntriesWithoutIdentifiersAreEachReadAndWritten) {
    ASSERT_TRUE(build(navigation(
        "<yearInfo id=\"Y\" content=\"2024\">"
        "<monthInfo id=\"M\" index=\"0\" firstdayShift=\"1\" monthDays=\"31\">"
        "<dayInfo index=\"0\"><contentInfo content=\"first\"/></dayInfo>"
        "<dayInfo index=\"4\"><contentInfo content=\"second\"/><contentInfo content=\"third\"/>"
        "</dayInfo>"
        "</monthInfo></yearInfo>")));

    EXPECT_EQ(element(calendar(), "<daypage "),
              "<daypage id=\"D20241DayPage\" layoutId=\"DayPageLayout\" "
              "nextPageButtonId=\"D_BTN_NEXT\" previousPageButtonId=\"D_BTN_PREVIOUS\" "
              "titleNumber=\"0\" photoNumber=\"0\">"
              "<day day=\"1\" thumbnailResId=\"DaySelectBtn_1\">"
              "<contentpage id=\"C20240101ContentPage\" layoutId=\"ContentPageLayout\" "
              "nextPageButtonId=\"C_BTN_NEXT\" previousPageButtonId=\"C_BTN_PREVIOUS\" "
              "titleNumber=\"0\" photoNumber=\"0\">"
              "<titlecontent time=\"first\" thumbnailResId=\"ContentSelectBtn_1\"/>"
              "</contentpage></day>"
              "<day day=\"5\" thumbnailResId=\"DaySelectBtn_2\">"
              "<contentpage id=\"C20240105ContentPage\" layoutId=\"ContentPageLayout\" "
              "nextPageButtonId=\"C_BTN_NEXT\" previousPageButtonId=\"C_BTN_PREVIOUS\" "
              "titleNumber=\"0\" photoNumber=\"0\">"
              "<titlecontent time=\"second\" thumbnailResId=\"ContentSelectBtn_2\"/>"
              "<titlecontent time=\"third\" thumbnailResId=\"ContentSelectBtn_3\"/>"
              "</contentpage></day></daypage>");
}

// Identifiers of navigation entries may repeat: each entry is still read from its own element,
// and written to its own element, never onto an earlier sibling with the same identifier.
TEST_F(CalendarCommandTest, EntriesSharingAnIdentifierAreEachReadAndWritten) {
    ASSERT_TRUE(build(navigation(
        "<yearInfo id=\"Y\" content=\"2024\">"
        "<monthInfo id=\"M\" index=\"0\" firstdayShift=\"1\" monthDays=\"31\">"
        "<dayInfo id=\"D\" index=\"0\"><contentInfo id=\"C\" content=\"first\"/></dayInfo>"
        "<dayInfo id=\"D\" index=\"4\"><contentInfo id=\"C\" content=\"second\"/></dayInfo>"
        "</monthInfo>"
        "<monthInfo id=\"M\" index=\"1\" firstdayShift=\"4\" monthDays=\"29\"/>"
        "</yearInfo>"
        "<yearInfo id=\"Y\" content=\"2025\"/>")));

    EXPECT_EQ(values(calendar(), "year"), (std::vector<std::string>{"2024", "2025"}));
    EXPECT_EQ(ids(doc_->glue(), "//NS:year/NS:monthpage"),
              (std::vector<std::string>{"Y2024MonthPage", "Y2025MonthPage"}));
    EXPECT_EQ(values(calendar(), "month"), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(values(calendar(), "days"), (std::vector<std::string>{"31", "29"}));
    EXPECT_EQ(values(calendar(), "startDay"), (std::vector<std::string>{"1", "4"}));
    EXPECT_EQ(values(calendar(), "day"), (std::vector<std::string>{"1", "5"}));
    EXPECT_EQ(ids(doc_->glue(), "//NS:contentpage"),
              (std::vector<std::string>{"C20240101ContentPage", "C20240105ContentPage"}));
    EXPECT_EQ(values(calendar(), "time"), (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(
        values(calendar(), "thumbnailResId"),
        (std::vector<std::string>{"MonthSelectBtn_1", "DaySelectBtn_1", "ContentSelectBtn_1",
                                  "DaySelectBtn_2", "ContentSelectBtn_2", "MonthSelectBtn_2"}));
}

// Entries without identifiers give their focus items and triggers one shared identifier; each
// still points at its own button and sends its own command.
TEST_F(CalendarCommandTest, SelectButtonsOfEntriesWithoutIdentifiersStayApart) {
    ASSERT_TRUE(
        build(navigation("<yearInfo id=\"Y\" content=\"2024\">"
                         "<monthInfo id=\"M\" index=\"0\" firstdayShift=\"1\" monthDays=\"31\">"
                         "<dayInfo index=\"0\"/><dayInfo index=\"4\"/>"
                         "</monthInfo></yearInfo>")));

    EXPECT_EQ(element(text(), "<focuscontrol "),
              "<focuscontrol id=\"focuscontrol\">"
              "<focusitem id=\"focusitem_M\" target=\"MonthSelectBtn_1\"/>"
              "<focusitem id=\"focusitem_\" target=\"DaySelectBtn_1\"/>"
              "<focusitem id=\"focusitem_\" target=\"DaySelectBtn_2\"/></focuscontrol>");
    EXPECT_EQ(element(text(), "<effect "),
              "<effect id=\"effect\">"
              "<trigger id=\"trigger_M\" launcher=\"MonthSelectBtn_1\" state=\"action\" "
              "type=\"button\"><use target=\"CalendarCommand\" param=\"SwitchPage,D20241DayPage\"/>"
              "</trigger>"
              "<trigger id=\"trigger_\" launcher=\"DaySelectBtn_1\" state=\"action\" "
              "type=\"button\"><use target=\"CalendarCommand\" "
              "param=\"SwitchPage,C20240101ContentPage\"/></trigger>"
              "<trigger id=\"trigger_\" launcher=\"DaySelectBtn_2\" state=\"action\" "
              "type=\"button\"><use target=\"CalendarCommand\" "
              "param=\"SwitchPage,C20240105ContentPage\"/></trigger></effect>");
}

TEST_F(CalendarCommandTest, IdentifiersWithQuotesStayInsideTheirPredicates) {
    ASSERT_TRUE(build(navigation(
        "<yearInfo id='Y\"1' content=\"20'24\">"
        "<monthInfo id=\"M&quot;'1\" index=\"0\" firstdayShift=\"1\" monthDays=\"31\">"
        "<dayInfo id=\"D'1\" index=\"0\"><contentInfo id='C\"1' content=\"x\"/></dayInfo>"
        "</monthInfo></yearInfo>")));

    EXPECT_EQ(ids(doc_->glue(), "//NS:contentpage"),
              (std::vector<std::string>{"C20'240101ContentPage"}));
    EXPECT_EQ(ids(doc_->glue(), "//NS:contentpage/NS:*"), (std::vector<std::string>{"C\"1"}));
    EXPECT_EQ(ids(doc_->glue(), "//NS:focusitem"),
              (std::vector<std::string>{"focusitem_M\"'1", "focusitem_D'1", "focusitem_C\"1"}));
}

// Frees a host object made by the factory at the end of a test.
struct ObjectFree {
    void operator()(CzfServiceObject* object) const { CzfObjectFactory::zfFreeObject(object); }
};

TEST_F(CalendarCommandTest, RegistersTheSelectButtonTracksWithThePresentation) {
    std::unique_ptr<CzfServiceObject, ObjectFree> object(
        CzfObjectFactory::zfCreateObject(&merrowhost::kClassPresentation, nullptr));
    auto* presentation = dynamic_cast<merrowhost::PresentationObject*>(object.get());
    ASSERT_NE(presentation, nullptr);
    presentation_ = object.get();

    // The entries name their thumbnails; those cannot be drawn, so each track is the fallback
    // picture, but every track is made and registered all the same.
    ASSERT_TRUE(
        build(navigation("<yearInfo id=\"Y\" content=\"2024\">"
                         "<monthInfo id=\"M1\" index=\"0\" firstdayShift=\"1\" monthDays=\"31\" "
                         "thumbnailId=\"PIC\">"
                         "<dayInfo id=\"D1\" index=\"0\" thumbnailId=\"PIC\">"
                         "<contentInfo id=\"S1\" thumbnailId=\"PIC\"/></dayInfo>"
                         "</monthInfo></yearInfo>")));

    std::set<std::string> registered;
    for (merrowhost::ImageTrackObject* track : presentation->tracks()) {
        char id[CzfGlobalAPI2::kObjectIdBufferSize] = {};
        CzfGlobalAPI2::zfGetObjectIDString(track, true, id, nullptr);
        registered.insert(id);
    }
    EXPECT_EQ(registered.size(), 6u);

    const std::string resources = element(text(), "<resourcelist ");
    std::set<std::string> written;
    for (const char* button : {"MonthSelectBtn_1", "DaySelectBtn_1", "ContentSelectBtn_1"}) {
        const std::string tag = startTag(resources, button);
        const std::vector<std::string> normal = values(tag, "imageNormal");
        const std::vector<std::string> action = values(tag, "imageAction");
        const std::vector<std::string> focus = values(tag, "imageFocus");
        ASSERT_EQ(normal.size(), 1u) << tag;
        ASSERT_EQ(focus.size(), 1u) << tag;
        EXPECT_EQ(action, normal) << tag;
        written.insert(normal[0]);
        written.insert(focus[0]);
    }
    EXPECT_EQ(written, registered);
}

}  // namespace
