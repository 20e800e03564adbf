#include "cli/import/PictureReuse.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <system_error>

#include "cli/core/TestHook.h"
#include "cli/import/Digest.h"
#include "host/framework/AtomicFileWriter.h"
#include "host/framework/RegularFile.h"

namespace merrowcli::import {

namespace fs = std::filesystem;

namespace {

// The whole file, when it is a regular file of at most maxBytes; *seen is its state as it was
// read.
std::optional<std::string> readWhole(const fs::path& file, long long maxBytes, struct stat* seen) {
    merrowhost::RegularFile in;
    std::string bytes;
    std::string problem;
    if (!in.open(file.string(), &problem) || ::fstat(in.descriptor(), seen) != 0 ||
        !in.readAll(&bytes, &problem, maxBytes)) {
        return std::nullopt;
    }
    return bytes;
}

// True when `to` is the file that was read as `seen`, unchanged since.
bool sameFile(const fs::path& to, const struct stat& seen) {
    struct stat now {};
    return ::stat(to.c_str(), &now) == 0 && now.st_dev == seen.st_dev &&
           now.st_ino == seen.st_ino && now.st_size == seen.st_size &&
           now.st_mtim.tv_sec == seen.st_mtim.tv_sec && now.st_mtim.tv_nsec == seen.st_mtim.tv_nsec;
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
        const fs::path from = previousProject / kept->file;
        struct stat seen {};
        const std::optional<std::string> bytes = readWhole(from, kept->bytes, &seen);
        if (!bytes || static_cast<long long>(bytes->size()) != kept->bytes ||
            !isPngOfSize(*bytes, key.size) || Digest::of(*bytes) != kept->digest) {
            continue;
        }
        const fs::path to = projectFolder / file;
        std::error_code ec;
        fs::create_directories(to.parent_path(), ec);
        // A second name for the same file: nothing is written, and removing the previous
        // project then frees nothing (freeing thousands of files' blocks can take seconds).
        // Where the file system has no hard links, the previous project is on another one, or
        // the file was replaced or changed since it was read, the bytes read are written.
        if (!linkDisabledForTest() && ::link(from.c_str(), to.c_str()) == 0) {
            if (sameFile(to, seen)) return PictureRecord{key, file, kept->bytes, kept->digest};
            fs::remove(to, ec);
        }
        std::string error;
        if (!merrowhost::writeWholeFile(to.string(), bytes->data(), bytes->size(),
                                        merrowhost::FileCreation::kNew, &error)) {
            return std::nullopt;
        }
        return PictureRecord{key, file, kept->bytes, kept->digest};
    }
    return std::nullopt;
}

std::optional<PictureRecord> recordPicture(const PictureKey& key, const std::string& file,
                                           const std::vector<uint8_t>& bytes) {
    const long long size = static_cast<long long>(bytes.size());
    if (size == 0 || size > kLargestCachedPicture) return std::nullopt;
    return PictureRecord{
        key, file, size,
        Digest::of(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()))};
}

}  // namespace merrowcli::import
