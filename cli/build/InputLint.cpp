#include "cli/build/InputLint.h"

#include <libxml/tree.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <map>
#include <optional>
#include <set>

#include "cli/core/ElementAttributes.h"
#include "cli/core/TextValues.h"

namespace merrowcli {

namespace {

using Vocabulary = std::set<std::string>;

// The attributes read on layout elements: those every element may carry (its id, its
// geometry, its page and its picture), and those of some elements.
const Vocabulary& commonLayoutAttributes() {
    static const Vocabulary names = {"id",   "x",     "y",         "width",         "height",
                                     "page", "image", "imageBody", "imageHighlight"};
    return names;
}

const std::map<std::string, Vocabulary>& layoutElements() {
    static const std::map<std::string, Vocabulary> elements = {
        {"container", {}},
        {"decoration", {}},
        {"icon", {}},
        {"graphicbutton", {}},
        {"graphictext", {"type"}},
        {"gridcontainer",
         {"col", "row", "hGap", "vGap", "leftMargin", "rightMargin", "topMargin", "bottomMargin"}},
        {"gridholder", {"type"}},
        {"scrollcontainer2", {"direction"}},
        {"scrollcontainer3", {"direction"}},
        {"scrollinfo", {}},
        {"scrollholder", {}},
        {"scenetext", {}},
        {"rectangle", {}},
        {"text", {}},
    };
    return elements;
}

// The levels below dateInfo: years, months, days, contents.
const std::array<Vocabulary, 4>& calendarLevels() {
    static const std::array<Vocabulary, 4> levels = {{
        {"id", "content", "TITLE_NUMBER", "PHOTO_NUMBER", "thumbnailId", "textId"},
        {"id", "index", "firstdayShift", "monthDays", "TITLE_NUMBER", "PHOTO_NUMBER",
         "thumbnailId"},
        {"id", "index", "TITLE_NUMBER", "PHOTO_NUMBER", "thumbnailId"},
        {"id", "content", "PHOTO_NUMBER", "startFrame", "titleInfoID", "thumbnailId"},
    }};
    return levels;
}

const char* const kMonthNames[12] = {"January",   "February", "March",    "April",
                                     "May",       "June",     "July",     "August",
                                     "September", "October",  "November", "December"};

bool isElementNamed(const xmlNode* node, const char* name) {
    return node != nullptr && node->type == XML_ELEMENT_NODE && nodeName(node) == std::string(name);
}

std::vector<xmlNode*> childElements(const xmlNode* parent) {
    std::vector<xmlNode*> children;
    for (xmlNode* child = parent->children; child != nullptr; child = child->next) {
        if (child->type == XML_ELEMENT_NODE) children.push_back(child);
    }
    return children;
}

std::optional<std::string> attributeOf(const xmlNode* element, const char* name) {
    xmlChar* value = xmlGetNoNsProp(element, BAD_CAST name);
    if (value == nullptr) return std::nullopt;
    std::string text = reinterpret_cast<const char*>(value);
    xmlFree(value);
    return text;
}

// "<name id="ID">", or "<name>" without an id.
std::string label(const xmlNode* element) {
    std::string text(1, '<');
    text.append(nodeName(element));
    if (const std::optional<std::string> id = attributeOf(element, "id")) {
        text.append(" id=\"").append(*id).append("\"");
    }
    text.append(1, '>');
    return text;
}

size_t editDistance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                              std::tolower(static_cast<unsigned char>(b[j - 1]));
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

class InputLinter {
public:
    explicit InputLinter(xmlDoc* doc) : root_(xmlDocGetRootElement(doc)) {}

    std::vector<ReferenceWarning> run() {
        if (!isElementNamed(root_, "root")) return {};
        collectIds(root_);
        for (xmlNode* section : childElements(root_)) {
            if (isElementNamed(section, "layout")) {
                for (xmlNode* container : childElements(section)) checkLayout(container);
            } else if (isElementNamed(section, "navigationInfo")) {
                for (xmlNode* dates : childElements(section)) {
                    if (isElementNamed(dates, "dateInfo")) checkDates(dates);
                }
            } else if (isElementNamed(section, "titlesInfo")) {
                checkTitles(section);
            }
        }
        std::stable_sort(
            warnings_.begin(), warnings_.end(),
            [](const ReferenceWarning& a, const ReferenceWarning& b) { return a.line < b.line; });
        return warnings_;
    }

private:
    void warn(const xmlNode* element, const std::string& problem) {
        warnings_.push_back({lineOf(element), label(element) + ": " + problem});
    }

