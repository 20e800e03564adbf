#pragma once
// Shared by the service tests: catching logged events, freeing service objects, and checking
// a filled error record.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "host/objects/ErrorInfo.h"
#include "host/objects/Guid.h"
#include "host/objects/ServiceObject.h"
#include "merrowkit/Services.h"

namespace servicetest {

// Collects every logged record while it lives; logging goes back where it went before after.
class LoggedEvents {
public:
    LoggedEvents() {
        previous_ = CzfZFLogUtility::setSink(
            [this](const CzfErrorInfo& record, const std::string&) { events_.push_back(record); });
    }
    ~LoggedEvents() { CzfZFLogUtility::setSink(previous_); }
    LoggedEvents(const LoggedEvents&) = delete;
    LoggedEvents& operator=(const LoggedEvents&) = delete;

    const std::vector<CzfErrorInfo>& events() const { return events_; }
    std::size_t count() const { return events_.size(); }

private:
    std::vector<CzfErrorInfo> events_;
    CzfZFLogUtility::Sink previous_;
};

struct ObjectFree {
    void operator()(CzfServiceObject* object) const { CzfObjectFactory::zfFreeObject(object); }
};
using ObjectPtr = std::unique_ptr<CzfServiceObject, ObjectFree>;

struct ExpectedReport {
    const GUID& source;
    int32_t methodNumber;
    int32_t code;
    int32_t severity;
    int32_t location;
};

inline void expectReport(const CzfErrorInfo& record, const ExpectedReport& expected) {
    ASSERT_NE(record.source, nullptr);
    EXPECT_TRUE(*record.source == expected.source);
    EXPECT_EQ(record.methodNumber, expected.methodNumber);
    ASSERT_NE(record.errorCategory, nullptr);
    EXPECT_TRUE(*record.errorCategory == merrowkit::kErrorCategory);
    EXPECT_EQ(record.errorCode, expected.code);
    EXPECT_EQ(record.severity, expected.severity);
    EXPECT_EQ(record.location, expected.location);
}

// A record whose fields all differ from anything the component writes.
inline CzfErrorInfo staleRecord() {
    static const GUID kStale = {0xdeadbeef, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
    CzfErrorInfo record;
    record.errorCategory = &kStale;
    record.errorCode = 99;
    record.severity = 5;
    record.source = &kStale;
    record.methodNumber = 99;
    record.location = 99;
    return record;
}

}  // namespace servicetest
