#pragma once
// The host's advanced title: its settings, its clip list, its presentation object and its
// 128-bit identifier. It owns the clip list and the presentation handed to it; freeing the
// title frees them. Created by CzfObjectFactory from kClassAdvancedTitle.

#include "host/objects/ConfigurableHostObject.h"
#include "host/objects/HostInterfaces.h"
#include "host/objects/TemplateSettingsStore.h"

namespace merrowhost {

class ClipListObject;
class PresentationObject;

class AdvancedTitleObject : public ConfigurableHostObject,
                            public SzfTitleClips,
                            public SzfTitlePresentation,
                            public SzfObjectIdentifier {
public:
    AdvancedTitleObject();
    ~AdvancedTitleObject() override;

    const char* classPrefix() const override { return "title"; }

    // Takes the clip list, freeing one held before (null just frees it).
    bool zfSetClipList(CzfServiceObject* clipList, CzfErrorInfo* error) override;
    // Takes the presentation, freeing one held before (null just frees it).
    bool zfSetPresentation(CzfServiceObject* presentation, CzfErrorInfo* error) override;
    // {4D455252-0000-4000-8000-0000SSSSSSSS}: the serial among titles in the last four bytes.
    bool zfGetObjectID(GUID* out, CzfErrorInfo* error) override;

    // The identifier zfGetObjectID writes.
    GUID titleId() const;

    TemplateSettingsStore& settings() { return settings_; }
    const TemplateSettingsStore& settings() const { return settings_; }

    CzfServiceObject* clipList() const { return clipList_; }
    // The clip list as the host's own class; null when there is none or it is another kind.
    ClipListObject* clipListObject() const;
    int clipListSets() const { return clipListSets_; }

    CzfServiceObject* presentation() const { return presentation_; }
    PresentationObject* presentationObject() const;
    // Whether the title presentation interface was called, even with null.
    bool presentationWasSet() const { return presentationSets_ > 0; }

protected:
    void* findInterface(const GUID& interfaceId) override;

private:
    TemplateSettingsStore settings_;
    CzfServiceObject* clipList_ = nullptr;
    int clipListSets_ = 0;
    CzfServiceObject* presentation_ = nullptr;
    int presentationSets_ = 0;
};

}  // namespace merrowhost
