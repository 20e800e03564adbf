#pragma once
// `merrowkit build`: loads a project, runs the component's advanced-title request on it and
// writes the outputs (see OutputWriter) into the output folder, replacing the previous output
// only when the new one is complete.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/core/Command.h"

namespace merrowcli {

struct BuildOptions {
    std::optional<std::filesystem::path> projectFolder;  // default: the shipped sample
    std::optional<std::filesystem::path> outputFolder;   // default: ./merrowkit-out
    std::string variant = "current";                     // "current" or "older"
    bool allowOutside = false;  // read files outside the project folder too
    bool strict = false;        // warnings are bad input
    bool preview = false;       // also write OUT_DIR/preview.html
};

class BuildCommand : public Command {
public:
    // Exit statuses.
    static constexpr int kSucceeded = 0;      // the service returned true
    static constexpr int kServiceFailed = 1;  // it returned false; the outputs are written
    static constexpr int kCannotRun = 2;      // bad usage or input, or nothing could be written

    static constexpr const char* kDefaultOutputFolder = "merrowkit-out";

    BuildCommand() = default;
    explicit BuildCommand(BuildOptions options);

    const char* name() const override { return "build"; }
    const char* synopsis() const override {
        return "[PROJECT_DIR] [-o OUT_DIR] [--variant current|older] [--allow-outside] "
               "[--strict] [--preview]";
    }
    const char* summary() const override { return "build the calendar menu of a project folder"; }
    std::string description() const override;
    std::string epilogue() const override;
    void declare(ArgumentParser& parser) override;

    // Runs the build; messages go to stderr, a one-line summary to stdout.
    int run() override;

    // The folders a build reads from unless --allow-outside is given: the project folder and
    // the template folders beside the program.
    static std::vector<std::string> readableFolders(const std::filesystem::path& projectFolder);

    // The shipped sample project: samples/calendar next to the program, else in the source
    // tree the program was built from. Empty when neither exists.
    static std::filesystem::path sampleProjectFolder();

private:
    int runOrThrow();

    BuildOptions options_;
};

}  // namespace merrowcli
