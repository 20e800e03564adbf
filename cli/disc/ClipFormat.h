#pragma once
// What a Blu-ray player accepts, and what a title's video must become: whether its video and
// audio streams can be copied into the clip as they are, and else the picture size and frame
// rate they are converted to.

#include <cstdint>
#include <string>

namespace merrowcli::disc {

// A rational frame rate, e.g. 24000/1001.
struct FrameRate {
    int num = 0;
    int den = 1;
    double value() const { return den != 0 ? static_cast<double>(num) / den : 0; }
    bool operator==(const FrameRate&) const = default;
};

// The facts of a video stream that decide whether it can be copied.
struct VideoFacts {
    std::string codec;  // libavcodec's name, "h264", ...
    int profile = -1;   // H.264 profile_idc (77 Main, 100 High)
    int level = -1;     // H.264 level_idc (41 is 4.1)
    int width = 0;
    int height = 0;
    FrameRate rate;
    bool interlaced = false;
    int rotation = 0;  // clockwise degrees that turn the stored picture upright: 0, 90, 180, 270
    bool squarePixels = true;
};

struct AudioFacts {
    std::string codec;  // empty: the video has no audio
    int sampleRate = 0;
};

// H.264 Main or High, level 4.1 at most, 1920x1080 (23.976p, 24p, 25i, 29.97i) or 1280x720
// (23.976p, 24p, 50p, 59.94p), square pixels, shown as stored (no rotation).
bool videoConforms(const VideoFacts& video);
// AC-3 or Blu-ray LPCM at 48 kHz, or no audio at all.
bool audioConforms(const AudioFacts& audio);

// What a converted clip's video is: 1920x1080 at the allowed rate nearest the source's
// (23.976, 24, 25 or 29.97 frames a second; 25 and 29.97 are carried as 1080i).
inline constexpr int kClipWidth = 1920;
inline constexpr int kClipHeight = 1080;
FrameRate convertedRate(FrameRate source);
// Whether a converted clip at this rate is flagged interlaced (progressive frames carried as
// 1080i, as Blu-ray allows 25 and 29.97 frames a second only that way at 1080).
bool carriedAsInterlaced(FrameRate rate);

// A short text for messages: "h264 High 4.1 1920x1080 23.976p".
std::string describe(const VideoFacts& video);

}  // namespace merrowcli::disc
