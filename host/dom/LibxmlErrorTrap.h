#pragma once
// While alive, keeps libxml2 from printing anything on this thread and remembers the first
// error it reports, so that callers can turn it into their own message.

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

    // Target of the structured error handler; public so the C callback can reach it.
    void record(int level, const char* file, int line, int column, const char* message);

private:
    using GenericHandler = void (*)(void*, const char*, ...);
    using StructuredHandler = void (*)(void*, _xmlError*);

    GenericHandler savedGeneric_ = nullptr;
    void* savedGenericContext_ = nullptr;
    StructuredHandler savedStructured_ = nullptr;
    void* savedStructuredContext_ = nullptr;
    bool hasError_ = false;
    int firstLevel_ = 0;
    Error first_;
};

}  // namespace merrowhost
