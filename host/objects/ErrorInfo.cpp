// The error record and the event log: one readable line per event, to stderr unless a sink
// has been set.

#include "host/objects/ErrorInfo.h"

#include <cstdio>
#include <memory>
#include <mutex>
#include <utility>

#include "host/objects/GlobalApi.h"

namespace {

std::mutex& sinkMutex() {
    static std::mutex mutex;
    return mutex;
}

CzfZFLogUtility::Sink& currentSink() {
    static CzfZFLogUtility::Sink sink;
    return sink;
}

const char* codeMeaning(int32_t code) {
    switch (code) {
        case 1:
            return "an object could not be allocated";
        case 2:
            return "a required pointer argument was null";
        case 7:
            return "no class of that identifier";
        case 8:
            return "no document of that identifier";
        case 9:
            return "the file was not written";
        case 10:
            return "an unexpected internal failure was contained";
        default:
            return "unknown error code";
    }
}

std::string guidText(const GUID* id) {
    if (id == nullptr) return "none";
    std::unique_ptr<char[]> text(CzfGlobalAPI::zfConvertToString2(*id));
    return text ? std::string(text.get()) : std::string("none");
}

}  // namespace

CzfErrorInfo::CzfErrorInfo() = default;
CzfErrorInfo::~CzfErrorInfo() = default;

std::string CzfZFLogUtility::formatEvent(const CzfErrorInfo& record) {
    std::string line = "error event: code " + std::to_string(record.errorCode) + " (" +
                       codeMeaning(record.errorCode) + "), severity " +
                       std::to_string(record.severity) + ", source " + guidText(record.source) +
                       ", method " + std::to_string(record.methodNumber) + ", location " +
                       std::to_string(record.location);
    return line;
}

void CzfZFLogUtility::zfLogErrorEvent(const CzfErrorInfo* record) {
    if (record == nullptr) return;
    // Logging never fails its caller: whatever the sink throws stays here.
    try {
        const std::string line = formatEvent(*record);
        Sink sink;
        {
            std::lock_guard<std::mutex> lock(sinkMutex());
            sink = currentSink();
        }
        // Called outside the lock so that a sink may log or replace the sink itself.
        if (sink) {
            sink(*record, line);
        } else {
            std::fprintf(stderr, "%s\n", line.c_str());
        }
    } catch (...) {
    }
}

CzfZFLogUtility::Sink CzfZFLogUtility::setSink(Sink sink) {
    std::lock_guard<std::mutex> lock(sinkMutex());
    return std::exchange(currentSink(), std::move(sink));
}
