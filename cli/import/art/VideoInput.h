#pragma once
// The one way the import opens a video with libavformat: the file protocol only (no URL, and a
// playlist cannot reach other files), the container formats a camera writes (QuickTime/MP4,
// Matroska, MPEG transport stream, AVI) and a deadline after which libavformat's blocking
// reads give up.

#include <chrono>
#include <filesystem>
#include <string>

struct AVFormatContext;

namespace merrowcli::import {

class VideoInput {
public:
    // The container formats opened, as libavformat's demuxers are named.
    static constexpr const char* kFormats = "mov,mp4,matroska,webm,mpegts,avi";
    // How long opening and reading one video may take.
    static constexpr std::chrono::seconds kDeadline{30};

    VideoInput() = default;
    ~VideoInput();
    VideoInput(const VideoInput&) = delete;
    VideoInput& operator=(const VideoInput&) = delete;

    // Opens the file and reads its stream information. False with *problem set (libavformat's
    // reason) when it cannot, is not of a format above, or takes past the deadline.
    bool open(const std::filesystem::path& file, std::string* problem);
    AVFormatContext* context() const { return context_; }

private:
    static int interrupted(void* input);

    AVFormatContext* context_ = nullptr;
    std::chrono::steady_clock::time_point deadline_;
};

}  // namespace merrowcli::import
