#include "cli/disc/ClipFormat.h"

#include <cmath>
#include <cstdio>
#include <initializer_list>

namespace merrowcli::disc {

namespace {

constexpr FrameRate kFilm{24000, 1001};
constexpr FrameRate kFilm24{24, 1};
constexpr FrameRate kPal{25, 1};
constexpr FrameRate kNtsc{30000, 1001};
constexpr FrameRate kPal50{50, 1};
constexpr FrameRate kNtsc60{60000, 1001};

// Rates are compared by value: containers write 23.976 as 24000/1001 or as 2997/125 and so on.
bool sameRate(FrameRate a, FrameRate b) {
    return std::fabs(a.value() - b.value()) < 0.01;
}

bool oneOf(FrameRate rate, std::initializer_list<FrameRate> allowed) {
    for (const FrameRate& candidate : allowed) {
        if (sameRate(rate, candidate)) return true;
    }
    return false;
}

}  // namespace

bool videoConforms(const VideoFacts& video) {
    if (video.codec != "h264" || (video.profile != 77 && video.profile != 100)) return false;
    if (video.level <= 0 || video.level > 41 || video.rotation != 0 || !video.squarePixels) {
        return false;
    }
    if (video.width == 1920 && video.height == 1080) {
        return video.interlaced ? oneOf(video.rate, {kPal, kNtsc})
                                : oneOf(video.rate, {kFilm, kFilm24});
    }
    if (video.width == 1280 && video.height == 720) {
        return !video.interlaced && oneOf(video.rate, {kFilm, kFilm24, kPal50, kNtsc60});
    }
    return false;
}

bool audioConforms(const AudioFacts& audio) {
    if (audio.codec.empty()) return true;
    return (audio.codec == "ac3" || audio.codec == "pcm_bluray") && audio.sampleRate == 48000;
}

FrameRate convertedRate(FrameRate source) {
    // 50 and 60 frames a second become 25 and 29.97 (every other frame), not 24.
    const double value = source.value();
    FrameRate best = kFilm;
    double bestDistance = INFINITY;
    for (const FrameRate& candidate : {kFilm, kFilm24, kPal, kNtsc}) {
        const double distance = std::fabs(value - candidate.value());
        const double halved = std::fabs(value / 2 - candidate.value());
        const double d = std::fmin(distance, halved);
        if (d < bestDistance - 1e-9) {
            bestDistance = d;
            best = candidate;
        }
    }
    return best;
}

bool carriedAsInterlaced(FrameRate rate) {
    return sameRate(rate, kPal) || sameRate(rate, kNtsc);
}

std::string describe(const VideoFacts& video) {
    std::string text = video.codec;
    if (video.codec == "h264") {
        if (video.profile == 100) text += " High";
        if (video.profile == 77) text += " Main";
        if (video.level > 0) {
            text += " " + std::to_string(video.level / 10) + "." + std::to_string(video.level % 10);
        }
    }
    char rate[32];
    std::snprintf(rate, sizeof rate, "%.5g", video.rate.value());
    text += " " + std::to_string(video.width) + "x" + std::to_string(video.height) + " " + rate +
            (video.interlaced ? "i" : "p");
    if (video.rotation != 0) text += " turned " + std::to_string(video.rotation);
    return text;
}

}  // namespace merrowcli::disc
