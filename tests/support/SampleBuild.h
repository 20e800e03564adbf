#pragma once
// The shipped sample project as the golden and variant tests use it: where it and its golden
// outputs are, building it with one component variant, and telling where two texts part.

#include <filesystem>
#include <string>

#include "support/CliTestSupport.h"

namespace clitest {

// samples/calendar of the source tree.
std::filesystem::path sampleProject();

// tests/data/golden/VARIANT: the expected AppPresentation.xml and title.xml of the sample.
std::filesystem::path goldenFolder(const std::string& variant);

// Runs `merrowkit build SAMPLE -o outFolder --variant variant` in workingFolder.
CommandResult buildSample(const std::string& variant, const std::filesystem::path& outFolder,
                          const std::filesystem::path& workingFolder);

// Empty when the two texts are equal; otherwise names the first line where they differ, with
// both versions of it ("line N", expected, actual), or says which one ends early.
std::string firstDifference(const std::string& expected, const std::string& actual);

// The text with every track identifier ("track_" and digits) replaced by "track_#".
std::string withoutTrackNumbers(const std::string& text);

}  // namespace clitest
