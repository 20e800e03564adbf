// The source object: its answers, its media items and who owns the media they carry.

#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>

#include "host/objects/HostInterfaces.h"
#include "host/objects/ServiceObject.h"
#include "host/title/ProjectSourceObject.h"
#include "support/ProbeObject.h"

namespace {

using hosttest::ProbeObject;

intptr_t readValue(CzfServiceObject* item, bool* result = nullptr) {
    auto* media = zfQuery<SzfMediaItem>(item, merrowhost::kIidMediaItem, nullptr);
    intptr_t value = -1;
    const bool ok = media != nullptr && media->zfGetValue(&value, nullptr);
    if (result != nullptr) *result = ok;
    return value;
}

}  // namespace

TEST(ProjectSourceObject, AnswersWhatWasSet) {
    merrowhost::ProjectSourceObject source;
    source.setBackgroundSwitch(true);
    source.setMediaKind(2);
    source.setPresentationDomId(41);
    source.setRootTitleSwitch(true);

    bool on = false;
    ASSERT_TRUE(zfQuery<SzfBackgroundSwitch>(&source, merrowhost::kIidBackgroundSwitch, nullptr)
                    ->zfGetBackgroundSwitch(&on, nullptr));
    EXPECT_TRUE(on);
    int32_t kind = 0;
    zfQuery<SzfMediaIndex>(&source, merrowhost::kIidMediaIndex, nullptr)
        ->zfGetMediaKind(&kind, nullptr);
    EXPECT_EQ(kind, 2);
    unsigned dom = 0;
    zfQuery<SzfProjectPresentation>(&source, merrowhost::kIidProjectPresentation, nullptr)
        ->zfGetPresentationDomId(&dom, nullptr);
    EXPECT_EQ(dom, 41u);
    bool root = false;
    zfQuery<SzfRootTitleSwitch>(&source, merrowhost::kIidRootTitleSwitch, nullptr)
        ->zfGetRootTitleSwitch(&root, nullptr);
    EXPECT_TRUE(root);

    CzfErrorInfo error;
    EXPECT_FALSE(source.zfGetBackgroundSwitch(nullptr, &error));
    EXPECT_EQ(error.errorCode, 2);
}

TEST(ProjectSourceObject, WithheldInterfacesAreNotAnswered) {
    merrowhost::ProjectSourceObject source;
    source.withoutInterface(merrowhost::kIidMediaCollection);
    void* out = &source;
    EXPECT_FALSE(source.zfQueryService(&merrowhost::kIidMediaCollection, &out, nullptr));
    EXPECT_EQ(out, nullptr);
    EXPECT_NE(zfQuery<SzfMediaIndex>(&source, merrowhost::kIidMediaIndex, nullptr), nullptr);
    source.restoreInterface(merrowhost::kIidMediaCollection);
    EXPECT_NE(zfQuery<SzfMediaCollection>(&source, merrowhost::kIidMediaCollection, nullptr),
              nullptr);
}

TEST(ProjectSourceObject, BackgroundPathIsANewCopyEachTimeOrNull) {
    merrowhost::ProjectSourceObject source;
    auto* paths = zfQuery<SzfBackgroundPath>(&source, merrowhost::kIidBackgroundPath, nullptr);
    EXPECT_EQ(paths->zfGetBackgroundPath(nullptr), nullptr);

    source.setBackgroundPath(L"/art/sky.png");
    wchar_t* first = paths->zfGetBackgroundPath(nullptr);
    wchar_t* second = paths->zfGetBackgroundPath(nullptr);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(std::wcscmp(first, L"/art/sky.png"), 0);
    delete[] first;
    delete[] second;

    source.setBackgroundPath(L"");
    wchar_t* empty = paths->zfGetBackgroundPath(nullptr);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty[0], L'\0');
    delete[] empty;
    EXPECT_EQ(source.backgroundPathReads(), 4);
}

TEST(ProjectSourceObject, MediaCollectionGivesItemsByIndexAndTheDefaultItem) {
    merrowhost::ProjectSourceObject source;
    auto* media = zfQuery<SzfMediaCollection>(&source, merrowhost::kIidMediaCollection, nullptr);
    EXPECT_EQ(media->zfGetDefaultItem(nullptr), nullptr);
    EXPECT_EQ(media->zfGetItem(0, nullptr), nullptr);

    source.setDefaultItemValue(0x7654321);
    source.setItemValue(3, 99);
    CzfServiceObject* defaultItem = media->zfGetDefaultItem(nullptr);
    EXPECT_EQ(readValue(defaultItem), 0x7654321);
    EXPECT_EQ(readValue(defaultItem), 0x7654321);  // numbers can be read again
    EXPECT_EQ(readValue(media->zfGetItem(3, nullptr)), 99);
    EXPECT_EQ(media->zfGetItem(0, nullptr), nullptr);
    EXPECT_EQ(media->zfGetItem(-1, nullptr), nullptr);

    source.clearDefaultItem();
    source.removeItem(3);
    EXPECT_EQ(media->zfGetDefaultItem(nullptr), nullptr);
    EXPECT_EQ(media->zfGetItem(3, nullptr), nullptr);
}

TEST(ProjectSourceObject, ReadingAMediaItemHandsItsObjectOverOnce) {
    int freed = 0;
    auto* object = new ProbeObject(&freed);
    {
        merrowhost::ProjectSourceObject source;
        source.setItemMedia(0, object);
        CzfServiceObject* item = source.zfGetItem(0, nullptr);
        bool ok = false;
        EXPECT_EQ(readValue(item, &ok), reinterpret_cast<intptr_t>(object));
        EXPECT_TRUE(ok);
        EXPECT_TRUE(source.item(0)->mediaHandedOver());
        // A second read must not make a second owner.
        EXPECT_EQ(readValue(item, &ok), 0);
        EXPECT_FALSE(ok);
    }
    EXPECT_EQ(freed, 0);  // the reader owns it now
    CzfObjectFactory::zfFreeObject(object);
    EXPECT_EQ(freed, 1);
}

TEST(ProjectSourceObject, MediaNeverReadIsFreedWithTheSourceOrWhenReplaced) {
    int replaced = 0;
    int kept = 0;
    {
        merrowhost::ProjectSourceObject source;
        source.setItemMedia(0, new ProbeObject(&replaced));
        source.setItemMedia(0, new ProbeObject(&kept));
        EXPECT_EQ(replaced, 1);
        EXPECT_EQ(kept, 0);
    }
    EXPECT_EQ(kept, 1);
}

TEST(ProjectSourceObject, SettingsReadGivesTheSourcesOwnRecord) {
    merrowhost::ProjectSourceObject source;
    SAVEDATA record{};
    std::strcpy(record.projectName, "Garden");
    source.setRecord(&record);
    source.setDiscFormat(15);
    std::strcpy(record.projectName, "Other");

    CzfDiscTemplateSettings settings;
    ASSERT_TRUE(zfQuery<SzfSettingsAccess>(&source, merrowhost::kIidSettingsAccess, nullptr)
                    ->zfReadSettings(&settings, nullptr));
    EXPECT_EQ(settings.zfGetDiscFormat(), 15);
    ASSERT_NE(settings.zfGetVIOSaveData(), nullptr);
    EXPECT_EQ(settings.zfGetVIOSaveData(), source.settings().record());
    EXPECT_STREQ(settings.zfGetVIOSaveData()->projectName, "Garden");
}
