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
#include "cli/disc/ClipStep.h"
#include "cli/disc/ClipTitles.h"
#include "cli/menu/MenuCompiler.h"
#include "cli/menu/MenuModel.h"

namespace merrowcli::disc {

struct DiscOptions {
    std::filesystem::path projectFolder;
    std::filesystem::path discFolder;  // as the user named it
    std::string variant = "current";
    bool useClipCache = true;  // --no-cache turns it off
};

class DiscRun {
public:
    explicit DiscRun(DiscOptions options) : options_(std::move(options)) {}

    // Each step reports its own problem and returns false when the run must stop; buildProject
    // also tells whether the component refused the title (status 1 rather than 2).
    bool prepareDiscFolder();
    bool findPlayer();
    // The titles' videos and chapters from project.xml (a warning for each title without one).
    bool readTitles();
    bool buildProject(bool* serviceFailed);
    bool writeSlides();
    bool compileMenu();
    bool writeDisc();
    // Every title's video as BDMV/STREAM/NNNNN.m2ts (from the clip cache when it holds it).
    bool writeClips();
    // The clip information and playlist of every clip in BDMV/STREAM, marks at the titles'
    // chapters.
    bool writePlaylists();
    bool commit();
    void summarise() const;

    const std::vector<TitleClip>& titleClips() const { return titleClips_; }

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
    std::vector<TitleClip> titleClips_;
    ClipCounts clipCounts_;
    size_t playlistsWritten_ = 0;
};

}  // namespace merrowcli::disc
