#include "cli/import/Duplicates.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <map>
#include <system_error>
#include <utility>

namespace merrowcli::import {

namespace fs = std::filesystem;

namespace {

// True when both files could be read and hold the same bytes (their sizes are known equal).
bool sameBytes(const fs::path& a, const fs::path& b) {
    std::ifstream first(a, std::ios::binary);
    std::ifstream second(b, std::ios::binary);
    if (!first || !second) return false;
    std::array<char, 1 << 16> left{};
    std::array<char, 1 << 16> right{};
    while (true) {
        first.read(left.data(), left.size());
        second.read(right.data(), right.size());
        const std::streamsize got = first.gcount();
        if (got != second.gcount()) return false;
        if (got == 0) return first.eof() && second.eof();
        if (!std::equal(left.begin(), left.begin() + got, right.begin())) return false;
    }
}

}  // namespace

std::vector<MediaFile> withoutDuplicates(const fs::path& folder, std::vector<MediaFile> files,
                                         size_t* leftOut) {
    *leftOut = 0;
    std::vector<MediaFile> kept;
    kept.reserve(files.size());
    // The kept files of each size; only files of one size can be equal.
    std::map<std::uintmax_t, std::vector<size_t>> bySize;
    for (MediaFile& file : files) {
        std::error_code ec;
        const std::uintmax_t size = fs::file_size(folder / file.path, ec);
        if (ec) {
            kept.push_back(std::move(file));
            continue;
        }
        std::vector<size_t>& sameSize = bySize[size];
        bool duplicate = false;
        for (const size_t earlier : sameSize) {
            if (sameBytes(folder / kept[earlier].path, folder / file.path)) {
                duplicate = true;
                break;
            }
        }
        if (duplicate) {
            ++*leftOut;
            continue;
        }
        sameSize.push_back(kept.size());
        kept.push_back(std::move(file));
    }
    return kept;
}

}  // namespace merrowcli::import
