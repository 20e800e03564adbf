#pragma once
// One run of `merrowkit disc`, as the list of its steps: make sure the disc folder may be
// replaced, build the project into the staging folder, compile its menu model, lay out the
// disc around them, and swap the new disc into place.

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "cli/core/FolderSnapshot.h"
#include "cli/core/StagingFolder.h"
#include "cli/disc/PlaylistWriter.h"
#include "cli/menu/MenuCompiler.h"
#include "cli/menu/MenuModel.h"

namespace merrowcli::disc {

struct DiscOptions {
    std::filesystem::path projectFolder;
    std::filesystem::path discFolder;  // as the user named it
    std::string variant = "current";
};

class DiscRun {
public:
    explicit DiscRun(DiscOptions options) : options_(std::move(options)) {}

    // Each step reports its own problem and returns false when the run must stop; buildProject
    // also tells whether the component refused the title (status 1 rather than 2).
    bool prepareDiscFolder();
    bool findPlayer();
    bool buildProject(bool* serviceFailed);
    bool writeSlides();
    bool compileMenu();
    bool writeDisc();
    // The clip information and playlist of every clip in BDMV/STREAM, marks at titles_' chapters.
    bool writePlaylists();
    bool commit();
    void summarise() const;

private:
    std::filesystem::path buildFolder() const;

    DiscOptions options_;
    std::filesystem::path target_;
    FolderSnapshot seen_;  // what the disc folder held before the run
    std::filesystem::path playerJar_;
    StagingFolder staging_;
    menu::SlideshowFacts slideshow_;
    menu::MenuModel model_;
    std::string modelBytes_;
    // The chapters of each title that has a video, for its playlist's marks.
    std::vector<TitleChapters> titles_;
    size_t playlistsWritten_ = 0;
};

}  // namespace merrowcli::disc
