#include "cli/menu/MenuJson.h"

#include <cstdio>

namespace merrowcli::menu {

namespace {

void appendString(std::string* out, const std::string& text) {
    out->push_back('"');
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"') {
            *out += "\\\"";
        } else if (c == '\\') {
            *out += "\\\\";
        } else if (c < 0x20 || c == '<' || c == '>' || c == '&') {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            *out += escaped;
        } else {
            out->push_back(ch);
        }
    }
    out->push_back('"');
}

void appendInts(std::string* out, std::initializer_list<int32_t> values) {
    bool first = true;
    for (const int32_t v : values) {
        if (!first) out->push_back(',');
        first = false;
        *out += std::to_string(v);
    }
}

template <typename List>
void appendArray(std::string* out, const List& values) {
    out->push_back('[');
    bool first = true;
    for (const auto v : values) {
        if (!first) out->push_back(',');
        first = false;
        *out += std::to_string(v);
    }
    out->push_back(']');
}

// Appends "[item,item,...]", each item written by append.
template <typename List, typename Append>
void appendEach(std::string* out, const List& items, Append append) {
    out->push_back('[');
    bool first = true;
    for (const auto& item : items) {
        if (!first) out->push_back(',');
        first = false;
        append(item);
    }
    out->push_back(']');
}

void appendElement(std::string* out, const Element& e) {
    out->push_back('[');
    appendInts(out, {static_cast<int32_t>(e.kind), e.name, e.picture, e.x, e.y, e.width, e.height});
    if (e.kind == ElementKind::Button) {
        out->push_back(',');
        appendInts(out, {e.focusPicture});
    } else if (e.kind == ElementKind::Tile) {
        out->push_back(',');
        appendInts(out, {e.sourceX, e.sourceY, e.sourceWidth, e.sourceHeight});
    }
    out->push_back(']');
}

void appendView(std::string* out, const View& v) {
    out->push_back('[');
    appendInts(out, {v.page, v.chapterMenu});
    out->push_back(',');
    appendArray(out, v.drawLists);
    out->push_back(',');
    appendArray(out, v.focusables);
    out->push_back(',');
    appendArray(out, v.keys);
    out->push_back(']');
}

// [1,title,chapter,menuView,menuFocus], [2,startFrame,photos] or [3,[action,...]].
void appendAction(std::string* out, const Action& a) {
    out->push_back('[');
    switch (a.kind) {
        case ActionKind::Title:
            appendInts(out, {1, a.title, a.chapter, a.menuView, a.menuFocus});
            break;
        case ActionKind::Slideshow:
            appendInts(out, {2, a.startFrame, a.photos});
            break;
        case ActionKind::PlayAll:
            *out += "3,";
            appendArray(out, a.items);
            break;
    }
    out->push_back(']');
}

}  // namespace

std::string menuJson(const MenuModel& model) {
    std::string out = "{\"version\":" + std::to_string(MenuModel::kVersion) + ",\"stage\":[";
    appendInts(&out, {model.stageWidth, model.stageHeight});
    out += "],\"trackPrefix\":";
    appendString(&out, model.trackPrefix);
    out += ",\"trackSuffix\":";
    appendString(&out, model.trackSuffix);
    out += ",\"slidePrefix\":";
    appendString(&out, model.slidePrefix);
    out += ",\"slideSuffix\":";
    appendString(&out, model.slideSuffix);
    out += ",\"slides\":[";
    appendInts(&out, {model.slideCount, model.slideSeconds});
    out += "],\"strings\":";
    appendEach(&out, model.strings, [&out](const std::string& text) { appendString(&out, text); });
    out += ",\"pictures\":";
    appendEach(&out, model.pictures, [&out](const Picture& p) {
        out.push_back('[');
        appendInts(&out, {p.track, p.width, p.height});
        out.push_back(']');
    });
    out += ",\"background\":" + std::to_string(model.background) + ",\"drawLists\":";
    appendEach(&out, model.drawLists, [&out](const DrawList& list) {
        appendEach(&out, list.elements, [&out](const Element& e) { appendElement(&out, e); });
    });
    out += ",\"actions\":";
    appendEach(&out, model.actions, [&out](const Action& a) { appendAction(&out, a); });
    out += ",\"results\":";
    appendEach(&out, model.results, [&out](const Result& r) {
        out.push_back('[');
        appendInts(&out, {r.view, r.focus, r.status, r.toggleMenu ? 1 : 0, r.action});
        out.push_back(']');
    });
    out += ",\"views\":";
    appendEach(&out, model.views, [&out](const View& v) { appendView(&out, v); });
    out += ",\"start\":[";
    appendInts(&out, {model.startView, model.startFocus});
    out += "]}";
    return out;
}

}  // namespace merrowcli::menu
