#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/NodeList.h"
#include "document/XmlElementOperator.h"
#include "host/dom/DocumentRegistry.h"

namespace {

using Merrow::XmlElementOperator;

class XmlElementOperatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        merrowhost::DocumentLoadError error;
        dom_ = merrowhost::loadDocumentString(
            "<root xmlns=\"urn:merrow:test\">"
            "<layout><container id=\"A\" width=\"10\"><button id=\"b1\"/><button/>"
            "<decoration id=\"d\"/></container><container id=\"B\"/></layout>"
            "</root>",
            "operator.xml", &error);
        ASSERT_NE(dom_, 0u) << error.text();
        glue_ = std::make_unique<CXMLOutputFileGlue>(dom_, "test", nullptr);
    }
    void TearDown() override {
        glue_.reset();
        merrowhost::releaseDocument(dom_);
    }
    XmlElementOperator handle(const std::string& path) { return XmlElementOperator(*glue_, path); }
    std::string text() { return merrowhost::documentText(dom_); }

    unsigned dom_ = 0;
    std::unique_ptr<CXMLOutputFileGlue> glue_;
};

TEST_F(XmlElementOperatorTest, ComposesChildPaths) {
    XmlElementOperator layout = handle("/NS:root/NS:layout");
    EXPECT_EQ(layout.getChildXPath("button", nullptr), "/NS:root/NS:layout/NS:button");
    EXPECT_EQ(layout.getChildXPath("button", ""), "/NS:root/NS:layout/NS:button");
    EXPECT_EQ(layout.getChildXPath("container", "A"), "/NS:root/NS:layout/NS:container[@id=\"A\"]");
    EXPECT_EQ(layout.getAllChildXPath(), "/NS:root/NS:layout/NS:*");
    EXPECT_EQ(layout.getParentXPath(), "../NS:root/NS:layout");
}

TEST_F(XmlElementOperatorTest, CountsChildrenByLocalNameOnly) {
    XmlElementOperator container = handle("/NS:root/NS:layout/NS:container[@id=\"A\"]");
    EXPECT_EQ(container.childCount("button"), 2u);
    EXPECT_EQ(container.childCount("decoration"), 1u);
    EXPECT_EQ(container.childCount("missing"), 0u);
    EXPECT_EQ(container.childCount(""), 0u);
    EXPECT_EQ(container.childCount(nullptr), 0u);
}

TEST_F(XmlElementOperatorTest, ReadsIdOfFirstMatch) {
    EXPECT_EQ(handle("/NS:root/NS:layout/NS:container").getId(), "A");
    EXPECT_EQ(handle("/NS:root/NS:layout/NS:container[@id=\"A\"]/NS:button[2]").getId(), "");
    EXPECT_EQ(handle("/NS:root/NS:nothing").getId(), "");
}

TEST_F(XmlElementOperatorTest, AttributesReadEmptyWhenMissing) {
    XmlElementOperator container = handle("/NS:root/NS:layout/NS:container[@id=\"A\"]");
    EXPECT_EQ(container.getAttribute("width"), "10");
    EXPECT_EQ(container.getAttribute("height"), "");
    EXPECT_EQ(handle("/NS:root/NS:nothing").getAttribute("width"), "");
}

TEST_F(XmlElementOperatorTest, EmptyValuesAreNeverWritten) {
    XmlElementOperator container = handle("/NS:root/NS:layout/NS:container[@id=\"A\"]");
    const std::string before = text();
    EXPECT_FALSE(container.setAttribute("width", ""));
    EXPECT_FALSE(container.setAttribute("width", static_cast<const char*>(nullptr)));
    EXPECT_FALSE(container.setAttribute("", "5"));
    EXPECT_EQ(text(), before);
    EXPECT_EQ(container.getAttribute("width"), "10");
    EXPECT_TRUE(container.setAttribute("width", "20"));
    EXPECT_EQ(container.getAttribute("width"), "20");
}

