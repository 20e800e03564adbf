#pragma once
// When a photo or video was taken, as phones and messengers write it into the file's name:
//   IMG_20230514_123456.jpg, VID_20230514_123456.mp4       local time
//   PXL_20230514_123456789.jpg                            UTC (Pixel phones), milliseconds
//   IMG-20230514-WA0001.jpg, VID-20230514-WA0004.mp4      the day only (WhatsApp)
//   Screenshot_2023-05-14-12-34-56.png                    local time
//   2023-05-14 12.34.56.jpg                               local time
// The prefixes are matched in any case; anything may follow the date (a counter, "~2", the
// extension). Used when a file carries no date inside it, before its modification time.

#include <optional>
#include <string>

#include "cli/import/Media.h"

namespace merrowcli::import {

// The local time a file name gives (a UTC name converted as TZ says; a day-only name at
// 00:00:00); nothing when the name follows none of the patterns, or names an impossible date or
// one before 1971.
std::optional<LocalTime> dateFromFileName(const std::string& name);

}  // namespace merrowcli::import
