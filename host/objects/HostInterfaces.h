#pragma once
// The interfaces of the host's objects that the component reaches through zfQueryService, the
// identifiers of those interfaces, and the identifiers of the host classes it creates.
//
// Getters hand out views: items, the placement sub-object and the track collection stay owned
// by the object that gave them. Strings returned are new[] arrays that the caller frees.

#include <cstdint>

#include "host/objects/ErrorInfo.h"
#include "host/objects/Guid.h"
#include "host/objects/HostTypes.h"

class CzfServiceObject;
class CzfDiscTemplateSettings;

namespace merrowhost {

// Host classes.
inline constexpr GUID kClassAdvancedTitle = {
    0x6d3f1a01, 0x52c4, 0x4e8b, {0x9a, 0x10, 0x01, 0x00, 0x00, 0x00, 0x00, 0x01}};
inline constexpr GUID kClassPresentation = {
    0x6d3f1a01, 0x52c4, 0x4e8b, {0x9a, 0x10, 0x01, 0x00, 0x00, 0x00, 0x00, 0x02}};
inline constexpr GUID kClassMediaHolder = {
    0x6d3f1a01, 0x52c4, 0x4e8b, {0x9a, 0x10, 0x01, 0x00, 0x00, 0x00, 0x00, 0x03}};
inline constexpr GUID kClassClip1 = {
    0x6d3f1a01, 0x52c4, 0x4e8b, {0x9a, 0x10, 0x01, 0x00, 0x00, 0x00, 0x00, 0x04}};
inline constexpr GUID kClassClip2 = {
    0x6d3f1a01, 0x52c4, 0x4e8b, {0x9a, 0x10, 0x01, 0x00, 0x00, 0x00, 0x00, 0x05}};
inline constexpr GUID kClassClipList = {
    0x6d3f1a01, 0x52c4, 0x4e8b, {0x9a, 0x10, 0x01, 0x00, 0x00, 0x00, 0x00, 0x06}};
inline constexpr GUID kClassImageTrack = {
    0x6d3f1a01, 0x52c4, 0x4e8b, {0x9a, 0x10, 0x01, 0x00, 0x00, 0x00, 0x00, 0x07}};

// Kind category of user titles in a title collection, and the kind number they answer.
inline constexpr GUID kCategoryUserTitle = {
    0x6d3f1a02, 0x52c4, 0x4e8b, {0x9a, 0x10, 0x02, 0x00, 0x00, 0x00, 0x00, 0x01}};
inline constexpr int kKindUserTitle = 222;

// Interfaces, by role.
inline constexpr GUID kIidSettingsAccess = {
    0x6d3f1a03, 0x52c4, 0x4e8b, {0x9a, 0x10, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01}};
inline constexpr GUID kIidBackgroundSwitch = {
    0x6d3f1a03, 0x52c4, 0x4e8b, {0x9a, 0x10, 0x03, 0x00, 0x00, 0x00, 0x00, 0x02}};
inline constexpr GUID kIidMediaIndex = {
    0x6d3f1a03, 0x52c4, 0x4e8b, {0x9a, 0x10, 0x03, 0x00, 0x00, 0x00, 0x00, 0x03}};
inline constexpr GUID kIidMediaCollection = {
    0x6d3f1a03, 0x52c4, 0x4e8b, {0x9a, 0x10, 0x03, 0x00, 0x00, 0x00, 0x00, 0x04}};
inline constexpr GUID kIidMediaItem = {
    0x6d3f1a03, 0x52c4, 0x4e8b, {0x9a, 0x10, 0x03, 0x00, 0x00, 0x00, 0x00, 0x05}};
inline constexpr GUID kIidBackgroundPath = {
    0x6d3f1a03, 0x52c4, 0x4e8b, {0x9a, 0x10, 0x03, 0x00, 0x00, 0x00, 0x00, 0x06}};
inline constexpr GUID kIidProjectPresentation = {
    0x6d3f1a03, 0x52c4, 0x4e8b, {0x9a, 0x10, 0x03, 0x00, 0x00, 0x00, 0x00, 0x07}};
inline constexpr GUID kIidRootTitleSwitch = {
    0x6d3f1a03, 0x52c4, 0x4e8b, {0x9a, 0x10, 0x03, 0x00, 0x00, 0x00, 0x00, 0x08}};
inline constexpr GUID kIidObjectIdentifier = {
    0x6d3f1a03, 0x52c4, 0x4e8b, {0x9a, 0x10, 0x03, 0x00, 0x00, 0x00, 0x00, 0x09}};
inline constexpr GUID kIidTitleCollection = {
    0x6d3f1a03, 0x52c4, 0x4e8b, {0x9a, 0x10, 0x03, 0x00, 0x00, 0x00, 0x00, 0x0a}};
inline constexpr GUID kIidMediaHolderSettings = {
    0x6d3f1a03, 0x52c4, 0x4e8b, {0x9a, 0x10, 0x03, 0x00, 0x00, 0x00, 0x00, 0x0b}};
inline constexpr GUID kIidMediaHolderParts = {
    0x6d3f1a03, 0x52c4, 0x4e8b, {0x9a, 0x10, 0x03, 0x00, 0x00, 0x00, 0x00, 0x0c}};
inline constexpr GUID kIidPlacementMedia = {
    0x6d3f1a03, 0x52c4, 0x4e8b, {0x9a, 0x10, 0x03, 0x00, 0x00, 0x00, 0x00, 0x0d}};
inline constexpr GUID kIidPlacementPosition = {
    0x6d3f1a03, 0x52c4, 0x4e8b, {0x9a, 0x10, 0x03, 0x00, 0x00, 0x00, 0x00, 0x0e}};
inline constexpr GUID kIidPlacementOption = {
    0x6d3f1a03, 0x52c4, 0x4e8b, {0x9a, 0x10, 0x03, 0x00, 0x00, 0x00, 0x00, 0x0f}};
inline constexpr GUID kIidClipSettings = {
    0x6d3f1a03, 0x52c4, 0x4e8b, {0x9a, 0x10, 0x03, 0x00, 0x00, 0x00, 0x00, 0x10}};
inline constexpr GUID kIidClipOwner = {
    0x6d3f1a03, 0x52c4, 0x4e8b, {0x9a, 0x10, 0x03, 0x00, 0x00, 0x00, 0x00, 0x11}};
inline constexpr GUID kIidClipList = {
    0x6d3f1a03, 0x52c4, 0x4e8b, {0x9a, 0x10, 0x03, 0x00, 0x00, 0x00, 0x00, 0x12}};
inline constexpr GUID kIidTitleClips = {
    0x6d3f1a03, 0x52c4, 0x4e8b, {0x9a, 0x10, 0x03, 0x00, 0x00, 0x00, 0x00, 0x13}};
inline constexpr GUID kIidTitlePresentation = {
    0x6d3f1a03, 0x52c4, 0x4e8b, {0x9a, 0x10, 0x03, 0x00, 0x00, 0x00, 0x00, 0x14}};
inline constexpr GUID kIidPresentationSetup = {
    0x6d3f1a03, 0x52c4, 0x4e8b, {0x9a, 0x10, 0x03, 0x00, 0x00, 0x00, 0x00, 0x15}};
inline constexpr GUID kIidDocumentBinding = {
    0x6d3f1a03, 0x52c4, 0x4e8b, {0x9a, 0x10, 0x03, 0x00, 0x00, 0x00, 0x00, 0x16}};
inline constexpr GUID kIidTrackCollectionAccess = {
    0x6d3f1a03, 0x52c4, 0x4e8b, {0x9a, 0x10, 0x03, 0x00, 0x00, 0x00, 0x00, 0x17}};
inline constexpr GUID kIidTrackCollection = {
    0x6d3f1a03, 0x52c4, 0x4e8b, {0x9a, 0x10, 0x03, 0x00, 0x00, 0x00, 0x00, 0x18}};
inline constexpr GUID kIidImageData = {
    0x6d3f1a03, 0x52c4, 0x4e8b, {0x9a, 0x10, 0x03, 0x00, 0x00, 0x00, 0x00, 0x19}};
inline constexpr GUID kIidImageProjectRecord = {
    0x6d3f1a03, 0x52c4, 0x4e8b, {0x9a, 0x10, 0x03, 0x00, 0x00, 0x00, 0x00, 0x1a}};
inline constexpr GUID kIidImageSize = {
    0x6d3f1a03, 0x52c4, 0x4e8b, {0x9a, 0x10, 0x03, 0x00, 0x00, 0x00, 0x00, 0x1b}};
inline constexpr GUID kIidImageOption = {
    0x6d3f1a03, 0x52c4, 0x4e8b, {0x9a, 0x10, 0x03, 0x00, 0x00, 0x00, 0x00, 0x1c}};

}  // namespace merrowhost

