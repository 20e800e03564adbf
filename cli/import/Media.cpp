#include "cli/import/Media.h"

namespace merrowcli::import {

long long daysFromCivil(int year, int month, int day) {
    // Howard Hinnant's days_from_civil: years start in March, so the leap day ends a year.
    const long long y = static_cast<long long>(year) - (month <= 2 ? 1 : 0);
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yearOfEra = y - era * 400;
    const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

long long secondsOf(const LocalTime& time) {
    return daysFromCivil(time.year, time.month, time.day) * 86400 + time.hour * 3600LL +
           time.minute * 60LL + time.second;
}

int weekdayOf(int year, int month, int day) {
    // 1970-01-01 was a Thursday.
    const long long days = daysFromCivil(year, month, day);
    return static_cast<int>(((days % 7) + 7 + 4) % 7);
}

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int monthLength(int year, int month) {
    static const int kLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && isLeapYear(year) ? 29 : kLengths[month - 1];
}

bool isValidTime(const LocalTime& time) {
    return time.year >= 1 && time.year <= 9999 && time.month >= 1 && time.month <= 12 &&
           time.day >= 1 && time.day <= monthLength(time.year, time.month) && time.hour >= 0 &&
           time.hour <= 23 && time.minute >= 0 && time.minute <= 59 && time.second >= 0 &&
           time.second <= 60;
}

}  // namespace merrowcli::import
