#pragma once
// `merrowkit check OUT_DIR`: checks that every reference of a build's output holds (see
// check/ReferenceCheck) and writes one "FILE:LINE: problem" line per broken one.
// `merrowkit check DISC_DIR` (a folder with BDMV/index.bdmv, or --disc): checks that the disc's
// titles can play (see check/DiscCheck), one "FILE: problem" line each.

#include <filesystem>
#include <optional>
#include <string>

#include "cli/core/Command.h"

namespace merrowcli {

class CheckCommand : public Command {
public:
    // Exit statuses.
    static constexpr int kAllHold = 0;
    static constexpr int kBroken = 1;
    static constexpr int kCannotRead = 2;

    const char* name() const override { return "check"; }
    const char* synopsis() const override { return "OUT_DIR | [--disc] DISC_DIR"; }
    const char* summary() const override {
        return "check a build's output (its references) or a disc folder (its titles)";
    }
    std::string description() const override;
    std::string epilogue() const override;
    void declare(ArgumentParser& parser) override;
    int run() override;

private:
    int checkFolder() const;
    int checkDiscFolder() const;

    std::optional<std::filesystem::path> folder_;
    bool disc_ = false;
};

}  // namespace merrowcli
