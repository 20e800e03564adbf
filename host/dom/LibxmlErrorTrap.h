#pragma once
// While alive, keeps libxml2 from printing anything on this thread and remembers the first
// error it reports, so that callers can turn it into their own message. The parser is stopped
// at the first error of the document itself (stoppedParser()): a document with an error is
// refused whatever follows, and libxml2 would otherwise report every later error, which on a
// long line of errors (a comment of hyphens) takes time that grows with the square of the line.

#include <string>

struct _xmlError;

namespace merrowhost {

class LibxmlErrorTrap {
public:
    struct Error {
        std::string file;
        int line = 0;
        int column = 0;
        std::string message;  // without the trailing newline
    };

    LibxmlErrorTrap();
    ~LibxmlErrorTrap();
    LibxmlErrorTrap(const LibxmlErrorTrap&) = delete;
    LibxmlErrorTrap& operator=(const LibxmlErrorTrap&) = delete;

    bool hasError() const { return hasError_; }
    // The first fatal error, else the first error, else the first warning.
    const Error& error() const { return first_; }

    // True when the parser was stopped at an error: the document must be refused even when
    // libxml2 hands one back.
    bool stoppedParser() const { return stoppedParser_; }

    // Target of the structured error handler; public so the C callback can reach it.
    void record(int level, const char* file, int line, int column, const char* message);
    void noteStopped() { stoppedParser_ = true; }

private:
    using GenericHandler = void (*)(void*, const char*, ...);
    using StructuredHandler = void (*)(void*, _xmlError*);

    GenericHandler savedGeneric_ = nullptr;
    void* savedGenericContext_ = nullptr;
    StructuredHandler savedStructured_ = nullptr;
    void* savedStructuredContext_ = nullptr;
    bool hasError_ = false;
    bool stoppedParser_ = false;
    int firstLevel_ = 0;
    Error first_;
};

}  // namespace merrowhost
