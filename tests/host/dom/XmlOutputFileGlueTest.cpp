#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "host/dom/DocumentRegistry.h"
#include "host/dom/XmlOutputFileGlue.h"

namespace {

namespace fs = std::filesystem;

const char* const kUri = "http://merrow.example/BD-J/Calendar/0.1";

// A document loaded for one test and released at its end.
class LoadedDocument {
public:
    explicit LoadedDocument(const std::string& xml) {
        merrowhost::DocumentLoadError error;
        id_ = merrowhost::loadDocumentString(xml, "test.xml", &error);
        EXPECT_NE(id_, 0u) << error.text();
    }
    ~LoadedDocument() { merrowhost::releaseDocument(id_); }
    LoadedDocument(const LoadedDocument&) = delete;
    LoadedDocument& operator=(const LoadedDocument&) = delete;
    unsigned id() const { return id_; }
    std::string text() const { return merrowhost::documentText(id_); }

private:
    unsigned id_ = 0;
};

// Releases a node list the way the component's toolbox does.
void freeNodes(_NODE_INFO*** nodes, int count) {
    if (nodes == nullptr || *nodes == nullptr) return;
    for (int i = 0; i < count; ++i) {
        delete[](*nodes)[i]->id;
        delete[](*nodes)[i]->name;
        delete (*nodes)[i];
    }
    delete[] * nodes;
    *nodes = nullptr;
}

struct Selection {
    bool ok = false;
    // local name and id ("-" when the element has none)
    std::vector<std::pair<std::string, std::string>> nodes;
};

Selection selectNodes(CXMLOutputFileGlue& glue, const char* xpath) {
    Selection selection;
    _NODE_INFO** nodes = reinterpret_cast<_NODE_INFO**>(&selection);  // must be overwritten
    int count = -1;
    selection.ok = glue.SelectNodes(xpath, &nodes, &count);
    if (count == 0) {
        EXPECT_EQ(nodes, nullptr) << xpath;
    } else if (count > 0) {
        EXPECT_NE(nodes, nullptr) << xpath;
    }
    EXPECT_GE(count, 0) << xpath;
    for (int i = 0; i < count; ++i) {
        selection.nodes.emplace_back(nodes[i]->name, nodes[i]->id ? nodes[i]->id : "-");
    }
    freeNodes(&nodes, count);
    return selection;
}

std::vector<std::pair<std::string, std::string>> selected(CXMLOutputFileGlue& glue,
                                                          const char* xpath) {
    Selection selection = selectNodes(glue, xpath);
    EXPECT_TRUE(selection.ok) << xpath;
    return selection.nodes;
}

// The attribute, or "<none>" when the host reports failure (then the out string must be null).
std::string attribute(CXMLOutputFileGlue& glue, const char* xpath, const char* name) {
    char* value = reinterpret_cast<char*>(&glue);  // must be overwritten
    if (!glue.GetNodeAttribute(xpath, name, &value)) {
        EXPECT_EQ(value, nullptr);
        return "<none>";
    }
    std::string text = value;
    delete[] value;
    return text;
}

std::string attributeById(CXMLOutputFileGlue& glue, const char* id, const char* name) {
    char* value = reinterpret_cast<char*>(&glue);
    if (!glue.GetAttributeByID(id, name, &value)) {
        EXPECT_EQ(value, nullptr);
        return "<none>";
    }
    std::string text = value;
    delete[] value;
    return text;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

class TemporaryFolder {
public:
    TemporaryFolder() {
        static int counter = 0;
        path_ = fs::temp_directory_path() /
                ("merrowhost-glue-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
        fs::create_directories(path_);
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(path_)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

private:
    fs::path path_;
};

// The same presentation in three spellings: default namespace, a prefix of the file's own,
// and no namespace at all. Every XPath written with "NS" must work on all three.
struct Spelling {
    const char* label;
    const char* rootAttributes;
    const char* prefix;
};

void PrintTo(const Spelling& spelling, std::ostream* out) {
    *out << spelling.label;
}

std::string presentation(const Spelling& spelling) {
    const std::string p = spelling.prefix;
    std::string xml = "<" + p + "root " + spelling.rootAttributes + " version=\"2\">";
    xml += "<" + p + "layout>";
    xml += "<" + p + "container id=\"A\" page=\"1\"><" + p +
           "button id=\"A1\" label=\"NS:go\"/></" + p + "container>";
    xml += "<" + p + "container id=\"B\" page=\"2\"><" + p + "button id=\"B1\"/><" + p +
           "gridholder type=\"TEMPLATE\" id=\"G\"/></" + p + "container>";
    xml += "<" + p + "container page=\"3\"/>";
    xml += "</" + p + "layout>";
    xml += "<" + p + "titlesInfo id=\"T\"/>";
    xml += "</" + p + "root>";
    return xml;
}

class GlueOnEverySpelling : public ::testing::TestWithParam<Spelling> {
protected:
    GlueOnEverySpelling()
        : document_(presentation(GetParam())), glue_(document_.id(), "test", nullptr) {}

    LoadedDocument document_;
    CXMLOutputFileGlue glue_;
};

const std::string kDefaultRoot = std::string("xmlns=\"") + kUri + "\"";
const std::string kPrefixedRoot = std::string("xmlns:p=\"") + kUri + "\"";

INSTANTIATE_TEST_SUITE_P(
    Spellings, GlueOnEverySpelling,
    ::testing::Values(Spelling{"DefaultNamespace", kDefaultRoot.c_str(), ""},
                      Spelling{"PrefixedNamespace", kPrefixedRoot.c_str(), "p:"},
                      Spelling{"NoNamespace", "", ""}),
    [](const ::testing::TestParamInfo<Spelling>& param) { return std::string(param.param.label); });

TEST_P(GlueOnEverySpelling, PrefixNsNamesTheDocumentElementsNamespace) {
    EXPECT_STREQ(glue_.GetNameSpaceString(), "NS");
    EXPECT_EQ(attribute(glue_, "/NS:root", "version"), "2");
    EXPECT_EQ(attribute(glue_, "/NS:root/NS:layout/NS:container[@id=\"B\"]", "page"), "2");
    EXPECT_EQ(attribute(glue_, "//NS:titlesInfo", "id"), "T");
}

TEST_P(GlueOnEverySpelling, DotAndRelativePathsStartAtTheDocumentElement) {
    EXPECT_EQ(attribute(glue_, ".", "version"), "2");
    EXPECT_EQ(attribute(glue_, "NS:layout/NS:container[2]", "id"), "B");
    EXPECT_EQ(attribute(glue_, "NS:titlesInfo", "id"), "T");
    ASSERT_TRUE(glue_.SetNodeAttribute("NS:titlesInfo", "seen", "yes"));
    EXPECT_EQ(attribute(glue_, "/NS:root/NS:titlesInfo", "seen"), "yes");
}

TEST_P(GlueOnEverySpelling, EvaluatesPredicatesDescendantsAndAllChildren) {
    EXPECT_EQ(attribute(glue_, "/NS:root/NS:layout/NS:container[3]", "page"), "3");
    EXPECT_EQ(attribute(glue_, "//NS:gridholder[@type=\"TEMPLATE\"]", "id"), "G");
    EXPECT_EQ(attribute(glue_, "//NS:container[@id=\"B\"]/NS:button", "id"), "B1");
    using Nodes = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(selected(glue_, "/NS:root/NS:*"), (Nodes{{"layout", "-"}, {"titlesInfo", "T"}}));
    EXPECT_EQ(selected(glue_, "//NS:button"), (Nodes{{"button", "A1"}, {"button", "B1"}}));
    // "NS:" inside a string literal is text, in every spelling.
    EXPECT_EQ(selected(glue_, "//NS:button[@label=\"NS:go\"]"), (Nodes{{"button", "A1"}}));
    EXPECT_EQ(selected(glue_, "//NS:button[@label='NS:go']"), (Nodes{{"button", "A1"}}));
}

TEST_P(GlueOnEverySpelling, ReadsAndWritesActOnTheFirstOfSeveralMatches) {
    EXPECT_EQ(attribute(glue_, "//NS:container", "id"), "A");
    ASSERT_TRUE(glue_.SetNodeAttribute("/NS:root/NS:layout/NS:container", "page", "9"));
    EXPECT_EQ(attribute(glue_, "//NS:container[@id=\"A\"]", "page"), "9");
    EXPECT_EQ(attribute(glue_, "//NS:container[@id=\"B\"]", "page"), "2");
    ASSERT_TRUE(glue_.AddNode("//NS:container", "marker", "M"));
    using Nodes = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(selected(glue_, "//NS:container[@id=\"A\"]/NS:*"),
              (Nodes{{"button", "A1"}, {"marker", "M"}}));
    EXPECT_EQ(selected(glue_, "//NS:marker").size(), 1u);
}

TEST_P(GlueOnEverySpelling, AddedElementsTakeTheDocumentElementsNamespace) {
    ASSERT_TRUE(glue_.AddNode("/NS:root", "effect", "E"));
    ASSERT_TRUE(glue_.AddNode("/NS:root/NS:effect", "animation", nullptr));
    using Nodes = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(selected(glue_, "/NS:root/NS:effect/NS:animation"), (Nodes{{"animation", "-"}}));

    // The namespace survives writing the text and reading it back.
    LoadedDocument copy(document_.text());
    CXMLOutputFileGlue reread(copy.id(), "copy", nullptr);
    EXPECT_EQ(selected(reread, "/NS:root/NS:*"),
              (Nodes{{"layout", "-"}, {"titlesInfo", "T"}, {"effect", "E"}}));
    EXPECT_EQ(selected(reread, "/NS:root/NS:effect/NS:animation").size(), 1u);
}

TEST(CXMLOutputFileGlue, NamespaceConstructorMakesARootInTheDefaultNamespace) {
    CXMLOutputFileGlue glue(kUri, nullptr);
    const unsigned id = glue.GetDOMId();
    ASSERT_NE(id, 0u);
    EXPECT_EQ(merrowhost::documentText(id),
              std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<root xmlns=\"") +
                  kUri + "\"/>\n");
    ASSERT_TRUE(glue.AddNode(".", "firstplay", nullptr));
    ASSERT_TRUE(glue.SetNodeAttribute("NS:firstplay", "x", "858"));
    EXPECT_EQ(merrowhost::documentText(id),
              std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root xmlns=\"") + kUri +
                  "\">\n  <firstplay x=\"858\"/>\n</root>\n");
    merrowhost::releaseDocument(id);
}

TEST(CXMLOutputFileGlue, AddNodeChecksTheNameAndSetsOnlyANonEmptyId) {
    CXMLOutputFileGlue glue(kUri, nullptr);
    const unsigned id = glue.GetDOMId();
    const std::string before = merrowhost::documentText(id);
    for (const char* bad : {"", "1st", "two words", "p:name", "a<b", "-x"}) {
        EXPECT_FALSE(glue.AddNode("/NS:root", bad, "x")) << bad;
    }
    EXPECT_FALSE(glue.AddNode("/NS:root", nullptr, "x"));
    EXPECT_FALSE(glue.AddNode("/NS:root", "ok", "bad\x01id"));
    EXPECT_EQ(merrowhost::documentText(id), before);

    ASSERT_TRUE(glue.AddNode("/NS:root", "a", nullptr));
    ASSERT_TRUE(glue.AddNode("/NS:root", "b", ""));
    ASSERT_TRUE(glue.AddNode("/NS:root", "c", "say \"hi\" & 'bye'"));
    ASSERT_TRUE(glue.AddNode("/NS:root", "a", "second"));
    using Nodes = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(selected(glue, "/NS:root/NS:*"),
              (Nodes{{"a", "-"}, {"b", "-"}, {"c", "say \"hi\" & 'bye'"}, {"a", "second"}}));
    EXPECT_EQ(attribute(glue, "/NS:root/NS:b", "id"), "<none>");
    merrowhost::releaseDocument(id);
}

TEST(CXMLOutputFileGlue, AddNodeKeepsTheNamespaceUnderAParentThatRedeclaresTheDefault) {
    LoadedDocument document(std::string("<root xmlns=\"") + kUri +
                            "\"><foreign xmlns=\"urn:other\"/></root>");
    CXMLOutputFileGlue glue(document.id(), "test", nullptr);
    ASSERT_TRUE(glue.AddNode("/NS:root/*", "leaf", "L"));
    LoadedDocument copy(document.text());
    CXMLOutputFileGlue reread(copy.id(), "copy", nullptr);
    EXPECT_EQ(attribute(reread, "/NS:root/*/NS:leaf", "id"), "L");
}

TEST(CXMLOutputFileGlue, AddNodeInADocumentWithoutNamespaceStaysOutOfInnerDefaults) {
    LoadedDocument document("<root><foreign xmlns=\"urn:other\"/></root>");
    CXMLOutputFileGlue glue(document.id(), "test", nullptr);
    ASSERT_TRUE(glue.AddNode("/NS:root/*", "leaf", "L"));
    LoadedDocument copy(document.text());
    CXMLOutputFileGlue reread(copy.id(), "copy", nullptr);
    EXPECT_EQ(attribute(reread, "/root/*/leaf", "id"), "L");
}

TEST(CXMLOutputFileGlue, FailedPathsNeverWriteOrPrint) {
    LoadedDocument document(std::string("<root xmlns=\"") + kUri +
                            "\" a=\"1\"><item id=\"x\"/></root>");
    CXMLOutputFileGlue glue(document.id(), "test", nullptr);
    const std::string before = document.text();
    const char* const badPaths[] = {
        nullptr,   "",   "/NS:root[",       "//NS:missing", "/NS:root/@a",      "count(//*)",
        "/q:root", "]]", "/NS:root/text()", "'literal'",    "/NS:root/NS:item["};
    ::testing::internal::CaptureStderr();
    for (const char* path : badPaths) {
        const std::string label = path ? path : "(null)";
        EXPECT_FALSE(glue.AddNode(path, "child", "c")) << label;
        EXPECT_FALSE(glue.SetNodeAttribute(path, "b", "2")) << label;
        EXPECT_EQ(attribute(glue, path, "a"), "<none>") << label;
    }
    EXPECT_FALSE(selectNodes(glue, nullptr).ok);
    EXPECT_FALSE(selectNodes(glue, "").ok);
    EXPECT_FALSE(selectNodes(glue, "/NS:root[").ok);
    EXPECT_FALSE(selectNodes(glue, "count(//*)").ok);
    const Selection none = selectNodes(glue, "//NS:missing");
    EXPECT_TRUE(none.ok);
    EXPECT_TRUE(none.nodes.empty());
    const std::string printed = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(printed, "");
    EXPECT_EQ(document.text(), before);
}

TEST(CXMLOutputFileGlue, SetNodeAttributeCreatesReplacesAndRefusesBadInput) {
    LoadedDocument document(std::string("<root xmlns=\"") + kUri + "\"><item a=\"old\"/></root>");
    CXMLOutputFileGlue glue(document.id(), "test", nullptr);
    ASSERT_TRUE(glue.SetNodeAttribute("//NS:item", "a", "new"));
    ASSERT_TRUE(glue.SetNodeAttribute("//NS:item", "b", "x < y & \"z\""));
    ASSERT_TRUE(glue.SetNodeAttribute("//NS:item", "empty", ""));
    ASSERT_TRUE(glue.SetNodeAttribute("//NS:item", "xml:lang", "en"));
    const std::string before = document.text();
    EXPECT_FALSE(glue.SetNodeAttribute("//NS:item", "a", nullptr));
    EXPECT_FALSE(glue.SetNodeAttribute("//NS:item", "", "v"));
    EXPECT_FALSE(glue.SetNodeAttribute("//NS:item", "9lives", "v"));
    EXPECT_FALSE(glue.SetNodeAttribute("//NS:item", "q:undeclared", "v"));
    // A namespace declaration written as an attribute would move the element to another
    // namespace once the saved file is read back.
    EXPECT_FALSE(glue.SetNodeAttribute("//NS:item", "xmlns", "urn:other"));
    EXPECT_FALSE(glue.SetNodeAttribute("//NS:item", "xmlns:q", "urn:other"));
    EXPECT_FALSE(glue.SetNodeAttribute("//NS:item", "c", "bell\x07"));
    EXPECT_FALSE(glue.SetNodeAttribute("//NS:item", "c", "\xff\xfe"));
    EXPECT_EQ(document.text(), before);

    LoadedDocument copy(before);
    CXMLOutputFileGlue reread(copy.id(), "copy", nullptr);
    EXPECT_EQ(attribute(reread, "//NS:item", "a"), "new");
    EXPECT_EQ(attribute(reread, "//NS:item", "b"), "x < y & \"z\"");
    EXPECT_EQ(attribute(reread, "//NS:item", "empty"), "");
    EXPECT_EQ(attribute(reread, "//NS:item", "xml:lang"), "en");
    EXPECT_EQ(attribute(reread, "//NS:item", "missing"), "<none>");
}

TEST(CXMLOutputFileGlue, GetAttributeByIdFindsTheFirstElementInDocumentOrder) {
    LoadedDocument document(
        "<root xmlns=\"urn:x\">"
        "<a><b id=\"dup\" n=\"deep\"/></a><c id=\"dup\" n=\"late\"/>"
        "<d id=\"say &quot;hi&quot; it's\" n=\"quoted\"/>"
        "<e id=\"] | //*[@n\" n=\"tricky\"/>"
        "<f id=\"plain\"/></root>");
    CXMLOutputFileGlue glue(document.id(), "test", nullptr);
    EXPECT_EQ(attributeById(glue, "dup", "n"), "deep");
    EXPECT_EQ(attributeById(glue, "say \"hi\" it's", "n"), "quoted");
    EXPECT_EQ(attributeById(glue, "] | //*[@n", "n"), "tricky");
    EXPECT_EQ(attributeById(glue, "plain", "n"), "<none>");
    EXPECT_EQ(attributeById(glue, "nobody", "n"), "<none>");
    EXPECT_EQ(attributeById(glue, "dup ", "n"), "<none>");
    EXPECT_EQ(attributeById(glue, nullptr, "n"), "<none>");
}

TEST(CXMLOutputFileGlue, SelectNodesGivesElementsInDocumentOrder) {
    LoadedDocument document(
        "<root xmlns=\"urn:x\"><a id=\"1\"><b id=\"2\"/></a><b/><a id=\"3\"/>text<!--c--></root>");
    CXMLOutputFileGlue glue(document.id(), "test", nullptr);
    using Nodes = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(selected(glue, "//NS:b | //NS:a"),
              (Nodes{{"a", "1"}, {"b", "2"}, {"b", "-"}, {"a", "3"}}));
    EXPECT_EQ(selected(glue, "/NS:root/node()"), (Nodes{{"a", "1"}, {"b", "-"}, {"a", "3"}}));
    EXPECT_EQ(selected(glue, "//NS:a/@id"), Nodes{});

    _NODE_INFO** nodes = nullptr;
    int count = 0;
    EXPECT_FALSE(glue.SelectNodes("//NS:a", nullptr, &count));
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(glue.SelectNodes("//NS:a", &nodes, nullptr));
    EXPECT_EQ(nodes, nullptr);
}

TEST(CXMLOutputFileGlue, SaveXmlFileWritesTheSameBytesEveryTime) {
    TemporaryFolder folder;
    CXMLOutputFileGlue glue(kUri, nullptr);
    ASSERT_TRUE(glue.AddNode(".", "layout", "L"));
    ASSERT_TRUE(glue.AddNode("NS:layout", "container", "C"));
    ASSERT_TRUE(glue.SetNodeAttribute("//NS:container", "name", "caf\xc3\xa9 & co"));
    const fs::path first = folder.path() / "first.xml";
    const fs::path second = folder.path() / "second.xml";
    ASSERT_TRUE(glue.SaveXMLFile(first.c_str()));
    ASSERT_TRUE(glue.SaveXMLFile(second.c_str()));
    const std::string bytes = readFile(first);
    EXPECT_EQ(bytes, readFile(second));
    EXPECT_EQ(bytes, merrowhost::documentText(glue.GetDOMId()));
    EXPECT_EQ(bytes, std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root xmlns=\"") +
                         kUri +
                         "\">\n  <layout id=\"L\">\n    <container id=\"C\" "
                         "name=\"caf\xc3\xa9 &amp; co\"/>\n  </layout>\n</root>\n");

    // Saving again replaces the file and leaves nothing else behind.
    ASSERT_TRUE(glue.SetNodeAttribute("NS:layout", "v", "2"));
    ASSERT_TRUE(glue.SaveXMLFile(first.c_str()));
    EXPECT_NE(readFile(first), bytes);
    EXPECT_EQ(folder.entries().size(), 2u);
    merrowhost::releaseDocument(glue.GetDOMId());
}

TEST(CXMLOutputFileGlue, SaveXmlFileFailsQuietlyAndWritesNothing) {
    TemporaryFolder folder;
    CXMLOutputFileGlue glue(kUri, nullptr);
    const fs::path missing = folder.path() / "zztemp" / "AppPresentation.xml";
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(glue.SaveXMLFile(missing.c_str()));
    // A folder in the way: the save fails and no temporary file is left beside it.
    fs::create_directory(folder.path() / "taken");
    EXPECT_FALSE(glue.SaveXMLFile((folder.path() / "taken").c_str()));
    EXPECT_FALSE(glue.SaveXMLFile(""));
    EXPECT_FALSE(glue.SaveXMLFile(nullptr));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(fs::exists(missing));
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"taken"});
    EXPECT_TRUE(fs::is_empty(folder.path() / "taken"));

    const unsigned id = glue.GetDOMId();
    glue.Detach();
    EXPECT_FALSE(glue.SaveXMLFile((folder.path() / "detached.xml").c_str()));
    EXPECT_FALSE(fs::exists(folder.path() / "detached.xml"));
    merrowhost::releaseDocument(id);
}

