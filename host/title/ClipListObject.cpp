// A title's clip list.

#include "host/title/ClipListObject.h"

#include <algorithm>

#include "host/objects/CallFailure.h"
#include "host/title/ClipObject.h"

namespace merrowhost {

ClipListObject::ClipListObject() = default;

ClipListObject::~ClipListObject() {
    for (CzfServiceObject* clip : clips_) CzfObjectFactory::zfFreeObject(clip);
}

bool ClipListObject::zfInsertClip(int position, CzfServiceObject* clip, CzfErrorInfo* error) {
    if (clip == nullptr || position < 0) return reportCallFailure(error, kCallBadArgument);
    // Holding a clip twice would free it twice.
    if (std::find(clips_.begin(), clips_.end(), clip) != clips_.end()) {
        return reportCallFailure(error, kCallRefused);
    }
    const std::size_t at = std::min(static_cast<std::size_t>(position), clips_.size());
    try {
        clips_.insert(clips_.begin() + static_cast<std::ptrdiff_t>(at), clip);
    } catch (...) {
        // The clip was handed over: it must not outlive a failed insert.
        CzfObjectFactory::zfFreeObject(clip);
        return reportCallFailure(error, kCallRefused);
    }
    return true;
}

ClipObject* ClipListObject::clipAt(std::size_t position) const {
    return position < clips_.size() ? dynamic_cast<ClipObject*>(clips_[position]) : nullptr;
}

void* ClipListObject::findInterface(const GUID& interfaceId) {
    if (interfaceId == kIidClipList) return static_cast<SzfClipList*>(this);
    return nullptr;
}

}  // namespace merrowhost
