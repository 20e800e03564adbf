#pragma once
// The image track creator manager that one layout handler call uses. The older variant lends
// the creator's own manager; the current variant makes one for the call and drops it on
// return. The manager holds no state, so both write the same document.

#include "creator/BDJCalendarApplicationCreator.h"
#include "imagetrack/BufferImageTrackCreatorManager.h"

class CBDJCalendarApplicationCreator::HandlerManager {
public:
#if defined(MERROWKIT_OLDER_VARIANT)
    explicit HandlerManager(CBDJCalendarApplicationCreator& creator)
        : manager_(*creator.imageTrackCreatorManager) {}
#else
    explicit HandlerManager(CBDJCalendarApplicationCreator& /*creator*/) {}
#endif
    HandlerManager(const HandlerManager&) = delete;
    HandlerManager& operator=(const HandlerManager&) = delete;

    Merrow::ImageTrackCreatorManager& get() {
        return manager_;
    }

private:
#if defined(MERROWKIT_OLDER_VARIANT)
    Merrow::BufferImageTrackCreatorManager& manager_;
#else
    Merrow::BufferImageTrackCreatorManager manager_;
#endif
};
