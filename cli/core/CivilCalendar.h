#pragma once
// Dates of the proleptic Gregorian calendar, months counted from 1: what the import files its
// media under and what the build's input lint checks a calendar's pages against.

namespace merrowcli {

// Days from 1970-01-01 to the date.
long long daysFromCivil(int year, int month, int day);
// 0 for Sunday.
int weekdayOf(int year, int month, int day);
bool isLeapYear(int year);
// The days of a month (1..12) of a year; 0 for a month out of range.
int monthLength(int year, int month);

}  // namespace merrowcli
