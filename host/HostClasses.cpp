// Registration of the stand-in host's classes with the object factory.

#include "host/HostClasses.h"

#include "host/AdvancedTitleObject.h"
#include "host/ClipListObject.h"
#include "host/ClipObject.h"
#include "host/HostInterfaces.h"
#include "host/ImageTrackObject.h"
#include "host/MediaHolderObject.h"
#include "host/PresentationObject.h"
#include "host/ServiceObject.h"

namespace merrowhost {

namespace {

struct HostClass {
    const GUID& classId;
    CzfServiceObject* (*create)();
};

constexpr HostClass kHostClasses[] = {
    {kClassAdvancedTitle, []() -> CzfServiceObject* { return new AdvancedTitleObject; }},
    {kClassPresentation, []() -> CzfServiceObject* { return new PresentationObject; }},
    {kClassMediaHolder, []() -> CzfServiceObject* { return new MediaHolderObject; }},
    {kClassClip1, []() -> CzfServiceObject* { return new ClipObject(1); }},
    {kClassClip2, []() -> CzfServiceObject* { return new ClipObject(2); }},
    {kClassClipList, []() -> CzfServiceObject* { return new ClipListObject; }},
    {kClassImageTrack, []() -> CzfServiceObject* { return new ImageTrackObject; }},
};

// Registers the classes when the library is loaded.
struct LoadTimeRegistration {
    LoadTimeRegistration() { registerHostClasses(); }
};
[[maybe_unused]] const LoadTimeRegistration kLoadTimeRegistration;

}  // namespace

void registerHostClasses() {
    for (const HostClass& hostClass : kHostClasses) {
        registerClass(hostClass.classId, hostClass.create);
    }
}

bool restoreHostClass(const GUID& classId) {
    for (const HostClass& hostClass : kHostClasses) {
        if (hostClass.classId == classId) {
            registerClass(hostClass.classId, hostClass.create);
            return true;
        }
    }
    return false;
}

}  // namespace merrowhost