TEST(CXMLOutputFileGlue, DetachAndDestructionLeaveTheDocumentAlive) {
    unsigned id = 0;
    {
        CXMLOutputFileGlue glue(kUri, nullptr);
        id = glue.GetDOMId();
        ASSERT_TRUE(glue.AddNode(".", "layout", "L"));
        glue.Detach();
        EXPECT_EQ(glue.GetDOMId(), 0u);
        EXPECT_FALSE(glue.AddNode(".", "more", nullptr));
        EXPECT_EQ(attribute(glue, "NS:layout", "id"), "<none>");
    }
    ASSERT_TRUE(merrowhost::hasDocument(id));
    {
        CXMLOutputFileGlue again(id, "ignored", nullptr);
        EXPECT_EQ(again.GetDOMId(), id);
        EXPECT_EQ(attribute(again, "NS:layout", "id"), "L");
    }
    EXPECT_EQ(merrowhost::documentText(id).find("<more"), std::string::npos);
    EXPECT_TRUE(merrowhost::releaseDocument(id));
    EXPECT_FALSE(merrowhost::hasDocument(id));
}

TEST(CXMLOutputFileGlue, AttachToAnUnknownIdentifierFailsAndLeavesTheGlueDetached) {
    CXMLOutputFileGlue glue(kUri, nullptr);
    const unsigned id = glue.GetDOMId();
    EXPECT_FALSE(glue.Attach(0, nullptr));
    EXPECT_EQ(glue.GetDOMId(), 0u);
    EXPECT_FALSE(glue.Attach(id + 100000, nullptr));
    EXPECT_EQ(glue.GetDOMId(), 0u);
    EXPECT_TRUE(glue.Attach(id, nullptr));
    EXPECT_EQ(glue.GetDOMId(), id);

    merrowhost::releaseDocument(id);
    // A glue still naming a released document fails cleanly, and cannot attach to it again.
    EXPECT_FALSE(glue.AddNode(".", "late", nullptr));
    EXPECT_FALSE(glue.SaveXMLFile("/nonexistent/never.xml"));
    EXPECT_FALSE(glue.Attach(id, nullptr));
    CXMLOutputFileGlue fromDom(id, "test", nullptr);
    EXPECT_EQ(fromDom.GetDOMId(), 0u);
    CXMLOutputFileGlue empty;
    EXPECT_EQ(empty.GetDOMId(), 0u);
}

}  // namespace
