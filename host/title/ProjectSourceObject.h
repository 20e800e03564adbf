#pragma once
// The host's source object: the project side of a creation request. The host program and the
// tests construct it directly and set every answer; any interface can be withheld with
// withoutInterface (for example kIidMediaCollection).

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "host/objects/ConfigurableHostObject.h"
#include "host/objects/HostInterfaces.h"
#include "host/objects/TemplateSettingsStore.h"
#include "host/title/MediaItemObject.h"

namespace merrowhost {

class ProjectSourceObject : public ConfigurableHostObject,
                            public SzfBackgroundSwitch,
                            public SzfMediaIndex,
                            public SzfMediaCollection,
                            public SzfBackgroundPath,
                            public SzfProjectPresentation,
                            public SzfRootTitleSwitch {
public:
    ProjectSourceObject();
    ~ProjectSourceObject() override;

    const char* classPrefix() const override { return "source"; }

    bool zfGetBackgroundSwitch(bool* out, CzfErrorInfo* error) override;
    bool zfGetMediaKind(int32_t* out, CzfErrorInfo* error) override;
    // Items are views, owned by the source.
    CzfServiceObject* zfGetDefaultItem(CzfErrorInfo* error) override;
    CzfServiceObject* zfGetItem(int index, CzfErrorInfo* error) override;
    // A new[] copy of the path, or null when none is set.
    wchar_t* zfGetBackgroundPath(CzfErrorInfo* error) override;
    bool zfGetPresentationDomId(unsigned* out, CzfErrorInfo* error) override;
    bool zfGetRootTitleSwitch(bool* out, CzfErrorInfo* error) override;

    // The settings that "read" hands out: disc format and project record (the source keeps the
    // record; readers get a pointer to it).
    TemplateSettingsStore& settings() { return settings_; }
    const TemplateSettingsStore& settings() const { return settings_; }
    void setDiscFormat(zfDiscFormat format) { settings_.setDiscFormat(format); }
    void setRecord(const SAVEDATA* record) { settings_.setRecord(record); }

    void setBackgroundSwitch(bool on) { backgroundSwitch_ = on; }
    void setMediaKind(int32_t kind) { mediaKind_ = kind; }

    // The default item, holding a number (the clip value).
    void setDefaultItemValue(intptr_t value);
    void clearDefaultItem();
    // The item at the index, holding a number.
    void setItemValue(int index, intptr_t value);
    // The item at the index, holding a media object that it owns until it is read.
    void setItemMedia(int index, CzfServiceObject* media);
    void removeItem(int index);
    MediaItemObject* defaultItem() const { return defaultItem_.get(); }
    MediaItemObject* item(int index) const;

    void setBackgroundPath(const std::wstring& path) { backgroundPath_ = path; }
    void clearBackgroundPath() { backgroundPath_.reset(); }
    int backgroundPathReads() const { return backgroundPathReads_; }

    void setPresentationDomId(unsigned domId) { presentationDomId_ = domId; }
    void setRootTitleSwitch(bool on) { rootTitleSwitch_ = on; }

protected:
    void* findInterface(const GUID& interfaceId) override;

private:
    TemplateSettingsStore settings_;
    bool backgroundSwitch_ = false;
    int32_t mediaKind_ = 0;
    std::unique_ptr<MediaItemObject> defaultItem_;
    std::map<int, std::unique_ptr<MediaItemObject>> items_;
    std::optional<std::wstring> backgroundPath_;
    int backgroundPathReads_ = 0;
    unsigned presentationDomId_ = 0;
    bool rootTitleSwitch_ = false;
};

}  // namespace merrowhost
