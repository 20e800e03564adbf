// The host classes behind the object factory, and the ownership chain that hangs from a title.

#include <gtest/gtest.h>

#include <cstring>

#include "host/objects/CallFailure.h"
#include "host/objects/HostInterfaces.h"
#include "host/objects/ServiceObject.h"
#include "host/title/AdvancedTitleObject.h"
#include "host/title/ClipListObject.h"
#include "host/title/ClipObject.h"
#include "host/title/HostClasses.h"
#include "host/title/ImageTrackObject.h"
#include "host/title/MediaHolderObject.h"
#include "host/title/PresentationObject.h"
#include "host/title/ScopedClassOverride.h"
#include "support/ProbeObject.h"

namespace {

using hosttest::ProbeObject;

template <typename Interface>
Interface* query(CzfServiceObject* object, const GUID& interfaceId) {
    return zfQuery<Interface>(object, interfaceId, nullptr);
}

}  // namespace

TEST(HostClasses, FactoryMakesEveryHostClassWithoutSetUp) {
    CzfErrorInfo error;
    CzfServiceObject* title =
        CzfObjectFactory::zfCreateObject(&merrowhost::kClassAdvancedTitle, &error);
    CzfServiceObject* presentation =
        CzfObjectFactory::zfCreateObject(&merrowhost::kClassPresentation, &error);
    CzfServiceObject* holder =
        CzfObjectFactory::zfCreateObject(&merrowhost::kClassMediaHolder, &error);
    CzfServiceObject* clip1 = CzfObjectFactory::zfCreateObject(&merrowhost::kClassClip1, &error);
    CzfServiceObject* clip2 = CzfObjectFactory::zfCreateObject(&merrowhost::kClassClip2, &error);
    CzfServiceObject* list = CzfObjectFactory::zfCreateObject(&merrowhost::kClassClipList, &error);
    CzfServiceObject* track =
        CzfObjectFactory::zfCreateObject(&merrowhost::kClassImageTrack, &error);
    EXPECT_EQ(error.errorCode, 0);

    EXPECT_NE(dynamic_cast<merrowhost::AdvancedTitleObject*>(title), nullptr);
    EXPECT_NE(dynamic_cast<merrowhost::PresentationObject*>(presentation), nullptr);
    EXPECT_NE(dynamic_cast<merrowhost::MediaHolderObject*>(holder), nullptr);
    ASSERT_NE(dynamic_cast<merrowhost::ClipObject*>(clip1), nullptr);
    ASSERT_NE(dynamic_cast<merrowhost::ClipObject*>(clip2), nullptr);
    EXPECT_EQ(dynamic_cast<merrowhost::ClipObject*>(clip1)->kind(), 1);
    EXPECT_EQ(dynamic_cast<merrowhost::ClipObject*>(clip2)->kind(), 2);
    EXPECT_NE(dynamic_cast<merrowhost::ClipListObject*>(list), nullptr);
    EXPECT_NE(dynamic_cast<merrowhost::ImageTrackObject*>(track), nullptr);

    // Each answers the interfaces of its role, and no other role's.
    EXPECT_NE(query<SzfSettingsAccess>(title, merrowhost::kIidSettingsAccess), nullptr);
    EXPECT_NE(query<SzfTitleClips>(title, merrowhost::kIidTitleClips), nullptr);
    EXPECT_NE(query<SzfTitlePresentation>(title, merrowhost::kIidTitlePresentation), nullptr);
    EXPECT_NE(query<SzfObjectIdentifier>(title, merrowhost::kIidObjectIdentifier), nullptr);
    EXPECT_EQ(query<SzfClipList>(title, merrowhost::kIidClipList), nullptr);
    EXPECT_NE(query<SzfSettingsAccess>(presentation, merrowhost::kIidSettingsAccess), nullptr);
    EXPECT_NE(query<SzfPresentationSetup>(presentation, merrowhost::kIidPresentationSetup),
              nullptr);
    EXPECT_NE(query<SzfDocumentBinding>(presentation, merrowhost::kIidDocumentBinding), nullptr);
    EXPECT_NE(query<SzfTrackCollectionAccess>(presentation, merrowhost::kIidTrackCollectionAccess),
              nullptr);
    EXPECT_NE(query<SzfMediaHolderSettings>(holder, merrowhost::kIidMediaHolderSettings), nullptr);
    EXPECT_NE(query<SzfMediaHolderParts>(holder, merrowhost::kIidMediaHolderParts), nullptr);
    EXPECT_NE(query<SzfClipSettings>(clip2, merrowhost::kIidClipSettings), nullptr);
    EXPECT_NE(query<SzfClipOwner>(clip2, merrowhost::kIidClipOwner), nullptr);
    EXPECT_NE(query<SzfClipList>(list, merrowhost::kIidClipList), nullptr);
    EXPECT_NE(query<SzfImageData>(track, merrowhost::kIidImageData), nullptr);
    EXPECT_NE(query<SzfImageProjectRecord>(track, merrowhost::kIidImageProjectRecord), nullptr);
    EXPECT_NE(query<SzfImageSize>(track, merrowhost::kIidImageSize), nullptr);
    EXPECT_NE(query<SzfImageOption>(track, merrowhost::kIidImageOption), nullptr);
    EXPECT_EQ(query<SzfSettingsAccess>(track, merrowhost::kIidSettingsAccess), nullptr);

    for (CzfServiceObject* object : {title, presentation, holder, clip1, clip2, list, track}) {
        CzfObjectFactory::zfFreeObject(object);
    }
}

