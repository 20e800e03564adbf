#pragma once
// Shared by the fuzz targets: a scratch project folder made once per process (project.xml, a
// reference document and the pictures of the small test project), and whole-file writes.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace fuzzsupport {

// The scratch project folder, made on first use and removed when the process ends.
const std::filesystem::path& projectFolder();

// Replaces a file with the given bytes.
void writeBytes(const std::filesystem::path& file, const uint8_t* data, size_t size);

// The pixel budget of one input: far below a build's, so that an input asking for the largest
// renderings is refused quickly instead of taking the time of a real large build.
constexpr int64_t kPixelBudget = int64_t{64} << 20;

}  // namespace fuzzsupport
