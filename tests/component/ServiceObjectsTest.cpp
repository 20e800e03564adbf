#include <gtest/gtest.h>

#include <string>

#include "ServiceTestSupport.h"
#include "component/BDJAdvancedTitleCreator.h"
#include "component/BDJPresentationDomOperator.h"
#include "merrowkit/Services.h"

namespace {

using servicetest::expectReport;
using servicetest::LoggedEvents;
using servicetest::ObjectPtr;

// What distinguishes the two service classes in these tests.
struct ServiceClass {
    std::string name;
    const GUID* classId;
    const GUID* interfaceId;
    const GUID* otherInterfaceId;
    int kind;
    int otherKind;
    int queryLocation;
    int kindLocation;
    // The object seen through its interface base, cast by the compiler.
    void* (*interfaceBase)(CzfServiceObject* object);
};

const ServiceClass kAdvancedTitleCreator{"AdvancedTitleCreator",
                                         &merrowkit::kClsidAdvancedTitleCreator,
                                         &merrowkit::kIidCreateBDJAdvancedTitleMethod,
                                         &merrowkit::kIidOperateBDJPresentationDom,
                                         319,
                                         321,
                                         38,
                                         34,
                                         [](CzfServiceObject* object) -> void* {
                                             return static_cast<SzfCreateBDJAdvancedTitle_Method*>(
                                                 static_cast<CzfBDJAdvancedTitleCreator*>(object));
                                         }};

const ServiceClass kPresentationDomOperator{
    "PresentationDomOperator",
    &merrowkit::kClsidPresentationDomOperator,
    &merrowkit::kIidOperateBDJPresentationDom,
    &merrowkit::kIidCreateBDJAdvancedTitleMethod,
    321,
    319,
    18,
    14,
    [](CzfServiceObject* object) -> void* {
        return static_cast<SzfOperateBDJPresentationDom*>(
            static_cast<CzfBDJPresentationDomOperator*>(object));
    }};

constexpr GUID kOtherCategory = {0x55555555, 0x6666, 0x7777, {8, 8, 8, 8, 8, 8, 8, 8}};

class ServiceObjects : public ::testing::TestWithParam<ServiceClass> {
protected:
    void SetUp() override {
        CzfServiceObject* raw = nullptr;
        ASSERT_TRUE(gzf_CreateComponent(GetParam().classId, &raw, nullptr));
        object_.reset(raw);
    }

    servicetest::ExpectedReport nullArgument(int32_t method, int32_t location) const {
        return {merrowkit::kSourceServiceClass, method, merrowkit::kErrorNullArgument, 2, location};
    }

