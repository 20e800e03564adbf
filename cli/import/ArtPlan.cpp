#include "cli/import/ArtPlan.h"

namespace merrowcli::import {

namespace {

struct Source {
    size_t item = 0;
    double seconds = 0;
    std::vector<size_t> fallbacks;
};

Source sourceOf(const Calendar& calendar, const CalendarContent& content) {
    const size_t item = content.items.front();
    const MediaItem& media = calendar.media[item];
    if (media.kind == MediaKind::kVideo) return {item, media.duration / 10.0, {}};
    return {item, 0.0, std::vector<size_t>(content.items.begin() + 1, content.items.end())};
}

void addThumbnail(ArtPlan* plan, const std::string& id, const Source& source, Size size) {
    const std::string stem = std::string(Design::kDrawnFolder) + id;
    plan->thumbnails.push_back(
        {id, source.item, source.seconds, source.fallbacks, size, stem + ".png", stem + "_hl.png"});
}

void addText(ArtPlan* plan, const std::string& id, const std::string& text, Size size) {
    plan->texts.push_back({id, text, size, std::string(Design::kDrawnFolder) + id + "_text.png"});
}

}  // namespace

std::string thumbnailProviderId(const std::string& entryId) {
    return "TH_" + entryId;
}

std::string textProviderId(const std::string& entryId) {
    return "TX_" + entryId;
}

ArtPlan planArt(const Calendar& calendar, const DesignSizes& sizes) {
    ArtPlan plan;
    for (const CalendarYear& year : calendar.years) {
        const Source yearSource =
            sourceOf(calendar, year.months.front().days.front().contents.front());
        addThumbnail(&plan, year.id, yearSource, sizes.year);
        addText(&plan, year.id, std::to_string(year.year), sizes.yearText);
        for (const CalendarMonth& month : year.months) {
            addThumbnail(&plan, month.id, sourceOf(calendar, month.days.front().contents.front()),
                         sizes.month);
            for (const CalendarDay& day : month.days) {
                addThumbnail(&plan, day.id, sourceOf(calendar, day.contents.front()), sizes.day);
                for (const CalendarContent& content : day.contents) {
                    addThumbnail(&plan, content.id, sourceOf(calendar, content), sizes.content);
                }
            }
        }
    }
    for (const CalendarTitle& title : calendar.titles) {
        for (const CalendarChapter& chapter : title.chapters) {
            if (sizes.chapter.width > 0) {
                addThumbnail(&plan, chapter.id, {title.item, chapter.start, {}}, sizes.chapter);
            }
            if (sizes.chapterText.width > 0) {
                addText(&plan, chapter.id, chapter.text, sizes.chapterText);
            }
        }
    }
    return plan;
}

}  // namespace merrowcli::import
