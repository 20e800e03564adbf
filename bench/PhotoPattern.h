#pragma once
// What the benches draw for a photograph: a sky-to-ground gradient, five soft bright and dark
// patches (faces, windows, shade) and a grain in every channel of every pixel, all from a
// small deterministic generator, so that the same seed gives the same picture everywhere.

#include <algorithm>
#include <cstdint>

namespace merrowbench {

// A 64-bit LCG, so that output does not depend on the standard library's distributions.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint32_t next() {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>(state_ >> 33);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<uint32_t>(n)); }

private:
    uint64_t state_;
};

struct PhotoPattern {
    int width = 0;
    int height = 0;
    int channels = 3;       // 3: RGB; 4: RGBA, alpha opaque
    int smallestPatch = 0;  // patch radii are smallestPatch + [0, patchRange)
    int patchRange = 1;
    int grain = 0;  // each channel moves by up to +-grain
};

// Draws the pattern into `out` (width * height * channels bytes, rows top to bottom).
inline void drawPhotoPattern(Random& random, const PhotoPattern& pattern, uint8_t* out) {
    int top[3];
    int bottom[3];
    for (int c = 0; c < 3; ++c) {
        top[c] = 60 + random.below(160);
        bottom[c] = 30 + random.below(140);
    }
    struct Patch {
        int x, y, radius, colour[3];
    };
    Patch patches[5];
    for (Patch& patch : patches) {
        patch.x = random.below(pattern.width);
        patch.y = random.below(pattern.height);
        patch.radius = pattern.smallestPatch + random.below(pattern.patchRange);
        for (int& value : patch.colour) value = random.below(161) - 80;
    }
    const uint32_t grainSteps = static_cast<uint32_t>(2 * pattern.grain + 1);
    for (int y = 0; y < pattern.height; ++y) {
        int rowShade[3];
        for (int c = 0; c < 3; ++c) {
            rowShade[c] = top[c] + (bottom[c] - top[c]) * y / pattern.height;
        }
        for (int x = 0; x < pattern.width; ++x) {
            int shade[3] = {rowShade[0], rowShade[1], rowShade[2]};
            for (const Patch& patch : patches) {
                const long dx = x - patch.x;
                const long dy = y - patch.y;
                const long r2 = static_cast<long>(patch.radius) * patch.radius;
                const long inside = r2 - (dx * dx + dy * dy);
                if (inside <= 0) continue;
                for (int c = 0; c < 3; ++c) {
                    shade[c] += static_cast<int>(patch.colour[c] * inside / r2);
                }
            }
            const uint32_t grain = random.next();
            for (int c = 0; c < 3; ++c) {
                const int moved =
                    shade[c] + static_cast<int>((grain >> (8 * c)) % grainSteps) - pattern.grain;
                *out++ = static_cast<uint8_t>(std::clamp(moved, 0, 255));
            }
            if (pattern.channels == 4) *out++ = 255;
        }
    }
}

}  // namespace merrowbench
