// The checks of the reference document: each silent mistake gives one warning at its element's
// line, and a consistent document gives none.

#include <gtest/gtest.h>
#include <libxml/parser.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "cli/build/InputLint.h"

namespace {

using merrowcli::ReferenceWarning;

}  // namespace

namespace merrowcli {
void PrintTo(const ReferenceWarning& warning, std::ostream* out) {
    *out << warning.line << ": " << warning.problem;
}
}  // namespace merrowcli

namespace {

struct DocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};

std::vector<ReferenceWarning> warningsOf(const std::string& text) {
    std::unique_ptr<xmlDoc, DocFree> doc(
        xmlReadMemory(text.data(), static_cast<int>(text.size()), "test.xml", nullptr, 0));
    EXPECT_TRUE(doc) << text;
    return merrowcli::checkReferenceDocument(doc.get());
}

// A consistent calendar: 2024 with February (a leap month starting on a Thursday) and March.
std::string calendar(
    const std::string& february = "index=\"1\" firstdayShift=\"4\" monthDays=\"29\"",
    const std::string& day = "index=\"28\"", const std::string& content = "PHOTO_NUMBER=\"9\"") {
    return "<root xmlns=\"urn:test\">\n"                                                   // 1
           "<navigationInfo>\n"                                                            // 2
           "<dateInfo TITLE_NUMBER=\"1\" PHOTO_NUMBER=\"9\">\n"                            // 3
           "<yearInfo id=\"Y\" content=\"2024\" TITLE_NUMBER=\"1\" PHOTO_NUMBER=\"9\">\n"  // 4
           "<monthInfo id=\"FEB\" " +
           february +
           " TITLE_NUMBER=\"0\" PHOTO_NUMBER=\"9\">\n"  // 5
           "<dayInfo id=\"D\" " +
           day +
           " TITLE_NUMBER=\"0\" PHOTO_NUMBER=\"9\">\n"  // 6
           "<contentInfo id=\"C\" " +
           content +
           " thumbnailId=\"TH\"/>\n"  // 7
           "</dayInfo>\n"             // 8
           "</monthInfo>\n"           // 9
           "<monthInfo id=\"MAR\" index=\"2\" firstdayShift=\"5\" monthDays=\"31\" "
           "TITLE_NUMBER=\"1\" PHOTO_NUMBER=\"0\">\n"                                  // 10
           "<dayInfo id=\"D2\" index=\"30\" TITLE_NUMBER=\"1\" PHOTO_NUMBER=\"0\">\n"  // 11
           "<contentInfo id=\"C2\" titleInfoID=\"T1\"/>\n"                             // 12
           "</dayInfo></monthInfo></yearInfo></dateInfo>\n"                            // 13
           "</navigationInfo>\n"                                                       // 14
           "<titlesInfo><titleInfo id=\"T1\"><chapterInfo id=\"CH\" index=\"1\" "
           "thumbnailId=\"TH\"/></titleInfo></titlesInfo>\n"                  // 15
           "<providers><thumbnail id=\"TH\" image=\"a.png\"/></providers>\n"  // 16
           "</root>\n";
}

TEST(ReferenceChecks, AConsistentDocumentGivesNoWarning) {
    EXPECT_EQ(warningsOf(calendar()), std::vector<ReferenceWarning>{});
}

TEST(ReferenceChecks, CalendarContradictionsAreNamed) {
    // February 2025 is no leap month and starts on a Saturday, and March on a Saturday too.
    std::string text = calendar();
    text.replace(text.find("content=\"2024\""), 14, "content=\"2025\"");
    EXPECT_EQ(
        warningsOf(text),
        (std::vector<ReferenceWarning>{
            {5, "<monthInfo id=\"FEB\">: monthDays 29 is not the length of February 2025 (28)"},
            {5,
             "<monthInfo id=\"FEB\">: firstdayShift 4 is not the weekday of 1 February "
             "2025 (6; 0 is Sunday)"},
            {10,
             "<monthInfo id=\"MAR\">: firstdayShift 5 is not the weekday of 1 March "
             "2025 (6; 0 is Sunday)"}}));
    // Only the day is wrong here: the month is right for 2024, but day index 29 is not.
    EXPECT_EQ(
        warningsOf(calendar("index=\"1\" firstdayShift=\"4\" monthDays=\"29\"", "index=\"29\"")),
        (std::vector<ReferenceWarning>{
            {6, "<dayInfo id=\"D\">: index 29 is beyond the month's 29 days (0 to 28)"}}));
    EXPECT_EQ(warningsOf(calendar("index=\"12\" firstdayShift=\"4\" monthDays=\"29\"")),
              (std::vector<ReferenceWarning>{
                  {5, "<monthInfo id=\"FEB\">: index 12 is out of range (0 to 11)"}}));
}

