#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "ServiceTestSupport.h"
#include "host/dom/DocumentRegistry.h"
#include "host/dom/XmlOutputFileGlue.h"
#include "merrowkit/Services.h"

namespace {

namespace fs = std::filesystem;
using servicetest::expectReport;
using servicetest::LoggedEvents;
using servicetest::ObjectPtr;

const char* const kDocumentXml =
    "<root xmlns=\"http://example.org/BD-J/Calendar/0.1\">"
    "<layout id=\"main\"><container id=\"year\" page=\"1\"/></layout>"
    "</root>";

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A host document and the operator's interface, reached the way the host reaches it.
class PresentationDomOperator : public ::testing::Test {
protected:
    void SetUp() override {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::path(::testing::TempDir()) / (std::string("merrowkit-save-") + test->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);

        merrowhost::DocumentLoadError loadError;
        domId_ = merrowhost::loadDocumentString(kDocumentXml, "save-test", &loadError);
        ASSERT_NE(domId_, 0u) << loadError.text();

        CzfServiceObject* raw = nullptr;
        ASSERT_TRUE(gzf_CreateComponent(&merrowkit::kClsidPresentationDomOperator, &raw, nullptr));
        object_.reset(raw);
        void* service = nullptr;
        ASSERT_TRUE(
            object_->zfQueryService(&merrowkit::kIidOperateBDJPresentationDom, &service, nullptr));
        service_ = static_cast<SzfOperateBDJPresentationDom*>(service);
    }

    void TearDown() override {
        merrowhost::releaseDocument(domId_);
        fs::remove_all(folder_);
    }

    static servicetest::ExpectedReport saveReport(int32_t code) {
        return {merrowkit::kClsidPresentationDomOperator, 0, code, 2, 18};
    }

    fs::path folder_;
    unsigned domId_ = 0;
    ObjectPtr object_;
    SzfOperateBDJPresentationDom* service_ = nullptr;
};

TEST_F(PresentationDomOperator, SavesTheDocumentAndLeavesItWithTheHost) {
    LoggedEvents logged;
    CzfErrorInfo record = servicetest::staleRecord();
    const fs::path file = folder_ / "saved.xml";
    EXPECT_TRUE(service_->zfSavePresentationDom(domId_, file.c_str(), &record));

    ASSERT_TRUE(fs::exists(file));
    const std::string text = readFile(file);
    EXPECT_EQ(text, merrowhost::documentText(domId_));
    EXPECT_NE(text.find("container"), std::string::npos);
    EXPECT_NE(text.find("id=\"year\""), std::string::npos);
    EXPECT_TRUE(merrowhost::hasDocument(domId_));

    ASSERT_NE(record.source, nullptr);
    EXPECT_TRUE(*record.source == merrowkit::kClsidPresentationDomOperator);
    EXPECT_EQ(record.severity, 0);
    EXPECT_EQ(logged.count(), 0u);
}

TEST_F(PresentationDomOperator, UnknownDocumentIsReportedAndWritesNothing) {
    LoggedEvents logged;
    CzfErrorInfo record = servicetest::staleRecord();
    const fs::path file = folder_ / "unknown.xml";
    EXPECT_FALSE(service_->zfSavePresentationDom(domId_ + 1000, file.c_str(), &record));
    EXPECT_FALSE(fs::exists(file));
    expectReport(record, saveReport(merrowkit::kErrorUnknownDocument));
    ASSERT_EQ(logged.count(), 1u);
    expectReport(logged.events()[0], saveReport(merrowkit::kErrorUnknownDocument));

    EXPECT_FALSE(service_->zfSavePresentationDom(0, file.c_str(), nullptr));
    EXPECT_FALSE(fs::exists(file));
    ASSERT_EQ(logged.count(), 2u);
    expectReport(logged.events()[1], saveReport(merrowkit::kErrorUnknownDocument));
}

TEST_F(PresentationDomOperator, MissingFolderIsReportedAsFailedSave) {
    LoggedEvents logged;
    CzfErrorInfo record = servicetest::staleRecord();
    const fs::path file = folder_ / "missing" / "saved.xml";
    EXPECT_FALSE(service_->zfSavePresentationDom(domId_, file.c_str(), &record));
    EXPECT_FALSE(fs::exists(file));
    EXPECT_FALSE(fs::exists(folder_ / "missing"));
    expectReport(record, saveReport(merrowkit::kErrorSaveFailed));
    ASSERT_EQ(logged.count(), 1u);
    expectReport(logged.events()[0], saveReport(merrowkit::kErrorSaveFailed));
    // The document is still the host's after the failed save.
    EXPECT_TRUE(merrowhost::hasDocument(domId_));
}

TEST_F(PresentationDomOperator, NullPathIsReportedAsNullArgument) {
    LoggedEvents logged;
    CzfErrorInfo record = servicetest::staleRecord();
    EXPECT_FALSE(service_->zfSavePresentationDom(domId_, nullptr, &record));
    expectReport(record, saveReport(merrowkit::kErrorNullArgument));
    EXPECT_FALSE(service_->zfSavePresentationDom(domId_, nullptr, nullptr));
    ASSERT_EQ(logged.count(), 2u);
    expectReport(logged.events()[0], saveReport(merrowkit::kErrorNullArgument));
    expectReport(logged.events()[1], saveReport(merrowkit::kErrorNullArgument));
}

TEST_F(PresentationDomOperator, UnsupportedOperationIsAlwaysFalse) {
    LoggedEvents logged;
    int value = 0;
    EXPECT_FALSE(service_->zfUnsupportedOperation(nullptr, nullptr));
    EXPECT_FALSE(service_->zfUnsupportedOperation(&value, object_.get()));
    EXPECT_EQ(logged.count(), 0u);
}

}  // namespace
