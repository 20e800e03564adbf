// SzfCreateBDJAdvancedTitle_Method::zfCreateBDJAdvancedTitle of CzfBDJAdvancedTitleCreator.

#include <cstdint>
#include <memory>
#include <string>

#include "component/BDJAdvancedTitleCreator.h"
#include "component/ErrorReport.h"
#include "creator/BDJCalendarApplicationCreator.h"
#include "document/CreatorSetToolBox.h"
#include "host/objects/HostInterfaces.h"
#include "host/objects/ServiceObject.h"

namespace {

constexpr int32_t kMethodCreateAdvancedTitle = 0;
// Where the request reports a failure of its own: the same place as the object's creator
// function and interface query.
constexpr int32_t kLocationCreateAdvancedTitle = 38;

constexpr zfDiscFormat kAcceptedDiscFormats[] = {10, 15};

constexpr int64_t kMediaHolderTimeValue = 20000000;
constexpr int kPlacementFirst = 2;
constexpr int kPlacementSecond = 2;
constexpr int kPlacementOption = 1;

constexpr int32_t kMediaKindClip1 = 1;
constexpr int32_t kMediaKindClip2 = 2;
// The kind of a background made here from an image file.
constexpr int32_t kMediaKindImage = kMediaKindClip2;

constexpr const char* kDefaultBackgroundFile = "Background.jpg";

bool isAcceptedDiscFormat(zfDiscFormat format) {
    for (zfDiscFormat accepted : kAcceptedDiscFormats) {
        if (format == accepted) return true;
    }
    return false;
}

// A host object that is still ours: freed unless it was handed to another object.
struct ObjectFree {
    void operator()(CzfServiceObject* object) const { CzfObjectFactory::zfFreeObject(object); }
};
using OwnedObject = std::unique_ptr<CzfServiceObject, ObjectFree>;

// Appends one Unicode code point as UTF-8; anything that is not a code point becomes U+FFFD.
void appendUtf8(std::string& out, uint32_t code) {
    if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The wide path as the narrow (UTF-8) path the file system takes, whatever its length.
// Surrogate pairs are joined where wchar_t holds UTF-16.
std::string narrowPath(const std::wstring& wide) {
    std::string narrow;
    narrow.reserve(wide.size());
    for (size_t i = 0; i < wide.size(); ++i) {
        uint32_t code = static_cast<uint32_t>(wide[i]);
        if constexpr (sizeof(wchar_t) == 2) {
            code &= 0xFFFF;
            if (code >= 0xD800 && code <= 0xDBFF && i + 1 < wide.size()) {
                const uint32_t low = static_cast<uint32_t>(wide[i + 1]) & 0xFFFF;
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                    ++i;
                }
            }
        }
        appendUtf8(narrow, code);
    }
    return narrow;
}

// The value of the media item, 0 when the object is no media item or cannot tell.
intptr_t mediaItemValue(CzfServiceObject* item, CzfErrorInfo* record) {
    intptr_t value = 0;
    auto* mediaItem = zfQuery<SzfMediaItem>(item, merrowhost::kIidMediaItem, record);
    if (mediaItem == nullptr || !mediaItem->zfGetValue(&value, record)) return 0;
    return value;
}

// The background path the source names, narrowed; empty when it names none.
std::string sourceBackgroundPath(CzfServiceObject* source, CzfErrorInfo* record) {
    auto* backgroundPath =
        zfQuery<SzfBackgroundPath>(source, merrowhost::kIidBackgroundPath, record);
    if (backgroundPath == nullptr) return std::string();
    const std::unique_ptr<wchar_t[]> wide(backgroundPath->zfGetBackgroundPath(record));
    if (wide == nullptr) return std::string();
    return narrowPath(std::wstring(wide.get()));
}

// The background media of the source's first media item, handed over by the item; or else an
// image track made here from the source's background path or the default picture, which makes
// the media kind that of an image.
OwnedObject takeBackgroundMedia(CzfServiceObject* source, SzfMediaCollection* media,
                                const CzfDiscTemplateSettings& settings, int32_t& mediaKind,
                                CzfErrorInfo* record) {
    if (CzfServiceObject* firstItem = media != nullptr ? media->zfGetItem(0, record) : nullptr) {
        return OwnedObject(reinterpret_cast<CzfServiceObject*>(mediaItemValue(firstItem, record)));
    }
    std::string path = sourceBackgroundPath(source, record);
    if (path.empty()) path = CreatorSetToolBox::imagePathProcess(kDefaultBackgroundFile);
    mediaKind = kMediaKindImage;
    CzfServiceObject* track = nullptr;
    const bool made = CreatorSetToolBox::createImageTrack(&track, path.c_str(),
                                                          settings.zfGetVIOSaveData(), record);
    OwnedObject owned(track);
    if (!made) owned.reset();
    return owned;
}

// A new media holder showing the media, which it takes once its placement can take it (until
// then the media stays with the caller). Null when no holder could be made.
OwnedObject makeMediaHolder(OwnedObject& media, SAVEDATA* projectRecord, CzfErrorInfo* record) {
    OwnedObject holder(CzfObjectFactory::zfCreateObject(&merrowhost::kClassMediaHolder, record));
    if (holder == nullptr) return holder;
    if (auto* settings = zfQuery<SzfMediaHolderSettings>(
            holder.get(), merrowhost::kIidMediaHolderSettings, record)) {
        settings->zfSetTimeValue(kMediaHolderTimeValue, record);
        settings->zfSetProjectRecord(projectRecord, record);
    }
    auto* parts =
        zfQuery<SzfMediaHolderParts>(holder.get(), merrowhost::kIidMediaHolderParts, record);
    CzfServiceObject* placement = parts != nullptr ? parts->zfGetPlacement(record) : nullptr;
    if (placement == nullptr) return holder;
    if (auto* placementMedia =
            zfQuery<SzfPlacementMedia>(placement, merrowhost::kIidPlacementMedia, record)) {
        placementMedia->zfSetMedia(media.release(), record);
    }
    if (auto* position =
            zfQuery<SzfPlacementPosition>(placement, merrowhost::kIidPlacementPosition, record)) {
        position->zfSetPlacement(kPlacementFirst, kPlacementSecond, record);
    }
    if (auto* option =
            zfQuery<SzfPlacementOption>(placement, merrowhost::kIidPlacementOption, record)) {
        option->zfSetOption(kPlacementOption, record);
    }
    return holder;
}

// Puts a clip showing the source's background in front of the title. A step that yields no
// interface or object ends the chain; whatever was made or received here and handed to no
// other object is freed on the way out.
void buildBackgroundClipChain(CzfServiceObject* source, CzfServiceObject* title,
                              const CzfDiscTemplateSettings& settings, CzfErrorInfo* record) {
    auto* media = zfQuery<SzfMediaCollection>(source, merrowhost::kIidMediaCollection, record);

    uint32_t clipValue = 0;
    if (media != nullptr) {
        if (CzfServiceObject* item = media->zfGetDefaultItem(record)) {
            clipValue = static_cast<uint32_t>(mediaItemValue(item, record));
        }
    }

    int32_t mediaKind = 0;
    if (auto* index = zfQuery<SzfMediaIndex>(source, merrowhost::kIidMediaIndex, record)) {
        index->zfGetMediaKind(&mediaKind, record);
    }
    OwnedObject backgroundMedia = takeBackgroundMedia(source, media, settings, mediaKind, record);

    OwnedObject holder;
    if (backgroundMedia != nullptr) {
        holder = makeMediaHolder(backgroundMedia, settings.zfGetVIOSaveData(), record);
    }

    const GUID* clipClass = mediaKind == kMediaKindClip1   ? &merrowhost::kClassClip1
                            : mediaKind == kMediaKindClip2 ? &merrowhost::kClassClip2
                                                           : nullptr;
    if (clipClass == nullptr) return;
    OwnedObject clip(CzfObjectFactory::zfCreateObject(clipClass, record));
    if (clip == nullptr) return;
    if (auto* clipSettings =
            zfQuery<SzfClipSettings>(clip.get(), merrowhost::kIidClipSettings, record)) {
        if (holder != nullptr) clipSettings->zfSetMediaHolder(holder.release(), record);
        if (clipValue != 0) clipSettings->zfSetValue(0, clipValue, record);
    }
    if (auto* owner = zfQuery<SzfClipOwner>(clip.get(), merrowhost::kIidClipOwner, record)) {
        owner->zfSetOwner(title, record);
    }

    OwnedObject clipList(CzfObjectFactory::zfCreateObject(&merrowhost::kClassClipList, record));
    auto* list = zfQuery<SzfClipList>(clipList.get(), merrowhost::kIidClipList, record);
    if (list == nullptr) return;
    list->zfInsertClip(0, clip.release(), record);

    if (auto* titleClips = zfQuery<SzfTitleClips>(title, merrowhost::kIidTitleClips, record)) {
        titleClips->zfSetClipList(clipList.release(), record);
    }
}

}  // namespace

