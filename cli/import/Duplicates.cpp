#include "cli/import/Duplicates.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <string>
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

// The bytes at the start of a file, enough to tell most files of one size apart (photos of one
// camera differ in their EXIF block); nothing when it cannot be read.
constexpr size_t kHeadBytes = 1 << 16;

std::optional<std::size_t> headDigest(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::string head(kHeadBytes, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<size_t>(in.gcount()));
    return std::hash<std::string>{}(head);
}

}  // namespace

std::vector<MediaFile> withoutDuplicates(const fs::path& folder, std::vector<MediaFile> files,
                                         size_t* leftOut) {
    *leftOut = 0;
    std::vector<MediaFile> kept;
    kept.reserve(files.size());
    std::vector<std::optional<std::uintmax_t>> sizes(files.size());
    std::map<std::uintmax_t, size_t> filesOfSize;
    for (size_t i = 0; i < files.size(); ++i) {
        std::error_code ec;
        const std::uintmax_t size = fs::file_size(folder / files[i].path, ec);
        if (ec) continue;
        sizes[i] = size;
        ++filesOfSize[size];
    }
    // The kept files of each size and head; only those can be equal. Each file's head is read
    // once, so many files of one size (copies of one picture with their own dates) cost no more
    // than that.
    std::map<std::pair<std::uintmax_t, std::size_t>, std::vector<size_t>> alike;
    for (size_t i = 0; i < files.size(); ++i) {
        MediaFile& file = files[i];
        if (!sizes[i] || filesOfSize[*sizes[i]] == 1) {
            kept.push_back(std::move(file));
            continue;
        }
        const std::optional<std::size_t> head = headDigest(folder / file.path);
        if (!head) {
            kept.push_back(std::move(file));
            continue;
        }
        std::vector<size_t>& candidates = alike[{*sizes[i], *head}];
        bool duplicate = false;
        for (const size_t earlier : candidates) {
            if (sameBytes(folder / kept[earlier].path, folder / file.path)) {
                duplicate = true;
                break;
            }
        }
        if (duplicate) {
            ++*leftOut;
            continue;
        }
        candidates.push_back(kept.size());
        kept.push_back(std::move(file));
    }
    return kept;
}

}  // namespace merrowcli::import
