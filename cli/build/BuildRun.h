#pragma once
// One run of `merrowkit build`, as its steps: each step reports what stops it and says whether
// the run goes on. BuildCommand::runOrThrow runs them in order.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cli/build/BuildCommand.h"
#include "cli/build/BuildRequest.h"
#include "cli/build/ComponentLoader.h"
#include "cli/build/ProjectLoader.h"
#include "cli/core/FolderSnapshot.h"
#include "cli/core/StagingFolder.h"
#include "cli/core/WrittenTracks.h"
#include "merrowkit/Services.h"

namespace merrowhost {
class ImageTrackObject;
class PresentationObject;
class TrackSpool;
}  // namespace merrowhost

namespace merrowcli {

class BuildRun {
public:
    explicit BuildRun(const BuildOptions& options);

    // The output folder can be replaced: what a killed run left is put back or removed, and
    // the folder holds nothing but a build's files.
    bool prepareOutputFolder();
    // The project folder given, or the shipped sample.
    bool findProject();
    bool loadComponent();
    // project.xml and the reference document, with the warnings of missing template pictures
    // and of mistakes the component would pass over.
    bool readProject();
    // The component's advanced-title request, with the warnings of pictures it could not use.
    // The staging folder is made first: the tracks' encodings are spooled into it as they are
    // made, so that they do not stay in memory.
    bool createTitle();
    // The pixel budget held, and with --strict, nothing was warned about.
    bool checkLimits() const;
    // The document, the tracks, the title (and the preview) into a staging folder that then
    // takes the output folder's place.
    bool writeOutputs();
    // The references of what was written, as warnings.
    void checkOwnOutput() const;
    // The summary line; the exit status.
    int summarise() const;

private:
    struct ObjectFree {
        void operator()(CzfServiceObject* object) const;
    };
    using OwnedObject = std::unique_ptr<CzfServiceObject, ObjectFree>;

    // The staging folder's sub-folder that receives the encodings; gone before the commit.
    static constexpr const char* kSpoolFolder = ".encoded";
    // Waits for the encoder's last encodings and removes the spool folder.
    bool removeSpool(const merrowhost::PresentationObject* presentation, std::string* error);

    const BuildOptions& options_;
    // The component library goes first and is unloaded last: everything it made is freed
    // before it is unloaded.
    ComponentLoader component_;
    BuildRequest request_;
    std::filesystem::path named_;
    std::filesystem::path target_;
    FolderSnapshot seen_;  // what the output folder held before the run
    // Made by createTitle, committed by writeOutputs; removed when the run stops before.
    std::unique_ptr<StagingFolder> staging_;
    std::shared_ptr<merrowhost::TrackSpool> spool_;
    std::filesystem::path projectFolder_;
    std::filesystem::path library_;
    ProjectLoader project_;
    OwnedObject creator_;
    OwnedObject title_;
    CzfErrorInfo record_{};
    bool result_ = false;
    std::vector<merrowhost::ImageTrackObject*> tracks_;
    std::string documentFile_;
    bool preview_ = false;
    WrittenTracks written_;
};

}  // namespace merrowcli
