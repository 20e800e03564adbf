#include "cli/import/PictureReuse.h"

#include <cstdint>
#include <system_error>

#include "cli/import/Digest.h"
#include "host/framework/AtomicFileWriter.h"
#include "host/framework/RegularFile.h"

namespace merrowcli::import {

namespace fs = std::filesystem;

namespace {

// The whole file, when it is a regular file of at most maxBytes.
std::optional<std::string> readWhole(const fs::path& file, long long maxBytes) {
    merrowhost::RegularFile in;
    std::string bytes;
    std::string problem;
    if (!in.open(file.string(), &problem) || !in.readAll(&bytes, &problem, maxBytes)) {
        return std::nullopt;
    }
    return bytes;
}

std::uint32_t bigEndian32(const std::string& bytes, size_t at) {
    std::uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// True when the bytes start as a PNG of this size (its signature and header chunk).
bool isPngOfSize(const std::string& bytes, const Size& size) {
    static const std::string kStart("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);
    return bytes.size() >= 24 && bytes.compare(0, kStart.size(), kStart) == 0 &&
           bigEndian32(bytes, 16) == static_cast<std::uint32_t>(size.width) &&
           bigEndian32(bytes, 20) == static_cast<std::uint32_t>(size.height);
}

}  // namespace

std::optional<PictureRecord> reusePicture(const ImportCache& previous,
                                          const fs::path& previousProject, const PictureKey& key,
                                          const fs::path& projectFolder, const std::string& file) {
    for (const PictureRecord* kept : previous.findPictures(key)) {
        const std::optional<std::string> bytes =
            readWhole(previousProject / kept->file, kept->bytes);
        if (!bytes || static_cast<long long>(bytes->size()) != kept->bytes ||
            !isPngOfSize(*bytes, key.size) || Digest::of(*bytes) != kept->digest) {
            continue;
        }
        const fs::path to = projectFolder / file;
        std::error_code ec;
        fs::create_directories(to.parent_path(), ec);
        std::string error;
        if (!merrowhost::writeWholeFile(to.string(), bytes->data(), bytes->size(),
                                        merrowhost::FileCreation::kNew, &error)) {
            return std::nullopt;
        }
        return PictureRecord{key, file, kept->bytes, kept->digest};
    }
    return std::nullopt;
}

std::optional<PictureRecord> recordPicture(const PictureKey& key, const fs::path& projectFolder,
                                           const std::string& file) {
    const std::optional<std::string> bytes = readWhole(projectFolder / file, kLargestCachedPicture);
    if (!bytes || bytes->empty()) return std::nullopt;
    return PictureRecord{key, file, static_cast<long long>(bytes->size()), Digest::of(*bytes)};
}

}  // namespace merrowcli::import