TEST_F(XmlElementOperatorTest, AddElementReturnsThePathOfTheNewChild) {
    XmlElementOperator container = handle("/NS:root/NS:layout/NS:container[@id=\"B\"]");
    const std::string path = container.addElement("graphicbutton", "gb");
    EXPECT_EQ(path, "/NS:root/NS:layout/NS:container[@id=\"B\"]/NS:graphicbutton[@id=\"gb\"]");
    XmlElementOperator added = handle(path);
    EXPECT_EQ(added.getId(), "gb");
    EXPECT_TRUE(added.setAttribute("x", "3"));
    EXPECT_EQ(added.getAttribute("x"), "3");

    const std::string plain = container.addElement("scrollinfo", nullptr);
    EXPECT_EQ(plain, "/NS:root/NS:layout/NS:container[@id=\"B\"]/NS:scrollinfo");
    EXPECT_EQ(handle(plain).getId(), "");
}

// Writes through the path of an appended element reach that element, not an earlier sibling of
// the same name and identifier; a sibling of its own kind keeps the plain path.
TEST_F(XmlElementOperatorTest, AppendElementSelectsTheNewChildAmongItsTwins) {
    XmlElementOperator container = handle("/NS:root/NS:layout/NS:container[@id=\"B\"]");
    const std::string single = container.appendElement("graphicbutton", "gb");
    EXPECT_EQ(single, "/NS:root/NS:layout/NS:container[@id=\"B\"]/NS:graphicbutton[@id=\"gb\"]");
    EXPECT_TRUE(handle(single).setAttribute("x", "1"));
    for (const char* id : {"gb", ""}) {
        const std::string first = container.appendElement("twin", id);
        EXPECT_TRUE(handle(first).setAttribute("x", "1"));
        const std::string second = container.appendElement("twin", id);
        EXPECT_TRUE(handle(second).setAttribute("x", "2"));
        EXPECT_EQ(Merrow::NodeList(*glue_, second).size(), 1);
    }
    // The children of B in order, each as identifier:x.
    std::vector<std::string> written;
    const std::string children = container.getAllChildXPath();
    Merrow::NodeList nodes(*glue_, children);
    for (int i = 0; i < nodes.size(); ++i) {
        const std::string child = children + "[" + std::to_string(i + 1) + "]";
        written.push_back(std::string(nodes.id(i)) + ":" + handle(child).getAttribute("x"));
    }
    EXPECT_EQ(written, (std::vector<std::string>{"gb:1", "gb:1", "gb:2", ":1", ":2"}));
    EXPECT_EQ(handle("/NS:root/NS:nothing").appendElement("x", "y"), "");
}

TEST_F(XmlElementOperatorTest, AddElementFailsWithoutParentOrName) {
    const std::string before = text();
    EXPECT_EQ(handle("/NS:root/NS:nothing").addElement("x", "y"), "");
    EXPECT_EQ(handle("/NS:root/NS:layout").addElement("", "y"), "");
    EXPECT_EQ(handle("").addElement("x", "y"), "");
    EXPECT_EQ(text(), before);
}

TEST_F(XmlElementOperatorTest, AssignmentBetweenGluesReattachesToTheOtherDocument) {
    merrowhost::DocumentLoadError error;
    const unsigned other = merrowhost::loadDocumentString(
        "<root xmlns=\"urn:merrow:test\"><title id=\"T\"/></root>", "other.xml", &error);
    ASSERT_NE(other, 0u);
    {
        CXMLOutputFileGlue otherGlue(other, "test", nullptr);
        CXMLOutputFileGlue ownGlue(dom_, "test", nullptr);
        XmlElementOperator mine(ownGlue, "/NS:root/NS:layout");
        const XmlElementOperator theirs(otherGlue, "/NS:root/NS:title");
        mine = theirs;
        EXPECT_EQ(ownGlue.GetDOMId(), other);
        EXPECT_EQ(mine.getXPath(), "/NS:root/NS:title");
        EXPECT_EQ(mine.getId(), "T");
    }
    merrowhost::releaseDocument(other);
}

TEST_F(XmlElementOperatorTest, AssignmentOverTheSameGlueKeepsTheDocument) {
    XmlElementOperator first = handle("/NS:root/NS:layout");
    const XmlElementOperator second = handle("/NS:root/NS:layout/NS:container");
    first = second;
    EXPECT_EQ(glue_->GetDOMId(), dom_);
    EXPECT_EQ(first.getId(), "A");
}

}  // namespace
