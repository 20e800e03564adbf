#pragma once
// What the import knows of one photo or video of the media folder, once it is read: where it
// is, when it was taken (in local time), how it is turned and, for a video, its length and
// chapters. The calendar is made from these records alone, so it can be made and tested
// without files.

#include <compare>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "cli/core/CivilCalendar.h"
#include "cli/import/DateSource.h"

namespace merrowcli::import {

// A wall-clock time in the local time zone, to the second.
struct LocalTime {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;

    auto operator<=>(const LocalTime&) const = default;
};

// Seconds from 1970-01-01 00:00:00 to the time, counting every day as 86400 seconds (local
// wall-clock time, so a change of daylight saving time does not show).
long long secondsOf(const LocalTime& time);
// True when the fields name a real date and time.
bool isValidTime(const LocalTime& time);

enum class MediaKind { kPhoto, kVideo };

struct Chapter {
    double start = 0;   // seconds from the start of the video
    std::string title;  // from the container's metadata; empty when it has none
};

struct MediaItem {
    std::string path;  // relative to the media folder, with '/' between folders
    MediaKind kind = MediaKind::kPhoto;
    LocalTime taken;
    // The real instant (seconds since 1970 UTC) when the source gave an offset or UTC; items are
    // ordered and --gap measured by it.
    std::optional<long long> utcSeconds;
    int microseconds = 0;  // the fraction of taken's second, from EXIF's SubSecTime fields
    DateSource dateSource = DateSource::kFileTime;  // where taken was found
    std::string sidecarProblem;     // a sidecar that was there but gave no date: its name and why
    int orientation = 0;            // a photo's EXIF orientation (1..8), 0 when it has none
    double duration = 0;            // a video's length in seconds
    std::vector<Chapter> chapters;  // a video's chapters as the container lists them
    size_t chaptersLeftOut = 0;     // chapters beyond kMaxChapters, which are not kept
};

// The chapters kept of one video: a chapter menu of more scenes is no menu (and a Blu-ray
// playlist holds at most 999 marks).
inline constexpr size_t kMaxChapters = 99;

}  // namespace merrowcli::import
