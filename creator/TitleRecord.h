#pragma once
// One entry of the creator's title list.

#include <cstdint>
#include <string>

#include "host/objects/Guid.h"

struct TitleRecord {
    GUID titleId{};
    GUID nextTitleId{};
    std::string name;
    int32_t videoWidth = 0;
    int32_t videoHeight = 0;
};
