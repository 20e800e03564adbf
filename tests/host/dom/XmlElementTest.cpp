// The element handle: names, attributes with and without a default, element children (text
// and comments skipped), lines, and an empty handle that answers every question harmlessly.

#include <gtest/gtest.h>
#include <libxml/parser.h>

#include <memory>
#include <string>
#include <vector>

#include "host/dom/XmlElement.h"

namespace {

using merrowhost::XmlElement;

struct DocumentFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};

std::unique_ptr<xmlDoc, DocumentFree> parse(const std::string& xml) {
    return std::unique_ptr<xmlDoc, DocumentFree>(
        xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "test.xml", nullptr, 0));
}

const char* const kLayout =
    "<root xmlns:x=\"urn:x\">\n"
    "  <!-- a comment -->\n"
    "  <layout id=\"L\" x:id=\"other\">text\n"
    "    <container id=\"A\"/>\n"
    "    <container id=\"B\" width=\"10\"><scrollinfo/></container>\n"
    "    <button id=\"C\"/>\n"
    "  </layout>\n"
    "</root>\n";

TEST(XmlElement, ReadsNamesAttributesChildrenAndLines) {
    const auto doc = parse(kLayout);
    ASSERT_TRUE(doc);
    const XmlElement root(xmlDocGetRootElement(doc.get()));
    ASSERT_TRUE(root);
    EXPECT_EQ(root.name(), "root");
    const XmlElement layout = root.child();
    EXPECT_TRUE(layout.is("layout"));
    EXPECT_EQ(layout.line(), 3);
    EXPECT_EQ(layout.attribute("id"), std::optional<std::string>("L"));
    EXPECT_EQ(layout.attribute("width", "0"), "0");
    EXPECT_FALSE(layout.has("width"));
    // Every attribute by its local name; one in a namespace is not the plain one.
    const auto attributes = layout.attributes();
    ASSERT_EQ(attributes.size(), 2u);
    EXPECT_EQ(attributes[0], (std::pair<std::string, std::string>("id", "L")));
    EXPECT_EQ(attributes[1], (std::pair<std::string, std::string>("id", "other")));

    std::vector<std::string> ids;
    for (const XmlElement& child : layout.children()) ids.push_back(child.attribute("id", ""));
    EXPECT_EQ(ids, (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(layout.children("container").size(), 2u);
    const XmlElement b = layout.child("container", "id", "B");
    EXPECT_EQ(b.attribute("width", "0"), "10");
    EXPECT_EQ(b.line(), 5);
    EXPECT_TRUE(b.child("scrollinfo").isInside("layout"));
    EXPECT_FALSE(b.isInside("button"));
    EXPECT_EQ(b.child("scrollinfo").parent(), b);
    EXPECT_TRUE(b.next().is("button"));
    EXPECT_FALSE(b.next().next());
}

TEST(XmlElement, AnEmptyHandleAnswersEveryQuestionHarmlessly) {
    const auto doc = parse(kLayout);
    const XmlElement layout = XmlElement(xmlDocGetRootElement(doc.get())).child("layout");
    const XmlElement missing = layout.child("container", "id", "Z").child("scrollinfo");
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.name(), "");
    EXPECT_FALSE(missing.is("scrollinfo"));
    EXPECT_EQ(missing.line(), 0);
    EXPECT_FALSE(missing.attribute("id"));
    EXPECT_EQ(missing.attribute("id", "none"), "none");
    EXPECT_TRUE(missing.children().empty());
    EXPECT_FALSE(missing.parent());
    // A text node is no element.
    EXPECT_FALSE(XmlElement(layout.node()->children));
}

}  // namespace
