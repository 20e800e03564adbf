#pragma once
// The compiled calendar menu: what the browser preview and the disc's player draw and follow.
// merrowkit compiles it from a build's output folder (MenuCompiler.h); the players only draw the
// elements of the current view and look up what a key does in the view's table. Both encodings
// (MenuJson.h, MenuBinary.h) carry exactly these fields; docs/menu-model.md describes them.

#include <cstdint>
#include <string>
#include <vector>

namespace merrowcli::menu {

// The keys of the remote, in the order of a view's key table. BACK is the RED colour key on a
// disc; POPUP_MENU the popup key.
enum class Key : uint8_t { Up = 0, Down, Left, Right, Ok, Back, PopupMenu };
constexpr int kKeyCount = 7;
// "UP", "DOWN", "LEFT", "RIGHT", "OK", "BACK", "POPUP_MENU".
const char* keyName(Key key);

// A picture file of the output folder: prefix + track + suffix (tracks/track_0002.png), with
// its size in pixels.
struct Picture {
    int32_t track = -1;  // string: the track's identifier
    int32_t width = 0;
    int32_t height = 0;

    bool operator==(const Picture&) const = default;
};

enum class ElementKind : uint8_t {
    Picture = 0,  // the whole picture scaled to the box
    Button = 1,   // as Picture, but shows focusPicture while it has the focus
    Tile = 2,     // the source rectangle of the picture scaled to the box (a digit of a number)
};

// One drawn element, its box in stage pixels.
struct Element {
    ElementKind kind = ElementKind::Picture;
    int32_t name = -1;  // string: the element's id in the document (the test interface's data-id)
    int32_t picture = -1;  // index into pictures; -1 draws nothing (the element still has a box)
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t focusPicture = -1;  // Button: the picture while focused (-1: picture)
    int32_t sourceX = 0;        // Tile: the part of the picture drawn
    int32_t sourceY = 0;
    int32_t sourceWidth = 0;
    int32_t sourceHeight = 0;

    bool operator==(const Element&) const = default;
};

// Elements drawn in order; views that show the same elements share one list.
struct DrawList {
    std::vector<Element> elements;

    bool operator==(const DrawList&) const = default;
};

enum class ActionKind : uint8_t {
    Title = 1,      // a title's playlist, from a chapter
    Slideshow = 2,  // the slideshow's photos from a start frame
    PlayAll = 3,    // other actions, one after the other
};

// What a player plays. Titles are numbered as on the disc: the Nth user title of the title list
// plays playlist N (BDMV/PLAYLIST/0000N.mpls), its chapter K (from 1) is the playlist's entry
// mark K - 1. Slideshow frames are the photos' positions in the project's slideshow
// (slidePrefix + five digits + slideSuffix).
struct Action {
    ActionKind kind = ActionKind::Title;
    int32_t title = 0;    // Title: N >= 1
    int32_t chapter = 0;  // Title: K >= 1, or 0 for the start
    // Title: the view (and its focusable, -1 none) that POPUP shows over the playing title;
    // -1: the view the key left (a play all's title with a chapter menu shows that menu).
    int32_t menuView = -1;
    int32_t menuFocus = -1;
    int32_t startFrame = 0;      // Slideshow: the first photo shown
    int32_t photos = 0;          // Slideshow: how many are shown (the content's photos)
    std::vector<int32_t> items;  // PlayAll: actions (never PlayAll ones), in order

    bool operator==(const Action&) const = default;
};

// What a key does. view -1: nothing changes (neither view nor focus). Otherwise the view becomes
// `view` with the focus on its focusable `focus` (-1: nothing focused). status >= 0 replaces the
// status line's text (string index); toggleMenu hides the whole menu, or shows it again; action
// >= 0 plays that action (a player that cannot play it shows the status text instead).
struct Result {
    int32_t view = -1;
    int32_t focus = -1;
    int32_t status = -1;
    bool toggleMenu = false;
    int32_t action = -1;

    bool operator==(const Result&) const = default;
};

// One visible state of the menu: a page, its page of grid cells, the scroll positions of its
// strips, the chapter menu shown or not (and which content opened it).
struct View {
    int32_t page = -1;               // string: the page element's id
    int32_t chapterMenu = -1;        // string: the shown chapter menu container's id, -1 none
    std::vector<int32_t> drawLists;  // drawn in this order, after the background
    // The elements that can take the focus: indices into the view's elements (its draw lists'
    // elements one after the other).
    std::vector<int32_t> focusables;
    // (focusables.size() + 1) rows of kKeyCount result indices: row 0 while nothing is focused,
    // row f + 1 while focusable f is; the columns in Key order.
    std::vector<int32_t> keys;

    bool operator==(const View&) const = default;
};

struct MenuModel {
    static constexpr int32_t kVersion = 2;

    int32_t stageWidth = 1920;
    int32_t stageHeight = 1080;
    std::vector<std::string> strings;  // every text of the model, each once
    std::string trackPrefix = "tracks/";
    std::string trackSuffix = ".png";
    std::string slidePrefix = "slides/";
    std::string slideSuffix = ".jpg";
    int32_t slideCount = 0;    // photos of the slideshow (0: none known)
    int32_t slideSeconds = 3;  // how long each photo is shown
    std::vector<Picture> pictures;
    int32_t background = -1;  // picture under everything (the title's first track), -1 none
    std::vector<DrawList> drawLists;
    std::vector<Action> actions;
    std::vector<Result> results;
    std::vector<View> views;
    int32_t startView = 0;
    int32_t startFocus = -1;

    bool operator==(const MenuModel&) const = default;
};

}  // namespace merrowcli::menu
