#pragma once
// Marks what the component library exports; everything else stays hidden.

#if defined(MERROWKIT_BUILDING)
#define MERROWKIT_API __attribute__((visibility("default")))
#else
#define MERROWKIT_API
#endif
