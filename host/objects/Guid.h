#pragma once
// 128-bit identifiers that name host classes, interfaces, kind categories and error sources.

#include <cstdint>
#include <cstring>

struct GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};

inline bool operator==(const GUID& a, const GUID& b) {
    return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}
inline bool operator!=(const GUID& a, const GUID& b) {
    return !(a == b);
}

// Full 128-bit comparison that treats two null pointers as different from everything.
inline bool IsEqualGUIDPtr(const GUID* a, const GUID* b) {
    return a != nullptr && b != nullptr && *a == *b;
}
