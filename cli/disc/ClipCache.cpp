#include "cli/disc/ClipCache.h"

extern "C" {
#include <libavutil/mem.h>
#include <libavutil/sha.h>
}

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <system_error>

namespace merrowcli::disc {

namespace fs = std::filesystem;

namespace {

constexpr std::streamsize kEndBytes = 1 << 20;

class Sha256 {
public:
    Sha256() : sha_(av_sha_alloc(), &av_free) {
        if (!sha_) throw std::bad_alloc();
        av_sha_init(sha_.get(), 256);
    }
    void add(const std::string& bytes) {
        // Each part is preceded by its length, so that no two different lists of parts meet.
        const uint64_t length = bytes.size();
        av_sha_update(sha_.get(), reinterpret_cast<const uint8_t*>(&length), sizeof length);
        av_sha_update(sha_.get(), reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    std::string hex() {
        uint8_t digest[32] = {};
        av_sha_final(sha_.get(), digest);
        static const char kDigits[] = "0123456789abcdef";
        std::string text;
        for (const uint8_t byte : digest) {
            text.push_back(kDigits[byte >> 4]);
            text.push_back(kDigits[byte & 15]);
        }
        return text;
    }

private:
    std::unique_ptr<AVSHA, decltype(&av_free)> sha_;
};

// Whether a file's bytes reached the disk (before it is renamed into place).
bool synced(const fs::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

fs::path ClipCache::defaultFolder() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache != nullptr && fs::path(cache).is_absolute()) {
        return fs::path(cache) / "merrowkit" / "clips";
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && fs::path(home).is_absolute()) {
        return fs::path(home) / ".cache" / "merrowkit" / "clips";
    }
    return {};
}

bool ClipCache::keyOf(const fs::path& video, const std::string& settingsKey, std::string* key,
                      std::string* error) {
    struct stat info {};
    std::ifstream in(video, std::ios::binary);
    if (::stat(video.c_str(), &info) != 0 || !in) {
        *error = video.string() + ": cannot be read";
        return false;
    }
    Sha256 sha;
    sha.add(settingsKey);
    std::error_code ec;
    const fs::path absolute = fs::absolute(video, ec);
    sha.add((ec ? video : absolute).lexically_normal().string());
    sha.add(std::to_string(info.st_size));
    sha.add(std::to_string(info.st_mtim.tv_sec) + "." + std::to_string(info.st_mtim.tv_nsec));
    std::string bytes(static_cast<size_t>(kEndBytes), '\0');
    in.read(bytes.data(), kEndBytes);
    bytes.resize(static_cast<size_t>(in.gcount()));
    sha.add(bytes);
    const std::streamoff size = info.st_size;
    if (size > kEndBytes) {
        in.clear();
        in.seekg(std::max<std::streamoff>(size - kEndBytes, kEndBytes));
        bytes.assign(static_cast<size_t>(kEndBytes), '\0');
        in.read(bytes.data(), kEndBytes);
        bytes.resize(static_cast<size_t>(in.gcount()));
        sha.add(bytes);
    }
    if (in.bad()) {
        *error = video.string() + ": cannot be read";
        return false;
    }
    *key = sha.hex();
    return true;
}

fs::path ClipCache::entry(const std::string& key) const {
    return folder_ / (key + ".m2ts");
}

bool ClipCache::fetch(const std::string& key, const fs::path& clip) const {
    if (!enabled()) return false;
    std::error_code ec;
    if (!fs::is_regular_file(entry(key), ec)) return false;
    if (fs::copy_file(entry(key), clip, ec) && !ec) return true;
    fs::remove(clip, ec);
    return false;
}

bool ClipCache::keep(const std::string& key, const fs::path& clip, std::string* error) const {
    if (!enabled()) return true;
    std::error_code ec;
    fs::create_directories(folder_, ec);
    const fs::path part =
        folder_ / ("." + key + "." + std::to_string(static_cast<long>(::getpid())) + ".part");
    fs::remove(part, ec);
    if (!ec && fs::copy_file(clip, part, ec) && !ec && synced(part)) {
        fs::rename(part, entry(key), ec);
        if (!ec) return true;
    }
    fs::remove(part, ec);
    *error = folder_.string() + ": the clip cache cannot be written";
    return false;
}

}  // namespace merrowcli::disc
