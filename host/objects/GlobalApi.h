#pragma once
// objname and guidtext.

#include <cstddef>

#include "host/objects/ErrorInfo.h"
#include "host/objects/Guid.h"

class CzfServiceObject;

class CzfGlobalAPI2 {
public:
    // Writes the object's identifier, a zero-terminated text that is safe as a file name, into
    // a buffer of at least kObjectIdBufferSize characters. The same creation order gives the
    // same identifiers.
    static bool zfGetObjectIDString(CzfServiceObject* object, bool withClassPrefix, char* buffer,
                                    CzfErrorInfo* error);
    static constexpr size_t kObjectIdBufferSize = 260;
};

class CzfGlobalAPI {
public:
    // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper-case hexadecimal, as a new[] string
    // the caller frees with delete[].
    static char* zfConvertToString2(const GUID& id);
};