TEST(ReferenceChecks, TotalsMustBeTheSumsOfTheirParts) {
    // Ten photos in the content: the day, month, year and dateInfo totals say nine.
    const std::vector<ReferenceWarning> found = warningsOf(calendar(
        "index=\"1\" firstdayShift=\"4\" monthDays=\"29\"", "index=\"28\"", "PHOTO_NUMBER=\"10\""));
    EXPECT_EQ(
        found,
        (std::vector<ReferenceWarning>{{6,
                                        "<dayInfo id=\"D\">: PHOTO_NUMBER 9 is not the sum of its "
                                        "contents' (10)"}}));
    // A title content in place of the slideshow: the day counts one title, not none.
    EXPECT_EQ(warningsOf(calendar("index=\"1\" firstdayShift=\"4\" monthDays=\"29\"",
                                  "index=\"28\"", "titleInfoID=\"T1\"")),
              (std::vector<ReferenceWarning>{
                  {6, "<dayInfo id=\"D\">: TITLE_NUMBER 0 is not the sum of its contents' (1)"},
                  {6, "<dayInfo id=\"D\">: PHOTO_NUMBER 9 is not the sum of its contents' (0)"}}));
    std::string text = calendar();
    text.replace(text.find("<dateInfo TITLE_NUMBER=\"1\""), 26, "<dateInfo TITLE_NUMBER=\"2\"");
    EXPECT_EQ(warningsOf(text),
              (std::vector<ReferenceWarning>{{3,
                                              "<dateInfo>: TITLE_NUMBER 2 is not the sum of its "
                                              "years' (1)"}}));
}

TEST(ReferenceChecks, MisspeltAttributesAndReferencesToNothing) {
    EXPECT_EQ(warningsOf(calendar("index=\"1\" firstdayShift=\"4\" monthDays=\"29\"",
                                  "index=\"28\"", "PHOTO_NUMBER=\"9\" thumbnailID=\"TH\"")),
              (std::vector<ReferenceWarning>{
                  {7,
                   "<contentInfo id=\"C\">: unknown attribute 'thumbnailID' (did you mean "
                   "'thumbnailId'?); it is ignored"}}));
    EXPECT_EQ(warningsOf(calendar("index=\"1\" firstdayShift=\"4\" monthDays=\"29\"",
                                  "index=\"28\"", "PHOTO_NUMBER=\"9\" titleInfoID=\"T9\"")),
              (std::vector<ReferenceWarning>{
                  {7, "<contentInfo id=\"C\">: titleInfoID \"T9\" names no titleInfo"}}));
    std::string text = calendar();
    text.replace(text.find("thumbnailId=\"TH\"/></titleInfo>"), 16, "thumbnailId=\"TX\"");
    EXPECT_EQ(warningsOf(text),
              (std::vector<ReferenceWarning>{{15,
                                              "<chapterInfo id=\"CH\">: thumbnailId \"TX\" names "
                                              "no element"}}));

    const std::string layout =
        "<root>\n<layout>\n<container id=\"P\" x=\"0\" y=\"0\" width=\"9\" height=\"9\">\n"
        "<graphictext id=\"N\" TYPE=\"TIME\" x=\"1\"/>\n"
        "<decoration id=\"P\" image=\"a.png\" colour=\"red\"/>\n"
        "<unknownthing whatever=\"1\"/>\n</container>\n</layout>\n</root>\n";
    EXPECT_EQ(warningsOf(layout),
              (std::vector<ReferenceWarning>{
                  {4,
                   "<graphictext id=\"N\">: unknown attribute 'TYPE' (did you mean 'type'?); "
                   "it is ignored"},
                  {5, "<decoration id=\"P\">: the id is also used at line 3; ids must be unique"},
                  {5, "<decoration id=\"P\">: unknown attribute 'colour'; it is ignored"}}));
}

}  // namespace
