#pragma once
// One run of `merrowkit import`, as its steps: each step reports what stops it (and the exit
// status that goes with it) and says whether the run goes on. ImportCommand::runOrThrow runs
// them in order.

#include <cstddef>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "cli/core/FolderSnapshot.h"
#include "cli/core/StagingFolder.h"
#include "cli/import/ArtPlan.h"
#include "cli/import/ArtWriter.h"
#include "cli/import/Calendar.h"
#include "cli/import/Design.h"
#include "cli/import/ImportCache.h"
#include "cli/import/Media.h"

namespace merrowcli {

struct ImportOptions {
    std::filesystem::path mediaFolder;
    std::filesystem::path projectFolder;  // as named on the command line
    std::filesystem::path designFolder;   // empty: the shipped design
    double gapHours = 2.0;
    int jobs = 0;           // workers reading and drawing (-j); 0: MERROWKIT_JOBS, else the cores
    bool readCache = true;  // false (--no-cache): the previous import's cache is not used
};

class ImportRun {
public:
    explicit ImportRun(ImportOptions options);

    bool checkMediaFolder();
    bool loadDesign();
    // The project folder can be replaced: what a killed run left is put back or removed, and
    // the folder holds nothing but what an import writes.
    bool prepareProjectFolder();
    // Every photo and video of the media folder, with a line for each one skipped; the
    // calendar they make and the pictures it needs.
    bool readMedia();
    // The three XML files, the marker and the design's pictures into a staging folder.
    bool writeProject();
    // The thumbnails and text pictures, into the staging folder.
    bool drawArt();
    // The cache of what this run read and drew, for the next import, into the staging folder.
    bool writeCache();
    // The staging folder takes the project folder's place.
    bool commit();
    // The summary line.
    void summarise() const;

    // The exit status of the step that stopped the run.
    int failure() const { return failure_; }

private:
    bool fail(int status, const std::string& message);
    bool copyDesignPictures();
    // The previous import's cache in the project folder, as far as it still applies.
    void loadCache();

    ImportOptions options_;
    std::string mediaShown_;
    int workers_ = 1;
    import::Design design_;
    std::filesystem::path target_;
    FolderSnapshot seen_;              // what the project folder held before the run
    std::string recordedMediaFolder_;  // as project.xml records it
    import::ImportCache previous_;     // what the previous import read and drew
    import::ImportCache next_;         // what this one reads and draws
    std::map<std::string, import::FileStamp> stamps_;  // each media file's, by its path
    size_t filesSeen_ = 0;                             // read, or taken from the cache
    size_t filesFromCache_ = 0;
    std::vector<import::MediaItem> items_;
    size_t duplicates_ = 0;  // files left out as exact copies of another
    import::Calendar calendar_;
    import::ArtPlan plan_;
    StagingFolder staging_;
    import::ArtResult art_;
    int failure_ = 0;
};

}  // namespace merrowcli
