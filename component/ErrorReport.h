#pragma once
// The common opening of every service operation: picks the record to report into (the caller's,
// or a local one when the caller passed none), marks it with the operation's source and
// severity 0, and fills and logs it on a failure path.

#include <cstdint>

#include "host/objects/ErrorInfo.h"
#include "host/objects/Guid.h"

namespace Merrow {

class ErrorReport {
public:
    // Writes the source and severity 0 into the record in use.
    ErrorReport(CzfErrorInfo* callerRecord, const GUID& source, int32_t methodNumber) noexcept;

    ErrorReport(const ErrorReport&) = delete;
    ErrorReport& operator=(const ErrorReport&) = delete;

    // The caller's record, or the local one.
    CzfErrorInfo* record() noexcept { return record_; }

    // Writes source, method number, error category, code, severity 2 and location, in that
    // order, logs the record once and returns false.
    bool fail(int32_t code, int32_t location) noexcept;

    // Sets another severity and logs the record again.
    void logAgain(int32_t severity) noexcept;

    // For use inside a catch handler: reports the exception in flight (code 1 for an
    // allocation failure, the unexpected-failure code otherwise) and returns false.
    bool failCurrentException(int32_t location) noexcept;

private:
    void log() noexcept;

    CzfErrorInfo local_;
    CzfErrorInfo* record_;
    const GUID* source_;
    int32_t methodNumber_;
};

}  // namespace Merrow
