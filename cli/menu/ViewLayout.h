#pragma once
// Lays out one visible state of the calendar menu: the elements a page (and a chapter menu over
// it) draws, with their boxes on the 1920 x 1080 stage, and where the focusable ones lie.
// README's "How the preview plays the document" gives the rules (Elements, Numbers, Year strip,
// Grids).

#include <map>
#include <string>
#include <vector>

#include "cli/menu/CalendarIndex.h"

namespace merrowcli::menu {

// What a view shows; everything else of the menu (the focus, the status line) is kept apart.
struct ViewState {
    int page = -1;                      // the page element
    int cells = 0;                      // the page of grid cells shown
    std::map<std::string, int> scroll;  // strip id -> first scene shown (absent: 0)
    int chapterMenu = -1;               // the chapter menu container shown, or -1
    std::string opener;                 // the element that opened the chapter menu, or ""

    auto operator<=>(const ViewState&) const = default;
};

enum class Layer { None, Page, Chapter };

// One drawn element; pictures by track id ("" none). A width or height of 0 takes the
// picture's own.
struct LaidElement {
    enum class Kind { Picture, Button, Digit } kind = Kind::Picture;
    std::string name;
    std::string picture;
    std::string focusPicture;  // Button
    int digit = 0;             // Digit: 0 to 9, the tenth of the strip drawn
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
};

struct LaidFocusable {
    std::string id;
    Rect rect;
    Layer layer = Layer::None;
    int element = -1;  // index into the layout's elements (chunks one after the other)
};

struct Layout {
    // Runs of elements that views may share: a layout's fixed elements, one number, the cells of
    // a grid, a strip.
    std::vector<std::vector<LaidElement>> chunks;
    std::vector<LaidFocusable> focusables;  // in drawing order, every layer
};

class ViewLayout {
public:
    explicit ViewLayout(const CalendarIndex& calendar) : calendar_(calendar) {}

    Layout layOut(const ViewState& view) const;
    // The same, laid out once per state.
    const Layout& cached(const ViewState& view) const;

    // The first scene shown of a strip in the view (clamped to the strip's scenes).
    int scrollOffset(const ViewState& view, int scroll, const StripGeometry& geometry) const;

private:
    struct Pass;
    void container(Pass& pass, int node, double x, double y,
                   const std::map<std::string, std::optional<std::string>>* values,
                   Layer layer) const;
    void grid(Pass& pass, int node, double x, double y, Layer layer) const;
    void overlays(Pass& pass, int grid, int entry, double x, double y) const;
    void strip(Pass& pass, int node, double x, double y, Layer layer) const;
    void stripScene(Pass& pass, const StripGeometry& geometry, size_t holder, int scene, double hx,
                    double hy, Layer layer) const;
    void decoration(Pass& pass, int node, double x, double y) const;
    void button(Pass& pass, int node, double x, double y, double width, double height,
                Layer layer) const;
    void number(Pass& pass, int node, const std::optional<std::string>& value, double x,
                double y) const;
    std::optional<std::string> numberValue(
        int node, const std::map<std::string, std::optional<std::string>>* values) const;

    const CalendarIndex& calendar_;
    mutable std::map<ViewState, Layout> cache_;
};

}  // namespace merrowcli::menu
