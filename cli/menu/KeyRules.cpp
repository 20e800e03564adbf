#include "cli/menu/KeyRules.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <set>

namespace merrowcli::menu {

namespace {

struct Direction {
    bool vertical;
    int sign;
};

std::optional<Direction> directionOf(Key key) {
    switch (key) {
        case Key::Up:
            return Direction{true, -1};
        case Key::Down:
            return Direction{true, 1};
        case Key::Left:
            return Direction{false, -1};
        case Key::Right:
            return Direction{false, 1};
        default:
            return std::nullopt;
    }
}

const char* vkeyOf(Key key) {
    switch (key) {
        case Key::Up:
            return "VK_UP";
        case Key::Down:
            return "VK_DOWN";
        case Key::Left:
            return "VK_LEFT";
        case Key::Right:
            return "VK_RIGHT";
        case Key::Ok:
            return "VK_OK";
        case Key::Back:
            return "VK_BACK";
        case Key::PopupMenu:
            return "VK_POPUP_MENU";
    }
    return "";
}

bool isStrip(const MenuDocument& d, int n) {
    return n >= 0 && (d.node(n).name == "scrollcontainer2" || d.node(n).name == "scrollcontainer3");
}

bool containsNoCase(const std::string& text, const char* word) {
    std::string upper = text;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper.find(word) != std::string::npos;
}

double centre(const Rect& r, bool vertical) {
    return vertical ? r.y + r.height / 2 : r.x + r.width / 2;
}

// True when the rectangle lies wholly past the edge of `from` in the direction.
bool isBeyond(const Rect& r, const Rect& from, const Direction& direction) {
    if (direction.vertical) {
        return direction.sign > 0 ? r.y >= from.y + from.height : r.y + r.height <= from.y;
    }
    return direction.sign > 0 ? r.x >= from.x + from.width : r.x + r.width <= from.x;
}

}  // namespace

int startFrameOf(const std::string& startTime) {
    long long parts[3] = {0, 0, 0};
    size_t at = 0;
    for (long long& part : parts) {
        const size_t colon = startTime.find(':', at);
        part = std::atoll(startTime.substr(at, colon - at).c_str());
        if (colon == std::string::npos) break;
        at = colon + 1;
    }
    const long long seconds = parts[0] * 3600 + parts[1] * 60 + parts[2];
    return static_cast<int>(std::clamp<long long>(seconds / 3, 0, 1 << 30));
}

namespace {

// One key press played on a copy of the state, as the calendar application answers it.
class KeyPress {
public:
    KeyPress(const CalendarIndex& calendar, const ViewLayout& layout, const MenuState& state)
        : calendar_(calendar), d_(calendar.document()), layout_(layout), state_(state) {}

    Outcome run(Key key) {
        render();
        int keyEvent = -1;
        for (const int k : calendar_.keyEvents()) {
            if (d_.text(k, "vkey") == vkeyOf(key) && d_.has(k, "vkey")) {
                keyEvent = k;
                break;
            }
        }
        if (key == Key::PopupMenu) {
            if (keyEvent >= 0) {
                runUses(keyEvent, key);
            } else {
                calendarCommand("TogglePage");
            }
        } else if (directionOf(key)) {
            if (keyEvent >= 0) {
                runUses(keyEvent, key);
            } else {
                moveFocus(key);
            }
        } else if (key == Key::Ok) {
            activate();
        } else if (key == Key::Back) {
            if (!closeChapterMenu(true)) goBack();
        }
        return {state_, status_, toggle_, plays_, playAll_, popups_};
    }

private:
    void render() { drawn_ = &layout_.cached(state_.view).focusables; }

    std::vector<const LaidFocusable*> candidates() const {
        const Layer layer = state_.view.chapterMenu >= 0 ? Layer::Chapter : Layer::Page;
        std::vector<const LaidFocusable*> out;
        for (const LaidFocusable& f : *drawn_) {
            if (f.layer == layer) out.push_back(&f);
        }
        return out;
    }

    const Rect* drawnRect(const std::optional<std::string>& id) const {
        if (!id) return nullptr;
        for (const LaidFocusable& f : *drawn_) {
            if (f.id == *id) return &f.rect;
        }
        return nullptr;
    }

