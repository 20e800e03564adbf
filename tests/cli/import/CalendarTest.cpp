// The calendar of a media collection, on records made in memory: the navigation numbers
// across a leap day, a year's end and a month with one entry, grouping by the gap, the
// slideshow order, titles and chapters, and the ids.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/import/Calendar.h"

namespace merrowcli::import {
namespace {

MediaItem photo(const std::string& path, LocalTime taken) {
    MediaItem item;
    item.path = path;
    item.kind = MediaKind::kPhoto;
    item.taken = taken;
    return item;
}

MediaItem video(const std::string& path, LocalTime taken, std::vector<Chapter> chapters = {}) {
    MediaItem item;
    item.path = path;
    item.kind = MediaKind::kVideo;
    item.taken = taken;
    item.duration = 30;
    item.chapters = std::move(chapters);
    return item;
}

// Given out of order on purpose: the calendar sorts by time.
std::vector<MediaItem> acrossLeapDayAndYearEnd() {
    return {
        photo("b/leap2.jpg", {2024, 2, 29, 10, 30, 0}),
        photo("a/eve1.jpg", {2023, 12, 31, 23, 0, 0}),
        video("clips/party.mp4", {2023, 12, 31, 23, 30, 0}, {{0, "Countdown"}, {12.5, ""}}),
        photo("a/eve2.jpg", {2023, 12, 31, 23, 45, 0}),
        photo("b/leap1.jpg", {2024, 2, 29, 10, 0, 0}),
        photo("c/newyear.png", {2024, 1, 1, 0, 10, 0}),
        video("clips/march.mov", {2024, 3, 3, 12, 0, 0}),
    };
}

TEST(CalendarTest, NavigationNumbersAcrossALeapDayAndAYearEnd) {
    const Calendar calendar = makeCalendar(acrossLeapDayAndYearEnd(), 2.0);
    EXPECT_EQ(calendar.photoTotal, 5);
    EXPECT_EQ(calendar.titleTotal, 2);
    ASSERT_EQ(calendar.years.size(), 2u);

    const CalendarYear& y2023 = calendar.years[0];
    EXPECT_EQ(y2023.id, "Year_2023");
    EXPECT_EQ(y2023.titles, 1);
    EXPECT_EQ(y2023.photos, 2);
    ASSERT_EQ(y2023.months.size(), 1u);
    const CalendarMonth& december = y2023.months[0];
    EXPECT_EQ(december.id, "Month_2023_12");
    EXPECT_EQ(december.firstdayShift, 5);  // 1 December 2023 was a Friday
    EXPECT_EQ(december.monthDays, 31);
    ASSERT_EQ(december.days.size(), 1u);
    const CalendarDay& eve = december.days[0];
    EXPECT_EQ(eve.id, "Day_2023_12_31");
    EXPECT_EQ(eve.day, 31);
    EXPECT_EQ(eve.titles, 1);
    EXPECT_EQ(eve.photos, 2);
    // Photos at 23:00 and 23:45 form one slideshow though the video at 23:30 lies between.
    ASSERT_EQ(eve.contents.size(), 2u);
    EXPECT_TRUE(eve.contents[0].slideshow);
    EXPECT_EQ(eve.contents[0].id, "Content_2023_12_31_1");
    EXPECT_EQ(eve.contents[0].time, "23:00");
    EXPECT_EQ(eve.contents[0].items.size(), 2u);
    EXPECT_EQ(eve.contents[0].startFrame, 0);
    EXPECT_FALSE(eve.contents[1].slideshow);
    EXPECT_EQ(eve.contents[1].id, "Content_2023_12_31_2");
    EXPECT_EQ(eve.contents[1].time, "23:30");
    EXPECT_EQ(eve.contents[1].title, 0);

    const CalendarYear& y2024 = calendar.years[1];
    EXPECT_EQ(y2024.titles, 1);
    EXPECT_EQ(y2024.photos, 3);
    ASSERT_EQ(y2024.months.size(), 3u);
    const CalendarMonth& january = y2024.months[0];
    EXPECT_EQ(january.id, "Month_2024_01");
    EXPECT_EQ(january.firstdayShift, 1);  // a Monday
    EXPECT_EQ(january.monthDays, 31);
    ASSERT_EQ(january.days.size(), 1u);
    EXPECT_EQ(january.days[0].id, "Day_2024_01_01");
    EXPECT_EQ(january.days[0].contents[0].time, "00:10");
    EXPECT_EQ(january.days[0].contents[0].startFrame, 2);

    const CalendarMonth& february = y2024.months[1];
    EXPECT_EQ(february.firstdayShift, 4);  // a Thursday
    EXPECT_EQ(february.monthDays, 29);     // a leap year
    ASSERT_EQ(february.days.size(), 1u);
    EXPECT_EQ(february.days[0].day, 29);
    EXPECT_EQ(february.days[0].photos, 2);
    ASSERT_EQ(february.days[0].contents.size(), 1u);
    EXPECT_EQ(february.days[0].contents[0].startFrame, 3);

    // A month with one entry: one day with one title content.
    const CalendarMonth& march = y2024.months[2];
    EXPECT_EQ(march.firstdayShift, 5);
    EXPECT_EQ(march.titles, 1);
    EXPECT_EQ(march.photos, 0);
    ASSERT_EQ(march.days.size(), 1u);
    ASSERT_EQ(march.days[0].contents.size(), 1u);
    EXPECT_FALSE(march.days[0].contents[0].slideshow);
    EXPECT_EQ(march.days[0].contents[0].title, 1);
}

TEST(CalendarTest, OnlyRealDatesAndTimesAreValid) {
    EXPECT_FALSE(isValidTime({2023, 2, 29, 0, 0, 0}));
    EXPECT_TRUE(isValidTime({2024, 2, 29, 23, 59, 59}));
    EXPECT_FALSE(isValidTime({2024, 4, 31, 12, 0, 0}));
    EXPECT_FALSE(isValidTime({2024, 4, 30, 24, 0, 0}));
}

TEST(CalendarTest, SlideshowRunsOverEveryPhotoInTimeOrder) {
    const Calendar calendar = makeCalendar(acrossLeapDayAndYearEnd(), 2.0);
    std::vector<std::string> order;
    for (const size_t item : calendar.slideshow) order.push_back(calendar.media[item].path);
    EXPECT_EQ(order, (std::vector<std::string>{"a/eve1.jpg", "a/eve2.jpg", "c/newyear.png",
                                               "b/leap1.jpg", "b/leap2.jpg"}));
}

TEST(CalendarTest, GapSplitsTheSlideshowsOfADay) {
    const std::vector<MediaItem> day = {
        photo("1.jpg", {2023, 5, 6, 9, 0, 0}),   photo("2.jpg", {2023, 5, 6, 10, 0, 0}),
        photo("3.jpg", {2023, 5, 6, 12, 0, 0}),  photo("4.jpg", {2023, 5, 6, 12, 0, 1}),
        photo("5.jpg", {2023, 5, 6, 18, 30, 0}),
    };
    const auto sizes = [&](double gap) {
        std::vector<size_t> counts;
        const Calendar calendar = makeCalendar(day, gap);
        for (const CalendarContent& content : calendar.years[0].months[0].days[0].contents) {
            counts.push_back(content.items.size());
        }
        return counts;
    };
    // Exactly the gap apart still joins (10:00 to 12:00 with a gap of 2 hours).
    EXPECT_EQ(sizes(2.0), (std::vector<size_t>{4, 1}));
    EXPECT_EQ(sizes(1.0), (std::vector<size_t>{2, 2, 1}));
    EXPECT_EQ(sizes(0.0), (std::vector<size_t>{1, 1, 1, 1, 1}));
    EXPECT_EQ(sizes(8.0), (std::vector<size_t>{5}));
    const Calendar calendar = makeCalendar(day, 1.0);
    const CalendarDay& result = calendar.years[0].months[0].days[0];
    EXPECT_EQ(result.contents[1].startFrame, 2);
    EXPECT_EQ(result.contents[2].startFrame, 4);
    EXPECT_EQ(result.contents[2].id, "Content_2023_05_06_3");
    EXPECT_EQ(result.contents[2].time, "18:30");
}

TEST(CalendarTest, AGapNeverJoinsPhotosOfTwoDays) {
    const Calendar calendar = makeCalendar(
        {photo("late.jpg", {2023, 5, 6, 23, 50, 0}), photo("early.jpg", {2023, 5, 7, 0, 5, 0})},
        24.0);
    ASSERT_EQ(calendar.years[0].months[0].days.size(), 2u);
    EXPECT_EQ(calendar.years[0].months[0].days[1].contents[0].startFrame, 1);
}

TEST(CalendarTest, TitlesAndChaptersInTimeOrder) {
    const Calendar calendar = makeCalendar(acrossLeapDayAndYearEnd(), 2.0);
    ASSERT_EQ(calendar.titles.size(), 2u);
    const CalendarTitle& party = calendar.titles[0];
    EXPECT_EQ(party.id, "UserTitle_1");
    EXPECT_EQ(calendar.media[party.item].path, "clips/party.mp4");
    ASSERT_EQ(party.chapters.size(), 2u);
    EXPECT_EQ(party.chapters[0].id, "Chapter_1_1");
    EXPECT_EQ(party.chapters[0].index, 1);
    EXPECT_EQ(party.chapters[0].text, "Countdown");
    EXPECT_EQ(party.chapters[1].id, "Chapter_1_2");
    EXPECT_DOUBLE_EQ(party.chapters[1].start, 12.5);
    EXPECT_EQ(party.chapters[1].text, "Chapter 2");  // no title in the container

    // A video without chapters has one at its start.
    const CalendarTitle& march = calendar.titles[1];
    EXPECT_EQ(march.id, "UserTitle_2");
    ASSERT_EQ(march.chapters.size(), 1u);
    EXPECT_EQ(march.chapters[0].id, "Chapter_2_1");
    EXPECT_DOUBLE_EQ(march.chapters[0].start, 0.0);
    EXPECT_EQ(march.chapters[0].text, "Chapter 1");
}

TEST(CalendarTest, EqualTimesAreOrderedByPath) {
    const LocalTime same{2022, 7, 1, 8, 0, 0};
    const Calendar a = makeCalendar({photo("z.jpg", same), photo("a.jpg", same)}, 2.0);
    const Calendar b = makeCalendar({photo("a.jpg", same), photo("z.jpg", same)}, 2.0);
    ASSERT_EQ(a.media.size(), 2u);
    EXPECT_EQ(a.media[0].path, "a.jpg");
    EXPECT_EQ(b.media[0].path, "a.jpg");
}

TEST(CalendarTest, ABurstInOneSecondIsOrderedBySubSecondAcrossACounterWrap) {
    const LocalTime second{2022, 7, 1, 8, 0, 0};
    const auto frame = [&](const std::string& path, int microseconds) {
        MediaItem item = photo(path, second);
        item.microseconds = microseconds;
        return item;
    };
    // The camera's counter wrapped from 9999 to 0001 within the burst.
    const Calendar calendar =
        makeCalendar({frame("IMG_0001.jpg", 600000), frame("IMG_9999.jpg", 350000),
                      frame("IMG_0002.jpg", 850000), frame("IMG_9998.jpg", 100000)},
                     2.0);
    ASSERT_EQ(calendar.media.size(), 4u);
    EXPECT_EQ(calendar.media[0].path, "IMG_9998.jpg");
    EXPECT_EQ(calendar.media[1].path, "IMG_9999.jpg");
    EXPECT_EQ(calendar.media[2].path, "IMG_0001.jpg");
    EXPECT_EQ(calendar.media[3].path, "IMG_0002.jpg");
}

// A photo whose camera wrote its offset from UTC.
MediaItem photoAt(const std::string& path, LocalTime taken, int offsetHours) {
    MediaItem item = photo(path, taken);
    item.utcSeconds = secondsOf(taken) - offsetHours * 3600LL;
    return item;
}

TEST(CalendarTest, TheNightTheClocksGoBackIsOrderedAndMeasuredInRealTime) {
    // 02:30 summer time (00:30 UTC) came before 02:10 winter time (01:10 UTC).
    const Calendar swapped = makeCalendar({photoAt("b.jpg", {2023, 10, 29, 2, 10, 0}, 1),
                                           photoAt("a.jpg", {2023, 10, 29, 2, 30, 0}, 2)},
                                          2.0);
    ASSERT_EQ(swapped.media.size(), 2u);
    EXPECT_EQ(swapped.media[0].path, "a.jpg");
    EXPECT_EQ(swapped.media[1].path, "b.jpg");
    // 01:00 summer time to 02:05 winter time is 2 h 05 in real time: two outings.
    const Calendar apart = makeCalendar({photoAt("c.jpg", {2023, 10, 29, 1, 0, 0}, 2),
                                         photoAt("d.jpg", {2023, 10, 29, 2, 5, 0}, 1)},
                                        2.0);
    ASSERT_EQ(apart.years.size(), 1u);
    EXPECT_EQ(apart.years[0].months[0].days[0].contents.size(), 2u);
    // The offsets place the items in the day; the day is the wall clock's.
    const Calendar abroad = makeCalendar({photoAt("evening.jpg", {2023, 7, 1, 21, 15, 0}, -7),
                                          photoAt("morning.jpg", {2023, 7, 2, 8, 0, 0}, -7)},
                                         2.0);
    ASSERT_EQ(abroad.years[0].months[0].days.size(), 2u);
}

}  // namespace
}  // namespace merrowcli::import
