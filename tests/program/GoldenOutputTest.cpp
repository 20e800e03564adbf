// The shipped sample project, built by the command with each component variant, against the
// golden copies of its document and title description in tests/data/golden. After an intended
// change of the output, scripts/refresh-golden rewrites the golden copies.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>

#include "host/pictures/DvdBuf.h"
#include "support/CliTestSupport.h"
#include "support/SampleBuild.h"

namespace {

namespace fs = std::filesystem;
using clitest::attributeOf;
using clitest::readFile;

// The picture the component shows when an element cannot be rendered: 100 x 100, one colour,
// alpha 50 everywhere.
bool isFallbackPicture(const fs::path& file) {
    CDVDBuf colour;
    uint8_t* alphaPlane = nullptr;
    if (!colour.Create(file.c_str(), nullptr, &alphaPlane)) return false;
    CDVDBuf alpha;
    int width = 0;
    int height = 0;
    colour.GetWHU(&width, &height, nullptr);
    alpha.Adopt(alphaPlane, 8, width, height);
    if (width != 100 || height != 100 || alpha.GetBuffer() == nullptr) return false;
    const uint8_t* pixels = colour.GetBuffer();
    const int colourStride = CDVDBuf::Stride(24, width);
    const int alphaStride = CDVDBuf::Stride(8, width);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint8_t* pixel = pixels + y * colourStride + x * 3;
            if (pixel[0] != pixels[0] || pixel[1] != pixels[1] || pixel[2] != pixels[2] ||
                alpha.GetBuffer()[y * alphaStride + x] != 50) {
                return false;
            }
        }
    }
    return true;
}

class GoldenOutput : public ::testing::TestWithParam<const char*> {
protected:
    // Builds the sample with this test's variant; the outputs are in out().
    void buildSample() {
        const clitest::CommandResult run = clitest::buildSample(GetParam(), out(), temp_.path());
        ASSERT_EQ(run.status, 0) << run.err;
        ASSERT_EQ(run.err, "");
    }
    fs::path out() const { return temp_.path() / "out"; }

    clitest::TemporaryFolder temp_;
};

TEST_P(GoldenOutput, SampleBuildEqualsTheGoldenFilesByteForByte) {
    ASSERT_NO_FATAL_FAILURE(buildSample());
    for (const char* name : {"AppPresentation.xml", "title.xml"}) {
        const fs::path golden = clitest::goldenFolder(GetParam()) / name;
        ASSERT_TRUE(fs::is_regular_file(golden)) << golden << " is missing";
        const std::string difference =
            clitest::firstDifference(readFile(golden), readFile(out() / name));
        EXPECT_TRUE(difference.empty())
            << name << " of the " << GetParam() << " variant differs from " << golden.string()
            << " at " << difference
            << "\n(when the change is intended: scripts/refresh-golden, then review the diff)";
    }
}

// Every track the document or the title names is written, every written track is named, and
// every one is a real picture: the sample leaves no provider or picture out.
TEST_P(GoldenOutput, EveryTrackOfTheSampleIsNamedAndARealPicture) {
    ASSERT_NO_FATAL_FAILURE(buildSample());
    std::set<std::string> named;
    for (const std::string& value :
         clitest::trackReferences(readFile(out() / "AppPresentation.xml"))) {
        if (value == "data\\Loading.png") continue;  // the loading animation's own file
        EXPECT_FALSE(value.empty());
        named.insert(value);
    }
    const std::string background = attributeOf(out() / "title.xml", "//NS:media", "object");
    ASSERT_FALSE(background.empty());
    named.insert(background);

    std::set<std::string> written;
    for (const fs::directory_entry& entry : fs::directory_iterator(out() / "tracks")) {
        ASSERT_EQ(entry.path().extension(), ".png") << entry.path();
        written.insert(entry.path().stem().string());
        CDVDBuf picture;
        EXPECT_TRUE(picture.Create(entry.path().c_str(), nullptr, nullptr))
            << entry.path() << ": " << picture.lastError();
        EXPECT_FALSE(isFallbackPicture(entry.path())) << entry.path() << " is the fallback";
    }
    EXPECT_EQ(named, written);
    // The background is the one track that is not the presentation's.
    EXPECT_EQ(attributeOf(out() / "title.xml", "//NS:presentation", "tracks"),
              std::to_string(written.size() - 1));
}

// The check above would let a fallback pass unnoticed if it did not know one when it sees it:
// the sample with the caption's picture file taken away shows the fallback there.
TEST(GoldenOutputCheck, KnowsTheFallbackPictureWhenItSeesIt) {
    clitest::TemporaryFolder temp;
    const fs::path project = temp.path() / "sample";
    fs::copy(clitest::sampleProject(), project, fs::copy_options::recursive);
    fs::remove(project / "art" / "caption_year.png");
    const fs::path out = temp.path() / "out";
    const clitest::CommandResult run = clitest::runMerrowkit(
        {"build", project.string(), "-o", out.string(), "--variant", "older"}, temp.path());
    ASSERT_EQ(run.status, 0) << run.err;
    const fs::path document = out / "AppPresentation.xml";
    const std::string caption =
        attributeOf(document, "//NS:decoration[@id=\"Y_CAPTION\"]", "image");
    ASSERT_FALSE(caption.empty());
    EXPECT_TRUE(isFallbackPicture(out / "tracks" / (caption + ".png")));
    const std::string panel =
        attributeOf(document, "//NS:decoration[@id=\"Y_BACKGROUND\"]", "image");
    ASSERT_FALSE(panel.empty());
    EXPECT_FALSE(isFallbackPicture(out / "tracks" / (panel + ".png")));
}

INSTANTIATE_TEST_SUITE_P(Variants, GoldenOutput, ::testing::Values("current", "older"),
                         [](const ::testing::TestParamInfo<const char*>& param) {
                             return std::string(param.param);
                         });

TEST(SampleBuildSupport, FirstDifferenceNamesTheFirstDifferingLineOrTheEarlyEnd) {
    EXPECT_EQ(clitest::firstDifference("a\nb\nc\n", "a\nb\nc\n"), "");
    EXPECT_EQ(clitest::firstDifference("a\nb\nc\n", "a\nB\nc\n"),
              "line 2:\n  expected: b\n  actual:   B");
    EXPECT_EQ(clitest::firstDifference("a\nb\n", "a\n"),
              "line 2: the output ends here; expected: b");
    EXPECT_EQ(clitest::firstDifference("a\n", "a\nb\n"), "line 2: expected the end; actual: b");
    EXPECT_EQ(clitest::firstDifference("a\nb\n", "a\nb"),
              "line 2: the texts differ in the final line end");
}

TEST(SampleBuildSupport, WithoutTrackNumbersMasksEveryTrackIdentifier) {
    EXPECT_EQ(clitest::withoutTrackNumbers(R"(<a image="track_0005" b="track_12345x"/>)"),
              R"(<a image="track_#" b="track_#x"/>)");
}

}  // namespace
