#include "cli/menu/ViewLayout.h"

#include <algorithm>
#include <cmath>

namespace merrowcli::menu {

namespace {

// The placeholders of a holder that each kind of scene element takes.
const char* placeholderOf(const std::string& kind) {
    if (kind == "SCENE") return "button_";
    if (kind == "TEXT") return "text_";
    if (kind == "TITLEDECORATION") return "title_decoration_";
    if (kind == "TITLENUMBER") return "title_number_";
    if (kind == "PHOTODECORATION") return "photo_decoration_";
    return "photo_number_";
}

bool startsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

std::string lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

}  // namespace

struct ViewLayout::Pass {
    const ViewState& view;
    Layout out;
    bool open = false;  // whether the last chunk takes more fixed elements
    int count = 0;

    // Appends to the current run of fixed elements, or starts a new chunk.
    void add(const LaidElement& element, bool own) {
        if (own || !open || out.chunks.empty()) out.chunks.emplace_back();
        out.chunks.back().push_back(element);
        open = !own;
        ++count;
    }
    // Ends the current chunk: what follows starts a new one.
    void cut() { open = false; }
};

Layout ViewLayout::layOut(const ViewState& view) const {
    Pass pass{view, {}, false, 0};
    const MenuDocument& d = calendar_.document();
    if (view.page >= 0) {
        const int layout = d.find(d.text(view.page, "layoutId"));
        if (layout >= 0) {
            const auto values = calendar_.pageValues(view.page);
            container(pass, layout, d.number(layout, "x"), d.number(layout, "y"), &values,
                      Layer::Page);
        }
    }
    if (view.chapterMenu >= 0) {
        pass.cut();
        container(pass, view.chapterMenu, d.number(view.chapterMenu, "x"),
                  d.number(view.chapterMenu, "y"), nullptr, Layer::Chapter);
    }
    return std::move(pass.out);
}

const Layout& ViewLayout::cached(const ViewState& view) const {
    auto found = cache_.find(view);
    if (found == cache_.end()) found = cache_.emplace(view, layOut(view)).first;
    return found->second;
}

void ViewLayout::container(Pass& pass, int node, double x, double y,
                           const std::map<std::string, std::optional<std::string>>* values,
                           Layer layer) const {
    const MenuDocument& d = calendar_.document();
    std::vector<int> skipped;
    for (const int c : d.node(node).children) {
        if (std::find(skipped.begin(), skipped.end(), c) != skipped.end()) continue;
        const std::string& name = d.node(c).name;
        if (name == "decoration") {
            decoration(pass, c, x, y);
        } else if (name == "graphicbutton") {
            button(pass, c, x + d.number(c, "x"), y + d.number(c, "y"), d.number(c, "width"),
                   d.number(c, "height"), layer);
        } else if (name == "graphictext") {
            pass.cut();
            number(pass, c, numberValue(c, values), x + d.number(c, "x"), y + d.number(c, "y"));
            pass.cut();
        } else if (name == "gridlayout") {
            // The grid's background picture lies under its cells.
            const std::string background =
                (d.has(c, "id") ? d.text(c, "id") : std::string("undefined")) + "_BGIMAGE";
            for (const int b : d.node(node).children) {
                if (d.text(b, "id") == background && d.has(b, "id")) {
                    decoration(pass, b, x, y);
                    skipped.push_back(b);
                    break;
                }
            }
            pass.cut();
            grid(pass, c, x, y, layer);
            pass.cut();
        } else if (name == "scrollcontainer2" || name == "scrollcontainer3") {
            pass.cut();
            strip(pass, c, x, y, layer);
            pass.cut();
        } else if (name == "container") {
            container(pass, c, x + d.number(c, "x"), y + d.number(c, "y"), values, layer);
        }
    }
}

void ViewLayout::decoration(Pass& pass, int node, double x, double y) const {
    const MenuDocument& d = calendar_.document();
    const std::string image = d.text(node, "image");
    if (image.empty()) return;
    LaidElement e;
    e.name = d.text(node, "id");
    e.picture = image;
    e.x = x + d.number(node, "x");
    e.y = y + d.number(node, "y");
    e.width = std::max(0.0, d.number(node, "width"));
    e.height = std::max(0.0, d.number(node, "height"));
    pass.add(e, false);
}

void ViewLayout::button(Pass& pass, int node, double x, double y, double width, double height,
                        Layer layer) const {
    const MenuDocument& d = calendar_.document();
    const std::string* id = d.attribute(node, "id");
    const bool focusable = id != nullptr && calendar_.isFocusable(*id);
    const std::string normal = d.text(node, "imageNormal");
    const std::string focus = d.text(node, "imageFocus");
    // A button with no picture draws nothing; a focusable one still has its place.
    if (normal.empty() && !focusable) return;
    LaidElement e;
    e.kind = focusable ? LaidElement::Kind::Button : LaidElement::Kind::Picture;
    e.name = id != nullptr ? *id : std::string();
    e.picture = normal;
    if (focusable && focus != normal) e.focusPicture = focus;
    e.x = x;
    e.y = y;
    e.width = std::max(0.0, width);
    e.height = std::max(0.0, height);
    pass.add(e, false);
    if (focusable) {
        pass.out.focusables.push_back({*id, {x, y, width, height}, layer, pass.count - 1});
    }
}

std::optional<std::string> ViewLayout::numberValue(
    int node, const std::map<std::string, std::optional<std::string>>* values) const {
    const MenuDocument& d = calendar_.document();
    const std::string* type = d.attribute(node, "type");
    if (values != nullptr && type != nullptr) {
        const auto found = values->find(*type);
        if (found != values->end()) return found->second;
    }
    const std::string* value = d.attribute(node, "value");
    return value != nullptr ? std::optional<std::string>(*value) : std::nullopt;
}

// A number drawn from a strip of the ten digits, each tileWidth x tileHeight; other characters
// (the ":" of a time) leave half a tile of space.
void ViewLayout::number(Pass& pass, int node, const std::optional<std::string>& value, double x,
                        double y) const {
    const MenuDocument& d = calendar_.document();
    const std::string tile = d.text(node, "tileImage");
    if (!value || value->empty() || tile.empty()) return;
    const double tileWidth = d.number(node, "tileWidth", 0);
    const double tileHeight = d.number(node, "tileHeight", 0);
    if (tileWidth <= 0 || tileHeight <= 0) return;
    double at = 0;
    for (const char ch : *value) {
        if (ch >= '0' && ch <= '9') {
            LaidElement e;
            e.kind = LaidElement::Kind::Digit;
            e.name = d.text(node, "id");
            e.picture = tile;
            e.digit = ch - '0';
            e.x = x + at;
            e.y = y;
            e.width = tileWidth;
            e.height = tileHeight;
            pass.add(e, false);
            at += tileWidth;
        } else if ((static_cast<unsigned char>(ch) & 0xC0) != 0x80) {
            // One gap per character (the continuation bytes of UTF-8 are not characters).
            at += std::floor(tileWidth / 2 + 0.5);
        }
    }
}

void ViewLayout::grid(Pass& pass, int node, double x, double y, Layer layer) const {
    const MenuDocument& d = calendar_.document();
    const int page = pass.view.page;
    if (page < 0) return;
    const std::vector<Rect>& cells = calendar_.gridCells(node);
    const std::vector<int>& entries = calendar_.entriesOf(page);
    const size_t first = static_cast<size_t>(std::max(0, pass.view.cells)) * cells.size();
    for (size_t k = 0; k < cells.size() && first + k < entries.size(); ++k) {
        const int entry = entries[first + k];
        const double cx = x + cells[k].x;
        const double cy = y + cells[k].y;
        const int select = d.find(d.text(entry, "thumbnailResId"));
        if (select >= 0) {
            button(pass, select, cx + d.number(select, "x"), cy + d.number(select, "y"),
                   d.number(select, "width", cells[k].width),
                   d.number(select, "height", cells[k].height), layer);
        }
        overlays(pass, node, entry, cx, cy);
    }
}

// The cell overlays of a grid for one entry: the date or time, and the title and photo marks
// and counters (for a content, only those of its kind). A counter without a place stands right
// of the mark before it.
void ViewLayout::overlays(Pass& pass, int grid, int entry, double x, double y) const {
    const MenuDocument& d = calendar_.document();
    const auto values = calendar_.entryValues(entry);
    const std::string& kind = d.node(entry).name;
    bool marked = false;
    Rect mark;
    for (const int c : d.node(grid).children) {
        const std::string id = lower(d.text(c, "id"));
        if (kind == "titlecontent" && startsWith(id, "photo_")) continue;
        if (kind == "slideshowcontent" && startsWith(id, "title_")) continue;
        const std::string& name = d.node(c).name;
        if (name == "decoration") {
            decoration(pass, c, x, y);
            marked = true;
            mark = {x + d.number(c, "x"), y + d.number(c, "y"), d.number(c, "width"), 0};
        } else if (name == "graphictext") {
            const bool placed = d.has(c, "x") || d.has(c, "y") || !marked;
            const double nx = placed ? x + d.number(c, "x") : mark.x + mark.width + 4;
            const double ny = placed ? y + d.number(c, "y") : mark.y;
            number(pass, c, numberValue(c, &values), nx, ny);
        } else if (name == "graphicbutton") {
            button(pass, c, x + d.number(c, "x"), y + d.number(c, "y"), d.number(c, "width"),
                   d.number(c, "height"), Layer::None);
        }
    }
}

int ViewLayout::scrollOffset(const ViewState& view, int scroll,
                             const StripGeometry& geometry) const {
    const auto found = view.scroll.find(calendar_.document().text(scroll, "id"));
    const int most = std::max(0, geometry.count - static_cast<int>(geometry.holders.size()));
    return std::clamp(found == view.scroll.end() ? 0 : found->second, 0, most);
}

// A strip: its own decorations and buttons, and its scenes placed at the placeholders of its
// holders, which stand side by side along its direction.
void ViewLayout::strip(Pass& pass, int node, double x, double y, Layer layer) const {
    const MenuDocument& d = calendar_.document();
    const double sx = x + d.number(node, "x");
    const double sy = y + d.number(node, "y");
    const StripGeometry& g = calendar_.strip(node);
    for (const int c : d.node(node).children) {
        if (sceneName(d.text(c, "id"))) continue;
        if (d.node(c).name == "decoration") {
            decoration(pass, c, sx, sy);
        } else if (d.node(c).name == "graphicbutton") {
            button(pass, c, sx + d.number(c, "x"), sy + d.number(c, "y"), d.number(c, "width"),
                   d.number(c, "height"), layer);
        }
    }
    const int offset = scrollOffset(pass.view, node, g);
    for (size_t h = 0; h < g.holders.size(); ++h) {
        const double along = g.start + static_cast<double>(h) * g.extent;
        stripScene(pass, g, h, offset + static_cast<int>(h) + 1, sx + (g.vertical ? 0 : along),
                   sy + (g.vertical ? along : 0), layer);
    }
}

// The elements of one scene at the placeholders of holder h, which stands at (hx, hy).
void ViewLayout::stripScene(Pass& pass, const StripGeometry& g, size_t h, int scene, double hx,
                            double hy, Layer layer) const {
    const MenuDocument& d = calendar_.document();
    const auto parts = g.scenes.find(scene);
    if (parts == g.scenes.end()) return;
    int entry = -1;
    for (const auto& [element, kind] : parts->second) {
        if (kind == "SCENE") {
            entry = calendar_.entryOfButton(d.text(element, "id"));
            break;
        }
    }
    const auto values = entry >= 0 ? calendar_.entryValues(entry)
                                   : std::map<std::string, std::optional<std::string>>();
    for (const auto& [element, kind] : parts->second) {
        const std::string placeholderId = placeholderOf(kind) + std::to_string(h + 1);
        int placeholder = -1;
        for (const int p : d.node(g.holders[h]).children) {
            if (d.has(p, "id") && d.text(p, "id") == placeholderId) {
                placeholder = p;
                break;
            }
        }
        if (placeholder < 0) continue;
        const double px = hx + d.number(placeholder, "x");
        const double py = hy + d.number(placeholder, "y");
        const double pw = d.number(placeholder, "width");
        const double ph = d.number(placeholder, "height");
        const std::string& name = d.node(element).name;
        const double w = d.number(element, "width", pw);
        const double ht = d.number(element, "height");
        if (name == "graphicbutton") {
            button(pass, element, px, py, w != 0 ? w : pw, ht != 0 ? ht : ph, layer);
        } else if (name == "decoration") {
            const std::string image = d.text(element, "image");
            if (image.empty()) continue;
            LaidElement e;
            e.name = d.text(element, "id");
            e.picture = image;
            e.x = px;
            e.y = py;
            const double dw = d.number(element, "width");
            e.width = std::max(0.0, dw != 0 ? dw : pw);
            e.height = std::max(0.0, ht != 0 ? ht : ph);
            pass.add(e, false);
        } else if (name == "graphictext") {
            number(pass, element, numberValue(element, entry >= 0 ? &values : nullptr), px, py);
        }
    }
}

}  // namespace merrowcli::menu
