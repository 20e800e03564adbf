// Identifier texts: the host's object identifier strings and the text form of a GUID.

#include "host/objects/GlobalApi.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "host/objects/HostObject.h"
#include "host/objects/ServiceObject.h"

bool CzfGlobalAPI2::zfGetObjectIDString(CzfServiceObject* object, bool withClassPrefix,
                                        char* buffer, CzfErrorInfo* error) {
    if (object == nullptr || buffer == nullptr) {
        if (error != nullptr) {
            error->errorCode = 2;
            error->severity = 2;
        }
        return false;
    }
    std::string id;
    try {
        if (const auto* hostObject = dynamic_cast<const merrowhost::HostObject*>(object)) {
            id = withClassPrefix ? hostObject->objectId() : hostObject->objectNumber();
        } else {
            id = merrowhost::foreignObjectId(object, withClassPrefix);
        }
    } catch (...) {
        buffer[0] = '\0';
        if (error != nullptr) {
            error->errorCode = 1;
            error->severity = 2;
        }
        return false;
    }
    const size_t length = std::min(id.size(), kObjectIdBufferSize - 1);
    std::memcpy(buffer, id.data(), length);
    buffer[length] = '\0';
    return true;
}

char* CzfGlobalAPI::zfConvertToString2(const GUID& id) {
    constexpr size_t kTextSize = 39;  // 38 characters and the terminator
    char* text = new char[kTextSize];
    std::snprintf(text, kTextSize, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(id.Data1), static_cast<unsigned>(id.Data2),
                  static_cast<unsigned>(id.Data3), id.Data4[0], id.Data4[1], id.Data4[2],
                  id.Data4[3], id.Data4[4], id.Data4[5], id.Data4[6], id.Data4[7]);
    return text;
}
