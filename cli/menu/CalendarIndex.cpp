#include "cli/menu/CalendarIndex.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace merrowcli::menu {

namespace {

const char* const kPageNames[] = {"yearpage", "monthpage", "daypage", "contentpage"};
const char* const kEntryNames[] = {"year", "month", "day", "titlecontent", "slideshowcontent"};

}  // namespace

CalendarIndex::CalendarIndex(const MenuDocument& document) : document_(document) {
    const MenuDocument& d = document_;
    const int root = d.root();
    const int layoutCommand = d.child(root, "command");
    const std::vector<int> calendars = d.descendants(layoutCommand, "calendar");
    calendar_ = calendars.empty() ? -1 : calendars.front();
    const std::vector<int> controls = d.descendants(layoutCommand, "focuscontrol");
    focusControl_ = controls.empty() ? -1 : controls.front();
    for (const int item : d.descendants(focusControl_, "focusitem")) {
        const std::string* target = d.attribute(item, "target");
        // An item without a target adds nothing that can be focused.
        focusTargets_.push_back(target != nullptr ? *target : std::string());
        if (target != nullptr) focusable_[*target] = true;
    }
    keyEvents_ = d.descendants(d.child(layoutCommand, "eventhandler"), "key_event");
    for (const int trigger : d.descendants(d.child(root, "effect"), "trigger")) {
        if (const std::string* launcher = d.attribute(trigger, "launcher")) {
            triggers_[*launcher].push_back(trigger);
        }
    }
    titles_ = d.descendants(d.child(root, "titlelist"), "title");

    auto remember = [this](const std::string& id, int entry) {
        const auto known = buttonIndex_.find(id);
        if (known != buttonIndex_.end()) {
            buttons_[known->second].second = entry;
        } else {
            buttonIndex_[id] = buttons_.size();
            buttons_.emplace_back(id, entry);
        }
    };
    if (calendar_ >= 0) {
        const std::vector<int> years = d.descendants(calendar_, "year");
        for (size_t i = 0; i < years.size(); ++i) {
            const std::string scene = "L1_SCENE_" + std::to_string(i + 1);
            if (d.hasId(scene)) remember(scene, years[i]);
        }
        for (const char* name : kEntryNames) {
            for (const int entry : d.descendants(calendar_, name)) {
                const std::string* button = d.attribute(entry, "thumbnailResId");
                if (button != nullptr && !button->empty()) remember(*button, entry);
            }
        }
        for (const int content : d.descendants(calendar_, "titlecontent")) {
            const int menu = chapterMenuOf(content);
            if (menu >= 0) chapterMenuContents_.emplace(menu, content);
        }
    }
    // The last id of each entry, in the order the ids were indexed.
    for (const auto& [id, entry] : buttons_) entryButtons_[entry] = id;
}

const std::vector<int>& CalendarIndex::triggersOf(const std::string& launcher) const {
    static const std::vector<int> kNone;
    const auto found = triggers_.find(launcher);
    return found == triggers_.end() ? kNone : found->second;
}

int CalendarIndex::contentOfChapterMenu(int container) const {
    const auto found = chapterMenuContents_.find(container);
    return found == chapterMenuContents_.end() ? -1 : found->second;
}

const std::vector<int>& CalendarIndex::stripsIn(int container) const {
    auto found = stripsIn_.find(container);
    if (found == stripsIn_.end()) {
        std::vector<int> strips;
        // In document order, both kinds together.
        for (const char* name : {"scrollcontainer2", "scrollcontainer3"}) {
            const std::vector<int> some = document_.descendants(container, name);
            strips.insert(strips.end(), some.begin(), some.end());
        }
        std::sort(strips.begin(), strips.end());
        found = stripsIn_.emplace(container, std::move(strips)).first;
    }
    return found->second;
}

bool CalendarIndex::isFocusable(const std::string& id) const {
    return focusable_.count(id) != 0;
}

bool CalendarIndex::isPage(int n) const {
    if (n < 0) return false;
    for (const char* name : kPageNames) {
        if (document_.node(n).name == name) return true;
    }
    return false;
}

bool CalendarIndex::isEntry(int n) const {
    if (n < 0) return false;
    for (const char* name : kEntryNames) {
        if (document_.node(n).name == name) return true;
    }
    return false;
}

const std::vector<int>& CalendarIndex::entriesOf(int page) const {
    auto found = entries_.find(page);
    if (found == entries_.end()) {
        std::vector<int> out;
        for (const int c : document_.node(page).children) {
            if (isEntry(c)) out.push_back(c);
        }
        found = entries_.emplace(page, std::move(out)).first;
    }
    return found->second;
}

int CalendarIndex::pageOf(int entry) const {
    for (const int c : document_.node(entry).children) {
        if (isPage(c)) return c;
    }
    return -1;
}

int CalendarIndex::parentPage(int page) const {
    for (int up = document_.node(page).parent; up >= 0; up = document_.node(up).parent) {
        if (isPage(up)) return up;
    }
    return -1;
}

int CalendarIndex::entryOfPage(int page) const {
    const int parent = document_.node(page).parent;
    return isEntry(parent) ? parent : -1;
}