// Interface declarations. Each is reached by its identifier above.
class SzfSettingsAccess {
public:
    virtual bool zfReadSettings(CzfDiscTemplateSettings* settings, CzfErrorInfo* error) = 0;
    virtual bool zfApplySettings(const CzfDiscTemplateSettings* settings, CzfErrorInfo* error) = 0;

protected:
    ~SzfSettingsAccess() = default;
};

class SzfBackgroundSwitch {
public:
    virtual bool zfGetBackgroundSwitch(bool* out, CzfErrorInfo* error) = 0;

protected:
    ~SzfBackgroundSwitch() = default;
};

class SzfMediaIndex {
public:
    virtual bool zfGetMediaKind(int32_t* out, CzfErrorInfo* error) = 0;

protected:
    ~SzfMediaIndex() = default;
};

class SzfMediaCollection {
public:
    virtual CzfServiceObject* zfGetDefaultItem(CzfErrorInfo* error) = 0;
    virtual CzfServiceObject* zfGetItem(int index, CzfErrorInfo* error) = 0;

protected:
    ~SzfMediaCollection() = default;
};

// A media item's value is pointer-sized: a 32-bit clip value for the default item, the media
// object for an indexed item.
class SzfMediaItem {
public:
    virtual bool zfGetValue(intptr_t* out, CzfErrorInfo* error) = 0;

protected:
    ~SzfMediaItem() = default;
};

