// parseXml: every attribute gets the line its name is on, found by one walk over the text that
// steps over comments, CDATA, processing instructions and the document type declaration; and
// the parse takes time in proportion to the document.

#include <gtest/gtest.h>
#include <libxml/tree.h>
#include <time.h>

#include <algorithm>
#include <string>

#include "cli/core/XmlInput.h"

namespace merrowcli {
namespace {

// CPU seconds of this process: on a shared machine the wall clock measures the other programs.
double cpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

const xmlNode* findElement(const xmlNode* node, const std::string& id) {
    for (; node != nullptr; node = node->next) {
        if (node->type != XML_ELEMENT_NODE) continue;
        xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>("id"));
        const bool match = value != nullptr && id == reinterpret_cast<const char*>(value);
        xmlFree(value);
        if (match) return node;
        if (const xmlNode* inner = findElement(node->children, id)) return inner;
    }
    return nullptr;
}

TEST(XmlInput, AttributesHaveTheLinesOfTheirNames) {
    const std::string text =
        "<?xml version=\"1.0\"?>\n"                                    // 1
        "<!DOCTYPE r [\n"                                              // 2
        "  <!ENTITY fake \"<e id='x' a='1'/> ]>\">\n"                  // 3
        "  <!-- <e id='y'> -->\n"                                      // 4
        "]>\n"                                                         // 5
        "<r id=\"root\"\n"                                             // 6
        "   a=\"2\">\n"                                                // 7
        "  <!-- <e id=\"c\" a=\"3\"/> -->\n"                           // 8
        "  <![CDATA[ <e id=\"d\" a=\"4\"/> ]]>\n"                      // 9
        "  <?pi <e id=\"p\"?>\n"                                       // 10
        "  <n:e xmlns:n=\"urn:n\" id=\"one\" n:b=\"&gt;\" a=\"5>\"\n"  // 11
        "       c=\"6\"><e id=\"two\"\n"                               // 12
        "  a='7'/>&fake;</n:e><e id=\"three\" a=\"8\"/>\n"             // 13
        "  <e\n"                                                       // 14
        "    id=\"four\"\n"                                            // 15
        "    a=\"9\"/>\n"                                              // 16
        "</r>\n";
    std::string error;
    const XmlDocument doc = parseXml(text, "t.xml", &error);
    ASSERT_NE(doc, nullptr) << error;
    const xmlNode* root = xmlDocGetRootElement(doc.get());
    const struct {
        const char* id;
        const char* attribute;
        int line;
    } expected[] = {
        {"root", "id", 6},  {"root", "a", 7},   {"one", "id", 11}, {"one", "b", 11},
        {"one", "a", 11},   {"one", "c", 12},   {"two", "id", 12}, {"two", "a", 13},
        {"three", "a", 13}, {"four", "id", 15}, {"four", "a", 16},
    };
    for (const auto& each : expected) {
        SCOPED_TRACE(std::string(each.id) + "/" + each.attribute);
        const xmlNode* element = findElement(root, each.id);
        ASSERT_NE(element, nullptr);
        EXPECT_EQ(attributeLine(element, each.attribute), each.line);
    }
}

TEST(XmlInput, ASyntaxErrorNamesLineAndColumn) {
    std::string error;
    EXPECT_EQ(parseXml("<r>\n  <a></b>\n</r>\n", "t.xml", &error), nullptr);
    EXPECT_EQ(error.rfind("t.xml:2:", 0), 0u) << error;
    EXPECT_EQ(parseXml("", "empty.xml", &error), nullptr);
    EXPECT_EQ(error.rfind("empty.xml:", 0), 0u) << error;
}

// Entities that name entities count by what they expand to in the end; a document that stays
// within the limit parses.
TEST(XmlInput, NestedEntitiesCountByTheirWholeExpansion) {
    const auto document = [](int uses) {
        std::string text = "<!DOCTYPE r [\n<!ENTITY a \"" + std::string(10000, 'a') + "\">\n";
        text += "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&#233;\">\n";  // 100,004 bytes
        text += "]>\n<r>\n";
        for (int i = 0; i < uses; ++i) text += "<e>&b;</e>\n";
        return text + "</r>\n";
    };
    std::string error;
    EXPECT_NE(parseXml(document(10), "t.xml", &error), nullptr) << error;
    EXPECT_EQ(parseXml(document(11), "t.xml", &error), nullptr);
    EXPECT_EQ(error, "t.xml:16: its internal entities expand to more than 1 MiB; refused");
}

// A document with an error is refused at its first: libxml2 is stopped there, instead of
// reporting each of 100,000 errors on one long line (which took seconds that grew with the
// square of the line).
TEST(XmlInput, AnErrorStopsTheParse) {
    const std::string text = "<r>\n<!-- " + std::string(200000, '-') + " -->\n</r>\n";
    std::string error;
    const double start = cpuSeconds();
    EXPECT_EQ(parseXml(text, "t.xml", &error), nullptr);
    const double seconds = cpuSeconds() - start;
    EXPECT_EQ(error, "t.xml:2:6: Double hyphen within comment: <!--");
    EXPECT_LT(seconds, 2.0);
}

// The quickest of three parses of a document of `count` sibling elements, in CPU seconds.
double parseSeconds(int count) {
    std::string text = "<r>\n";
    for (int i = 0; i < count; ++i) text += "<e id=\"e" + std::to_string(i) + "\" a=\"1\"/>\n";
    text += "</r>\n";
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        std::string error;
        const double start = cpuSeconds();
        const XmlDocument doc = parseXml(text, "t.xml", &error);
        best = std::min(best, cpuSeconds() - start);
        EXPECT_NE(doc, nullptr) << error;
    }
    return best;
}

// Twelve times the siblings take about twelve times as long (at most twice that), not a
// hundred and forty-four (libxml2's record of element places, kept sorted by node address,
// made the parse grow with the square of the document).
TEST(XmlInput, ParseTimeGrowsInProportionToTheDocument) {
    const double small = parseSeconds(40000);
    const double large = parseSeconds(480000);
    EXPECT_LT(large, std::max(small, 0.005) * 24) << small << " s and " << large << " s";
}

}  // namespace
}  // namespace merrowcli
