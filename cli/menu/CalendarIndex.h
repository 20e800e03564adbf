#pragma once
// The calendar of a presentation document, indexed once for the compiler: its pages and
// entries, the select button (or year scene) of each entry, the focus items, triggers, key
// events and titles, and the geometry of grids and strips.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cli/menu/MenuDocument.h"

namespace merrowcli::menu {

struct Rect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
};

// A strip (scroll container): its holders side by side along its direction, and its scenes by
// number.
struct StripGeometry {
    std::vector<int> holders;
    bool vertical = false;
    double extent = 0;  // the length of one holder along the direction
    double start = 0;   // where the first holder starts, from the strip's near edge
    std::map<int, std::vector<std::pair<int, std::string>>> scenes;  // n -> (element, kind)
    int count = 0;                                                   // the highest scene number
};

class CalendarIndex {
public:
    explicit CalendarIndex(const MenuDocument& document);

    const MenuDocument& document() const { return document_; }
    int calendar() const { return calendar_; }
    int focusControl() const { return focusControl_; }
    const std::vector<std::string>& focusTargets() const { return focusTargets_; }
    bool isFocusable(const std::string& id) const;
    const std::vector<int>& keyEvents() const { return keyEvents_; }
    // The triggers whose launcher is the element, in document order.
    const std::vector<int>& triggersOf(const std::string& launcher) const;

    bool isPage(int n) const;
    bool isEntry(int n) const;
    const std::vector<int>& entriesOf(int page) const;
    int pageOf(int entry) const;  // the page an entry opens, or -1
    int parentPage(int page) const;
    int entryOfPage(int page) const;  // the entry whose page this is, or -1
    int gridOf(int page) const;       // the first gridlayout of the page's layout, or -1
    int chapterMenuOf(int content) const;
    // The first title content whose chapter menu the container is, or -1.
    int contentOfChapterMenu(int container) const;
    // The strips (scroll containers) below an element.
    const std::vector<int>& stripsIn(int container) const;

    // The entry whose select button (or year scene) the element is, or -1.
    int entryOfButton(const std::string& id) const;
    // The last button id (in the order they were indexed) of the entry, or "".
    std::string buttonOfEntry(int entry) const;

    // The values numbers show: of a page (TITLE, PHOTO), of an entry in a cell or scene.
    std::map<std::string, std::optional<std::string>> pageValues(int page) const;
    std::map<std::string, std::optional<std::string>> entryValues(int entry) const;

    const std::vector<Rect>& gridCells(int grid) const;
    const StripGeometry& strip(int scroll) const;
    // The title id whose titleNo is the given one, else the titleNo itself.
    std::string titleName(const std::string& titleNo) const;
    // N for the Nth user title of the title list (every title but the calendar's own
    // RootMenuTitle), 0 for an id that names none.
    int userTitleNumber(const std::string& titleId) const;

private:
    const MenuDocument& document_;
    int calendar_ = -1;
    int focusControl_ = -1;
    std::vector<std::string> focusTargets_;
    std::map<std::string, bool> focusable_;
    std::vector<int> keyEvents_;
    std::map<std::string, std::vector<int>> triggers_;
    std::vector<int> titles_;
    std::map<int, int> chapterMenuContents_;
    // id -> entry, in the order the ids were first indexed (a later entry for the same id
    // replaces the value, not the place).
    std::vector<std::pair<std::string, int>> buttons_;
    std::map<std::string, size_t> buttonIndex_;
    std::map<int, std::string> entryButtons_;
    // What the compiler asks again and again, worked out once.
    mutable std::map<int, std::vector<int>> entries_;
    mutable std::map<int, int> grids_;
    mutable std::map<int, std::vector<Rect>> cells_;
    mutable std::map<int, StripGeometry> strips_;
    mutable std::map<int, std::vector<int>> stripsIn_;
};

}  // namespace merrowcli::menu
