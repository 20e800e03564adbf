#pragma once
// Opening files for reading only when they are regular files. A FIFO, a terminal, a device or a
// folder is refused at once: the file is opened without blocking and checked with fstat before
// anything is read from it, so that a path such as /dev/stdin or a named pipe can never make a
// reader wait for ever.

#include <cstdio>
#include <string>

namespace merrowhost {

// An open file descriptor, closed when the holder goes away.
class RegularFile {
public:
    RegularFile() = default;
    ~RegularFile();
    RegularFile(RegularFile&& other) noexcept;
    RegularFile& operator=(RegularFile&& other) noexcept;
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    // Opens path (taken as it is; resolve it first) for reading. False with *problem a short
    // reason ("No such file or directory", "not a regular file") when it cannot be opened or is
    // not a regular file.
    bool open(const std::string& path, std::string* problem);

    bool isOpen() const { return fd_ >= 0; }
    int descriptor() const { return fd_; }
    // The file's size in bytes when it was opened.
    long long size() const { return size_; }

    // Hands the descriptor over to a stdio stream ("rb"); the holder no longer owns it. Null
    // when the stream cannot be made (the descriptor is then closed).
    std::FILE* releaseToStream();

    // Reads the whole file into *bytes; false with *problem when reading fails or the file is
    // larger than maxBytes.
    bool readAll(std::string* bytes, std::string* problem, long long maxBytes);

    void close() noexcept;

private:
    int fd_ = -1;
    long long size_ = 0;
};

}  // namespace merrowhost
