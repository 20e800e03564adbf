#include "cli/import/Media.h"

namespace merrowcli::import {

long long secondsOf(const LocalTime& time) {
    return daysFromCivil(time.year, time.month, time.day) * 86400 + time.hour * 3600LL +
           time.minute * 60LL + time.second;
}

bool isValidTime(const LocalTime& time) {
    return time.year >= 1 && time.year <= 9999 && time.month >= 1 && time.month <= 12 &&
           time.day >= 1 && time.day <= monthLength(time.year, time.month) && time.hour >= 0 &&
           time.hour <= 23 && time.minute >= 0 && time.minute <= 59 && time.second >= 0 &&
           time.second <= 60;
}

}  // namespace merrowcli::import
