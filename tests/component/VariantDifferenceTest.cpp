// The two component variants on the same project: the older one writes a "decoration" for a
// "text" child of a page container, which the current one skips, and nothing else differs.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

#include "host/pictures/DvdBuf.h"
#include "support/CliTestSupport.h"
#include "support/SampleBuild.h"

namespace {

namespace fs = std::filesystem;
using clitest::attributeOf;
using clitest::countOf;
using clitest::readFile;

// The text without its lines that contain marker; count receives how many there were.
std::string withoutLinesContaining(const std::string& text, const std::string& marker, int* count) {
    std::string kept;
    *count = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        if (text.substr(start, end - start).find(marker) != std::string::npos) {
            ++*count;
        } else {
            kept.append(text, start, end - start);
        }
        start = end;
    }
    return kept;
}

TEST(VariantDifference, OlderVariantAddsOneDecorationForTheTextChildAndNothingElse) {
    clitest::TemporaryFolder temp;
    const fs::path current = temp.path() / "current";
    const fs::path older = temp.path() / "older";
    for (const auto& [variant, out] : {std::pair{"current", current}, std::pair{"older", older}}) {
        const clitest::CommandResult run = clitest::buildSample(variant, out, temp.path());
        ASSERT_EQ(run.status, 0) << variant << ": " << run.err;
    }

    // The sample's one "text" child of a page container, and where it stands.
    const fs::path reference = clitest::sampleProject() / "presentation.xml";
    const std::string text = "/NS:root/NS:layout/NS:container/NS:text";
    ASSERT_EQ(countOf(reference, text), 1);
    const std::string textId = attributeOf(reference, text, "id");
    const std::string containerId =
        attributeOf(reference, "/NS:root/NS:layout/NS:container[NS:text]", "id");
    const std::string before = attributeOf(reference, text + "/preceding-sibling::*[1]", "id");
    ASSERT_FALSE(textId.empty());
    ASSERT_FALSE(containerId.empty());
    ASSERT_FALSE(before.empty());

    const fs::path currentDocument = current / "AppPresentation.xml";
    const fs::path olderDocument = older / "AppPresentation.xml";
    const std::string container = "/NS:root/NS:layout/NS:container[@id=\"" + containerId + "\"]";
    const std::string anyWithId = "//*[@id=\"" + textId + "\"]";
    EXPECT_EQ(countOf(currentDocument, anyWithId), 0);
    EXPECT_EQ(countOf(olderDocument, anyWithId), 1);
    EXPECT_EQ(countOf(olderDocument, container + "/NS:decoration"),
              countOf(currentDocument, container + "/NS:decoration") + 1);

    // The decoration has the text child's geometry, stands where the text child stands, and
    // shows the text child's picture at its size.
    const std::string added = container + "/NS:decoration[@id=\"" + textId + "\"]";
    ASSERT_EQ(countOf(olderDocument, added), 1);
    for (const char* name : {"x", "y", "width", "height"}) {
        EXPECT_EQ(attributeOf(olderDocument, added, name), attributeOf(reference, text, name))
            << name;
    }
    EXPECT_EQ(attributeOf(olderDocument, added + "/preceding-sibling::*[1]", "id"), before);
    const std::string image = attributeOf(olderDocument, added, "image");
    ASSERT_FALSE(image.empty());
    CDVDBuf picture;
    ASSERT_TRUE(picture.Create((older / "tracks" / (image + ".png")).c_str(), nullptr, nullptr));
    int width = 0;
    int height = 0;
    picture.GetWHU(&width, &height, nullptr);
    EXPECT_EQ(std::to_string(width), attributeOf(reference, text, "width"));
    EXPECT_EQ(std::to_string(height), attributeOf(reference, text, "height"));

    // The extra track shifts every later track number, so the documents differ as written...
    const std::string currentText = readFile(currentDocument);
    const std::string olderText = readFile(olderDocument);
    EXPECT_NE(currentText, olderText);
    EXPECT_EQ(
        attributeOf(older / "title.xml", "//NS:presentation", "tracks"),
        std::to_string(
            std::stoi(attributeOf(current / "title.xml", "//NS:presentation", "tracks")) + 1));
    // ...and are the same once the decoration is taken out and track numbers are masked.
    int removed = 0;
    const std::string olderWithout =
        withoutLinesContaining(olderText, "<decoration id=\"" + textId + "\"", &removed);
    EXPECT_EQ(removed, 1);
    const std::string difference = clitest::firstDifference(
        clitest::withoutTrackNumbers(currentText), clitest::withoutTrackNumbers(olderWithout));
    EXPECT_TRUE(difference.empty()) << "the variants differ elsewhere, at " << difference;
}

}  // namespace
