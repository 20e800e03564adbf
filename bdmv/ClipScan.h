#pragma once
// Reads a clip (an m2ts file of 192-byte source packets) with libavformat: its streams with the
// properties a player cares about, and every I-frame of its first video stream with the source
// packet where that frame starts.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "bdmv/ClipInfoFile.h"
#include "bdmv/ClipStream.h"

namespace merrowbdmv {

inline constexpr uint32_t kSourcePacketSize = 192;

struct ScannedStream {
    uint16_t pid = 0;
    // libavcodec's name of the codec ("h264", "ac3", "pcm_bluray").
    std::string codec;
    bool video = false;
    // Video: libavcodec's profile and level numbers (High is 100, level 4.1 is 41).
    int profile = -1;
    int level = -1;
    int width = 0;
    int height = 0;
    int frameRateNum = 0;
    int frameRateDen = 1;
    bool interlaced = false;
    // Audio.
    int sampleRate = 0;
    int channels = 0;
    // The stream as the navigation files describe it; codingType 0 when they have no code for
    // it (such a stream is left out of them).
    ClipStream coding;
};

struct ClipScan {
    uint32_t sourcePackets = 0;
    std::vector<ScannedStream> streams;
    // The first video stream's first picture and the end of its last, 90 kHz.
    int64_t firstPts90k = 0;
    int64_t endPts90k = 0;
    // Its key frames in time order.
    std::vector<EntryPoint> keyFrames;
};

// Scans file. False with *error, one line naming the file, when it cannot be read, is not a
// transport stream of 192-byte packets, has no video stream, or a key frame's packet does not
// start that frame's PES packet.
bool scanClip(const std::filesystem::path& file, ClipScan* scan, std::string* error);

// True when the source packet at sourcePacket of file carries pid and starts a PES packet.
bool packetStartsPes(const std::filesystem::path& file, uint32_t sourcePacket, uint16_t pid);

// The clip information of a scanned clip: the streams that have a code, video first.
ClipInfo clipInfoOf(const ClipScan& scan);

}  // namespace merrowbdmv
