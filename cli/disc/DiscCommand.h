#pragma once
// `merrowkit disc`: builds a project as `merrowkit build` does, compiles its calendar menu and
// writes a Blu-ray disc folder whose BD-J title plays it (see DiscImage for what goes where).
// The disc folder is replaced only when the new one is complete, as a build's output folder.

#include <filesystem>
#include <optional>
#include <string>

#include "cli/core/Command.h"

namespace merrowcli::disc {

class DiscCommand : public Command {
public:
    static constexpr int kWritten = 0;
    static constexpr int kServiceFailed = 1;  // the build's service returned false
    static constexpr int kCannotRun = 2;      // bad usage or input, or nothing could be written

    static constexpr const char* kDefaultDiscFolder = "merrowkit-disc";

    const char* name() const override { return "disc"; }
    const char* synopsis() const override {
        return "PROJECT_DIR [-o DISC_DIR] [--variant current|older] [--no-cache]";
    }
    const char* summary() const override {
        return "write a Blu-ray disc folder that plays a project's calendar menu";
    }
    std::string description() const override;
    std::string epilogue() const override;
    void declare(ArgumentParser& parser) override;
    int run() override;

private:
    int runOrThrow();

    std::optional<std::filesystem::path> project_;
    std::optional<std::filesystem::path> disc_;
    std::string variant_ = "current";
    bool useClipCache_ = true;
};

}  // namespace merrowcli::disc
