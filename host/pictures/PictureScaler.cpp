#include "host/pictures/PictureScaler.h"

#include <algorithm>
#include <vector>

#include "host/pictures/DibImage.h"
#include "host/pictures/DvdBuf.h"

namespace merrowhost {

namespace {

// Weights are in 1/256 steps.
constexpr int kFractionBits = 8;
constexpr int kOne = 1 << kFractionBits;

struct Tap {
    int first;
    int second;
    int fraction;  // weight of second, 0..kOne-1
};

// Pixel centres line up: target pixel t of size targetSize samples the source at
// (t + 0.5) * source / target - 0.5, clamped to the picture.
std::vector<Tap> tapsFor(int sourceSize, int targetSize) {
    std::vector<Tap> taps(static_cast<size_t>(targetSize));
    const int64_t last = static_cast<int64_t>(sourceSize - 1) * kOne;
    for (int t = 0; t < targetSize; ++t) {
        const int64_t numerator = (2 * static_cast<int64_t>(t) + 1) * sourceSize * kOne -
                                  static_cast<int64_t>(targetSize) * kOne;
        int64_t position = numerator <= 0 ? 0 : numerator / (2 * static_cast<int64_t>(targetSize));
        position = std::min(position, last);
        const int first = static_cast<int>(position >> kFractionBits);
        taps[static_cast<size_t>(t)] = {first, std::min(first + 1, sourceSize - 1),
                                        static_cast<int>(position & (kOne - 1))};
    }
    return taps;
}

}  // namespace

void scalePictureToDibs(const uint8_t* colour, const uint8_t* alpha, int width, int height,
                        BITMAPINFOHEADER* image, BITMAPINFOHEADER* mask) {
    if (colour == nullptr || image == nullptr || width <= 0 || height <= 0) return;
    const int targetWidth = image->biWidth;
    const int targetHeight = image->biHeight < 0 ? -image->biHeight : image->biHeight;
    const std::vector<Tap> columns = tapsFor(width, targetWidth);
    const std::vector<Tap> rows = tapsFor(height, targetHeight);
    const size_t colourStride = static_cast<size_t>(CDVDBuf::Stride(24, width));
    const size_t alphaStride = static_cast<size_t>(CDVDBuf::Stride(8, width));

    for (int ty = 0; ty < targetHeight; ++ty) {
        const Tap& row = rows[static_cast<size_t>(ty)];
        const uint8_t* colourRows[2] = {colour + row.first * colourStride,
                                        colour + row.second * colourStride};
        const uint8_t* alphaRows[2] = {
            alpha != nullptr ? alpha + row.first * alphaStride : nullptr,
            alpha != nullptr ? alpha + row.second * alphaStride : nullptr};
        const int rowWeights[2] = {kOne - row.fraction, row.fraction};
        uint8_t* out = dibRowFromTop(image, ty);
        uint8_t* outAlpha = mask != nullptr ? dibRowFromTop(mask, ty) : nullptr;

        for (int tx = 0; tx < targetWidth; ++tx) {
            const Tap& column = columns[static_cast<size_t>(tx)];
            const int columnIndex[2] = {column.first, column.second};
            const int columnWeights[2] = {kOne - column.fraction, column.fraction};
            // Sums over the four neighbours; weights add up to kOne * kOne.
            uint64_t alphaSum = 0;
            uint64_t weighted[3] = {0, 0, 0};  // colour times alpha times weight
            uint64_t plain[3] = {0, 0, 0};     // colour times weight
            for (int j = 0; j < 2; ++j) {
                for (int i = 0; i < 2; ++i) {
                    const uint64_t weight = static_cast<uint64_t>(rowWeights[j]) *
                                            static_cast<uint64_t>(columnWeights[i]);
                    if (weight == 0) continue;
                    const uint8_t* pixel = colourRows[j] + 3 * columnIndex[i];
                    const uint64_t a =
                        alphaRows[j] != nullptr ? alphaRows[j][columnIndex[i]] : uint64_t{255};
                    alphaSum += a * weight;
                    for (int c = 0; c < 3; ++c) {
                        weighted[c] += pixel[c] * a * weight;
                        plain[c] += pixel[c] * weight;
                    }
                }
            }
            constexpr uint64_t kTotal = uint64_t{kOne} * kOne;
            uint8_t* target = out + 4 * static_cast<size_t>(tx);
            for (int c = 0; c < 3; ++c) {
                // Where everything around is transparent, keep the plain average colour.
                target[c] =
                    static_cast<uint8_t>(alphaSum != 0 ? (weighted[c] + alphaSum / 2) / alphaSum
                                                       : (plain[c] + kTotal / 2) / kTotal);
            }
            target[3] = static_cast<uint8_t>((alphaSum + kTotal / 2) / kTotal);
            if (outAlpha != nullptr) outAlpha[tx] = target[3];
        }
    }
}

}  // namespace merrowhost