    // Runs the uses of a key event in order until one does something.
    void runUses(int keyEvent, Key key) {
        for (const int use : d_.descendants(keyEvent, "use")) {
            if (runUse(use, key)) return;
        }
    }

    // Runs one use: of a trigger (no key) or of a key event. True when it did something.
    bool runUse(int use, std::optional<Key> key) {
        const int target = d_.find(d_.text(use, "target"));
        if (target < 0) return false;
        const std::string& name = d_.node(target).name;
        const bool arrow = key && directionOf(*key);
        if (name == "calendar") return calendarCommand(d_.text(use, "param"));
        if (name == "focuscontrol") return arrow ? moveFocus(*key) : false;
        if (name == "jumpchapter") {
            const std::string title = calendar_.titleName(d_.text(target, "titleNo"));
            status_ = "Play title " + title + " chapter " + d_.text(target, "chapterNo");
            plays_.clear();
            popups_.clear();
            playAll_ = false;
            addTitle(title, std::atoi(d_.text(target, "chapterNo").c_str()));
            return true;
        }
        if (name == "menuproperty") {
            applyMenuProperty(target);
            return true;
        }
        if (isStrip(d_, target)) {
            // A strip follows the keys along its direction while the focus is on its scenes.
            const auto scene = focusedScene();
            return arrow && scene && scene->scroll == target ? scrollPastEnd(*key) : false;
        }
        return false;
    }

    // "VERB" or "VERB,ID".
    bool calendarCommand(const std::string& param) {
        const size_t comma = param.find(',');
        const std::string verb = param.substr(0, comma);
        const std::string id = comma == std::string::npos ? "" : param.substr(comma + 1);
        if (verb == "SwitchPage") {
            openPage(d_.find(id));
            return true;
        }
        if (verb == "PlayContent") {
            playContent(d_.find(id));
            return true;
        }
        if (verb == "BackPage") return goBack();
        if (verb == "NextPage" || verb == "PreviousPage") {
            turnCells(verb == "NextPage" ? 1 : -1);
            return true;
        }
        if (verb == "PlayAllContent") {
            status_ = "Play all contents of " +
                      (state_.view.page >= 0 ? d_.text(state_.view.page, "id") : std::string());
            plays_.clear();
            popups_.clear();
            playAll_ = true;
            if (state_.view.page >= 0) {
                std::set<int> visited;
                addContentsBelow(state_.view.page, &visited);
            }
            return true;
        }
        if (verb == "TogglePage") {
            toggle_ = !toggle_;
            return true;
        }
        if (verb == "ShowChapterMenu") {
            if (state_.view.chapterMenu >= 0 || !state_.focus) return false;
            const int entry = calendar_.entryOfButton(*state_.focus);
            return entry >= 0 && d_.node(entry).name == "titlecontent" &&
                           calendar_.chapterMenuOf(entry) >= 0
                       ? showChapterMenu(entry)
                       : false;
        }
        if (verb == "HideChapterMenu") return closeChapterMenu(true);
        return false;
    }

    struct FocusedScene {
        int scroll;
        SceneName name;
    };
    std::optional<FocusedScene> focusedScene() const {
        if (!state_.focus) return std::nullopt;
        const int node = d_.find(*state_.focus);
        if (node < 0) return std::nullopt;
        const auto name = sceneName(*state_.focus);
        const int parent = d_.node(node).parent;
        if (!name || !isStrip(d_, parent)) return std::nullopt;
        return FocusedScene{parent, *name};
    }

    void setScroll(int scroll, int offset) { state_.view.scroll[d_.text(scroll, "id")] = offset; }

    // Moving along a strip from its last (first) shown scene to a hidden next (previous) one
    // scrolls the strip by one and focuses that scene.
    bool scrollPastEnd(Key key) {
        const auto scene = focusedScene();
        if (!scene) return false;
        const Direction direction = *directionOf(key);
        const StripGeometry& g = calendar_.strip(scene->scroll);
        if (direction.vertical != g.vertical) return false;
        const int offset = layout_.scrollOffset(state_.view, scene->scroll, g);
        const int next = scene->name.number + direction.sign;
        const std::string target =
            scene->name.prefix + "_" + scene->name.kind + "_" + std::to_string(next);
        if (!d_.hasId(target) || !calendar_.isFocusable(target)) return false;
        if (next >= offset + 1 && next <= offset + static_cast<int>(g.holders.size())) {
            return false;
        }
        setScroll(scene->scroll, offset + direction.sign);
        state_.focus = target;
        return true;
    }

