#pragma once
// The calendar of a media collection: years, months, days and contents in date order, the
// slideshow of every photo and the titles of the videos, with the ids and numbers that the
// reference document's navigation data carries.

#include <cstddef>
#include <string>
#include <vector>

#include "cli/import/Media.h"

namespace merrowcli::import {

struct CalendarContent {
    std::string id;  // Content_YYYY_MM_DD_N
    bool slideshow = false;
    std::string time;           // "HH:MM" of its first item
    std::vector<size_t> items;  // indexes into Calendar::media, in time order
    int startFrame = 0;         // slideshow: photos of the project's slideshow before its first
    int title = 0;              // title content: index into Calendar::titles
};

struct CalendarDay {
    int day = 1;
    std::string id;  // Day_YYYY_MM_DD
    std::vector<CalendarContent> contents;
    int titles = 0;
    int photos = 0;
};

struct CalendarMonth {
    int month = 1;
    std::string id;  // Month_YYYY_MM
    int firstdayShift = 0;
    int monthDays = 31;
    std::vector<CalendarDay> days;
    int titles = 0;
    int photos = 0;
};

struct CalendarYear {
    int year = 1970;
    std::string id;  // Year_YYYY
    std::vector<CalendarMonth> months;
    int titles = 0;
    int photos = 0;
};

struct CalendarChapter {
    std::string id;  // Chapter_N_K
    int index = 1;   // from 1
    double start = 0;
    std::string text;  // the chapter's title, else "Chapter K"
};

struct CalendarTitle {
    std::string id;   // UserTitle_N, the name the component gives the N-th user title
    size_t item = 0;  // index into Calendar::media
    std::vector<CalendarChapter> chapters;
};

struct Calendar {
    std::vector<MediaItem> media;  // in time order (ties by sub-second, then by path)
    std::vector<CalendarYear> years;
    std::vector<CalendarTitle> titles;  // in time order
    std::vector<size_t> slideshow;      // every photo, in time order
    int titleTotal = 0;
    int photoTotal = 0;
};

// Makes the calendar. Photos of one day taken within gapHours of the previous photo of that
// day form one slideshow content; every video is a title content of its own.
Calendar makeCalendar(std::vector<MediaItem> media, double gapHours);

}  // namespace merrowcli::import
