#include "component/ErrorReport.h"

#include <new>

#include "merrowkit/Services.h"

namespace Merrow {

ErrorReport::ErrorReport(CzfErrorInfo* callerRecord, const GUID& source,
                         int32_t methodNumber) noexcept
    : record_(callerRecord != nullptr ? callerRecord : &local_),
      source_(&source),
      methodNumber_(methodNumber) {
    record_->source = source_;
    record_->severity = 0;
}

bool ErrorReport::fail(int32_t code, int32_t location) noexcept {
    record_->source = source_;
    record_->methodNumber = methodNumber_;
    record_->errorCategory = &merrowkit::kErrorCategory;
    record_->errorCode = code;
    record_->severity = 2;
    record_->location = location;
    log();
    return false;
}

void ErrorReport::logAgain(int32_t severity) noexcept {
    record_->severity = severity;
    log();
}

bool ErrorReport::failCurrentException(int32_t location) noexcept {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return fail(merrowkit::kErrorOutOfMemory, location);
    } catch (...) {
        return fail(merrowkit::kErrorUnexpected, location);
    }
}

void ErrorReport::log() noexcept {
    // A logger that fails must not carry its failure out of the service boundary; the record
    // itself is already filled.
    try {
        CzfZFLogUtility::zfLogErrorEvent(record_);
    } catch (...) {
    }
}

}  // namespace Merrow