int CalendarIndex::gridOf(int page) const {
    auto found = grids_.find(page);
    if (found == grids_.end()) {
        const int container = document_.find(document_.text(page, "layoutId"));
        const std::vector<int> grids =
            container >= 0 ? document_.descendants(container, "gridlayout") : std::vector<int>();
        found = grids_.emplace(page, grids.empty() ? -1 : grids.front()).first;
    }
    return found->second;
}

int CalendarIndex::chapterMenuOf(int content) const {
    if (content < 0 || document_.node(content).name != "titlecontent") return -1;
    const std::string* id = document_.attribute(content, "chapterLayoutId");
    return id != nullptr ? document_.find(*id) : -1;
}

int CalendarIndex::entryOfButton(const std::string& id) const {
    const auto found = buttonIndex_.find(id);
    return found == buttonIndex_.end() ? -1 : buttons_[found->second].second;
}

std::string CalendarIndex::buttonOfEntry(int entry) const {
    const auto found = entryButtons_.find(entry);
    return found == entryButtons_.end() ? std::string() : found->second;
}

std::map<std::string, std::optional<std::string>> CalendarIndex::pageValues(int page) const {
    auto value = [&](const char* name) -> std::optional<std::string> {
        const std::string* v = document_.attribute(page, name);
        return v != nullptr ? std::optional<std::string>(*v) : std::nullopt;
    };
    return {{"TITLE", value("titleNumber")}, {"PHOTO", value("photoNumber")}};
}

std::map<std::string, std::optional<std::string>> CalendarIndex::entryValues(int entry) const {
    const int opened = pageOf(entry);
    auto value = [&](int n, const char* name) -> std::optional<std::string> {
        const std::string* v = n >= 0 ? document_.attribute(n, name) : nullptr;
        return v != nullptr ? std::optional<std::string>(*v) : std::nullopt;
    };
    const std::string& kind = document_.node(entry).name;
    return {{"TITLE", value(opened, "titleNumber")},
            {"PHOTO", value(opened, "photoNumber")},
            {"DATE", kind == "month" ? value(entry, "month")
                     : kind == "day" ? value(entry, "day")
                                     : std::nullopt},
            {"TIME", value(entry, "time")}};
}

const std::vector<Rect>& CalendarIndex::gridCells(int grid) const {
    const auto known = cells_.find(grid);
    if (known != cells_.end()) return known->second;
    const MenuDocument& d = document_;
    const int col = static_cast<int>(std::max(1.0, d.number(grid, "col", 1)));
    const int row = static_cast<int>(std::max(1.0, d.number(grid, "row", 1)));
    const double left = d.number(grid, "leftMargin");
    const double top = d.number(grid, "topMargin");
    const double hGap = d.number(grid, "hGap");
    const double vGap = d.number(grid, "vGap");
    const double width =
        (d.number(grid, "width") - left - d.number(grid, "rightMargin") - (col - 1) * hGap) / col;
    const double height =
        (d.number(grid, "height") - top - d.number(grid, "bottomMargin") - (row - 1) * vGap) / row;
    std::vector<Rect> cells;
    for (int k = 0; k < col * row; ++k) {
        const int c = k % col;
        const int r = k / col;
        cells.push_back({d.number(grid, "x") + left + c * (width + hGap),
                         d.number(grid, "y") + top + r * (height + vGap), width, height});
    }
    return cells_.emplace(grid, std::move(cells)).first->second;
}

const StripGeometry& CalendarIndex::strip(int scroll) const {
    const auto known = strips_.find(scroll);
    if (known != strips_.end()) return known->second;
    const MenuDocument& d = document_;
    StripGeometry g;
    g.holders = d.descendants(d.child(scroll, "scrollinfo"), "scrollholder");
    g.vertical = d.text(scroll, "direction") == "vertical";
    const char* along = g.vertical ? "y" : "x";
    const char* size = g.vertical ? "height" : "width";
    double low = std::numeric_limits<double>::infinity();
    double high = 0;
    for (const int h : g.holders) {
        for (const int p : d.node(h).children) {
            const double start = d.number(p, along);
            low = std::min(low, start);
            high = std::max(high, start + d.number(p, size));
        }
    }
    g.extent = g.holders.empty() ? 0 : high + (std::isfinite(low) ? low : 0);
    g.start = (d.number(scroll, size) - g.extent * static_cast<double>(g.holders.size())) / 2;
    for (const int c : d.node(scroll).children) {
        const std::optional<SceneName> scene = sceneName(d.text(c, "id"));
        if (scene) g.scenes[scene->number].emplace_back(c, scene->kind);
    }
    g.count = g.scenes.empty() ? 0 : g.scenes.rbegin()->first;
    return strips_.emplace(scroll, std::move(g)).first->second;
}

std::string CalendarIndex::titleName(const std::string& titleNo) const {
    for (const int t : titles_) {
        if (document_.text(t, "titleNo") == titleNo && document_.has(t, "titleNo")) {
            return document_.text(t, "id");
        }
    }
    return titleNo;
}

int CalendarIndex::userTitleNumber(const std::string& titleId) const {
    int number = 0;
    for (const int t : titles_) {
        const std::string& id = document_.text(t, "id");
        if (id == "RootMenuTitle") continue;
        ++number;
        if (id == titleId && !titleId.empty()) return number;
    }
    return 0;
}

}  // namespace merrowcli::menu
