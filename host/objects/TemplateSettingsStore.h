#pragma once
// The settings-access interface shared by the source, title and presentation objects: "apply"
// keeps the disc format and a copy of the project record, "read" hands them out again.

#include <optional>

#include "host/objects/HostInterfaces.h"
#include "host/objects/ServiceObject.h"

namespace merrowhost {

class TemplateSettingsStore : public SzfSettingsAccess {
public:
    TemplateSettingsStore() = default;
    TemplateSettingsStore(const TemplateSettingsStore&) = delete;
    TemplateSettingsStore& operator=(const TemplateSettingsStore&) = delete;
    virtual ~TemplateSettingsStore() = default;

    // Fills the settings with the stored format and a pointer to the stored record (null when
    // there is none). The pointer stays valid while this store lives and its record is not
    // replaced.
    bool zfReadSettings(CzfDiscTemplateSettings* settings, CzfErrorInfo* error) override;
    // Copies the format and the record (the settings only borrow it). Fails without storing
    // anything when the settings are null or failures are switched on.
    bool zfApplySettings(const CzfDiscTemplateSettings* settings, CzfErrorInfo* error) override;

    zfDiscFormat discFormat() const { return discFormat_; }
    void setDiscFormat(zfDiscFormat format) { discFormat_ = format; }
    // The stored record, null when there is none.
    const SAVEDATA* record() const { return record_ ? &*record_ : nullptr; }
    void setRecord(const SAVEDATA* record);

    // How many applies were stored.
    int applyCount() const { return applyCount_; }
    // While set, every apply fails.
    void setApplyFails(bool fails) { applyFails_ = fails; }

private:
    zfDiscFormat discFormat_ = 0;
    std::optional<SAVEDATA> record_;
    int applyCount_ = 0;
    bool applyFails_ = false;
};

}  // namespace merrowhost