    // Scrolls a strip by one scene (its previous and next buttons); false at its end.
    bool scrollBy(int scroll, int delta) {
        const StripGeometry& g = calendar_.strip(scroll);
        const int offset = layout_.scrollOffset(state_.view, scroll, g);
        const int most = std::max(0, g.count - static_cast<int>(g.holders.size()));
        const int moved = std::clamp(offset + delta, 0, most);
        if (moved == offset) return false;
        setScroll(scroll, moved);
        return true;
    }

    // Scrolls the strip that holds a scene so that the scene is shown.
    void revealScene(const std::string& id) {
        const int node = d_.find(id);
        const auto name = sceneName(id);
        if (node < 0 || !name || !isStrip(d_, d_.node(node).parent)) return;
        const int scroll = d_.node(node).parent;
        const StripGeometry& g = calendar_.strip(scroll);
        const int offset = layout_.scrollOffset(state_.view, scroll, g);
        const int holders = static_cast<int>(g.holders.size());
        if (name->number <= offset) {
            setScroll(scroll, name->number - 1);
        } else if (name->number > offset + holders) {
            setScroll(scroll, name->number - holders);
        }
    }

    // Moves the focus to the nearest focusable element in the direction; false when none.
    bool moveFocus(Key key) {
        if (scrollPastEnd(key)) return true;
        const Direction direction = *directionOf(key);
        const Rect* from = drawnRect(state_.focus);
        const std::vector<const LaidFocusable*> shown = candidates();
        if (from == nullptr) {
            if (shown.empty()) return false;
            state_.focus = shown.front()->id;
            return true;
        }
        const LaidFocusable* best = nullptr;
        double bestScore = std::numeric_limits<double>::infinity();
        for (const LaidFocusable* f : shown) {
            if (f->id == *state_.focus || !isBeyond(f->rect, *from, direction)) continue;
            const double along =
                (centre(f->rect, direction.vertical) - centre(*from, direction.vertical)) *
                direction.sign;
            const double across =
                std::abs(centre(f->rect, !direction.vertical) - centre(*from, !direction.vertical));
            const double score = along + 2 * across;
            if (score < bestScore) {
                bestScore = score;
                best = f;
            }
        }
        if (best == nullptr) return false;
        state_.focus = best->id;
        return true;
    }

    std::optional<std::string> firstFocus(Layer layer, bool preferScenes) {
        render();
        std::vector<const LaidFocusable*> shown;
        for (const LaidFocusable& f : *drawn_) {
            if (f.layer == layer) shown.push_back(&f);
        }
        std::vector<const LaidFocusable*> ordered;
        for (const std::string& id : calendar_.focusTargets()) {
            for (const LaidFocusable* f : shown) {
                if (f->id == id) {
                    ordered.push_back(f);
                    break;
                }
            }
        }
        const bool grid = state_.view.page >= 0 && calendar_.gridOf(state_.view.page) >= 0;
        const LaidFocusable* inCells = nullptr;
        if (layer == Layer::Page && grid) {
            for (const LaidFocusable* f : shown) {
                if (calendar_.entryOfButton(f->id) >= 0) {
                    inCells = f;
                    break;
                }
            }
        }
        const LaidFocusable* scene = nullptr;
        for (const LaidFocusable* f : ordered) {
            const auto name = sceneName(f->id);
            if (name && name->kind == "SCENE") {
                scene = f;
                break;
            }
        }
        const LaidFocusable* pick = preferScenes && scene != nullptr ? scene
                                    : inCells != nullptr             ? inCells
                                    : scene != nullptr               ? scene
                                    : !ordered.empty()               ? ordered.front()
                                    : !shown.empty()                 ? shown.front()
                                                                     : nullptr;
        return pick != nullptr ? std::optional<std::string>(pick->id) : std::nullopt;
    }

