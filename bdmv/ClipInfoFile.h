#pragma once
// BDMV/CLIPINF/NNNNN.clpi: what a player needs to know of BDMV/STREAM/NNNNN.m2ts before it
// reads it: the transport stream's rate and size, its one time line (sequence info), its
// streams (program info) and where each I-frame starts (the EP map of the video stream).

#include <cstdint>
#include <vector>

#include "bdmv/ClipStream.h"

namespace merrowbdmv {

// An entry point: an I-frame's presentation time and the source packet (192-byte unit of the
// m2ts, counted from 0) where its first byte is.
struct EntryPoint {
    int64_t pts90k = 0;
    uint32_t sourcePacket = 0;
};

struct ClipInfo {
    // The highest transport rate, bytes per second.
    uint32_t recordingRate = 48'000'000 / 8;
    uint32_t sourcePackets = 0;
    // The clip's one presentation time line, 90 kHz: its first picture and the end of its last.
    int64_t presentationStart90k = 0;
    int64_t presentationEnd90k = 0;
    uint16_t programMapPid = 0x0100;
    uint16_t pcrPid = 0x1011;
    std::vector<ClipStream> streams;
    // The I-frames of the first video stream, in time order.
    std::vector<EntryPoint> entryPoints;
};

// The bytes of a clip information file (version "0200"), or empty when the clip does not fit
// the format (no video stream, more than 255 streams, entry points out of order).
std::vector<uint8_t> encodeClipInfo(const ClipInfo& clip);

}  // namespace merrowbdmv
