#pragma once
// One elementary stream of a clip as the navigation files describe it: its PID and the coding
// fields that both the clip information and a playlist's stream table carry.

#include <cstdint>
#include <string>

namespace merrowbdmv {

// Stream coding types.
inline constexpr uint8_t kCodingH264 = 0x1b;
inline constexpr uint8_t kCodingLpcm = 0x80;
inline constexpr uint8_t kCodingAc3 = 0x81;

// Video formats (the picture's lines and scan) and frame rates.
inline constexpr uint8_t kVideo1080i = 4;
inline constexpr uint8_t kVideo720p = 5;
inline constexpr uint8_t kVideo1080p = 6;
inline constexpr uint8_t kRate23976 = 1;
inline constexpr uint8_t kRate24 = 2;
inline constexpr uint8_t kRate25 = 3;
inline constexpr uint8_t kRate2997 = 4;
inline constexpr uint8_t kRate50 = 6;
inline constexpr uint8_t kRate5994 = 7;
inline constexpr uint8_t kAspect4x3 = 2;
inline constexpr uint8_t kAspect16x9 = 3;

// Audio channel layouts and sample rates.
inline constexpr uint8_t kAudioMono = 1;
inline constexpr uint8_t kAudioStereo = 3;
inline constexpr uint8_t kAudioMultiChannel = 6;
inline constexpr uint8_t kAudio48kHz = 1;

// A time on the 90 kHz clock as the 45 kHz ticks the navigation files count (33 bits to 32).
inline uint32_t ticks45k(int64_t pts90k) {
    return static_cast<uint32_t>((static_cast<uint64_t>(pts90k) >> 1) & 0xffffffffu);
}

struct ClipStream {
    uint16_t pid = 0;
    uint8_t codingType = 0;
    // Video: the video format; audio: the channel layout.
    uint8_t format = 0;
    // Video: the frame rate; audio: the sample rate.
    uint8_t rate = 0;
    // Video only.
    uint8_t aspect = kAspect16x9;
    // Audio only: ISO 639-2 code, "und" when unknown.
    std::string language = "und";

    bool isVideo() const { return codingType == kCodingH264; }
};

}  // namespace merrowbdmv
