#pragma once
// A host document made from inline XML for one test, released when the test ends.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "host/dom/DocumentRegistry.h"
#include "host/dom/XmlOutputFileGlue.h"

namespace merrowtest {

class TestDocument {
public:
    explicit TestDocument(const std::string& xml, const std::string& name = "test.xml") {
        merrowhost::DocumentLoadError error;
        dom_ = merrowhost::loadDocumentString(xml, name, &error);
        EXPECT_NE(dom_, 0u) << error.text();
        glue_ = std::make_unique<CXMLOutputFileGlue>(dom_, "test", nullptr);
    }
    // A new, empty calendar document ("root" in the namespace).
    static std::unique_ptr<TestDocument> empty(const char* ns = "urn:merrow:calendar") {
        return std::unique_ptr<TestDocument>(new TestDocument(ns, 0));
    }
    ~TestDocument() {
        glue_.reset();
        if (dom_ != 0) merrowhost::releaseDocument(dom_);
    }
    TestDocument(const TestDocument&) = delete;
    TestDocument& operator=(const TestDocument&) = delete;

    CXMLOutputFileGlue& glue() { return *glue_; }
    unsigned dom() const { return dom_; }
    std::string text() const { return merrowhost::documentText(dom_); }

private:
    TestDocument(const char* ns, int) {
        glue_ = std::make_unique<CXMLOutputFileGlue>(ns, nullptr);
        dom_ = glue_->GetDOMId();
    }
    unsigned dom_ = 0;
    std::unique_ptr<CXMLOutputFileGlue> glue_;
};

// The document's children of root as one line: the indentation of the saved text removed.
inline std::string body(const TestDocument& doc) {
    const std::string text = doc.text();
    const size_t open = text.find("<root");
    if (open == std::string::npos) return std::string();
    const size_t start = text.find('>', open) + 1;
    const size_t end = text.rfind("</root>");
    if (end == std::string::npos || end < start) return std::string();
    std::string compact;
    bool lineStart = false;
    for (char c : text.substr(start, end - start)) {
        if (c == '\n') {
            lineStart = true;
        } else if (!(lineStart && c == ' ')) {
            compact += c;
            lineStart = false;
        }
    }
    return compact;
}

}  // namespace merrowtest
