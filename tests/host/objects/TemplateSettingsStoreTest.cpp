// Settings access on the title and presentation objects, and the title's identifier.

#include <gtest/gtest.h>

#include <cstring>

#include "host/objects/GlobalApi.h"
#include "host/objects/HostInterfaces.h"
#include "host/objects/HostObject.h"
#include "host/objects/TemplateSettingsStore.h"
#include "host/title/AdvancedTitleObject.h"
#include "host/title/PresentationObject.h"

namespace {

SAVEDATA record(const char* name, uint32_t revision) {
    SAVEDATA data{};
    std::strncpy(data.projectName, name, sizeof data.projectName - 1);
    data.revision = revision;
    return data;
}

}  // namespace

TEST(TemplateSettingsStore, ApplyCopiesTheRecordThatTheSettingsOnlyBorrow) {
    merrowhost::AdvancedTitleObject title;
    auto* access = zfQuery<SzfSettingsAccess>(&title, merrowhost::kIidSettingsAccess, nullptr);
    ASSERT_NE(access, nullptr);
    {
        SAVEDATA borrowed = record("Winter", 3);
        CzfDiscTemplateSettings settings;
        settings.setDiscFormat(10);
        settings.setSaveData(&borrowed);
        ASSERT_TRUE(access->zfApplySettings(&settings, nullptr));
        borrowed = record("Overwritten", 9);
    }
    EXPECT_EQ(title.settings().discFormat(), 10);
    ASSERT_NE(title.settings().record(), nullptr);
    EXPECT_STREQ(title.settings().record()->projectName, "Winter");

    // Read hands the stored values out again.
    CzfDiscTemplateSettings readBack;
    ASSERT_TRUE(access->zfReadSettings(&readBack, nullptr));
    EXPECT_EQ(readBack.zfGetDiscFormat(), 10);
    EXPECT_EQ(readBack.zfGetVIOSaveData(), title.settings().record());

    // Settings without a record clear it.
    CzfDiscTemplateSettings bare;
    bare.setDiscFormat(15);
    ASSERT_TRUE(access->zfApplySettings(&bare, nullptr));
    EXPECT_EQ(title.settings().record(), nullptr);
    EXPECT_EQ(title.settings().applyCount(), 2);
}

TEST(TemplateSettingsStore, FailingApplyStoresNothingAndReportsIt) {
    merrowhost::PresentationObject presentation;
    presentation.settings().setApplyFails(true);
    SAVEDATA data = record("Spring", 1);
    CzfDiscTemplateSettings settings;
    settings.setDiscFormat(15);
    settings.setSaveData(&data);
    CzfErrorInfo error;
    auto* access =
        zfQuery<SzfSettingsAccess>(&presentation, merrowhost::kIidSettingsAccess, nullptr);
    EXPECT_FALSE(access->zfApplySettings(&settings, &error));
    EXPECT_EQ(error.errorCode, 1);
    EXPECT_EQ(presentation.settings().discFormat(), 0);
    EXPECT_EQ(presentation.settings().record(), nullptr);
    EXPECT_FALSE(access->zfApplySettings(nullptr, nullptr));
    EXPECT_FALSE(access->zfReadSettings(nullptr, nullptr));
}

TEST(AdvancedTitleObject, IdentifierFollowsTheSerialAndIsStable) {
    merrowhost::resetObjectSerials();
    merrowhost::AdvancedTitleObject first;
    merrowhost::AdvancedTitleObject second;
    GUID a{};
    GUID b{};
    GUID again{};
    ASSERT_TRUE(first.zfGetObjectID(&a, nullptr));
    ASSERT_TRUE(second.zfGetObjectID(&b, nullptr));
    first.zfGetObjectID(&again, nullptr);
    EXPECT_TRUE(a == again);
    EXPECT_FALSE(a == b);
    char* text = CzfGlobalAPI::zfConvertToString2(b);
    EXPECT_STREQ(text, "{4D455252-0000-4000-8000-000000000002}");
    delete[] text;
    EXPECT_FALSE(first.zfGetObjectID(nullptr, nullptr));
}

TEST(PresentationObject, KeepsSetupAndBindingForTheHostProgram) {
    merrowhost::PresentationObject presentation;
    EXPECT_FALSE(presentation.isBound());
    zfQuery<SzfPresentationSetup>(&presentation, merrowhost::kIidPresentationSetup, nullptr)
        ->zfSetup(0, 0, nullptr);
    zfQuery<SzfDocumentBinding>(&presentation, merrowhost::kIidDocumentBinding, nullptr)
        ->zfBindDocument(12, 0, nullptr);
    EXPECT_TRUE(presentation.isSetUp());
    EXPECT_EQ(presentation.setupFirst(), 0);
    EXPECT_TRUE(presentation.isBound());
    EXPECT_EQ(presentation.boundDomId(), 12u);
    EXPECT_EQ(presentation.bindingReserved(), 0);
    // The track collection is the presentation's own, the same every time.
    auto* access = zfQuery<SzfTrackCollectionAccess>(
        &presentation, merrowhost::kIidTrackCollectionAccess, nullptr);
    EXPECT_EQ(access->zfGetTrackCollection(nullptr), &presentation.trackCollection());
    EXPECT_EQ(access->zfGetTrackCollection(nullptr), access->zfGetTrackCollection(nullptr));
    EXPECT_FALSE(presentation.trackCollection().zfAddTrack(nullptr, nullptr));
    EXPECT_TRUE(presentation.tracks().empty());
}
