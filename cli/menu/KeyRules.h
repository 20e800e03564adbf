#pragma once
// What a key does in one state of the calendar menu: the focus moves, strips scroll, grids turn
// their pages of cells, pages open and close, chapter menus show and hide, and what the status
// line says. README's "How the preview plays the document" gives the rules (Start, Focus, Keys,
// OK, BACK); the compiler asks this for every key in every state it reaches.

#include <optional>
#include <string>
#include <vector>

#include "cli/menu/MenuModel.h"
#include "cli/menu/ViewLayout.h"

namespace merrowcli::menu {

struct MenuState {
    ViewState view;
    std::optional<std::string> focus;  // the focused element's id
};

struct Outcome {
    MenuState state;
    std::optional<std::string> status;  // the status line's new text
    bool toggleMenu = false;            // the whole menu is hidden, or shown again
    // What is played: one title or slideshow, or with playAll the page's contents in order.
    // A slideshow's `photos` is left to the compiler (it knows the whole slideshow).
    std::vector<Action> plays;
    bool playAll = false;
    // For each play: the menu POPUP shows over it, when not the state the key leaves (a title
    // of a play all that has a chapter menu: that chapter menu over the page).
    std::vector<std::optional<MenuState>> popups;
};

// A slideshow content's start "H:M:S:FF" as the frame it shows first: every start frame stands
// for three seconds of the start time (the frames of a second are left out).
int startFrameOf(const std::string& startTime);

class KeyRules {
public:
    KeyRules(const CalendarIndex& calendar, const ViewLayout& layout)
        : calendar_(calendar), layout_(layout) {}

    // The page named by calendar/@firstPageId, with the focus control's default.
    MenuState start() const;
    Outcome press(const MenuState& state, Key key) const;

private:
    const CalendarIndex& calendar_;
    const ViewLayout& layout_;
};

}  // namespace merrowcli::menu
