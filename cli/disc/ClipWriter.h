#pragma once
// Turns a title's video into a Blu-ray clip (BDMV/STREAM/NNNNN.m2ts): each stream that a
// player accepts is copied as it is (remuxed with libavformat); any other is converted: the
// video through libavfilter (turned upright by its display matrix, fitted with black bars into
// 1920x1080, its frame rate changed to the nearest allowed; libswscale scales) and libx264
// (bluray-compat, High profile, level 4.1), the audio to AC-3 48 kHz stereo. The clip is an
// MPEG-2 transport stream with 192-byte source packets (Blu-ray PIDs: PMT 0x100, video 0x1011,
// audio 0x1100), padded to whole aligned units of 6144 bytes.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "cli/disc/ClipFormat.h"

struct AVCodecContext;
struct AVDictionary;

namespace merrowcli::disc {

// How videos are converted; part of the clip cache's key.
struct ClipSettings {
    std::string preset = "fast";  // libx264's speed preset
    int crf = 20;                 // libx264's constant rate factor, capped by the VBV below
    int maxRateKbps = 40000;      // Blu-ray's video rate; within level 4.1 (High: 62.5 Mbit/s)
    int bufferKbits = 30000;      // VBV buffer; within level 4.1 (High: 78.125 Mbit)
    int audioKbps = 192;          // AC-3, stereo
    // libx264's threads, fixed so that the same video gives the same bytes on any machine
    // (its output depends on the thread count); at least the two cores of a small machine.
    int encoderThreads = 4;
    // A text naming every setting above and the libraries' versions.
    std::string key() const;
};

struct ClipReport {
    VideoFacts video;
    AudioFacts audio;
    bool videoCopied = false;
    bool audioCopied = false;  // also true when there is no audio
    int64_t framesEncoded = 0;
};

// Writes the clip of video into clip (a new file). progress gets the fraction done (0 to 1)
// now and then. False with *error, one line naming video (or clip, when it cannot be
// written).
bool writeClip(const std::filesystem::path& video, const std::filesystem::path& clip,
               const ClipSettings& settings, const std::function<void(double)>& progress,
               ClipReport* report, std::string* error);

// Sets up a libx264 context and its options (for avcodec_open2) as a converted clip's video
// encoder at this rate: what writeClip does, for measuring the encoder on its own.
void configureClipEncoder(AVCodecContext* context, AVDictionary** options, FrameRate rate,
                          const ClipSettings& settings);

// Reads what decides the clip's making (both empty codecs when video has no video stream).
bool probeVideo(const std::filesystem::path& video, VideoFacts* videoFacts, AudioFacts* audioFacts,
                std::string* error);

// The size of a clip is a whole number of aligned units.
inline constexpr int64_t kAlignedUnit = 6144;

// Pads a clip with null packets (PID 0x1FFF) to a whole number of aligned units, each with the
// arrival time stamp of the last packet, so arrival times never go back. libavformat's m2ts
// mode pads its clips already (FFmpeg 4.3 and later); this makes sure of it with any version.
// False with *error when the file is not a whole number of 192-byte source packets.
bool padToAlignedUnits(const std::filesystem::path& clip, std::string* error);

}  // namespace merrowcli::disc
