#pragma once
// errtrail: the host's error record and its event log.

#include <cstdint>
#include <functional>
#include <string>

#include "host/objects/Guid.h"

class CzfErrorInfo {
public:
    CzfErrorInfo();
    ~CzfErrorInfo();

    const GUID* errorCategory = nullptr;
    int32_t errorCode = 0;
    int32_t severity = 0;
    const GUID* source = nullptr;
    int32_t methodNumber = 0;
    int32_t location = 0;
};

class CzfZFLogUtility {
public:
    using Sink = std::function<void(const CzfErrorInfo& record, const std::string& line)>;

    // Writes one readable line per event; by default to stderr.
    static void zfLogErrorEvent(const CzfErrorInfo* record);

    // Replaces where events go and returns the previous sink; an empty sink restores stderr.
    static Sink setSink(Sink sink);

    // The line zfLogErrorEvent writes for a record.
    static std::string formatEvent(const CzfErrorInfo& record);
};
