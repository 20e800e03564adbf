// The object factory over the class registry, and the answers of the service-object base.

#include <gtest/gtest.h>

#include "host/objects/HostObject.h"
#include "host/objects/ServiceObject.h"

namespace {

constexpr GUID kWidgetClass = {0x51e0c001, 0x0001, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x01}};
constexpr GUID kGadgetClass = {0x51e0c001, 0x0001, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x02}};
// Differs from kWidgetClass only in the last byte: the registry must compare all 128 bits.
constexpr GUID kWidgetNeighbour = {0x51e0c001, 0x0001, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x81}};
constexpr GUID kNullMakerClass = {0x51e0c001, 0x0001, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x03}};
constexpr GUID kThrowingClass = {0x51e0c001, 0x0001, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x04}};
constexpr GUID kSomeInterface = {0x51e0c001, 0x0002, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x01}};

int liveWidgets = 0;

class Widget : public merrowhost::HostObject {
public:
    Widget() { ++liveWidgets; }
    ~Widget() override { --liveWidgets; }
    const char* classPrefix() const override { return "widget"; }
};

class Gadget : public CzfServiceObject {};

void registerTestClasses() {
    merrowhost::registerClass(kWidgetClass, [] { return new Widget; });
    merrowhost::registerClass(kGadgetClass, [] { return new Gadget; });
}

}  // namespace

TEST(ObjectFactory, CreatesObjectsOfRegisteredClassesAndFreesThem) {
    registerTestClasses();
    EXPECT_TRUE(merrowhost::isClassRegistered(kWidgetClass));
    CzfErrorInfo error;
    CzfServiceObject* first = CzfObjectFactory::zfCreateObject(&kWidgetClass, &error);
    CzfServiceObject* second = CzfObjectFactory::zfCreateObject(&kWidgetClass, &error);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_NE(dynamic_cast<Widget*>(first), nullptr);
    EXPECT_EQ(error.errorCode, 0);
    EXPECT_EQ(error.severity, 0);
    EXPECT_EQ(liveWidgets, 2);
    CzfObjectFactory::zfFreeObject(first);
    CzfObjectFactory::zfFreeObject(second);
    EXPECT_EQ(liveWidgets, 0);

    CzfServiceObject* gadget = CzfObjectFactory::zfCreateObject(&kGadgetClass, nullptr);
    EXPECT_NE(dynamic_cast<Gadget*>(gadget), nullptr);
    CzfObjectFactory::zfFreeObject(gadget);
    CzfObjectFactory::zfFreeObject(nullptr);  // freeing nothing is allowed
}

TEST(ObjectFactory, UnknownClassGivesNullAndCodeSevenInTheRecord) {
    registerTestClasses();
    EXPECT_FALSE(merrowhost::isClassRegistered(kWidgetNeighbour));
    const GUID category = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    CzfErrorInfo error;
    error.errorCategory = &category;
    error.source = &category;
    EXPECT_EQ(CzfObjectFactory::zfCreateObject(&kWidgetNeighbour, &error), nullptr);
    EXPECT_EQ(error.errorCode, 7);
    EXPECT_EQ(error.severity, 2);
    EXPECT_EQ(error.errorCategory, &category);
    EXPECT_EQ(error.source, &category);

    // Without a record the failure is still a plain null.
    EXPECT_EQ(CzfObjectFactory::zfCreateObject(&kWidgetNeighbour, nullptr), nullptr);
}

TEST(ObjectFactory, NullClassIdentifierGivesNullAndCodeTwo) {
    CzfErrorInfo error;
    EXPECT_EQ(CzfObjectFactory::zfCreateObject(nullptr, &error), nullptr);
    EXPECT_EQ(error.errorCode, 2);
    EXPECT_EQ(error.severity, 2);
}