    ObjectPtr object_;
};

TEST_P(ServiceObjects, QueryForOwnInterfaceGivesTheSameObjectThroughItsInterfaceBase) {
    LoggedEvents logged;
    CzfErrorInfo record = servicetest::staleRecord();
    void* out = nullptr;
    ASSERT_TRUE(object_->zfQueryService(GetParam().interfaceId, &out, &record));
    EXPECT_EQ(out, GetParam().interfaceBase(object_.get()));
    // The interface is the second base, so it does not sit at the object's own address.
    EXPECT_NE(out, static_cast<void*>(object_.get()));

    void* again = nullptr;
    ASSERT_TRUE(object_->zfQueryService(GetParam().interfaceId, &again, nullptr));
    EXPECT_EQ(again, out);

    ASSERT_NE(record.source, nullptr);
    EXPECT_TRUE(*record.source == merrowkit::kSourceServiceClass);
    EXPECT_EQ(record.severity, 0);
    EXPECT_EQ(logged.count(), 0u);
}

TEST_P(ServiceObjects, QueryForAnotherInterfaceIsAnsweredByTheBase) {
    void* out = reinterpret_cast<void*>(0x1234);
    EXPECT_FALSE(object_->zfQueryService(GetParam().otherInterfaceId, &out, nullptr));
    EXPECT_EQ(out, nullptr);

    out = reinterpret_cast<void*>(0x1234);
    EXPECT_FALSE(object_->zfQueryService(nullptr, &out, nullptr));
    EXPECT_EQ(out, nullptr);
}

TEST_P(ServiceObjects, QueryWithoutOutPointerReportsNullArgument) {
    LoggedEvents logged;
    CzfErrorInfo record = servicetest::staleRecord();
    EXPECT_FALSE(object_->zfQueryService(GetParam().interfaceId, nullptr, &record));
    expectReport(record, nullArgument(1, GetParam().queryLocation));
    ASSERT_EQ(logged.count(), 1u);
    expectReport(logged.events()[0], nullArgument(1, GetParam().queryLocation));
}

TEST_P(ServiceObjects, IsKindOfItsOwnKindInTheSharedCategory) {
    LoggedEvents logged;
    CzfErrorInfo record = servicetest::staleRecord();
    bool out = false;
    EXPECT_TRUE(
        object_->zfIsKindOf(&merrowkit::kCategoryServiceKind, GetParam().kind, &out, &record));
    EXPECT_TRUE(out);
    EXPECT_EQ(record.severity, 0);
    EXPECT_EQ(logged.count(), 0u);
}

TEST_P(ServiceObjects, OtherKindPairsAreAnsweredByTheBase) {
    struct Pair {
        const GUID* category;
        int kind;
    };
    for (const Pair& pair : {Pair{&merrowkit::kCategoryServiceKind, GetParam().otherKind},
                             Pair{&kOtherCategory, GetParam().kind}, Pair{nullptr, GetParam().kind},
                             Pair{&merrowkit::kCategoryServiceKind, 0}}) {
        bool out = true;
        EXPECT_FALSE(object_->zfIsKindOf(pair.category, pair.kind, &out, nullptr));
        EXPECT_FALSE(out);
    }
}

TEST_P(ServiceObjects, IsKindOfWithoutOutPointerReportsNullArgument) {
    LoggedEvents logged;
    CzfErrorInfo record = servicetest::staleRecord();
    EXPECT_FALSE(
        object_->zfIsKindOf(&merrowkit::kCategoryServiceKind, GetParam().kind, nullptr, &record));
    expectReport(record, nullArgument(2, GetParam().kindLocation));
    ASSERT_EQ(logged.count(), 1u);
    expectReport(logged.events()[0], nullArgument(2, GetParam().kindLocation));
}

TEST_P(ServiceObjects, ClassIdIsTheOneItWasCreatedUnder) {
    GUID out{};
    CzfErrorInfo record = servicetest::staleRecord();
    ASSERT_TRUE(object_->zfGetClassID(&out, &record));
    EXPECT_TRUE(out == *GetParam().classId);
    EXPECT_EQ(record.severity, 0);
}

TEST_P(ServiceObjects, ClassIdWithoutOutPointerReportsNullArgument) {
    LoggedEvents logged;
    CzfErrorInfo record = servicetest::staleRecord();
    EXPECT_FALSE(object_->zfGetClassID(nullptr, &record));
    expectReport(record, nullArgument(9, GetParam().kindLocation));
    ASSERT_EQ(logged.count(), 1u);
    expectReport(logged.events()[0], nullArgument(9, GetParam().kindLocation));
}

TEST_P(ServiceObjects, NullErrorPointerIsAllowedOnEveryFailurePath) {
    LoggedEvents logged;
    EXPECT_FALSE(object_->zfQueryService(GetParam().interfaceId, nullptr, nullptr));
    EXPECT_FALSE(
        object_->zfIsKindOf(&merrowkit::kCategoryServiceKind, GetParam().kind, nullptr, nullptr));
    EXPECT_FALSE(object_->zfGetClassID(nullptr, nullptr));

    ASSERT_EQ(logged.count(), 3u);
    expectReport(logged.events()[0], nullArgument(1, GetParam().queryLocation));
    expectReport(logged.events()[1], nullArgument(2, GetParam().kindLocation));
    expectReport(logged.events()[2], nullArgument(9, GetParam().kindLocation));
}

INSTANTIATE_TEST_SUITE_P(BothClasses, ServiceObjects,
                         ::testing::Values(kAdvancedTitleCreator, kPresentationDomOperator),
                         [](const ::testing::TestParamInfo<ServiceClass>& param) {
                             return param.param.name;
                         });

TEST(AdvancedTitleCreator, NullSourceGivesNoTitleAndLogsNothing) {
    CzfServiceObject* raw = nullptr;
    ASSERT_TRUE(gzf_CreateComponent(&merrowkit::kClsidAdvancedTitleCreator, &raw, nullptr));
    ObjectPtr object(raw);
    void* method = nullptr;
    ASSERT_TRUE(
        object->zfQueryService(&merrowkit::kIidCreateBDJAdvancedTitleMethod, &method, nullptr));

    LoggedEvents logged;
    CzfErrorInfo record = servicetest::staleRecord();
    CzfServiceObject* title = reinterpret_cast<CzfServiceObject*>(0x1234);
    EXPECT_FALSE(static_cast<SzfCreateBDJAdvancedTitle_Method*>(method)->zfCreateBDJAdvancedTitle(
        &title, nullptr, nullptr, &record));
    EXPECT_EQ(title, nullptr);
    ASSERT_NE(record.source, nullptr);
    EXPECT_TRUE(*record.source == merrowkit::kClsidAdvancedTitleCreator);
    EXPECT_EQ(record.severity, 0);
    EXPECT_EQ(logged.count(), 0u);
}

}  // namespace