    // A page opens on its first page of cells, its strips from their first scene.
    void openPage(int page) {
        if (!calendar_.isPage(page)) return;
        state_.view.page = page;
        state_.view.chapterMenu = -1;
        state_.view.cells = 0;
        state_.view.scroll.clear();
        state_.focus = firstFocus(Layer::Page, false);
    }

    // BACK: the parent page, with the focus on the entry that was opened.
    bool goBack() {
        const int parent = state_.view.page >= 0 ? calendar_.parentPage(state_.view.page) : -1;
        if (parent < 0) return false;
        const int from = calendar_.entryOfPage(state_.view.page);
        state_.view.page = parent;
        state_.view.chapterMenu = -1;
        state_.view.cells = 0;
        state_.view.scroll.clear();
        std::string focus;
        if (from >= 0) {
            const int grid = calendar_.gridOf(parent);
            if (grid >= 0) {
                const std::vector<int>& entries = calendar_.entriesOf(parent);
                const auto at = std::find(entries.begin(), entries.end(), from);
                const int perPage = static_cast<int>(calendar_.gridCells(grid).size());
                state_.view.cells =
                    at == entries.end() ? 0 : static_cast<int>(at - entries.begin()) / perPage;
            }
            focus = calendar_.buttonOfEntry(from);
        }
        if (!focus.empty()) {
            revealScene(focus);
            state_.focus = focus;
        } else {
            state_.focus = firstFocus(Layer::Page, false);
        }
        return true;
    }

    void turnCells(int delta) {
        const int page = state_.view.page;
        const int grid = page >= 0 ? calendar_.gridOf(page) : -1;
        if (grid < 0) return;
        const size_t perPage = calendar_.gridCells(grid).size();
        const size_t entries = calendar_.entriesOf(page).size();
        const int pages = std::max(1, static_cast<int>((entries + perPage - 1) / perPage));
        state_.view.cells = std::clamp(state_.view.cells + delta, 0, pages - 1);
    }

    // A menu property: its visibility shows or hides the container it names.
    void applyMenuProperty(int property) {
        const int target = d_.find(d_.text(property, "target"));
        int visibility = -1;
        for (const int p : d_.descendants(property, "property")) {
            if (d_.text(p, "name") == "visibility" && d_.has(p, "name")) {
                visibility = p;
                break;
            }
        }
        if (target < 0 || visibility < 0) return;
        if (d_.text(visibility, "value") == "true") {
            state_.view.chapterMenu = target;
            // A chapter menu opens with its strips from their first scene.
            for (auto it = state_.view.scroll.begin(); it != state_.view.scroll.end();) {
                const int strip = d_.find(it->first);
                it = strip >= 0 && d_.isInside(strip, target) ? state_.view.scroll.erase(it)
                                                              : std::next(it);
            }
            state_.focus = firstFocus(Layer::Chapter, true);
        } else if (state_.view.chapterMenu == target) {
            closeChapterMenu(false);
        }
    }

    // The content's chapter menu is shown and takes the focus; the focus goes back to the
    // content when it closes.
    bool showChapterMenu(int content) {
        const int property = d_.find(d_.text(content, "showChapterCmdId"));
        if (property < 0 || d_.node(property).name != "menuproperty") return false;
        state_.view.opener = state_.focus.value_or("");
        applyMenuProperty(property);
        return state_.view.chapterMenu >= 0;
    }

    bool closeChapterMenu(bool runHide) {
        if (state_.view.chapterMenu < 0) return false;
        const int content = calendar_.contentOfChapterMenu(state_.view.chapterMenu);
        const int hide = content >= 0 ? d_.find(d_.text(content, "hideChapterCmdId")) : -1;
        state_.view.chapterMenu = -1;
        const std::string opener = state_.view.opener;
        if (runHide && hide >= 0 && d_.node(hide).name == "menuproperty") {
            applyMenuProperty(hide);
        }
        if (!opener.empty() && d_.hasId(opener)) {
            state_.focus = opener;
        } else {
            state_.focus = firstFocus(Layer::Page, false);
        }
        state_.view.opener.clear();
        return true;
    }