    // Duplicate ids, and the ids of titleInfo elements.
    void collectIds(const xmlNode* element) {
        std::map<std::string, int> firstLine;
        std::vector<const xmlNode*> pending = {element};
        while (!pending.empty()) {
            const xmlNode* node = pending.back();
            pending.pop_back();
            if (const std::optional<std::string> id = attributeOf(node, "id")) {
                ids_.insert(*id);
                if (isElementNamed(node, "titleInfo")) titleIds_.insert(*id);
                const auto [known, fresh] = firstLine.emplace(*id, lineOf(node));
                if (!fresh) duplicates_.push_back({node, known->second});
            }
            std::vector<xmlNode*> children = childElements(node);
            for (auto it = children.rbegin(); it != children.rend(); ++it) pending.push_back(*it);
        }
        for (const auto& [node, line] : duplicates_) {
            warn(node,
                 "the id is also used at line " + std::to_string(line) + "; ids must be unique");
        }
    }

    void checkAttributes(const xmlNode* element, const Vocabulary& common,
                         const Vocabulary& extra) {
        for (const xmlAttr* a = element->properties; a != nullptr; a = a->next) {
            if (a->ns != nullptr) continue;
            const std::string name = reinterpret_cast<const char*>(a->name);
            if (common.count(name) != 0 || extra.count(name) != 0) continue;
            std::string nearest;
            size_t best = 3;
            for (const Vocabulary* names : {&common, &extra}) {
                for (const std::string& candidate : *names) {
                    const size_t distance = editDistance(name, candidate);
                    if (distance < best && candidate.size() > 2) {
                        best = distance;
                        nearest = candidate;
                    }
                }
            }
            std::string problem = "unknown attribute '" + name + "'";
            if (!nearest.empty()) problem += " (did you mean '" + nearest + "'?)";
            warn(element, problem + "; it is ignored");
        }
    }

    void checkLayout(const xmlNode* element) {
        const auto known = layoutElements().find(nodeName(element));
        if (known != layoutElements().end()) {
            checkAttributes(element, commonLayoutAttributes(), known->second);
        }
        for (xmlNode* child : childElements(element)) checkLayout(child);
    }

    // A whole number attribute; absent or not a number gives nothing (the latter with a warning).
    std::optional<long long> number(const xmlNode* element, const char* name) {
        const std::optional<std::string> text = attributeOf(element, name);
        if (!text) return std::nullopt;
        long long value = 0;
        if (!parseInteger(*text, -2147483648LL, 2147483647LL, &value)) {
            warn(element, std::string(name) + " \"" + *text + "\" is not a whole number");
            return std::nullopt;
        }
        return value;
    }

    void checkReference(const xmlNode* element, const char* name) {
        const std::optional<std::string> id = attributeOf(element, name);
        if (id && ids_.count(*id) == 0) {
            warn(element, std::string(name) + " \"" + *id + "\" names no element");
        }
    }

    struct Totals {
        std::optional<long long> titles;
        std::optional<long long> photos;
    };

    // Compares an entry's totals with the sums of its parts; a part without a value leaves
    // that total unchecked.
    void checkTotals(const xmlNode* element, const Totals& own, const std::vector<Totals>& parts,
                     const char* partsName) {
        const auto check = [&](const char* name, const std::optional<long long>& value,
                               std::optional<long long> Totals::*member) {
            if (!value) return;
            long long sum = 0;
            for (const Totals& part : parts) {
                if (!(part.*member)) return;
                sum += *(part.*member);
            }
            if (sum != *value) {
                warn(element, std::string(name) + " " + std::to_string(*value) +
                                  " is not the sum of its " + partsName + "' (" +
                                  std::to_string(sum) + ")");
            }
        };
        check("TITLE_NUMBER", own.titles, &Totals::titles);
        check("PHOTO_NUMBER", own.photos, &Totals::photos);
    }

    Totals ownTotals(const xmlNode* element) {
        return {number(element, "TITLE_NUMBER"), number(element, "PHOTO_NUMBER")};
    }

    void checkDates(const xmlNode* dates) {
        checkAttributes(dates, {"TITLE_NUMBER", "PHOTO_NUMBER"}, {});
        std::vector<Totals> years;
        for (xmlNode* year : childElements(dates)) years.push_back(checkYear(year));
        checkTotals(dates, ownTotals(dates), years, "years");
    }

    Totals checkYear(const xmlNode* year) {
        checkAttributes(year, calendarLevels()[0], {});
        checkReference(year, "thumbnailId");
        checkReference(year, "textId");
        std::optional<long long> yearNumber;
        long long parsed = 0;
        if (const std::optional<std::string> content = attributeOf(year, "content");
            content && parseInteger(*content, 1, 9999, &parsed)) {
            yearNumber = parsed;
        }
        std::vector<Totals> months;
        for (xmlNode* month : childElements(year)) months.push_back(checkMonth(month, yearNumber));
        const Totals own = ownTotals(year);
        checkTotals(year, own, months, "months");
        return own;
    }

