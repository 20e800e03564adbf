// Registration of the stand-in host's classes with the object factory.

#include "host/title/HostClasses.h"

#include "host/objects/HostInterfaces.h"
#include "host/objects/ServiceObject.h"
#include "host/title/AdvancedTitleObject.h"
#include "host/title/ClipListObject.h"
#include "host/title/ClipObject.h"
#include "host/title/ImageTrackObject.h"
#include "host/title/MediaHolderObject.h"
#include "host/title/PresentationObject.h"

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