class SzfBackgroundPath {
public:
    // A new[] wide string, or null; the caller frees it with delete[].
    virtual wchar_t* zfGetBackgroundPath(CzfErrorInfo* error) = 0;

protected:
    ~SzfBackgroundPath() = default;
};

class SzfProjectPresentation {
public:
    virtual bool zfGetPresentationDomId(unsigned* out, CzfErrorInfo* error) = 0;

protected:
    ~SzfProjectPresentation() = default;
};

class SzfRootTitleSwitch {
public:
    virtual bool zfGetRootTitleSwitch(bool* out, CzfErrorInfo* error) = 0;

protected:
    ~SzfRootTitleSwitch() = default;
};

class SzfObjectIdentifier {
public:
    virtual bool zfGetObjectID(GUID* out, CzfErrorInfo* error) = 0;

protected:
    ~SzfObjectIdentifier() = default;
};

class SzfTitleCollection {
public:
    // The cookie carries the walk from the first item to the next ones; null ends the walk.
    virtual CzfServiceObject* zfGetFirstTitle(uint32_t* cookie, CzfErrorInfo* error) = 0;
    virtual CzfServiceObject* zfGetNextTitle(uint32_t* cookie, CzfErrorInfo* error) = 0;

protected:
    ~SzfTitleCollection() = default;
};

class SzfMediaHolderSettings {
public:
    virtual bool zfSetTimeValue(int64_t value, CzfErrorInfo* error) = 0;
    virtual bool zfSetProjectRecord(SAVEDATA* record, CzfErrorInfo* error) = 0;

protected:
    ~SzfMediaHolderSettings() = default;
};

class SzfMediaHolderParts {
public:
    virtual CzfServiceObject* zfGetPlacement(CzfErrorInfo* error) = 0;

protected:
    ~SzfMediaHolderParts() = default;
};

