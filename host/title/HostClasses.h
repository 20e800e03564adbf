#pragma once
// The stand-in host's classes behind CzfObjectFactory: advanced title, presentation, media
// holder, the two clips, clip list and image track. They are registered when the library
// loads; nobody has to call anything before zfCreateObject.

#include "host/objects/Guid.h"

namespace merrowhost {

// Registers the default creators of all host classes (again). Restores them after a test
// registered a creator of its own.
void registerHostClasses();

// Registers the default creator of one host class; false when the identifier names none.
bool restoreHostClass(const GUID& classId);

}  // namespace merrowhost
