// `merrowkit preview` and `merrowkit build --preview` on the sample: one self-contained page
// with the compiled menu inline and the pictures addressed relative to the page. How the
// page plays the document is tested in a browser (tests/browser).

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <regex>
#include <set>
#include <string>

#include "cli/preview/PreviewModel.h"
#include "cli/preview/PreviewPage.h"
#include "support/CliTestSupport.h"
#include "support/SampleBuild.h"

namespace {

namespace fs = std::filesystem;
using clitest::CommandResult;
using clitest::readFile;

class PreviewCommand : public clitest::SampleOutputTest {
protected:
    CommandResult preview(const std::vector<std::string>& args) {
        std::vector<std::string> all{"preview"};
        all.insert(all.end(), args.begin(), args.end());
        return clitest::runMerrowkit(all, temp_.path());
    }

    // The text of the page's model script.
    static std::string modelOf(const std::string& page) {
        const std::string open = "<script type=\"application/json\" id=\"merrowkit-model\">";
        const size_t start = page.find(open);
        if (start == std::string::npos) return {};
        const size_t end = page.find("</script>", start);
        return page.substr(start + open.size(), end - start - open.size());
    }
};

TEST_F(PreviewCommand, WritesOneSelfContainedPageIntoTheOutputFolder) {
    const fs::path copy = copyOfOutput();
    const CommandResult run = preview({copy.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "merrowkit: wrote " + (copy / "preview.html").string() + "\n");
    const std::string page = readFile(copy / "preview.html");

    // Nothing is fetched: no external script, style sheet or address of another site.
    EXPECT_EQ(page.find("<script src"), std::string::npos);
    EXPECT_EQ(page.find("<link"), std::string::npos);
    EXPECT_EQ(page.find("http://"), std::string::npos);
    EXPECT_EQ(page.find("https://"), std::string::npos);
    EXPECT_NE(page.find("window.preview"), std::string::npos);
    EXPECT_NE(page.find("#stage"), std::string::npos);
    // Every placeholder of the template was filled.
    EXPECT_FALSE(std::regex_search(page, std::regex("@(STYLE|SCRIPT|MODEL|TITLE)@")));

    const std::string model = modelOf(page);
    ASSERT_FALSE(model.empty());
    EXPECT_EQ(model.find('<'), std::string::npos) << "the model cannot close its script";
    EXPECT_EQ(model.rfind("{\"trackBase\":\"\",\"menu\":{\"version\":2,", 0), 0u)
        << model.substr(0, 120);
    // Every track the document names is in the model, to be shown from tracks/, but for those
    // no view shows: the focus pictures of the strip texts, which no focus item names, and the
    // content grid's photo counter, which no content of the sample fills.
    std::set<std::string> named;
    std::set<std::string> missing;
    for (const std::string& track :
         clitest::trackReferences(readFile(copy / "AppPresentation.xml"))) {
        if (track.rfind("track_", 0) != 0) continue;  // the loading animation's own file
        named.insert(track);
        if (model.find("\"" + track + "\"") == std::string::npos) missing.insert(track);
    }
    EXPECT_EQ(missing, (std::set<std::string>{
                           "track_0059", "track_0068", "track_0072", "track_0076", "track_0085",
                           "track_0089", "track_0093", "track_0097", "track_0101", "track_0133"}));
    EXPECT_EQ(named.size(), 160u);
}

TEST_F(PreviewCommand, APageElsewhereAddressesThePicturesRelativeToItself) {
    fs::create_directories(temp_.path() / "pages" / "a b");
    const fs::path file = temp_.path() / "pages" / "a b" / "menu.html";
    const CommandResult run = preview({out().string(), "-o", file.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string model = modelOf(readFile(file));
    const std::string base = merrowcli::preview::trackBaseFor(
        out(), file);  // ../../../<the build's temporary folder>/out/
    EXPECT_EQ(base.rfind("../../../", 0), 0u) << base;
    EXPECT_EQ(base.substr(base.size() - 5), "/out/") << base;
    EXPECT_EQ(model.rfind("{\"trackBase\":\"" + base + "\"", 0), 0u) << model.substr(0, 120);
    EXPECT_FALSE(fs::exists(out() / "preview.html"));
}

TEST(PreviewPage, AddressesAreRelativeAndEncoded) {
    EXPECT_EQ(merrowcli::preview::trackBaseFor("/tmp/x/out", "/tmp/x/out/preview.html"), "");
    EXPECT_EQ(merrowcli::preview::trackBaseFor("/tmp/x/out", "/tmp/x/page.html"), "out/");
    EXPECT_EQ(merrowcli::preview::trackBaseFor("/tmp/x/my out#1", "/tmp/y/page.html"),
              "../x/my%20out%231/");
}

TEST(PreviewModel, EscapesWhatCouldEndTheScript) {
    EXPECT_EQ(merrowcli::preview::jsonString("</script>&\"\\\n\x01"),
              "\"\\u003c/script\\u003e\\u0026\\\"\\\\\\n\\u0001\"");
}

TEST_F(PreviewCommand, AFolderWithoutADocumentIsStatusTwo) {
    CommandResult run = preview({(temp_.path() / "nowhere").string()});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("AppPresentation.xml"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(temp_.path() / "nowhere"));

    run = preview({out().string(), "-o", (temp_.path() / "no" / "such" / "p.html").string()});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("cannot be written"), std::string::npos) << run.err;
    EXPECT_EQ(preview({}).status, 2);
}

TEST_F(PreviewCommand, BuildWritesThePreviewWhenAsked) {
    const fs::path target = temp_.path() / "built";
    const CommandResult run = clitest::runMerrowkit(
        {"build", clitest::sampleProject().string(), "-o", target.string(), "--preview"},
        temp_.path());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find(", title.xml, preview.html"), std::string::npos) << run.out;
    // The same page as the preview command writes for the same folder.
    const std::string page = readFile(target / "preview.html");
    ASSERT_EQ(preview({target.string()}).status, 0);
    EXPECT_TRUE(page == readFile(target / "preview.html")) << "the pages differ";
    EXPECT_EQ(modelOf(page).rfind("{\"trackBase\":\"\",", 0), 0u);
    // A folder with a preview is still the output of a build: it can be replaced.
    const CommandResult rebuilt = clitest::runMerrowkit(
        {"build", clitest::sampleProject().string(), "-o", target.string()}, temp_.path());
    EXPECT_EQ(rebuilt.status, 0) << rebuilt.err;
    EXPECT_FALSE(fs::exists(target / "preview.html"));
}

// A link planted at the page's name, or at the name its old writer used for the page's
// temporary file, is replaced or left alone, never followed: what it points at stays as it was.
TEST_F(PreviewCommand, ALinkPlantedAtThePageOrBesideItIsNotFollowed) {
    const fs::path copy = copyOfOutput();
    const fs::path victim = temp_.path() / "victim";
    for (const char* planted : {"preview.html.part", "preview.html"}) {
        SCOPED_TRACE(planted);
        clitest::writeFile(victim, "secret\n");
        fs::remove(copy / "preview.html");
        fs::create_symlink(victim, copy / planted);
        const CommandResult run = preview({copy.string()});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(readFile(victim) == "secret\n") << "what the link names was written";
        EXPECT_FALSE(fs::is_symlink(copy / "preview.html"));
        EXPECT_EQ(readFile(copy / "preview.html").rfind("<!DOCTYPE html>", 0), 0u);
        fs::remove(copy / planted);
    }
}

}  // namespace