TEST(HostClasses, InterfacesPointAtTheObjectTheyWereAskedOf) {
    // Multiple interfaces live at different offsets of one object; each must reach its own
    // state through the pointer zfQueryService gave.
    CzfServiceObject* track =
        CzfObjectFactory::zfCreateObject(&merrowhost::kClassImageTrack, nullptr);
    query<SzfImageSize>(track, merrowhost::kIidImageSize)->zfSetSize(7, 9, 0, nullptr);
    query<SzfImageOption>(track, merrowhost::kIidImageOption)->zfSetOption(1, 0, nullptr);
    const auto* object = dynamic_cast<merrowhost::ImageTrackObject*>(track);
    EXPECT_EQ(object->width(), 7);
    EXPECT_EQ(object->height(), 9);
    EXPECT_EQ(object->option(), 1);
    CzfObjectFactory::zfFreeObject(track);
}

TEST(HostClasses, OverrideLastsForItsScopeOnly) {
    int destroyed = 0;
    {
        merrowhost::ScopedClassOverride override(
            merrowhost::kClassAdvancedTitle, [&destroyed] { return new ProbeObject(&destroyed); });
        CzfServiceObject* probe =
            CzfObjectFactory::zfCreateObject(&merrowhost::kClassAdvancedTitle, nullptr);
        EXPECT_NE(dynamic_cast<ProbeObject*>(probe), nullptr);
        CzfObjectFactory::zfFreeObject(probe);
    }
    EXPECT_EQ(destroyed, 1);
    CzfServiceObject* title =
        CzfObjectFactory::zfCreateObject(&merrowhost::kClassAdvancedTitle, nullptr);
    EXPECT_NE(dynamic_cast<merrowhost::AdvancedTitleObject*>(title), nullptr);
    CzfObjectFactory::zfFreeObject(title);

    EXPECT_FALSE(merrowhost::restoreHostClass(merrowhost::kIidClipList));
}

TEST(HostClasses, FreeingTheTitleFreesEverythingHandedToIt) {
    // The chain the advanced-title request builds: media into the placement, holder into the
    // clip, clip into the list, list and presentation into the title, tracks into the
    // presentation's collection.
    int mediaFreed = 0;
    int tracksFreed = 0;
    CzfServiceObject* title =
        CzfObjectFactory::zfCreateObject(&merrowhost::kClassAdvancedTitle, nullptr);
    CzfServiceObject* holder =
        CzfObjectFactory::zfCreateObject(&merrowhost::kClassMediaHolder, nullptr);
    CzfServiceObject* placement =
        query<SzfMediaHolderParts>(holder, merrowhost::kIidMediaHolderParts)
            ->zfGetPlacement(nullptr);
    ASSERT_NE(placement, nullptr);
    query<SzfPlacementMedia>(placement, merrowhost::kIidPlacementMedia)
        ->zfSetMedia(new ProbeObject(&mediaFreed), nullptr);
    query<SzfPlacementPosition>(placement, merrowhost::kIidPlacementPosition)
        ->zfSetPlacement(2, 2, nullptr);
    query<SzfPlacementOption>(placement, merrowhost::kIidPlacementOption)->zfSetOption(1, nullptr);

    CzfServiceObject* clip = CzfObjectFactory::zfCreateObject(&merrowhost::kClassClip2, nullptr);
    auto* clipSettings = query<SzfClipSettings>(clip, merrowhost::kIidClipSettings);
    clipSettings->zfSetMediaHolder(holder, nullptr);
    clipSettings->zfSetValue(0, 77, nullptr);
    query<SzfClipOwner>(clip, merrowhost::kIidClipOwner)->zfSetOwner(title, nullptr);
    CzfServiceObject* list = CzfObjectFactory::zfCreateObject(&merrowhost::kClassClipList, nullptr);
    ASSERT_TRUE(query<SzfClipList>(list, merrowhost::kIidClipList)->zfInsertClip(0, clip, nullptr));
    query<SzfTitleClips>(title, merrowhost::kIidTitleClips)->zfSetClipList(list, nullptr);

    CzfServiceObject* presentation =
        CzfObjectFactory::zfCreateObject(&merrowhost::kClassPresentation, nullptr);
    CzfServiceObject* collection =
        query<SzfTrackCollectionAccess>(presentation, merrowhost::kIidTrackCollectionAccess)
            ->zfGetTrackCollection(nullptr);
    auto* tracks = query<SzfTrackCollection>(collection, merrowhost::kIidTrackCollection);
    ASSERT_NE(tracks, nullptr);
    CzfServiceObject* track =
        CzfObjectFactory::zfCreateObject(&merrowhost::kClassImageTrack, nullptr);
    query<SzfImageData>(track, merrowhost::kIidImageData)
        ->zfSetImageData(0, new uint8_t[12], new uint8_t[4], 0, nullptr);
    EXPECT_TRUE(tracks->zfAddTrack(track, nullptr));
    EXPECT_TRUE(tracks->zfAddTrack(new ProbeObject(&tracksFreed), nullptr));
    query<SzfTitlePresentation>(title, merrowhost::kIidTitlePresentation)
        ->zfSetPresentation(presentation, nullptr);

    // What the host program reads back.
    const auto* titleObject = dynamic_cast<merrowhost::AdvancedTitleObject*>(title);
    ASSERT_NE(titleObject->clipListObject(), nullptr);
    ASSERT_EQ(titleObject->clipListObject()->size(), 1u);
    const merrowhost::ClipObject* storedClip = titleObject->clipListObject()->clipAt(0);
    ASSERT_NE(storedClip, nullptr);
    EXPECT_EQ(storedClip->owner(), title);
    EXPECT_EQ(storedClip->value(0), 77u);
    ASSERT_NE(storedClip->mediaHolderObject(), nullptr);
    EXPECT_EQ(storedClip->mediaHolderObject()->placement().placementFirst(), 2);
    EXPECT_EQ(storedClip->mediaHolderObject()->placement().option(), 1);
    ASSERT_NE(titleObject->presentationObject(), nullptr);
    ASSERT_EQ(titleObject->presentationObject()->tracks().size(), 1u);
    EXPECT_EQ(titleObject->presentationObject()->tracks()[0], track);
    EXPECT_EQ(titleObject->presentationObject()->trackCollection().objects().size(), 2u);

    CzfObjectFactory::zfFreeObject(title);
    EXPECT_EQ(mediaFreed, 1);
    EXPECT_EQ(tracksFreed, 1);
}

