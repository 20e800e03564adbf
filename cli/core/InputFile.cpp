#include "cli/core/InputFile.h"

#include <climits>

#include "host/framework/RegularFile.h"

namespace merrowcli {

namespace {

// libxml2 takes the size of a document as an int.
constexpr long long kLargestInput = INT_MAX;

}  // namespace

std::string located(const std::string& file, int line, const std::string& problem) {
    if (line <= 0) return file + ": " + problem;
    return file + ":" + std::to_string(line) + ": " + problem;
}

bool readInputFile(const std::filesystem::path& file, const std::string& shown, std::string* bytes,
                   std::string* error) {
    merrowhost::RegularFile input;
    std::string problem;
    if (!input.open(file.string(), &problem)) {
        if (problem == "No such file or directory") problem = "no such file";
        *error = located(shown, 0, problem);
        return false;
    }
    if (!input.readAll(bytes, &problem, kLargestInput)) {
        *error = located(shown, 0, problem.rfind("larger", 0) == 0 ? "too large" : problem);
        return false;
    }
    return true;
}

}  // namespace merrowcli
