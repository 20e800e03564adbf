#pragma once
// The output folder of a build is written into a fresh folder beside it and swapped into place
// only when everything was written, so that a failed or killed run never leaves a half-written
// output folder and never loses the previous one. The folders beside it are named
// ".NAME.staging-PID-XXXXXX" (a build being written, or after the swap the previous output) and
// ".NAME.old-PID-XXXXXX" (the previous output moved aside where no swap is possible); the next
// run cleans up those of a process that is gone (recover()).

#include <filesystem>
#include <memory>
#include <string>

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
    // naming whose process is gone is removed. *restored names the folder put back (empty when
    // none). False with *error when target is missing and a forsaken output cannot be put back.
    static bool recover(const std::filesystem::path& target, std::filesystem::path* restored,
                        std::string* error);

    // Makes a new empty folder beside target (creating target's parent folders when needed),
    // with the mode the umask gives a new folder. Until commit, files written through
    // AtomicFileWriter are not synced one by one (merrowhost::DeferredSyncScope).
    bool create(const std::filesystem::path& target, std::string* error);
    const std::filesystem::path& path() const { return path_; }

    // Puts everything written into the staging folder on disk at once (syncfs of its file
    // system; each file and folder synced where that fails), then moves the staging folder to
    // target. An existing target is swapped with it in one step
    // (renameat2 with RENAME_EXCHANGE), then the previous output removed; where the file system
    // cannot swap, the old target is renamed aside, the new folder renamed in (and the old one put
    // back when that fails). False with *error set on failure. When the old folder cannot be
    // removed afterwards the commit still succeeds and warning() says so.
    bool commit(std::string* error);
    const std::string& warning() const { return warning_; }

private:
    void discard() noexcept;

    bool syncContents(std::string* error) const;

    std::filesystem::path target_;
    std::filesystem::path path_;
    std::unique_ptr<merrowhost::DeferredSyncScope> deferredSync_;
    bool committed_ = false;
    std::string warning_;
};

}  // namespace merrowcli
