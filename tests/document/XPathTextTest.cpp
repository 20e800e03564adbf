#include <gtest/gtest.h>

#include "document/NodeList.h"
#include "document/XPathText.h"
#include "host/dom/DocumentRegistry.h"
#include "host/dom/XmlOutputFileGlue.h"

namespace {

TEST(XPathText, QuotesPlainValuesInDoubleQuotes) {
    EXPECT_EQ(Merrow::quoteXPathLiteral("YearPageLayout"), "\"YearPageLayout\"");
    EXPECT_EQ(Merrow::idPredicate("A"), "[@id=\"A\"]");
    EXPECT_EQ(Merrow::attributePredicate("type", "TEMPLATE"), "[@type=\"TEMPLATE\"]");
}

TEST(XPathText, UsesApostrophesForValuesWithDoubleQuotes) {
    EXPECT_EQ(Merrow::quoteXPathLiteral("a\"b"), "'a\"b'");
}

TEST(XPathText, UsesConcatForValuesWithBothQuoteKinds) {
    EXPECT_EQ(Merrow::quoteXPathLiteral("it's \"x\""), "concat(\"it's \", '\"', \"x\", '\"')");
}

// Whatever the identifier holds, the composed path selects exactly the element that carries it.
TEST(XPathText, IdentifiersCannotChangeWhatAPathSelects) {
    const char* ids[] = {"plain",        "dq\"inside", "sq'inside",
                         "both'\"kinds", "\"]|//*[\"", "x\"] | //*[@id=\"plain"};
    std::string xml = "<root xmlns=\"urn:t\">";
    xml += "<item id=\"plain\"/>";
    xml += "<item id=\"dq&quot;inside\"/>";
    xml += "<item id=\"sq'inside\"/>";
    xml += "<item id=\"both'&quot;kinds\"/>";
    xml += "<item id=\"&quot;]|//*[&quot;\"/>";
    xml += "<item id=\"x&quot;] | //*[@id=&quot;plain\"/>";
    xml += "</root>";
    merrowhost::DocumentLoadError error;
    const unsigned dom = merrowhost::loadDocumentString(xml, "ids.xml", &error);
    ASSERT_NE(dom, 0u) << error.text();
    CXMLOutputFileGlue glue(dom, "test", nullptr);
    for (const char* id : ids) {
        Merrow::NodeList nodes(glue, "/NS:root/NS:item" + Merrow::idPredicate(id));
        ASSERT_EQ(nodes.size(), 1) << id;
        EXPECT_STREQ(nodes.id(0), id);
    }
    merrowhost::releaseDocument(dom);
}

}  // namespace
