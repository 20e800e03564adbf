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

}  // namespace

std::string menuJson(const MenuModel& model) {
    std::string out = "{\"version\":" + std::to_string(MenuModel::kVersion) + ",\"stage\":[";
    appendInts(&out, {model.stageWidth, model.stageHeight});
    out += "],\"trackPrefix\":";
    appendString(&out, model.trackPrefix);
    out += ",\"trackSuffix\":";
    appendString(&out, model.trackSuffix);
    out += ",\"strings\":[";
    for (size_t i = 0; i < model.strings.size(); ++i) {
        if (i > 0) out.push_back(',');
        appendString(&out, model.strings[i]);
    }
    out += "],\"pictures\":[";
    for (size_t i = 0; i < model.pictures.size(); ++i) {
        if (i > 0) out.push_back(',');
        const Picture& p = model.pictures[i];
        out.push_back('[');
        appendInts(&out, {p.track, p.width, p.height});
        out.push_back(']');
    }
    out += "],\"background\":" + std::to_string(model.background) + ",\"drawLists\":[";
    for (size_t l = 0; l < model.drawLists.size(); ++l) {
        if (l > 0) out.push_back(',');
        out.push_back('[');
        const std::vector<Element>& elements = model.drawLists[l].elements;
        for (size_t i = 0; i < elements.size(); ++i) {
            if (i > 0) out.push_back(',');
            const Element& e = elements[i];
            out.push_back('[');
            appendInts(&out, {static_cast<int32_t>(e.kind), e.name, e.picture, e.x, e.y, e.width,
                              e.height});
            if (e.kind == ElementKind::Button) {
                out.push_back(',');
                appendInts(&out, {e.focusPicture});
            } else if (e.kind == ElementKind::Tile) {
                out.push_back(',');
                appendInts(&out, {e.sourceX, e.sourceY, e.sourceWidth, e.sourceHeight});
            }
            out.push_back(']');
        }
        out.push_back(']');
    }
    out += "],\"results\":[";
    for (size_t i = 0; i < model.results.size(); ++i) {
        if (i > 0) out.push_back(',');
        const Result& r = model.results[i];
        out.push_back('[');
        appendInts(&out, {r.view, r.focus, r.status, r.toggleMenu ? 1 : 0});
        out.push_back(']');
    }
    out += "],\"views\":[";
    for (size_t i = 0; i < model.views.size(); ++i) {
        if (i > 0) out.push_back(',');
        const View& v = model.views[i];
        out.push_back('[');
        appendInts(&out, {v.page, v.chapterMenu});
        out.push_back(',');
        appendArray(&out, v.drawLists);
        out.push_back(',');
        appendArray(&out, v.focusables);
        out.push_back(',');
        appendArray(&out, v.keys);
        out.push_back(']');
    }
    out += "],\"start\":[";
    appendInts(&out, {model.startView, model.startFocus});
    out += "]}";
    return out;
}

}  // namespace merrowcli::menu
