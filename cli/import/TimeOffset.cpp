#include "cli/import/TimeOffset.h"

#include <cstdio>
#include <ctime>

namespace merrowcli::import {

std::optional<int> parseTimeOffset(const std::string& text) {
    int hours = 0;
    int minutes = 0;
    char sign = 0;
    int used = 0;
    if (std::sscanf(text.c_str(), " %c%2d:%2d%n", &sign, &hours, &minutes, &used) != 3 &&
        std::sscanf(text.c_str(), " %c%2d%2d%n", &sign, &hours, &minutes, &used) != 3) {
        return std::nullopt;
    }
    if (text.find_first_not_of(' ', static_cast<size_t>(used)) != std::string::npos) {
        return std::nullopt;
    }
    if ((sign != '+' && sign != '-') || hours < 0 || hours > 14 || minutes < 0 || minutes > 59) {
        return std::nullopt;
    }
    const int seconds = hours * 3600 + minutes * 60;
    return sign == '-' ? -seconds : seconds;
}

long long instantOf(const LocalTime& time, std::optional<int> offsetSeconds) {
    if (offsetSeconds) return secondsOf(time) - *offsetSeconds;
    struct tm parts {};
    parts.tm_year = time.year - 1900;
    parts.tm_mon = time.month - 1;
    parts.tm_mday = time.day;
    parts.tm_hour = time.hour;
    parts.tm_min = time.minute;
    parts.tm_sec = time.second;
    parts.tm_isdst = -1;
    return static_cast<long long>(std::mktime(&parts));
}

}  // namespace merrowcli::import
