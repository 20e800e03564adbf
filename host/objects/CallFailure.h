#pragma once
// How the stand-in host's object calls report a failure into the caller's error record.

#include <cstdint>

#include "host/objects/ErrorInfo.h"

namespace merrowhost {

// Codes written by failing object calls: a bad argument (a null out-pointer or object), or a
// call the object refuses.
inline constexpr int32_t kCallBadArgument = 2;
inline constexpr int32_t kCallRefused = 1;

// Writes the code with severity 2 into the record, when there is one; returns false so that a
// failing call can end with `return reportCallFailure(error, code);`.
inline bool reportCallFailure(CzfErrorInfo* error, int32_t code) {
    if (error != nullptr) {
        error->errorCode = code;
        error->severity = 2;
    }
    return false;
}

}  // namespace merrowhost
