#include "support/SampleBuild.h"

#include <algorithm>
#include <regex>
#include <vector>

namespace clitest {

namespace fs = std::filesystem;

fs::path sampleProject() {
    return fs::path(MERROWKIT_SOURCE_DIR) / "samples" / "calendar";
}

fs::path goldenFolder(const std::string& variant) {
    return fs::path(MERROWKIT_TEST_DATA) / "golden" / variant;
}

CommandResult buildSample(const std::string& variant, const fs::path& outFolder,
                          const fs::path& workingFolder) {
    return runMerrowkit(
        {"build", sampleProject().string(), "-o", outFolder.string(), "--variant", variant},
        workingFolder);
}

std::string firstDifference(const std::string& expected, const std::string& actual) {
    if (expected == actual) return "";
    const std::vector<std::string> want = linesOf(expected);
    const std::vector<std::string> got = linesOf(actual);
    const size_t common = std::min(want.size(), got.size());
    for (size_t i = 0; i < common; ++i) {
        if (want[i] != got[i]) {
            return "line " + std::to_string(i + 1) + ":\n  expected: " + want[i] +
                   "\n  actual:   " + got[i];
        }
    }
    if (want.size() > got.size()) {
        return "line " + std::to_string(common + 1) +
               ": the output ends here; expected: " + want[common];
    }
    if (got.size() > want.size()) {
        return "line " + std::to_string(common + 1) + ": expected the end; actual: " + got[common];
    }
    // Same lines, different bytes: only the final line end can differ.
    return "line " + std::to_string(common) + ": the texts differ in the final line end";
}

std::string withoutTrackNumbers(const std::string& text) {
    static const std::regex kTrack("track_[0-9]+");
    return std::regex_replace(text, kTrack, "track_#");
}

}  // namespace clitest
