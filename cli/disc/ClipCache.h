#pragma once
// The clips that `merrowkit disc` made, kept for the next disc of the same videos: a clip is
// found by a key of its video's content and the conversion settings, so a changed video or a
// changed setting is converted again and an unchanged one is copied from the cache. A clip
// from the cache has the bytes a new conversion would write (the conversion is deterministic).
//
// The key is SHA-256 over the settings, the video's path, size and modification time (to the
// nanosecond) and its first and last MiB: reading the whole of a long video on every run would
// cost as much time as copying it, while an edit changes its size or time, and the bytes at
// both ends catch a file replaced by another of the same size and time.

#include <filesystem>
#include <string>

namespace merrowcli::disc {

class ClipCache {
public:
    // A cache in folder; an empty folder is no cache (nothing found, nothing kept).
    explicit ClipCache(std::filesystem::path folder) : folder_(std::move(folder)) {}

    // $XDG_CACHE_HOME/merrowkit/clips, else $HOME/.cache/merrowkit/clips; empty when neither
    // variable names an absolute folder.
    static std::filesystem::path defaultFolder();

    bool enabled() const { return !folder_.empty(); }
    const std::filesystem::path& folder() const { return folder_; }

    // The key of a video for these settings (settingsKey: ClipSettings::key()). False with
    // *error naming the video when it cannot be read.
    static bool keyOf(const std::filesystem::path& video, const std::string& settingsKey,
                      std::string* key, std::string* error);

    // Copies the clip kept under key to clip (a new file); false when there is none (or it
    // cannot be copied: the clip is then made anew).
    bool fetch(const std::string& key, const std::filesystem::path& clip) const;
    // Keeps a copy of clip under key: written beside its place and renamed into it, so the
    // cache never holds half a clip. False with *error when it cannot.
    bool keep(const std::string& key, const std::filesystem::path& clip, std::string* error) const;

private:
    std::filesystem::path entry(const std::string& key) const;

    std::filesystem::path folder_;
};

}  // namespace merrowcli::disc
