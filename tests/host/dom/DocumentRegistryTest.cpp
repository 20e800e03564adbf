#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "host/dom/DocumentRegistry.h"
#include "host/dom/XmlOutputFileGlue.h"

namespace {

namespace fs = std::filesystem;

class TemporaryFolder {
public:
    TemporaryFolder() {
        static int counter = 0;
        path_ = fs::temp_directory_path() / ("merrowhost-registry-" + std::to_string(::getpid()) +
                                             "-" + std::to_string(++counter));
        fs::create_directories(path_);
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    fs::path write(const std::string& name, const std::string& bytes) const {
        const fs::path path = path_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

TEST(DocumentLoading, MalformedTextReportsFileLineAndColumn) {
    merrowhost::DocumentLoadError error;
    EXPECT_EQ(merrowhost::loadDocumentString("<root>\n  <a>\n  </b>\n</root>\n", "bad.xml", &error),
              0u);
    EXPECT_EQ(error.file, "bad.xml");
    EXPECT_EQ(error.line, 3);
    EXPECT_GT(error.column, 0);
    EXPECT_NE(error.message.find("mismatch"), std::string::npos) << error.message;
    ASSERT_FALSE(error.message.empty());
    EXPECT_NE(error.message.back(), '\n');
    EXPECT_EQ(error.text(), "bad.xml:3:" + std::to_string(error.column) + ": " + error.message);
}

TEST(DocumentLoading, MalformedFileNamesThePathAndPrintsNothing) {
    TemporaryFolder folder;
    const fs::path path =
        folder.write("broken.xml", "<?xml version=\"1.0\"?>\n<root a=1>\n</root>\n");
    merrowhost::DocumentLoadError error;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(merrowhost::loadDocumentFile(path.string(), &error), 0u);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(error.file, path.string());
    EXPECT_EQ(error.line, 2);
    EXPECT_EQ(error.text().rfind(path.string() + ":2:", 0), 0u) << error.text();
}

TEST(DocumentLoading, UnreadableFilesGiveTheSystemReason) {
    TemporaryFolder folder;
    merrowhost::DocumentLoadError error;
    const std::string missing = (folder.path() / "missing.xml").string();
    EXPECT_EQ(merrowhost::loadDocumentFile(missing, &error), 0u);
    EXPECT_EQ(error.file, missing);
    EXPECT_EQ(error.text(), missing + ": No such file or directory");

    EXPECT_EQ(merrowhost::loadDocumentFile(folder.path().string(), &error), 0u);
    EXPECT_EQ(error.text(), folder.path().string() + ": Is a directory");
}

TEST(DocumentLoading, RefusesEmptyTextAndUndeclaredPrefixes) {
    merrowhost::DocumentLoadError error;
    EXPECT_EQ(merrowhost::loadDocumentString("", "empty.xml", &error), 0u);
    EXPECT_EQ(error.file, "empty.xml");
    EXPECT_FALSE(error.message.empty());

    error = {};
    EXPECT_EQ(merrowhost::loadDocumentString("<root>\n<q:item/></root>", "ns.xml", &error), 0u);
    EXPECT_EQ(error.line, 2);
    EXPECT_NE(error.message.find("q"), std::string::npos) << error.message;
}

TEST(DocumentLoading, NeverReadsExternalEntitiesOrDtds) {
    TemporaryFolder folder;
    const fs::path secret = folder.write("secret.txt", "TOPSECRET");
    const fs::path dtd = folder.write("leak.dtd", "<!ATTLIST root leak CDATA \"DTDSECRET\">");
    const std::string xml = "<!DOCTYPE root [\n<!ENTITY ext SYSTEM \"file://" + secret.string() +
                            "\">\n<!ENTITY % dtd SYSTEM \"file://" + dtd.string() +
                            "\">\n%dtd;\n]>\n<root>&ext;</root>";
    merrowhost::DocumentLoadError error;
    ::testing::internal::CaptureStderr();
    const unsigned id = merrowhost::loadDocumentString(xml, "entities.xml", &error);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    ASSERT_NE(id, 0u) << error.text();
    const std::string text = merrowhost::documentText(id);
    EXPECT_EQ(text.find("TOPSECRET"), std::string::npos) << text;
    EXPECT_EQ(text.find("DTDSECRET"), std::string::npos) << text;
    CXMLOutputFileGlue glue(id, "test", nullptr);
    char* value = nullptr;
    EXPECT_FALSE(glue.GetNodeAttribute(".", "leak", &value));
    delete[] value;
    merrowhost::releaseDocument(id);
}

TEST(DocumentLoading, WritesUtf8AndDropsLayoutWhitespace) {
    const unsigned id = merrowhost::loadDocumentString(
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<root>\n      <a "
        "n=\"caf\xe9\"/>\n</root>",
        "latin.xml", nullptr);
    ASSERT_NE(id, 0u);
    EXPECT_EQ(
        merrowhost::documentText(id),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root>\n  <a n=\"caf\xc3\xa9\"/>\n</root>\n");
    merrowhost::releaseDocument(id);
}

TEST(DocumentRegistry, IdentifiersAreNeverReused) {
    const unsigned first = merrowhost::loadDocumentString("<root/>", "a.xml", nullptr);
    ASSERT_NE(first, 0u);
    EXPECT_TRUE(merrowhost::hasDocument(first));
    EXPECT_TRUE(merrowhost::releaseDocument(first));
    EXPECT_FALSE(merrowhost::releaseDocument(first));
    EXPECT_FALSE(merrowhost::hasDocument(first));
    EXPECT_EQ(merrowhost::documentText(first), "");

    const unsigned second = merrowhost::loadDocumentString("<root/>", "b.xml", nullptr);
    EXPECT_GT(second, first);
    CXMLOutputFileGlue created("urn:x", nullptr);
    EXPECT_GT(created.GetDOMId(), second);
    merrowhost::releaseDocument(second);
    merrowhost::releaseDocument(created.GetDOMId());
    EXPECT_FALSE(merrowhost::hasDocument(0));
}

TEST(DocumentRegistry, ReleaseAllEmptiesTheRegistry) {
    const unsigned a = merrowhost::loadDocumentString("<root/>", "a.xml", nullptr);
    const unsigned b = merrowhost::loadDocumentString("<root/>", "b.xml", nullptr);
    CXMLOutputFileGlue glue(b, "test", nullptr);
    merrowhost::releaseAllDocuments();
    EXPECT_FALSE(merrowhost::hasDocument(a));
    EXPECT_FALSE(merrowhost::hasDocument(b));
    EXPECT_FALSE(glue.SetNodeAttribute(".", "x", "1"));
}

TEST(DocumentRegistry, ThreadsGetDistinctIdentifiers) {
    constexpr int kPerThread = 200;
    std::vector<unsigned> ids[2];
    auto work = [](std::vector<unsigned>* out) {
        for (int i = 0; i < kPerThread; ++i) {
            const unsigned id =
                merrowhost::loadDocumentString("<root><a/></root>", "t.xml", nullptr);
            out->push_back(id);
            CXMLOutputFileGlue glue(id, "t", nullptr);
            glue.AddNode(".", "b", "x");
            if (i % 2 == 0) merrowhost::releaseDocument(id);
        }
    };
    std::thread one(work, &ids[0]);
    std::thread two(work, &ids[1]);
    one.join();
    two.join();
    std::set<unsigned> all(ids[0].begin(), ids[0].end());
    all.insert(ids[1].begin(), ids[1].end());
    EXPECT_EQ(all.size(), 2u * kPerThread);
    EXPECT_EQ(all.count(0u), 0u);
    for (const auto& list : ids) {
        for (int i = 1; i < kPerThread; i += 2) {
            EXPECT_NE(merrowhost::documentText(list[i]).find("<b id=\"x\"/>"), std::string::npos);
            merrowhost::releaseDocument(list[i]);
        }
    }
}

}  // namespace
