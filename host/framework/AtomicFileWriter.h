#pragma once
// Writes a file whole or not at all. The bytes go to a new temporary file beside the target;
// commit() puts them on disk and renames the temporary file over the target. Until then the
// target is untouched, and a writer that is not committed removes its temporary file, so a
// failed write leaves any earlier file as it was and never a partial one.

#include <cstddef>
#include <cstdio>
#include <string>

namespace merrowhost {

class AtomicFileWriter {
public:
    AtomicFileWriter() = default;
    // Closes and removes the temporary file unless it was committed.
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Creates a temporary file, of a name no other writer of this process uses, in the folder of
    // target (the path as given; nothing is resolved). False with error() set when it cannot be
    // created, or when this writer was opened before.
    bool open(const std::string& target);
    // The temporary file's stream for the bytes; null before a successful open and after
    // commit.
    std::FILE* stream() const { return file_; }
    // Appends the bytes to the temporary file; false with error() set when not all were taken.
    bool write(const void* data, size_t size);
    // Flushes and syncs the temporary file (unless a DeferredSyncScope is open), closes it and
    // renames it to the target. False with
    // error() set when the stream saw a write error or any step fails; the temporary file is
    // then removed and the target left as it was.
    bool commit();

    // Why the last step failed (the system's text for the error); empty before any failure.
    const char* error() const { return error_; }
    const std::string& targetPath() const { return target_; }
    const std::string& temporaryPath() const { return temporary_; }

private:
    bool fail(const char* reason);
    void discard();

    std::string target_;
    std::string temporary_;
    std::FILE* file_ = nullptr;
    bool created_ = false;
    char error_[256] = {};
};

// While one lives, AtomicFileWriter::commit does not sync each file: whoever opened the scope
// syncs everything written at once before relying on it (the command's staging folder does so
// before it is moved into place).
class DeferredSyncScope {
public:
    DeferredSyncScope();
    ~DeferredSyncScope();
    DeferredSyncScope(const DeferredSyncScope&) = delete;
    DeferredSyncScope& operator=(const DeferredSyncScope&) = delete;
};

bool syncDeferred();

// Stores text in *error when error is not null; never throws.
void setWriteError(std::string* error, const std::string& text);

// Opens writer on path resolved against the project folder (resolvePath). False with *error set
// to "target: reason" when the temporary file cannot be made.
bool openResolved(AtomicFileWriter& writer, const std::string& path, std::string* error);

}  // namespace merrowhost
