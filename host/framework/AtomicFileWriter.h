#pragma once
// The one way the program writes a file: whole or not at all, and never through a symbolic link.
// open(): the bytes go to a new temporary file beside the target; commit() puts them on disk and
// renames the temporary file over the target (a link standing there is replaced, not followed).
// openNew(): the target itself is created, and must not exist (a file in a folder the program
// has just made). Every file is created with O_CREAT | O_EXCL | O_NOFOLLOW, so nothing planted
// under its name is opened. Until commit the target is untouched, and a writer that is not
// committed removes what it created, so a failed write never leaves a partial file.

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
    // Creates target itself; false with error() set when anything stands at its name (a file,
    // a folder or a symbolic link) or it cannot be created. commit() then only puts the bytes
    // on disk and closes the file.
    bool openNew(const std::string& target);
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
    bool create();
    void discard();

    std::string target_;
    std::string temporary_;
    std::FILE* file_ = nullptr;
    bool created_ = false;
    bool inPlace_ = false;  // openNew: the temporary file is the target
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

// How writeWholeFile makes its file: a new file that must not exist yet, or one that replaces
// whatever stands at the name.
enum class FileCreation { kNew, kReplace };

// Writes the bytes as the file at path (taken as given) in one step, through AtomicFileWriter.
// False with *error set to "path: reason" when it cannot.
bool writeWholeFile(const std::string& path, const void* data, size_t size, FileCreation how,
                    std::string* error);

// Opens writer on path resolved against the project folder (resolvePath). False with *error set
// to "target: reason" when the temporary file cannot be made.
bool openResolved(AtomicFileWriter& writer, const std::string& path, std::string* error);

}  // namespace merrowhost
