#pragma once
// The pictures an import draws for its calendar, and their names: a thumbnail and a
// highlighted thumbnail for every year, month, day, content and chapter, and a picture of the
// text of every year and chapter, at the sizes the design gives them. The reference document
// names them through providers "TH_" + the entry's id (a thumbnail) and "TX_" + the entry's id
// (a text).

#include <cstddef>
#include <string>
#include <vector>

#include "cli/import/Calendar.h"
#include "cli/import/Design.h"

namespace merrowcli::import {

// A thumbnail drawn from a photo, or from the frame of a video at `seconds`.
struct ThumbnailJob {
    std::string entryId;
    size_t item = 0;  // index into Calendar::media
    double seconds = 0;
    // The photos drawn instead, the first that can be, when item cannot: the rest of its
    // content's photos, in time order.
    std::vector<size_t> fallbacks;
    Size size;
    std::string file;           // relative to the project folder
    std::string highlightFile;  // the same, focused
};

struct TextJob {
    std::string entryId;
    std::string text;
    Size size;
    std::string file;
};

struct ArtPlan {
    std::vector<ThumbnailJob> thumbnails;  // in document order of their entries
    std::vector<TextJob> texts;
};

std::string thumbnailProviderId(const std::string& entryId);
std::string textProviderId(const std::string& entryId);

// Every picture the calendar needs. A content shows its first photo (that can be drawn), or its
// video's frame at a tenth of its length; a day, a month and a year show their first content's
// picture; a chapter its start frame. Chapters get pictures only when the design has a chapter
// scene.
ArtPlan planArt(const Calendar& calendar, const DesignSizes& sizes);

}  // namespace merrowcli::import
