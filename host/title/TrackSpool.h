#pragma once
// Where finished track encodings go when a program writes its tracks as files: each PNG is
// written as a file of its own into a spool folder (named by a counter) as soon as it is made,
// and only its name, size and digest stay in memory, so that memory does not grow with the
// tracks' content or number. A program opens a TrackSpoolScope around the title's creation; the
// encoders made meanwhile spool into its folder. Without a scope, encodings stay in memory.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace merrowhost {

// A digest of bytes (64 bits), to tell that a file still holds what was written.
uint64_t contentDigest(const void* data, size_t size);

// One spooled encoding. Its file may be moved to its final name; it is read there afterwards.
class SpooledFile {
public:
    SpooledFile(std::string path, size_t size, uint64_t digest);

    std::string path() const;
    size_t size() const { return size_; }
    uint64_t digest() const { return digest_; }

    // The file's bytes; false with *error ("path: reason") when it cannot be read whole.
    bool read(std::vector<uint8_t>* bytes, std::string* error) const;
    // Renames the file to target, which must not exist. False with *error set ("target:
    // reason") and errno the system's error (EEXIST when target exists) when it cannot.
    bool moveTo(const std::string& target, std::string* error);

private:
    mutable std::mutex mutex_;
    std::string path_;
    size_t size_;
    uint64_t digest_;
};

class TrackSpool {
public:
    // The folder must exist; its files are named "N.png".
    explicit TrackSpool(std::string folder);

    const std::string& folder() const { return folder_; }
    // Writes the bytes as a new file of the folder. Null with *error set when it cannot.
    std::shared_ptr<SpooledFile> store(const std::vector<uint8_t>& bytes, std::string* error);

private:
    std::string folder_;
    std::mutex mutex_;
    uint64_t next_ = 0;
};

// While one lives, TrackSpoolScope::current() is its spool (the latest scope opened).
class TrackSpoolScope {
public:
    explicit TrackSpoolScope(std::shared_ptr<TrackSpool> spool);
    ~TrackSpoolScope();
    TrackSpoolScope(const TrackSpoolScope&) = delete;
    TrackSpoolScope& operator=(const TrackSpoolScope&) = delete;

    static std::shared_ptr<TrackSpool> current();

private:
    std::shared_ptr<TrackSpool> previous_;
};

}  // namespace merrowhost
