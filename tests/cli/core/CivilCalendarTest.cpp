// Dates of the Gregorian calendar, months counted from 1, as the import files media under them
// and the build's input lint checks calendar pages against them.

#include <gtest/gtest.h>

#include "cli/core/CivilCalendar.h"

namespace {

using namespace merrowcli;

TEST(CivilCalendar, DaysAndWeekdaysOfKnownDates) {
    EXPECT_EQ(daysFromCivil(1970, 1, 1), 0);
    EXPECT_EQ(daysFromCivil(2000, 3, 1), 11017);
    EXPECT_EQ(daysFromCivil(1969, 12, 31), -1);
    EXPECT_EQ(weekdayOf(1970, 1, 1), 4);    // a Thursday
    EXPECT_EQ(weekdayOf(1969, 12, 31), 3);  // a Wednesday
    EXPECT_EQ(weekdayOf(2023, 11, 1), 3);   // a Wednesday
    EXPECT_EQ(weekdayOf(2000, 1, 1), 6);    // a Saturday
    EXPECT_EQ(weekdayOf(2024, 2, 29), 4);   // a Thursday
    EXPECT_EQ(weekdayOf(1900, 1, 1), 1);    // a Monday
    EXPECT_EQ(weekdayOf(9999, 12, 31), 5);  // a Friday
}

TEST(CivilCalendar, MonthLengthsFollowTheLeapYearRule) {
    EXPECT_EQ(monthLength(2024, 2), 29);
    EXPECT_EQ(monthLength(2023, 2), 28);
    EXPECT_EQ(monthLength(2000, 2), 29);
    EXPECT_EQ(monthLength(2100, 2), 28);
    EXPECT_EQ(monthLength(1900, 2), 28);
    EXPECT_EQ(monthLength(2023, 12), 31);
    EXPECT_EQ(monthLength(2023, 4), 30);
    EXPECT_EQ(monthLength(2023, 0), 0);
    EXPECT_EQ(monthLength(2023, 13), 0);
}

}  // namespace
