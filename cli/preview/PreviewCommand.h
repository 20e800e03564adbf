#pragma once
// `merrowkit preview OUT_DIR [-o FILE]`: writes one self-contained HTML page that plays the
// document of a build's output with the remote's keys (see preview/ and the README's "How the
// preview plays the document").

#include <filesystem>
#include <optional>
#include <string>

#include "cli/core/Command.h"

namespace merrowcli {

class PreviewCommand : public Command {
public:
    // Exit statuses.
    static constexpr int kWritten = 0;
    static constexpr int kCannotWrite = 2;  // bad usage, unreadable document, unwritable file

    const char* name() const override { return "preview"; }
    const char* synopsis() const override { return "OUT_DIR [-o FILE]"; }
    const char* summary() const override {
        return "write a web page that plays a build's menu with the remote's keys";
    }
    std::string description() const override;
    std::string epilogue() const override;
    void declare(ArgumentParser& parser) override;
    int run() override;

    // OUT_DIR/preview.html.
    static std::filesystem::path defaultFile(const std::filesystem::path& folder);

private:
    std::optional<std::filesystem::path> folder_;
    std::optional<std::filesystem::path> file_;
};

}  // namespace merrowcli
