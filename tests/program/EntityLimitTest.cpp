// Every reader of XML refuses a document whose internal entities expand beyond the small
// total the host allows (one large entity named many times made a build run for minutes): the
// build's reference document, the check's and the preview's AppPresentation.xml, and the
// import's design. Each stops at once with status 2 and one line naming the file.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "support/CliTestSupport.h"

namespace {

namespace fs = std::filesystem;
using clitest::CommandResult;
using clitest::readFile;
using clitest::runMerrowkit;
using clitest::writeFile;

constexpr const char* kProblem = "its internal entities expand to more than 1 MiB; refused";

// The document with a 20 KB entity declared before its root and named 100 times (2 MB in
// all) as text of the root element, on the line after its start tag; *line is the line of the
// root element (where its start tag ends), which the refusal names.
std::string withLargeEntity(const std::string& document, int* line) {
    const size_t root = document.find("<root");
    const size_t rootEnd = document.find('>', root);
    std::string text = document.substr(0, root) + "<!DOCTYPE root [<!ENTITY big \"" +
                       std::string(20000, 'x') + "\">]>\n" +
                       document.substr(root, rootEnd + 1 - root);
    *line = 1;
    for (const char c : text) *line += c == '\n' ? 1 : 0;
    text += "\n";
    for (int i = 0; i < 100; ++i) text += "&big;";
    return text + document.substr(rootEnd + 1);
}

class EntityLimit : public ::testing::Test {
protected:
    // Runs the command and checks that it is refused quickly with the one line.
    void expectRefused(const std::vector<std::string>& args, const std::string& located) {
        const auto start = std::chrono::steady_clock::now();
        const CommandResult run = runMerrowkit(args, temp_.path());
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_EQ(run.err, located + ": " + kProblem + "\n");
        EXPECT_LT(seconds, 20.0);
    }

    clitest::TemporaryFolder temp_;
};

TEST_F(EntityLimit, EveryReaderRefusesALargeExpansion) {
    const fs::path project = clitest::copyTestProject("small", temp_.path(), "project");
    const fs::path out = temp_.path() / "out";
    ASSERT_EQ(runMerrowkit({"build", project.string(), "-o", out.string()}, temp_.path()).status,
              0);
    int line = 0;

    // build: the reference document.
    const fs::path reference = project / "presentation.xml";
    const std::string original = readFile(reference);
    writeFile(reference, withLargeEntity(original, &line));
    expectRefused({"build", project.string(), "-o", (temp_.path() / "out2").string()},
                  reference.string() + ":" + std::to_string(line));
    EXPECT_FALSE(fs::exists(temp_.path() / "out2"));
    writeFile(reference, original);

    // check and preview: the output's document.
    const fs::path document = out / "AppPresentation.xml";
    writeFile(document, withLargeEntity(readFile(document), &line));
    const std::string located = document.string() + ":" + std::to_string(line);
    expectRefused({"check", out.string()}, located);
    expectRefused({"preview", out.string()}, located);
    EXPECT_FALSE(fs::exists(out / "preview.html"));

    // import: the design.
    const fs::path design = temp_.path() / "design";
    fs::copy(fs::path(MERROWKIT_SOURCE_DIR) / "designs" / "calendar", design,
             fs::copy_options::recursive);
    writeFile(design / "design.xml", withLargeEntity(readFile(design / "design.xml"), &line));
    const fs::path media = fs::path(MERROWKIT_SOURCE_DIR) / "samples" / "media";
    expectRefused({"import", media.string(), "--design", design.string(), "-o",
                   (temp_.path() / "imported").string()},
                  (design / "design.xml").string() + ":" + std::to_string(line));
}

// Entities named in attribute values count as well; a few small ones are fine.
TEST_F(EntityLimit, AttributeValuesCountAndSmallEntitiesPass) {
    const fs::path project = clitest::copyTestProject("small", temp_.path(), "project");
    const fs::path reference = project / "presentation.xml";
    const std::string original = readFile(reference);
    const size_t root = original.find("<root");
    const size_t rootEnd = original.find('>', root);
    const auto document = [&](int size, int uses) {
        std::string attribute;
        for (int i = 0; i < uses; ++i) attribute += "&e;";
        return original.substr(0, root) + "<!DOCTYPE root [<!ENTITY e \"" +
               std::string(static_cast<size_t>(size), 'y') + "\">]>\n" +
               original.substr(root, rootEnd - root) + " note=\"" + attribute + "\"" +
               original.substr(rootEnd);
    };
    writeFile(reference, document(2000, 600));
    const CommandResult refused = runMerrowkit(
        {"build", project.string(), "-o", (temp_.path() / "a").string()}, temp_.path());
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find(kProblem), std::string::npos) << refused.err;

    writeFile(reference, document(10, 3));
    const CommandResult built = runMerrowkit(
        {"build", project.string(), "-o", (temp_.path() / "b").string()}, temp_.path());
    EXPECT_EQ(built.status, 0) << built.err;
}

}  // namespace