    void playContent(int content) {
        if (content < 0) return;
        const std::string& name = d_.node(content).name;
        if (name == "titlecontent") {
            if (calendar_.chapterMenuOf(content) >= 0 && showChapterMenu(content)) return;
            status_ = "Play title " + d_.text(content, "titleId");
        } else if (name == "slideshowcontent") {
            status_ = "Play slideshow from " + d_.text(content, "startTime");
        } else {
            return;
        }
        plays_.clear();
        popups_.clear();
        playAll_ = false;
        addContent(content);
    }

    // The contents of a page in order: its own, or those of the pages its entries open (a
    // month's days, a year's months), depth first.
    void addContentsBelow(int page, std::set<int>* visited) {
        if (page < 0 || !visited->insert(page).second) return;
        for (const int entry : calendar_.entriesOf(page)) {
            const std::string& name = d_.node(entry).name;
            if (name == "titlecontent" || name == "slideshowcontent") {
                addContent(entry);
            } else {
                addContentsBelow(calendar_.pageOf(entry), visited);
            }
        }
    }

    // A content's play (a title from its start, a slideshow from its start frame); a title
    // that is not a user title of the title list plays nothing.
    void addContent(int content) {
        const std::string& name = d_.node(content).name;
        if (name == "titlecontent") {
            if (!addTitle(d_.text(content, "titleId"), 0)) return;
            // In a play all, POPUP over the title shows its chapter menu, as OK on the content
            // would.
            if (playAll_ && d_.node(content).parent == state_.view.page &&
                calendar_.chapterMenuOf(content) >= 0) {
                const MenuState left = state_;
                state_.focus = calendar_.buttonOfEntry(content);
                if (showChapterMenu(content)) popups_.back() = state_;
                state_ = left;
                render();
            }
        } else if (name == "slideshowcontent") {
            Action play;
            play.kind = ActionKind::Slideshow;
            play.startFrame = startFrameOf(d_.text(content, "startTime"));
            plays_.push_back(play);
            popups_.emplace_back();
        }
    }

    bool addTitle(const std::string& titleId, int chapter) {
        const int number = calendar_.userTitleNumber(titleId);
        if (number <= 0) return false;
        Action play;
        play.kind = ActionKind::Title;
        play.title = number;
        play.chapter = std::max(chapter, 0);
        plays_.push_back(play);
        popups_.emplace_back();
        return true;
    }

    void activate() {
        if (!state_.focus || state_.focus->empty()) return;
        const std::string id = *state_.focus;
        const std::vector<int>& launched = calendar_.triggersOf(id);
        for (const int t : launched) {
            for (const int use : d_.descendants(t, "use")) runUse(use, std::nullopt);
        }
        if (!launched.empty()) return;
        const int entry = calendar_.entryOfButton(id);
        if (entry >= 0) {
            const std::string& name = d_.node(entry).name;
            if (name == "titlecontent" || name == "slideshowcontent") {
                playContent(entry);
            } else {
                openPage(calendar_.pageOf(entry));
            }
            return;
        }
        // A strip's previous and next buttons scroll it.
        const int node = d_.find(id);
        if (node >= 0 && isStrip(d_, d_.node(node).parent)) {
            if (containsNoCase(id, "PREV")) {
                scrollBy(d_.node(node).parent, -1);
            } else if (containsNoCase(id, "NEXT")) {
                scrollBy(d_.node(node).parent, 1);
            }
        }
    }

    const CalendarIndex& calendar_;
    const MenuDocument& d_;
    const ViewLayout& layout_;
    MenuState state_;
    std::optional<std::string> status_;
    bool toggle_ = false;
    std::vector<Action> plays_;
    bool playAll_ = false;
    std::vector<std::optional<MenuState>> popups_;
    const std::vector<LaidFocusable>* drawn_ = nullptr;
};

}  // namespace

MenuState KeyRules::start() const {
    const MenuDocument& d = calendar_.document();
    MenuState state;
    if (calendar_.calendar() >= 0) {
        state.view.page = d.find(d.text(calendar_.calendar(), "firstPageId"));
    }
    const std::string focus = d.text(calendar_.focusControl(), "default");
    if (!focus.empty()) state.focus = focus;
    return state;
}

Outcome KeyRules::press(const MenuState& state, Key key) const {
    return KeyPress(calendar_, layout_, state).run(key);
}

}  // namespace merrowcli::menu
