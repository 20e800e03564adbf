// Settings access of the stand-in host's objects.

#include "host/objects/TemplateSettingsStore.h"

#include "host/objects/CallFailure.h"

namespace merrowhost {

bool TemplateSettingsStore::zfReadSettings(CzfDiscTemplateSettings* settings, CzfErrorInfo* error) {
    if (settings == nullptr) return reportCallFailure(error, kCallBadArgument);
    settings->setDiscFormat(discFormat_);
    settings->setSaveData(record_ ? &*record_ : nullptr);
    return true;
}

bool TemplateSettingsStore::zfApplySettings(const CzfDiscTemplateSettings* settings,
                                            CzfErrorInfo* error) {
    if (settings == nullptr) return reportCallFailure(error, kCallBadArgument);
    if (applyFails_) return reportCallFailure(error, kCallRefused);
    discFormat_ = settings->zfGetDiscFormat();
    setRecord(settings->zfGetVIOSaveData());
    ++applyCount_;
    return true;
}

void TemplateSettingsStore::setRecord(const SAVEDATA* record) {
    if (record != nullptr) {
        record_ = *record;
    } else {
        record_.reset();
    }
}

}  // namespace merrowhost
