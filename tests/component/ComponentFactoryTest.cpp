#include <gtest/gtest.h>

#include "ServiceTestSupport.h"
#include "component/BDJAdvancedTitleCreator.h"
#include "component/BDJPresentationDomOperator.h"
#include "merrowkit/Services.h"

namespace {

using servicetest::expectReport;
using servicetest::LoggedEvents;
using servicetest::ObjectPtr;

constexpr GUID kUnknownClass = {0x11111111, 0x2222, 0x3333, {4, 4, 4, 4, 4, 4, 4, 4}};

const servicetest::ExpectedReport kNullArgumentReport{merrowkit::kSourceFactory, 7,
                                                      merrowkit::kErrorNullArgument, 2, 35};

CzfServiceObject* const kUntouched = reinterpret_cast<CzfServiceObject*>(0x1234);

TEST(ComponentFactory, CreatesEachServiceObjectUnderItsClassId) {
    LoggedEvents logged;
    for (const GUID* classId :
         {&merrowkit::kClsidAdvancedTitleCreator, &merrowkit::kClsidPresentationDomOperator}) {
        CzfErrorInfo record = servicetest::staleRecord();
        CzfServiceObject* raw = nullptr;
        ASSERT_TRUE(gzf_CreateComponent(classId, &raw, &record));
        ObjectPtr object(raw);
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(record.severity, 0);

        GUID reported{};
        ASSERT_TRUE(object->zfGetClassID(&reported, nullptr));
        EXPECT_TRUE(reported == *classId);
    }
    EXPECT_EQ(logged.count(), 0u);
}

TEST(ComponentFactory, CreatesTheConcreteClassOfEachRow) {
    CzfServiceObject* raw = nullptr;
    ASSERT_TRUE(gzf_CreateComponent(&merrowkit::kClsidAdvancedTitleCreator, &raw, nullptr));
    ObjectPtr creator(raw);
    EXPECT_NE(dynamic_cast<CzfBDJAdvancedTitleCreator*>(creator.get()), nullptr);

    ASSERT_TRUE(gzf_CreateComponent(&merrowkit::kClsidPresentationDomOperator, &raw, nullptr));
    ObjectPtr domOperator(raw);
    EXPECT_NE(dynamic_cast<CzfBDJPresentationDomOperator*>(domOperator.get()), nullptr);
    EXPECT_NE(creator.get(), domOperator.get());
}

TEST(ComponentFactory, ComparesTheWholeClassId) {
    // One bit away from the creator's class identifier, in its last eight bytes.
    GUID nearMiss = merrowkit::kClsidAdvancedTitleCreator;
    nearMiss.Data4[6] ^= 0x01;
    CzfServiceObject* out = kUntouched;
    LoggedEvents logged;
    EXPECT_FALSE(gzf_CreateComponent(&nearMiss, &out, nullptr));
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(logged.count(), 2u);
}

TEST(ComponentFactory, NullClassIdReportsNullArgumentAndLeavesOutUntouched) {
    LoggedEvents logged;
    CzfErrorInfo record = servicetest::staleRecord();
    CzfServiceObject* out = kUntouched;
    EXPECT_FALSE(gzf_CreateComponent(nullptr, &out, &record));
    EXPECT_EQ(out, kUntouched);
    expectReport(record, kNullArgumentReport);
    ASSERT_EQ(logged.count(), 1u);
    expectReport(logged.events()[0], kNullArgumentReport);
}

TEST(ComponentFactory, NullOutPointerReportsNullArgument) {
    LoggedEvents logged;
    CzfErrorInfo record = servicetest::staleRecord();
    EXPECT_FALSE(gzf_CreateComponent(&merrowkit::kClsidAdvancedTitleCreator, nullptr, &record));
    expectReport(record, kNullArgumentReport);
    ASSERT_EQ(logged.count(), 1u);
    expectReport(logged.events()[0], kNullArgumentReport);
}

TEST(ComponentFactory, UnknownClassIsLoggedTwiceAndLeavesSeverityOne) {
    LoggedEvents logged;
    CzfErrorInfo record = servicetest::staleRecord();
    CzfServiceObject* out = kUntouched;
    EXPECT_FALSE(gzf_CreateComponent(&kUnknownClass, &out, &record));
    EXPECT_EQ(out, nullptr);

    expectReport(record, {merrowkit::kSourceFactory, 7, merrowkit::kErrorUnknownClass, 1, 35});
    ASSERT_EQ(logged.count(), 2u);
    expectReport(logged.events()[0],
                 {merrowkit::kSourceFactory, 7, merrowkit::kErrorUnknownClass, 2, 35});
    expectReport(logged.events()[1],
                 {merrowkit::kSourceFactory, 7, merrowkit::kErrorUnknownClass, 1, 35});
}

TEST(ComponentFactory, NullErrorPointerStillReportsThroughTheLog) {
    LoggedEvents logged;
    CzfServiceObject* out = kUntouched;
    EXPECT_FALSE(gzf_CreateComponent(nullptr, &out, nullptr));
    EXPECT_EQ(out, kUntouched);
    EXPECT_FALSE(gzf_CreateComponent(&kUnknownClass, &out, nullptr));
    EXPECT_EQ(out, nullptr);

    ASSERT_EQ(logged.count(), 3u);
    expectReport(logged.events()[0], kNullArgumentReport);
    expectReport(logged.events()[1],
                 {merrowkit::kSourceFactory, 7, merrowkit::kErrorUnknownClass, 2, 35});
    expectReport(logged.events()[2],
                 {merrowkit::kSourceFactory, 7, merrowkit::kErrorUnknownClass, 1, 35});

    ASSERT_TRUE(gzf_CreateComponent(&merrowkit::kClsidPresentationDomOperator, &out, nullptr));
    ObjectPtr object(out);
    EXPECT_NE(object, nullptr);
    EXPECT_EQ(logged.count(), 3u);
}

TEST(ComponentFactory, CreatorFunctionsReportNullOutPointer) {
    LoggedEvents logged;
    CzfErrorInfo record = servicetest::staleRecord();
    EXPECT_FALSE(CzfBDJAdvancedTitleCreator::CreateInstance(nullptr, &record));
    expectReport(record, {merrowkit::kSourceServiceClass, 0, merrowkit::kErrorNullArgument, 2, 38});

    EXPECT_FALSE(CzfBDJPresentationDomOperator::CreateInstance(nullptr, nullptr));
    ASSERT_EQ(logged.count(), 2u);
    expectReport(logged.events()[0],
                 {merrowkit::kSourceServiceClass, 0, merrowkit::kErrorNullArgument, 2, 38});
    expectReport(logged.events()[1],
                 {merrowkit::kSourceServiceClass, 0, merrowkit::kErrorNullArgument, 2, 18});
}

}  // namespace
