#pragma once
// Shared by the creator tests: a creator whose sections can be called one by one, a new
// calendar document released at the end of the test, and readers for what was written.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "creator/BDJCalendarApplicationCreator.h"
#include "document/NodeList.h"
#include "document/XmlElementOperator.h"
#include "host/dom/DocumentRegistry.h"
#include "host/dom/XmlOutputFileGlue.h"

namespace creatortest {

class SectionCreator : public CBDJCalendarApplicationCreator {
public:
    using CBDJCalendarApplicationCreator::addEffectSectionElement;
    using CBDJCalendarApplicationCreator::addLoadingAnimationElement;
    using CBDJCalendarApplicationCreator::addResourceListElement;
    using CBDJCalendarApplicationCreator::addTitleListElement;
    using CBDJCalendarApplicationCreator::CBDJCalendarApplicationCreator;

    const std::vector<TitleRecord>& records() const { return titleRecords; }
};

// A new, empty document in the calendar namespace, as the driver makes it.
class NewDocument {
public:
    NewDocument() : glue_(kCalendarNamespaceUri, nullptr), domId_(glue_.GetDOMId()) {
        EXPECT_NE(domId_, 0u);
    }
    ~NewDocument() { merrowhost::releaseDocument(domId_); }
    NewDocument(const NewDocument&) = delete;
    NewDocument& operator=(const NewDocument&) = delete;

    CXMLOutputFileGlue& glue() { return glue_; }
    std::string text() const { return merrowhost::documentText(domId_); }

private:
    CXMLOutputFileGlue glue_;
    unsigned domId_;
};

// Releases a host document at the end of a test.
class DocumentRelease {
public:
    explicit DocumentRelease(unsigned domId) : domId_(domId) {}
    ~DocumentRelease() { merrowhost::releaseDocument(domId_); }
    DocumentRelease(const DocumentRelease&) = delete;
    DocumentRelease& operator=(const DocumentRelease&) = delete;

private:
    unsigned domId_;
};

// (local name, id) of every element the path selects, in document order; id "-" when absent.
inline std::vector<std::pair<std::string, std::string>> elements(CXMLOutputFileGlue& glue,
                                                                 const std::string& xpath) {
    Merrow::NodeList nodes(glue, xpath);
    std::vector<std::pair<std::string, std::string>> result;
    for (int i = 0; i < nodes.size(); ++i) {
        const std::string id = nodes.id(i);
        result.emplace_back(nodes.name(i), id.empty() ? "-" : id);
    }
    return result;
}

inline std::string attribute(CXMLOutputFileGlue& glue, const std::string& xpath, const char* name) {
    return Merrow::XmlElementOperator(glue, xpath).getAttribute(name);
}

}  // namespace creatortest
