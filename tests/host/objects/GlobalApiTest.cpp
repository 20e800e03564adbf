// The text form of GUIDs and the object identifier strings.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "host/objects/GlobalApi.h"
#include "host/objects/HostObject.h"
#include "host/objects/ServiceObject.h"

namespace {

class Track : public merrowhost::HostObject {
public:
    const char* classPrefix() const override { return "track"; }
};

class Clip : public merrowhost::HostObject {
public:
    const char* classPrefix() const override { return "clip"; }
};

class LongName : public merrowhost::HostObject {
public:
    LongName() : prefix_(400, 'n') {}
    const char* classPrefix() const override { return prefix_.c_str(); }

private:
    std::string prefix_;
};

class Plain : public CzfServiceObject {};

std::string idOf(CzfServiceObject* object, bool withClassPrefix = true) {
    char buffer[CzfGlobalAPI2::kObjectIdBufferSize] = {};
    EXPECT_TRUE(CzfGlobalAPI2::zfGetObjectIDString(object, withClassPrefix, buffer, nullptr));
    return buffer;
}

std::string guidText(const GUID& id) {
    std::unique_ptr<char[]> text(CzfGlobalAPI::zfConvertToString2(id));
    return text.get();
}

}  // namespace

TEST(GuidText, UpperCaseHexInRegistryForm) {
    const GUID id = {0x0123abcd, 0x4ef0, 0x0a0b, {0xc1, 0xd2, 0x03, 0xe4, 0xf5, 0x06, 0x17, 0x28}};
    EXPECT_EQ(guidText(id), "{0123ABCD-4EF0-0A0B-C1D2-03E4F5061728}");
    EXPECT_EQ(guidText(GUID{}), "{00000000-0000-0000-0000-000000000000}");
    const GUID full = {
        0xffffffff, 0xffff, 0xffff, {0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff}};
    EXPECT_EQ(guidText(full), "{FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF}");
}

TEST(ObjectIdString, CountsPerClassInOrderOfFirstAsk) {
    // Objects made outside the factory are numbered when first asked.
    merrowhost::resetObjectSerials();
    Track firstTrack;
    Clip firstClip;
    Track secondTrack;
    EXPECT_EQ(idOf(&firstTrack), "track_0001");
    EXPECT_EQ(idOf(&secondTrack), "track_0002");
    EXPECT_EQ(idOf(&firstClip), "clip_0001");
    // Asking again gives the same text.
    EXPECT_EQ(idOf(&firstTrack), "track_0001");
    EXPECT_EQ(idOf(&firstTrack, false), "0001");
    EXPECT_EQ(idOf(&secondTrack, false), "0002");
}

TEST(ObjectIdString, FactoryObjectsAreNumberedWhenCreated) {
    constexpr GUID kTrackClass = {0x51e0c002, 0x0001, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x01}};
    merrowhost::registerClass(kTrackClass, [] { return new Track; });
    merrowhost::resetObjectSerials();
    CzfServiceObject* first = CzfObjectFactory::zfCreateObject(&kTrackClass, nullptr);
    CzfServiceObject* second = CzfObjectFactory::zfCreateObject(&kTrackClass, nullptr);
    // Asked in the opposite order: the creation order decides.
    EXPECT_EQ(idOf(second), "track_0002");
    EXPECT_EQ(idOf(first), "track_0001");
    CzfObjectFactory::zfFreeObject(first);
    CzfObjectFactory::zfFreeObject(second);
}

TEST(ObjectIdString, OtherObjectsAreNumberedInAskOrder) {
    merrowhost::resetObjectSerials();
    Plain first;
    Plain second;
    EXPECT_EQ(idOf(&second), "object_0001");
    EXPECT_EQ(idOf(&first), "object_0002");
    EXPECT_EQ(idOf(&second), "object_0001");
    EXPECT_EQ(idOf(&first, false), "0002");
}

TEST(ObjectIdString, ObjectAtAFreedAddressGetsANewIdentifier) {
    merrowhost::resetObjectSerials();
    std::string before;
    std::string after;
    {
        auto* object = new Plain;
        before = idOf(object);
        delete object;
    }
    {
        auto* object = new Plain;
        after = idOf(object);
        delete object;
    }
    EXPECT_EQ(before, "object_0001");
    EXPECT_EQ(after, "object_0002");
}

TEST(ObjectIdString, LongIdentifierIsCutToFitTheBuffer) {
    LongName object;
    char buffer[CzfGlobalAPI2::kObjectIdBufferSize + 8];
    std::memset(buffer, '#', sizeof buffer);
    ASSERT_TRUE(CzfGlobalAPI2::zfGetObjectIDString(&object, true, buffer, nullptr));
    EXPECT_EQ(std::strlen(buffer), CzfGlobalAPI2::kObjectIdBufferSize - 1);
    EXPECT_EQ(buffer[CzfGlobalAPI2::kObjectIdBufferSize], '#');
}

TEST(ObjectIdString, NullObjectOrBufferFails) {
    Track object;
    char buffer[CzfGlobalAPI2::kObjectIdBufferSize] = {};
    CzfErrorInfo error;
    EXPECT_FALSE(CzfGlobalAPI2::zfGetObjectIDString(nullptr, true, buffer, &error));
    EXPECT_EQ(error.errorCode, 2);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_FALSE(CzfGlobalAPI2::zfGetObjectIDString(&object, true, nullptr, nullptr));
}
