#pragma once
// `merrowkit import MEDIA_DIR [-o PROJECT_DIR] [--design DESIGN_DIR] [--gap HOURS]`: makes a
// calendar project folder from a folder of photos and videos, which `merrowkit build` then
// builds: the reference document (the design's layout with the media's navigation data,
// titles and pictures), project.xml, slideshow.xml and the pictures under art/.

#include <filesystem>
#include <optional>
#include <string>

#include "cli/core/Command.h"
#include "cli/import/MediaReader.h"

namespace merrowcli {

class ImportCommand : public Command {
public:
    static constexpr int kImported = 0;
    static constexpr int kFailed = 1;
    static constexpr int kBadInput = 2;
    // The file that marks a folder as written by the import, so that it may be replaced.
    static constexpr const char* kMarkerFile = import::kImportMarkerFile;

    const char* name() const override { return "import"; }
    const char* synopsis() const override {
        return "MEDIA_DIR [-o PROJECT_DIR] [--design DESIGN_DIR] [--gap HOURS] [-j N] "
               "[--no-cache]";
    }
    const char* summary() const override {
        return "make a calendar project from a folder of photos and videos";
    }
    std::string description() const override;
    std::string epilogue() const override;
    void declare(ArgumentParser& parser) override;
    int run() override;

    // The design used without --design: designs/calendar beside the program, in the installed
    // data folder, or in the source tree; empty when there is none.
    static std::filesystem::path defaultDesignFolder();

    // True when target is absent, empty, or a folder that the import wrote and that holds
    // nothing else (its marker file, the three XML files, its cache file and art/ with
    // pictures only).
    // Otherwise false with *error a one-line reason.
    static bool checkTarget(const std::filesystem::path& target, std::string* error);

private:
    int runOrThrow();

    std::optional<std::filesystem::path> mediaFolder_;
    std::optional<std::filesystem::path> projectFolder_;
    std::optional<std::filesystem::path> designFolder_;
    double gapHours_ = 2.0;
    bool gapGiven_ = false;
    int jobs_ = 0;  // -j; 0: not given
    bool noCache_ = false;
};

}  // namespace merrowcli
