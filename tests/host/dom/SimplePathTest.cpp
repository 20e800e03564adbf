#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/dom/DocumentRegistry.h"
#include "host/dom/SimplePath.h"
#include "host/dom/XPathEvaluator.h"
#include "host/dom/XmlOutputFileGlue.h"

namespace {

using merrowhost::XPathEvaluator;

// Duplicate ids under one parent and under different parents, the same name at several depths,
// an element of another namespace, text between elements and an element without id.
const char* const kNamespaced = R"(<?xml version="1.0"?>
<root xmlns="urn:merrow:test" xmlns:o="urn:other">
  <effect>
    <trigger id="T1" type="a"><use id="U1"/><use id="U2"/></trigger>
    text
    <trigger id="T2" type="b"><use id="U3"/></trigger>
    <trigger id="T1" type="c"><use id="U4"/></trigger>
    <o:trigger id="T3"/>
    <trigger><use id="U5"/></trigger>
  </effect>
  <resourcelist>
    <resourceset id="S1"><graphicbutton id="B1"/><graphicbutton id="B2"/></resourceset>
    <resourceset id="S2"><graphicbutton id="B1"/><trigger id="T2"/></resourceset>
  </resourcelist>
  <layout id="L"><container id="C"><container id="C"><decoration id="D"/></container></container></layout>
  <group><item id="I1"/><group><item id="I2"/></group><item id="I3"/></group>
</root>)";

const char* const kPlain = R"(<root><effect><trigger id="T1"/><trigger id="T2"/></effect>
<effect xmlns="urn:inner"><trigger id="T1"/></effect></root>)";

// A document of the registry, released at the end of the test.
class RegistryDocument {
public:
    explicit RegistryDocument(const char* xml) {
        merrowhost::DocumentLoadError error;
        id_ = merrowhost::loadDocumentString(xml, "test.xml", &error);
        EXPECT_NE(id_, 0u) << error.text();
    }
    ~RegistryDocument() { merrowhost::releaseDocument(id_); }
    RegistryDocument(const RegistryDocument&) = delete;
    RegistryDocument& operator=(const RegistryDocument&) = delete;
    unsigned id() const { return id_; }

    // How many elements the path selects, -1 when it fails; the cross check compares the
    // index with libxml2 on the way.
    int count(const std::string& path) const {
        int count = -1;
        merrowhost::onRegistryDocument(id_, [&](_xmlDoc* doc) {
            std::vector<_xmlNode*> elements;
            if (XPathEvaluator(doc).selectElements(path.c_str(), &elements)) {
                count = static_cast<int>(elements.size());
            }
            return true;
        });
        return count;
    }

private:
    unsigned id_ = 0;
};

class CrossChecked : public ::testing::Test {
protected:
    void SetUp() override { XPathEvaluator::setCrossCheck(&record_); }
    void TearDown() override { XPathEvaluator::setCrossCheck(nullptr); }
    XPathEvaluator::CrossCheck record_;
};

const std::vector<std::string> kSimplePaths = {
    "/NS:root",
    "/NS:root[1]",
    "/NS:root[2]",
    "/NS:root[last()]",
    "/NS:root[@id=\"none\"]",
    "/NS:effect",
    ".",
    "NS:effect",
    "./NS:effect/NS:trigger",
    "/NS:root/NS:effect/NS:trigger",
    "/NS:root/NS:effect/NS:trigger[@id=\"T1\"]",
    "/NS:root/NS:effect/NS:trigger[@id='T1'][2]",
    "/NS:root/NS:effect/NS:trigger[@id=\"T1\"][last()]",
    "/NS:root/NS:effect/NS:trigger[@id=\"T1\"][@type=\"c\"]",
    "/NS:root/NS:effect/NS:trigger[@id=\"T1\"][3]",
    "/NS:root/NS:effect/NS:trigger[@id=\"T3\"]",
    "/NS:root/NS:effect/NS:trigger[@id=\"\"]",
    "/NS:root/NS:effect/NS:trigger[@id=\"T2\"]/NS:use",
    "/NS:root/NS:effect/NS:trigger[@id=\"T1\"]/NS:use",
    "/NS:root/NS:effect/NS:trigger[@id=\"T1\"]/NS:use[last()]",
    "/NS:root/NS:effect/NS:trigger/NS:use[1]",
    "/NS:root/NS:effect/NS:trigger/NS:use[last()]",
    "/NS:root/NS:effect/NS:trigger[last()]",
    "/NS:root/NS:effect/NS:trigger[0]",
    "/NS:root/NS:effect/NS:trigger[4]",
    "/NS:root/NS:effect/NS:trigger[5]",
    "/NS:root/NS:effect/NS:trigger[2][@type=\"b\"]",
    "/NS:root/NS:effect/NS:trigger[@type=\"b\"][1]",
    "/NS:root/NS:effect/trigger",
    "/NS:root/NS:resourcelist/NS:resourceset[@id=\"S2\"]/NS:graphicbutton[@id=\"B1\"]",
    "/NS:root/NS:resourcelist/NS:resourceset/NS:graphicbutton[@id=\"B1\"]",
    "/NS:root/NS:resourcelist/NS:resourceset/NS:graphicbutton[@id=\"B1\"][1]",
    "//NS:trigger[@id=\"T2\"]",
    "//NS:trigger[@id=\"T1\"][2]",
    "//NS:trigger[@id=\"T1\"]/NS:use",
    "//NS:container[@id=\"C\"]",
    "//NS:container[@id=\"C\"][1]/NS:decoration",
    "//NS:container[@id=\"C\"]/NS:container",
    "//NS:graphicbutton[@id=\"B1\"]",
    "//NS:trigger",
    "//NS:trigger[2]",
    "//NS:trigger[last()]/NS:use",
    "//NS:resourcelist/NS:resourceset[@id=\"S2\"]/NS:*",
    "//NS:group/NS:item",
    "//NS:group/NS:*",
    "//NS:group[1]/NS:item[last()]",
    "/NS:root/NS:effect/*",
    "/NS:root/NS:effect/NS:*",
    "/NS:root/NS:effect/NS:*[4]",
    "/NS:root/NS:effect/NS:trigger[@id=\"T1\"]/NS:*[last()]",
};

