#include "cli/import/FileNameDate.h"

#include <ctime>
#include <regex>
#include <vector>

#include "cli/import/MediaReader.h"

namespace merrowcli::import {

namespace {

enum class Clock { kLocal, kUtc, kDayOnly };

struct NamePattern {
    std::regex expression;  // groups: year, month, day[, hour, minute, second]
    Clock clock;
};

const std::vector<NamePattern>& namePatterns() {
    static const std::vector<NamePattern> patterns = [] {
        const auto flags = std::regex::ECMAScript | std::regex::icase;
        std::vector<NamePattern> list;
        list.push_back(
            {std::regex(R"(^(?:IMG|VID)_(\d{4})(\d{2})(\d{2})_(\d{2})(\d{2})(\d{2}))", flags),
             Clock::kLocal});
        list.push_back(
            {std::regex(R"(^PXL_(\d{4})(\d{2})(\d{2})_(\d{2})(\d{2})(\d{2})\d{0,3})", flags),
             Clock::kUtc});
        list.push_back(
            {std::regex(R"(^(?:IMG|VID)-(\d{4})(\d{2})(\d{2})-WA\d+)", flags), Clock::kDayOnly});
        list.push_back(
            {std::regex(R"(^Screenshot_(\d{4})-(\d{2})-(\d{2})-(\d{2})-(\d{2})-(\d{2}))", flags),
             Clock::kLocal});
        list.push_back({std::regex(R"(^(\d{4})-(\d{2})-(\d{2}) (\d{2})\.(\d{2})\.(\d{2}))", flags),
                        Clock::kLocal});
        return list;
    }();
    return patterns;
}

}  // namespace

std::optional<LocalTime> dateFromFileName(const std::string& name) {
    for (const NamePattern& pattern : namePatterns()) {
        std::smatch match;
        if (!std::regex_search(name, match, pattern.expression)) continue;
        const auto field = [&](size_t group) { return std::stoi(match[group].str()); };
        LocalTime time{field(1), field(2), field(3), 0, 0, 0};
        if (pattern.clock != Clock::kDayOnly) {
            time.hour = field(4);
            time.minute = field(5);
            time.second = field(6);
        }
        if (!isValidTime(time) || time.year < 1971) return std::nullopt;
        if (pattern.clock == Clock::kUtc) {
            return localTimeOf(static_cast<std::time_t>(secondsOf(time)));
        }
        return time;
    }
    return std::nullopt;
}

}  // namespace merrowcli::import