class SzfPlacementMedia {
public:
    // The placement takes ownership of the media object.
    virtual bool zfSetMedia(CzfServiceObject* media, CzfErrorInfo* error) = 0;

protected:
    ~SzfPlacementMedia() = default;
};

class SzfPlacementPosition {
public:
    virtual bool zfSetPlacement(int first, int second, CzfErrorInfo* error) = 0;

protected:
    ~SzfPlacementPosition() = default;
};

class SzfPlacementOption {
public:
    virtual bool zfSetOption(int option, CzfErrorInfo* error) = 0;

protected:
    ~SzfPlacementOption() = default;
};

class SzfClipSettings {
public:
    // The clip takes ownership of the media holder.
    virtual bool zfSetMediaHolder(CzfServiceObject* holder, CzfErrorInfo* error) = 0;
    virtual bool zfSetValue(int slot, uint32_t value, CzfErrorInfo* error) = 0;

protected:
    ~SzfClipSettings() = default;
};

class SzfClipOwner {
public:
    virtual bool zfSetOwner(CzfServiceObject* title, CzfErrorInfo* error) = 0;

protected:
    ~SzfClipOwner() = default;
};

class SzfClipList {
public:
    // The list takes ownership of the clip.
    virtual bool zfInsertClip(int position, CzfServiceObject* clip, CzfErrorInfo* error) = 0;

protected:
    ~SzfClipList() = default;
};

class SzfTitleClips {
public:
    // The title takes ownership of the clip list.
    virtual bool zfSetClipList(CzfServiceObject* clipList, CzfErrorInfo* error) = 0;

protected:
    ~SzfTitleClips() = default;
};

class SzfTitlePresentation {
public:
    // The title takes ownership of the presentation object (which may be null).
    virtual bool zfSetPresentation(CzfServiceObject* presentation, CzfErrorInfo* error) = 0;

protected:
    ~SzfTitlePresentation() = default;
};

class SzfPresentationSetup {
public:
    virtual bool zfSetup(int first, int second, CzfErrorInfo* error) = 0;

protected:
    ~SzfPresentationSetup() = default;
};

class SzfDocumentBinding {
public:
    virtual bool zfBindDocument(unsigned domId, int reserved, CzfErrorInfo* error) = 0;

protected:
    ~SzfDocumentBinding() = default;
};

class SzfTrackCollectionAccess {
public:
    // The presentation's track collection (a view, owned by the presentation).
    virtual CzfServiceObject* zfGetTrackCollection(CzfErrorInfo* error) = 0;

protected:
    ~SzfTrackCollectionAccess() = default;
};

class SzfTrackCollection {
public:
    // The collection takes ownership of the track.
    virtual bool zfAddTrack(CzfServiceObject* track, CzfErrorInfo* error) = 0;

protected:
    ~SzfTrackCollection() = default;
};

class SzfImageData {
public:
    // Mode 0: first is a 24-bit colour buffer (B, G, R, rows top-down, padded to 4 bytes) and
    // second an 8-bit alpha buffer or null, both from CDVDBuf. Mode 1: first is a 32-bit
    // device-independent bitmap and second an 8-bit mask bitmap or null. The track takes
    // ownership of both buffers.
    virtual bool zfSetImageData(int mode, void* first, void* second, int reserved,
                                CzfErrorInfo* error) = 0;

protected:
    ~SzfImageData() = default;
};

class SzfImageProjectRecord {
public:
    // The track keeps a copy of the record.
    virtual bool zfSetProjectRecord(SAVEDATA* record, CzfErrorInfo* error) = 0;

protected:
    ~SzfImageProjectRecord() = default;
};

class SzfImageSize {
public:
    virtual bool zfSetSize(int width, int height, int reserved, CzfErrorInfo* error) = 0;

protected:
    ~SzfImageSize() = default;
};

class SzfImageOption {
public:
    virtual bool zfSetOption(int option, int reserved, CzfErrorInfo* error) = 0;

protected:
    ~SzfImageOption() = default;
};