bool CzfBDJAdvancedTitleCreator::zfCreateBDJAdvancedTitle(CzfServiceObject** out,
                                                          CzfServiceObject* source,
                                                          CzfServiceObject* titleSource,
                                                          CzfErrorInfo* error) {
    Merrow::ErrorReport report(error, merrowkit::kClsidAdvancedTitleCreator,
                               kMethodCreateAdvancedTitle);
    // Without a place to return it, a title made here could only be lost.
    if (out == nullptr) {
        return report.fail(merrowkit::kErrorNullArgument, kLocationCreateAdvancedTitle);
    }
    *out = nullptr;
    CzfErrorInfo* const record = report.record();

    CzfServiceObject* title = nullptr;
    CzfServiceObject* presentation = nullptr;
    bool presentationHandedOver = false;
    bool ok = source != nullptr;
    try {
        if (ok) {
            title = CzfObjectFactory::zfCreateObject(&merrowhost::kClassAdvancedTitle, record);
            ok = title != nullptr;
        }
        if (ok) {
            CzfDiscTemplateSettings settings;
            if (auto* read =
                    zfQuery<SzfSettingsAccess>(source, merrowhost::kIidSettingsAccess, record)) {
                read->zfReadSettings(&settings, record);
            }
            ok = isAcceptedDiscFormat(settings.zfGetDiscFormat());
            if (ok) {
                auto* apply =
                    zfQuery<SzfSettingsAccess>(title, merrowhost::kIidSettingsAccess, record);
                ok = apply != nullptr && apply->zfApplySettings(&settings, record);
            }
            if (ok) {
                bool wantsBackground = false;
                auto* background =
                    zfQuery<SzfBackgroundSwitch>(source, merrowhost::kIidBackgroundSwitch, record);
                if (background != nullptr &&
                    background->zfGetBackgroundSwitch(&wantsBackground, record) &&
                    wantsBackground) {
                    buildBackgroundClipChain(source, title, settings, record);
                }
            }
        }
        if (ok) {
            CBDJCalendarApplicationCreator creator(source, title, titleSource);
            creator.createApplication(&presentation);
            auto* titlePresentation =
                zfQuery<SzfTitlePresentation>(title, merrowhost::kIidTitlePresentation, record);
            ok = titlePresentation != nullptr;
            if (ok) {
                presentationHandedOver = true;
                titlePresentation->zfSetPresentation(presentation, record);
            }
        }
    } catch (...) {
        ok = report.failCurrentException(kLocationCreateAdvancedTitle);
    }

    // The title goes to the caller in every case.
    *out = title;
    if (!ok && presentation != nullptr && !presentationHandedOver) {
        CzfObjectFactory::zfFreeObject(presentation);
    }
    return ok;
}
