#pragma once
// Offsets from UTC as EXIF's OffsetTime fields and QuickTime write them ("+02:00", "-05:30",
// "+0200"), and the real instant of a wall-clock time.

#include <optional>
#include <string>

#include "cli/import/Media.h"

namespace merrowcli::import {

// The offset in seconds east of UTC; nothing for a blank or malformed one.
std::optional<int> parseTimeOffset(const std::string& text);

// Seconds since 1970 UTC of a wall-clock time: with its offset when known, else in the local
// time zone (TZ) as mktime reads it.
long long instantOf(const LocalTime& time, std::optional<int> offsetSeconds);

}  // namespace merrowcli::import
