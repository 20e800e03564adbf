#include "cli/import/Calendar.h"

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <optional>
#include <tuple>
#include <utility>

#include "cli/core/TextValues.h"
#include "cli/import/TimeOffset.h"

namespace merrowcli::import {

namespace {

// The real instant of an item: its UTC time when known, else its wall-clock time in TZ.
long long realSeconds(const MediaItem& item) {
    return item.utcSeconds ? *item.utcSeconds : instantOf(item.taken, std::nullopt);
}

std::string dateKey(int year, int month, int day) {
    return fourDigits(year) + "_" + twoDigits(month) + "_" + twoDigits(day);
}

// The contents of one day from its items (indexes into media, in time order). A content is
// made when its first item is met, so the contents come in the order of their first item.
std::vector<CalendarContent> contentsOfDay(const std::vector<MediaItem>& media,
                                           const std::vector<size_t>& items, double gapHours,
                                           std::vector<size_t>* videos) {
    std::vector<CalendarContent> contents;
    const double gapSeconds = gapHours * 3600.0;
    long long previousPhoto = 0;
    size_t openShow = 0;  // the day's latest slideshow, when hasShow
    bool hasShow = false;
    for (const size_t item : items) {
        const MediaItem& entry = media[item];
        CalendarContent content;
        content.items.push_back(item);
        if (entry.kind == MediaKind::kVideo) {
            contents.push_back(std::move(content));
            videos->push_back(item);
            continue;
        }
        const long long taken = realSeconds(entry);
        if (hasShow && static_cast<double>(taken - previousPhoto) <= gapSeconds) {
            contents[openShow].items.push_back(item);
        } else {
            content.slideshow = true;
            openShow = contents.size();
            hasShow = true;
            contents.push_back(std::move(content));
        }
        previousPhoto = taken;
    }
    return contents;
}

// The year and month entries a day goes under, made when it is the first day of them.
CalendarMonth& monthOf(Calendar* calendar, const LocalTime& first) {
    if (calendar->years.empty() || calendar->years.back().year != first.year) {
        CalendarYear year;
        year.year = first.year;
        year.id = "Year_" + fourDigits(first.year);
        calendar->years.push_back(std::move(year));
    }
    CalendarYear& year = calendar->years.back();
    if (year.months.empty() || year.months.back().month != first.month) {
        CalendarMonth month;
        month.month = first.month;
        month.id = "Month_" + fourDigits(first.year) + "_" + twoDigits(first.month);
        month.firstdayShift = weekdayOf(first.year, first.month, 1);
        month.monthDays = monthLength(first.year, first.month);
        year.months.push_back(std::move(month));
    }
    return year.months.back();
}

// One day of items (indexes into the calendar's media, in time order), with its contents
// numbered and counted; its videos are added to *videos.
CalendarDay makeDay(const Calendar& calendar, const std::vector<size_t>& dayItems,
                    const std::vector<int>& frameOf, double gapHours, std::vector<size_t>* videos) {
    const std::vector<MediaItem>& items = calendar.media;
    const LocalTime& first = items[dayItems.front()].taken;
    CalendarDay day;
    day.day = first.day;
    const std::string key = dateKey(first.year, first.month, first.day);
    day.id = "Day_" + key;
    day.contents = contentsOfDay(items, dayItems, gapHours, videos);
    int number = 0;
    for (CalendarContent& content : day.contents) {
        content.id = "Content_" + key + "_" + std::to_string(++number);
        const LocalTime& at = items[content.items.front()].taken;
        content.time = twoDigits(at.hour) + ":" + twoDigits(at.minute);
        if (content.slideshow) {
            content.startFrame = frameOf[content.items.front()];
            day.photos += static_cast<int>(content.items.size());
        } else {
            ++day.titles;
        }
    }
    return day;
}

// The days, months and years of the media, in time order.
void fileDays(Calendar* calendar, double gapHours, std::vector<size_t>* videos) {
    const std::vector<MediaItem>& items = calendar->media;
    // Position of every photo in the slideshow.
    std::vector<int> frameOf(items.size(), 0);
    for (size_t at = 0; at < calendar->slideshow.size(); ++at) {
        frameOf[calendar->slideshow[at]] = static_cast<int>(at);
    }
    size_t begin = 0;
    while (begin < items.size()) {
        const LocalTime& first = items[begin].taken;
        size_t end = begin;
        while (end < items.size() && items[end].taken.year == first.year &&
               items[end].taken.month == first.month && items[end].taken.day == first.day) {
            ++end;
        }
        std::vector<size_t> dayItems(end - begin);
        std::iota(dayItems.begin(), dayItems.end(), begin);
        CalendarMonth& month = monthOf(calendar, first);
        CalendarDay day = makeDay(*calendar, dayItems, frameOf, gapHours, videos);
        CalendarYear& year = calendar->years.back();
        month.titles += day.titles;
        month.photos += day.photos;
        year.titles += day.titles;
        year.photos += day.photos;
        calendar->titleTotal += day.titles;
        calendar->photoTotal += day.photos;
        month.days.push_back(std::move(day));
        begin = end;
    }
}

// A video's title with its chapters (one at the start when the container lists none).
CalendarTitle makeTitle(const MediaItem& video, size_t item, int number) {
    CalendarTitle title;
    title.id = "UserTitle_" + std::to_string(number);
    title.item = item;
    const std::vector<Chapter>& chapters = video.chapters;
    const size_t count = chapters.empty() ? 1 : chapters.size();
    for (size_t k = 0; k < count; ++k) {
        CalendarChapter chapter;
        chapter.index = static_cast<int>(k) + 1;
        chapter.id = "Chapter_" + std::to_string(number) + "_" + std::to_string(chapter.index);
        chapter.start = chapters.empty() ? 0.0 : chapters[k].start;
        chapter.text = chapters.empty() || chapters[k].title.empty()
                           ? "Chapter " + std::to_string(chapter.index)
                           : chapters[k].title;
        title.chapters.push_back(std::move(chapter));
    }
    return title;
}

// Titles in time order (the videos were met in that order), and each title content pointed
// at its title.
void addTitles(Calendar* calendar, const std::vector<size_t>& videos) {
    std::vector<int> titleOf(calendar->media.size(), -1);
    for (const size_t item : videos) {
        const int number = static_cast<int>(calendar->titles.size()) + 1;
        titleOf[item] = static_cast<int>(calendar->titles.size());
        calendar->titles.push_back(makeTitle(calendar->media[item], item, number));
    }
    for (CalendarYear& year : calendar->years) {
        for (CalendarMonth& month : year.months) {
            for (CalendarDay& day : month.days) {
                for (CalendarContent& content : day.contents) {
                    if (!content.slideshow) content.title = titleOf[content.items.front()];
                }
            }
        }
    }
}

}  // namespace

Calendar makeCalendar(std::vector<MediaItem> media, double gapHours) {
    Calendar calendar;
    // Days by the wall clock where each was taken; within a day by the real instant, then the
    // sub-second, then the path.
    std::stable_sort(media.begin(), media.end(), [](const MediaItem& a, const MediaItem& b) {
        const auto dayOf = [](const MediaItem& item) {
            return std::tuple(item.taken.year, item.taken.month, item.taken.day);
        };
        if (dayOf(a) != dayOf(b)) return dayOf(a) < dayOf(b);
        const long long atA = realSeconds(a);
        const long long atB = realSeconds(b);
        if (atA != atB) return atA < atB;
        if (a.microseconds != b.microseconds) return a.microseconds < b.microseconds;
        return a.path < b.path;
    });
    calendar.media = std::move(media);
    for (size_t i = 0; i < calendar.media.size(); ++i) {
        if (calendar.media[i].kind == MediaKind::kPhoto) calendar.slideshow.push_back(i);
    }
    std::vector<size_t> videos;
    fileDays(&calendar, gapHours, &videos);
    addTitles(&calendar, videos);
    return calendar;
}

}  // namespace merrowcli::import