TEST(HostClasses, ReplacedPartsAreFreedAndRepeatedHandOversAreNotDoubleFreed) {
    int firstFreed = 0;
    int secondFreed = 0;
    merrowhost::AdvancedTitleObject title;
    auto* presentation = static_cast<SzfTitlePresentation*>(&title);
    auto* first = new ProbeObject(&firstFreed);
    presentation->zfSetPresentation(first, nullptr);
    presentation->zfSetPresentation(first, nullptr);  // the same object again stays
    EXPECT_EQ(firstFreed, 0);
    presentation->zfSetPresentation(new ProbeObject(&secondFreed), nullptr);
    EXPECT_EQ(firstFreed, 1);
    presentation->zfSetPresentation(nullptr, nullptr);
    EXPECT_EQ(secondFreed, 1);
    EXPECT_TRUE(title.presentationWasSet());
    EXPECT_EQ(title.presentation(), nullptr);

    int clipFreed = 0;
    auto* list = new merrowhost::ClipListObject;
    auto* clip = new ProbeObject(&clipFreed);
    EXPECT_TRUE(list->zfInsertClip(0, clip, nullptr));
    CzfErrorInfo error;
    EXPECT_FALSE(list->zfInsertClip(0, clip, &error));  // held once, freed once
    EXPECT_EQ(error.errorCode, merrowhost::kCallRefused);
    // A refused clip stays with the caller: the list must not free this one.
    merrowhost::ClipObject stray(1);
    EXPECT_FALSE(list->zfInsertClip(-1, &stray, nullptr));
    static_cast<SzfTitleClips&>(title).zfSetClipList(list, nullptr);
    static_cast<SzfTitleClips&>(title).zfSetClipList(nullptr, nullptr);
    EXPECT_EQ(clipFreed, 1);
}

TEST(ClipList, InsertPutsClipsAtTheirPositionAndAppendsPastTheEnd) {
    merrowhost::ClipListObject list;
    auto* a = new merrowhost::ClipObject(1);
    auto* b = new merrowhost::ClipObject(2);
    auto* c = new merrowhost::ClipObject(1);
    EXPECT_TRUE(list.zfInsertClip(0, a, nullptr));
    EXPECT_TRUE(list.zfInsertClip(0, b, nullptr));
    EXPECT_TRUE(list.zfInsertClip(9, c, nullptr));
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list.clipAt(0), b);
    EXPECT_EQ(list.clipAt(1), a);
    EXPECT_EQ(list.clipAt(2), c);
    EXPECT_EQ(list.clipAt(3), nullptr);
    EXPECT_FALSE(list.zfInsertClip(0, nullptr, nullptr));
}
