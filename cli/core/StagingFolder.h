#pragma once
// The output folder of a build is written into a fresh folder beside it and swapped into place
// only when everything was written, so that a failed or killed run never leaves a half-written
// output folder and never loses the previous one. The folders beside it are named
// ".NAME.staging-PID-XXXXXX" (a build being written, or after the swap the previous output) and
// ".NAME.old-PID-XXXXXX" (the previous output moved aside where no swap is possible). Each
// carries the run's stamp (RunStamp.h) while it is beside the output; the next run cleans up
// only the stamped folders of a process that is gone (recover()). Before the swap the output
// folder is looked at again: whatever appeared in it since the run checked it is kept.

#include <filesystem>
#include <memory>
#include <string>
#include <utility>

#include "cli/core/FolderSnapshot.h"
#include "host/framework/AtomicFileWriter.h"

namespace merrowcli {

class StagingFolder {
public:
    StagingFolder() = default;
    // Removes the staging folder when it was not committed.
    ~StagingFolder();
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    // The absolute, normalised form of an output folder argument; empty when it names no folder
    // that can be replaced (for example "/").
    static std::filesystem::path normaliseTarget(const std::filesystem::path& target);

    // What stands at an output folder's place: nothing (there is nothing to replace), a folder
    // whose entries the caller checks, or something that is refused (*error says why).
    enum class TargetState { kMissing, kFolder, kRefused };
    static TargetState targetState(const std::filesystem::path& target, std::string* error);

    // True when target is absent, or a folder that holds only what a build writes. Otherwise
    // false with *error a one-line reason.
    static bool checkTarget(const std::filesystem::path& target, std::string* error);

    // What a killed run left beside target: when target is missing, the newest forsaken
    // previous output (".NAME.old-...") is put back in its place; then every folder of our
    // naming that carries the stamp of a process that is gone is removed, and such a stamp
    // left in target itself is taken off. *restored names the folder put back (empty when
    // none). False with *error when target is missing and a forsaken output cannot be put back.
    static bool recover(const std::filesystem::path& target, std::filesystem::path* restored,
                        std::string* error);

    // Makes a new empty folder beside target (creating target's parent folders when needed),
    // with the mode the umask gives a new folder. Until commit, files written through
    // AtomicFileWriter are not synced one by one (merrowhost::DeferredSyncScope).
    bool create(const std::filesystem::path& target, std::string* error);
    const std::filesystem::path& path() const { return path_; }

    // What the run saw at target when it checked it (FolderSnapshot::take before checkTarget);
    // without it, target is expected to be missing or empty. Anything that target holds beyond
    // it at the commit makes the commit fail and keeps both folders.
    void expect(FolderSnapshot seen) { expected_ = std::move(seen); }

    // Puts everything written into the staging folder on disk at once (syncfs of its file
    // system; each file and folder synced where that fails), looks at target again (see
    // expect(); when something new is there, fails and keeps the staging folder, unstamped and
    // named in *error), then moves the staging folder to target. An existing target is swapped with it in one step
    // (renameat2 with RENAME_EXCHANGE), then the previous output removed; where the file system
    // cannot swap, the old target is renamed aside, the new folder renamed in (and the old one put
    // back when that fails). False with *error set on failure. When the old folder cannot be
    // removed afterwards, or holds something that appeared in the moment before the swap (it
    // is then kept), the commit still succeeds and warning() says so.
    bool commit(std::string* error);
    const std::string& warning() const { return warning_; }

private:
    void discard() noexcept;

    bool syncContents(std::string* error) const;

    std::filesystem::path target_;
    std::filesystem::path path_;
    std::unique_ptr<merrowhost::DeferredSyncScope> deferredSync_;
    bool committed_ = false;
    bool kept_ = false;  // the commit found something new at target: the folder stays
    FolderSnapshot expected_;
    std::string warning_;
};

}  // namespace merrowcli
