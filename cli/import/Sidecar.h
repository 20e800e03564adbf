#pragma once
// When a photo or video was taken, as an XMP sidecar beside it says: `photo.jpg.xmp`, else
// `photo.xmp` (either with ".XMP" too). Photo managers write these when they edit a date, so a
// sidecar's date comes before the file's own. Read are exif:DateTimeOriginal, then
// xmp:CreateDate, then photoshop:DateCreated, each as an attribute or an element.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "cli/import/Media.h"

namespace merrowcli::import {

// The names of mediaFile's sidecars beside it, in the order they are tried.
std::array<std::string, 4> sidecarNames(const std::filesystem::path& mediaFile);

// The date of the first sidecar of mediaFile that exists; nothing when there is none or it has
// no readable date. A sidecar that is not XML, or larger than kMaxSidecarBytes, is passed over:
// then *problem (when given) names it and says why. *utcSeconds (when given) is the date's real
// instant when it has an offset or is in UTC, else nothing.
std::optional<LocalTime> sidecarDate(const std::filesystem::path& mediaFile,
                                     std::optional<long long>* utcSeconds = nullptr,
                                     std::string* problem = nullptr);

// An XMP date "YYYY-MM-DD[Thh:mm[:ss[.fff]]][Z|+hh:mm|-hh:mm]": the wall-clock time written
// (where the picture was taken) when it has an offset or none, a UTC time ("Z") in local time
// as TZ says; nothing for an impossible date or one before 1971. *utcSeconds (when given) is
// its real instant when it has an offset or "Z", else nothing.
std::optional<LocalTime> parseXmpDate(const std::string& text,
                                      std::optional<long long>* utcSeconds = nullptr);

// A sidecar is a few kilobytes; anything far larger is not one.
inline constexpr std::uintmax_t kMaxSidecarBytes = 1 << 20;

}  // namespace merrowcli::import