TEST_F(CrossChecked, SimplePathsGiveWhatLibxml2GivesInANamespacedDocument) {
    RegistryDocument document(kNamespaced);
    for (const std::string& path : kSimplePaths) {
        EXPECT_GE(document.count(path), 0) << path;
    }
    EXPECT_EQ(record_.indexed, kSimplePaths.size());
    EXPECT_EQ(record_.libxml2, 0u);
    EXPECT_TRUE(record_.differences.empty()) << record_.differences.front();
    // A few answers spelt out, so that a fault shared with libxml2's reading cannot hide.
    EXPECT_EQ(document.count("/NS:root/NS:effect/NS:trigger[@id=\"T1\"]"), 2);
    EXPECT_EQ(document.count("/NS:root/NS:effect/NS:trigger[@id=\"T1\"][@type=\"c\"]"), 1);
    EXPECT_EQ(document.count("//NS:graphicbutton[@id=\"B1\"]"), 2);
    EXPECT_EQ(document.count("/NS:root/NS:effect/NS:trigger[5]"), 0);
    EXPECT_EQ(document.count("/NS:root/NS:effect/*"), 5);
    EXPECT_EQ(document.count("/NS:root/NS:effect/NS:*"), 4);
    EXPECT_EQ(document.count("//NS:group/NS:item"), 3);
}

TEST_F(CrossChecked, SimplePathsGiveWhatLibxml2GivesWithoutNamespace) {
    RegistryDocument document(kPlain);
    const std::vector<std::string> paths = {
        "/NS:root/NS:effect",
        "/NS:root/NS:effect/NS:trigger[@id=\"T1\"]",
        "/NS:root/NS:effect/NS:trigger[last()]",
        "//NS:trigger[@id=\"T1\"]",
        "/root/effect/trigger",
        "/NS:root/NS:*",
        "//NS:effect/NS:trigger",
    };
    for (const std::string& path : paths) EXPECT_GE(document.count(path), 0) << path;
    EXPECT_EQ(record_.indexed, paths.size());
    EXPECT_TRUE(record_.differences.empty()) << record_.differences.front();
    // The inner effect is in another namespace: neither "NS:" nor a plain name reaches it.
    EXPECT_EQ(document.count("/NS:root/NS:effect"), 1);
    EXPECT_EQ(document.count("//NS:trigger[@id=\"T1\"]"), 1);
    // Without namespace "NS:*" is "*": the inner effect is one of the root's elements.
    EXPECT_EQ(document.count("/NS:root/NS:*"), 2);
}

TEST_F(CrossChecked, OtherPathsGoToLibxml2) {
    RegistryDocument document(kNamespaced);
    const std::vector<std::string> paths = {
        "//NS:*",
        "/NS:root/NS:effect/NS:trigger[@type = \"a\"]",
        "/NS:root/NS:effect/o:trigger",
        "/NS:root/NS:effect/NS:trigger[position()=2]",
        "/NS:root//NS:use",
        "/NS:root/NS:effect/NS:trigger/@id",
        "/NS:root/NS:effect/NS:trigger[@id=\"T1\" or @id=\"T2\"]",
        "/NS:root/NS:effect/..",
        "count(/NS:root)",
        "/NS:root/NS:effect/NS:trigger[1234567890]",
        "/NS:root/NS:effect/NS:trigger[",
    };
    for (const std::string& path : paths) document.count(path);
    EXPECT_EQ(record_.indexed, 0u);
    EXPECT_EQ(record_.libxml2, paths.size());
}

