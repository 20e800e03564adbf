// The event log: one line per event, to the sink that is set.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/objects/ErrorInfo.h"

namespace {

constexpr GUID kSource = {
    0x0a1b2c3d, 0x4e5f, 0x6071, {0x82, 0x93, 0xa4, 0xb5, 0xc6, 0xd7, 0xe8, 0xf9}};

// Collects logged lines while it lives, then puts the previous sink back.
class CapturedLog {
public:
    CapturedLog() {
        previous_ =
            CzfZFLogUtility::setSink([this](const CzfErrorInfo& record, const std::string& line) {
                lines.push_back(line);
                codes.push_back(record.errorCode);
            });
    }
    ~CapturedLog() { CzfZFLogUtility::setSink(previous_); }
    CapturedLog(const CapturedLog&) = delete;
    CapturedLog& operator=(const CapturedLog&) = delete;

    std::vector<std::string> lines;
    std::vector<int32_t> codes;

private:
    CzfZFLogUtility::Sink previous_;
};

CzfErrorInfo sampleRecord() {
    CzfErrorInfo record;
    record.errorCode = 7;
    record.severity = 2;
    record.source = &kSource;
    record.methodNumber = 9;
    record.location = 35;
    return record;
}

}  // namespace

TEST(ErrorLog, EachEventReachesTheSinkAsOneLine) {
    CapturedLog log;
    CzfErrorInfo record = sampleRecord();
    CzfZFLogUtility::zfLogErrorEvent(&record);
    record.severity = 1;
    CzfZFLogUtility::zfLogErrorEvent(&record);
    ASSERT_EQ(log.lines.size(), 2u);
    EXPECT_EQ(log.codes, (std::vector<int32_t>{7, 7}));
    for (const std::string& line : log.lines) EXPECT_EQ(line.find('\n'), std::string::npos);
    EXPECT_NE(log.lines[0].find("severity 2"), std::string::npos);
    EXPECT_NE(log.lines[1].find("severity 1"), std::string::npos);
}

TEST(ErrorLog, NullRecordIsIgnored) {
    CapturedLog log;
    CzfZFLogUtility::zfLogErrorEvent(nullptr);
    EXPECT_TRUE(log.lines.empty());
}

TEST(ErrorLog, LineNamesCodeMeaningSeveritySourceMethodAndLocation) {
    const std::string line = CzfZFLogUtility::formatEvent(sampleRecord());
    EXPECT_NE(line.find("code 7 (no class of that identifier)"), std::string::npos) << line;
    EXPECT_NE(line.find("severity 2"), std::string::npos) << line;
    EXPECT_NE(line.find("{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}"), std::string::npos) << line;
    EXPECT_NE(line.find("method 9"), std::string::npos) << line;
    EXPECT_NE(line.find("location 35"), std::string::npos) << line;

    CzfErrorInfo withoutSource;
    const std::string bare = CzfZFLogUtility::formatEvent(withoutSource);
    EXPECT_NE(bare.find("source none"), std::string::npos) << bare;
}

TEST(ErrorLog, EveryKnownCodeHasItsOwnMeaning) {
    std::vector<std::string> lines;
    for (int32_t code : {1, 2, 7, 8, 9, 10}) {
        CzfErrorInfo record;
        record.errorCode = code;
        lines.push_back(CzfZFLogUtility::formatEvent(record));
        EXPECT_EQ(lines.back().find("unknown error code"), std::string::npos) << lines.back();
    }
    // Same fields apart from the code, so distinct lines mean distinct meanings.
    for (size_t i = 0; i < lines.size(); ++i) {
        for (size_t j = i + 1; j < lines.size(); ++j) EXPECT_NE(lines[i], lines[j]);
    }
    CzfErrorInfo strange;
    strange.errorCode = 4242;
    EXPECT_NE(CzfZFLogUtility::formatEvent(strange).find("code 4242"), std::string::npos);
}

TEST(ErrorLog, ThrowingSinkDoesNotReachTheCaller) {
    CzfZFLogUtility::Sink previous = CzfZFLogUtility::setSink(
        [](const CzfErrorInfo&, const std::string&) { throw std::string("sink failed"); });
    CzfErrorInfo record = sampleRecord();
    EXPECT_NO_THROW(CzfZFLogUtility::zfLogErrorEvent(&record));
    CzfZFLogUtility::setSink(previous);
}

TEST(ErrorLog, SetSinkReturnsThePreviousSinkAndEmptyRestoresStderr) {
    std::vector<std::string> outer;
    CzfZFLogUtility::Sink original = CzfZFLogUtility::setSink(
        [&outer](const CzfErrorInfo&, const std::string& line) { outer.push_back(line); });
    {
        CapturedLog inner;
        CzfErrorInfo record = sampleRecord();
        CzfZFLogUtility::zfLogErrorEvent(&record);
        EXPECT_EQ(inner.lines.size(), 1u);
    }
    EXPECT_TRUE(outer.empty());
    CzfErrorInfo record = sampleRecord();
    CzfZFLogUtility::zfLogErrorEvent(&record);
    EXPECT_EQ(outer.size(), 1u);

    CzfZFLogUtility::setSink(CzfZFLogUtility::Sink());
    testing::internal::CaptureStderr();
    CzfZFLogUtility::zfLogErrorEvent(&record);
    const std::string written = testing::internal::GetCapturedStderr();
    EXPECT_EQ(written, CzfZFLogUtility::formatEvent(record) + "\n");
    EXPECT_EQ(outer.size(), 1u);
    CzfZFLogUtility::setSink(original);
}