TEST(ObjectFactory, DisabledClassFailsLikeAnUnknownOneUntilEnabled) {
    registerTestClasses();
    {
        merrowhost::ScopedClassDisabled disabled(kWidgetClass);
        CzfErrorInfo error;
        EXPECT_EQ(CzfObjectFactory::zfCreateObject(&kWidgetClass, &error), nullptr);
        EXPECT_EQ(error.errorCode, 7);
        EXPECT_EQ(error.severity, 2);
        EXPECT_TRUE(merrowhost::isClassRegistered(kWidgetClass));
        // Other classes are not affected.
        CzfServiceObject* gadget = CzfObjectFactory::zfCreateObject(&kGadgetClass, nullptr);
        EXPECT_NE(gadget, nullptr);
        CzfObjectFactory::zfFreeObject(gadget);
    }
    CzfServiceObject* widget = CzfObjectFactory::zfCreateObject(&kWidgetClass, nullptr);
    EXPECT_NE(widget, nullptr);
    CzfObjectFactory::zfFreeObject(widget);
}

TEST(ObjectFactory, ClassDisabledBeforeRegistrationStaysDisabled) {
    // A class never registered before, also when the test is repeated.
    static uint8_t run = 0;
    const GUID kLateClass = {0x51e0c001, 0x0001, 0x4000, {0x80, 0, 0, 0, 0, 0, ++run, 0x05}};
    merrowhost::setClassDisabled(kLateClass, true);
    EXPECT_FALSE(merrowhost::isClassRegistered(kLateClass));
    merrowhost::registerClass(kLateClass, [] { return new Gadget; });
    EXPECT_TRUE(merrowhost::isClassRegistered(kLateClass));
    EXPECT_EQ(CzfObjectFactory::zfCreateObject(&kLateClass, nullptr), nullptr);
    merrowhost::setClassDisabled(kLateClass, false);
    CzfServiceObject* gadget = CzfObjectFactory::zfCreateObject(&kLateClass, nullptr);
    EXPECT_NE(gadget, nullptr);
    CzfObjectFactory::zfFreeObject(gadget);
}

TEST(ObjectFactory, CreatorThatFailsGivesNullAndCodeOne) {
    merrowhost::registerClass(kNullMakerClass, []() -> CzfServiceObject* { return nullptr; });
    merrowhost::registerClass(kThrowingClass, []() -> CzfServiceObject* { throw 42; });
    CzfErrorInfo error;
    EXPECT_EQ(CzfObjectFactory::zfCreateObject(&kNullMakerClass, &error), nullptr);
    EXPECT_EQ(error.errorCode, 1);
    CzfErrorInfo thrown;
    EXPECT_EQ(CzfObjectFactory::zfCreateObject(&kThrowingClass, &thrown), nullptr);
    EXPECT_EQ(thrown.errorCode, 1);
    EXPECT_EQ(thrown.severity, 2);
}

TEST(ObjectFactory, CreatorMayCreateThroughTheFactory) {
    // A creator that builds a part through the factory must not deadlock on the registry.
    constexpr GUID kOuterClass = {0x51e0c001, 0x0001, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x06}};
    registerTestClasses();
    CzfServiceObject* part = nullptr;
    merrowhost::registerClass(kOuterClass, [&part] {
        part = CzfObjectFactory::zfCreateObject(&kGadgetClass, nullptr);
        return new Gadget;
    });
    CzfServiceObject* outer = CzfObjectFactory::zfCreateObject(&kOuterClass, nullptr);
    EXPECT_NE(outer, nullptr);
    EXPECT_NE(part, nullptr);
    CzfObjectFactory::zfFreeObject(outer);
    CzfObjectFactory::zfFreeObject(part);
}

TEST(ServiceObjectBase, AnswersNoInterfaceKindOrClass) {
    Gadget object;
    void* out = &object;
    EXPECT_FALSE(object.zfQueryService(&kSomeInterface, &out, nullptr));
    EXPECT_EQ(out, nullptr);
    EXPECT_FALSE(object.zfQueryService(&kSomeInterface, nullptr, nullptr));

    bool kind = true;
    EXPECT_FALSE(object.zfIsKindOf(&kSomeInterface, 222, &kind, nullptr));
    EXPECT_FALSE(kind);
    EXPECT_FALSE(object.zfIsKindOf(&kSomeInterface, 222, nullptr, nullptr));

    bool runtimeType = true;
    EXPECT_FALSE(object.zfIsRunTimeTypeOf(&kSomeInterface, 1, &runtimeType, nullptr));
    EXPECT_FALSE(runtimeType);

    GUID classId = kSomeInterface;
    EXPECT_FALSE(object.zfGetClassID(&classId, nullptr));
}
