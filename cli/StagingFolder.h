#pragma once
// The output folder of a build is written into a fresh folder beside it and moved into place
// only when everything was written, so that a failed run never leaves a half-written output
// folder and never destroys the previous one.

#include <filesystem>
#include <string>

namespace merrowcli {

class StagingFolder {
public:
    // The names a build writes into its output folder; an existing output folder is replaced
    // only when it holds nothing else (so a mistyped -o never wipes a folder of other files).
    static constexpr const char* kDocumentFile = "AppPresentation.xml";
    static constexpr const char* kTitleFile = "title.xml";
    static constexpr const char* kTracksFolder = "tracks";
    static constexpr const char* kPreviewFile = "preview.html";  // build --preview, preview

    StagingFolder() = default;
    // Removes the staging folder when it was not committed.
    ~StagingFolder();
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    // The absolute, normalised form of an output folder argument; empty when it names no folder
    // that can be replaced (for example "/").
    static std::filesystem::path normaliseTarget(const std::filesystem::path& target);

    // True when target is absent, or a folder that holds only what a build writes. Otherwise
    // false with *error a one-line reason.
    static bool checkTarget(const std::filesystem::path& target, std::string* error);

    // Makes a new empty folder beside target (creating target's parent folders when needed).
    bool create(const std::filesystem::path& target, std::string* error);
    const std::filesystem::path& path() const { return path_; }

    // Moves the staging folder to target: the old target is renamed aside, the new folder
    // renamed in, then the old one removed. When the second rename fails the old target is put
    // back. False with *error set on failure. When the old folder cannot be removed afterwards
    // the commit still succeeds and warning() says so.
    bool commit(std::string* error);
    const std::string& warning() const { return warning_; }

private:
    void discard() noexcept;

    std::filesystem::path target_;
    std::filesystem::path path_;
    bool committed_ = false;
    std::string warning_;
};

}  // namespace merrowcli