TEST(SimplePath, ParsesOnlyTheShapesItResolves) {
    EXPECT_TRUE(merrowhost::parseSimplePath("/NS:a/NS:b[@id=\"x\"]/NS:c[2][last()]"));
    EXPECT_TRUE(merrowhost::parseSimplePath("//NS:b[@id='x']/NS:c"));
    EXPECT_TRUE(merrowhost::parseSimplePath("//NS:b/NS:*[1]"));
    EXPECT_FALSE(merrowhost::parseSimplePath("//*"));
    EXPECT_FALSE(merrowhost::parseSimplePath("/NS:a//NS:b[@id='x']"));
    EXPECT_FALSE(merrowhost::parseSimplePath("/NS:a/"));
    EXPECT_FALSE(merrowhost::parseSimplePath(""));
    EXPECT_FALSE(merrowhost::parseSimplePath("/NS::a"));
    EXPECT_FALSE(merrowhost::parseSimplePath("/NS:a[@id=\"x]"));
}

// The index follows every change the glue makes.
TEST_F(CrossChecked, TheIndexFollowsNewElementsAndWrittenIds) {
    RegistryDocument document(kNamespaced);
    CXMLOutputFileGlue glue(document.id(), "test", nullptr);
    const char* const effect = "/NS:root/NS:effect";
    ASSERT_TRUE(glue.AddNode(effect, "trigger", "T9"));
    ASSERT_TRUE(glue.AddNode(effect, "trigger", "T1"));
    EXPECT_EQ(document.count("/NS:root/NS:effect/NS:trigger[@id=\"T9\"]"), 1);
    EXPECT_EQ(document.count("/NS:root/NS:effect/NS:trigger[@id=\"T1\"]"), 3);
    ASSERT_TRUE(glue.AddNode("/NS:root/NS:effect/NS:trigger[@id=\"T9\"]", "use", "U9"));
    EXPECT_EQ(document.count("//NS:use[@id=\"U9\"]"), 1);

    // Renaming: the old id finds nothing more, the new one finds the element.
    ASSERT_TRUE(glue.SetNodeAttribute("/NS:root/NS:effect/NS:trigger[@id=\"T9\"]", "id", "T10"));
    EXPECT_EQ(document.count("/NS:root/NS:effect/NS:trigger[@id=\"T9\"]"), 0);
    EXPECT_EQ(document.count("/NS:root/NS:effect/NS:trigger[@id=\"T10\"]/NS:use"), 1);
    // An element without id gets one.
    ASSERT_TRUE(glue.SetNodeAttribute("/NS:root/NS:effect/NS:trigger[4]", "id", "T11"));
    EXPECT_EQ(document.count("/NS:root/NS:effect/NS:trigger[@id=\"T11\"]/NS:use[@id=\"U5\"]"), 1);
    // Other attributes leave the index alone.
    ASSERT_TRUE(glue.SetNodeAttribute("/NS:root/NS:effect/NS:trigger[@id=\"T11\"]", "type", "z"));
    EXPECT_EQ(document.count("/NS:root/NS:effect/NS:trigger[@id=\"T11\"][@type=\"z\"]"), 1);
    EXPECT_TRUE(record_.differences.empty()) << record_.differences.front();

    // Reads by id take the first element in document order.
    char* type = nullptr;
    ASSERT_TRUE(glue.GetAttributeByID("T1", "type", &type));
    EXPECT_STREQ(type, "a");
    delete[] type;
}

TEST_F(CrossChecked, ANewDocumentOfTheGlueIsIndexedToo) {
    CXMLOutputFileGlue glue("urn:merrow:new", nullptr);
    ASSERT_NE(glue.GetDOMId(), 0u);
    ASSERT_TRUE(glue.AddNode("/NS:root", "command", nullptr));
    ASSERT_TRUE(glue.AddNode("/NS:root/NS:command", "focuscontrol", "F"));
    ASSERT_TRUE(glue.AddNode("/NS:root/NS:command/NS:focuscontrol[@id=\"F\"]", "focusitem", "I"));
    char* id = nullptr;
    ASSERT_TRUE(glue.GetNodeAttribute(
        "/NS:root/NS:command/NS:focuscontrol[@id=\"F\"]/NS:focusitem[last()]", "id", &id));
    EXPECT_STREQ(id, "I");
    delete[] id;
    EXPECT_GT(record_.indexed, 0u);
    EXPECT_TRUE(record_.differences.empty()) << record_.differences.front();
    merrowhost::releaseDocument(glue.GetDOMId());
}

}  // namespace