    Totals checkMonth(const xmlNode* month, std::optional<long long> year) {
        checkAttributes(month, calendarLevels()[1], {});
        checkReference(month, "thumbnailId");
        // -1 for a month index or year that is unknown.
        int index = -1;
        if (const std::optional<long long> value = number(month, "index")) {
            if (*value < 0 || *value > 11) {
                warn(month, "index " + std::to_string(*value) + " is out of range (0 to 11)");
            } else {
                index = static_cast<int>(*value);
            }
        }
        const long long yearNumber = year.value_or(-1);
        const std::optional<long long> days = number(month, "monthDays");
        const std::optional<long long> shift = number(month, "firstdayShift");
        long long dayCount = 31;
        if (index >= 0 && yearNumber > 0) {
            const std::string when =
                std::string(kMonthNames[index]) + " " + std::to_string(yearNumber);
            const int length = monthLength(yearNumber, index);
            dayCount = length;
            if (days && *days != length) {
                warn(month, "monthDays " + std::to_string(*days) + " is not the length of " + when +
                                " (" + std::to_string(length) + ")");
            }
            const int weekday = weekdayOfFirst(yearNumber, index);
            if (shift && *shift != weekday) {
                warn(month, "firstdayShift " + std::to_string(*shift) +
                                " is not the weekday of 1 " + when + " (" +
                                std::to_string(weekday) + "; 0 is Sunday)");
            }
        } else {
            if (days && (*days < 28 || *days > 31)) {
                warn(month, "monthDays " + std::to_string(*days) + " is no month's length");
            }
            if (shift && (*shift < 0 || *shift > 6)) {
                warn(month, "firstdayShift " + std::to_string(*shift) + " is no weekday (0 to 6)");
            }
        }
        if (days) dayCount = *days;
        std::vector<Totals> dayTotals;
        for (xmlNode* day : childElements(month)) dayTotals.push_back(checkDay(day, dayCount));
        const Totals own = ownTotals(month);
        checkTotals(month, own, dayTotals, "days");
        return own;
    }

    Totals checkDay(const xmlNode* day, long long monthDays) {
        checkAttributes(day, calendarLevels()[2], {});
        checkReference(day, "thumbnailId");
        const std::optional<long long> index = number(day, "index");
        if (index && (*index < 0 || *index >= monthDays)) {
            warn(day, "index " + std::to_string(*index) + " is beyond the month's " +
                          std::to_string(monthDays) + " days (0 to " +
                          std::to_string(monthDays - 1) + ")");
        }
        // A content with PHOTO_NUMBER is a slideshow of that many photos, one without is a
        // title.
        std::vector<Totals> contents;
        for (xmlNode* content : childElements(day)) {
            checkAttributes(content, calendarLevels()[3], {});
            checkReference(content, "thumbnailId");
            if (const std::optional<std::string> title = attributeOf(content, "titleInfoID");
                title && titleIds_.count(*title) == 0) {
                warn(content, "titleInfoID \"" + *title + "\" names no titleInfo");
            }
            const std::optional<long long> photos = number(content, "PHOTO_NUMBER");
            const bool slideshow = attributeOf(content, "PHOTO_NUMBER").has_value();
            contents.push_back(
                {slideshow ? 0 : 1, slideshow ? photos : std::optional<long long>(0)});
        }
        const Totals own = ownTotals(day);
        checkTotals(day, own, contents, "contents");
        return own;
    }

    void checkTitles(const xmlNode* titles) {
        for (xmlNode* title : childElements(titles)) {
            if (!isElementNamed(title, "titleInfo")) continue;
            checkAttributes(title, {"id"}, {});
            for (xmlNode* chapter : childElements(title)) {
                if (!isElementNamed(chapter, "chapterInfo")) continue;
                checkAttributes(chapter, {"id", "index", "thumbnailId", "textId"}, {});
                checkReference(chapter, "thumbnailId");
                checkReference(chapter, "textId");
            }
        }
    }

    static bool leapYear(long long year) {
        return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    }

    static int monthLength(long long year, int month) {
        static const int kLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        return month == 1 && leapYear(year) ? 29 : kLengths[month];
    }

    // 0 for Sunday, in the Gregorian calendar (Sakamoto's method).
    static int weekdayOfFirst(long long year, int month) {
        static const int kOffsets[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
        if (month < 2) --year;
        return static_cast<int>((year + year / 4 - year / 100 + year / 400 + kOffsets[month] + 1) %
                                7);
    }

    xmlNode* root_;
    std::set<std::string> ids_;
    std::set<std::string> titleIds_;
    std::vector<std::pair<const xmlNode*, int>> duplicates_;
    std::vector<ReferenceWarning> warnings_;
};

}  // namespace

std::vector<ReferenceWarning> checkReferenceDocument(xmlDoc* doc) {
    if (doc == nullptr) return {};
    return InputLinter(doc).run();
}

}  // namespace merrowcli
