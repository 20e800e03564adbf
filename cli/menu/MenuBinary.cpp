#include "cli/menu/MenuBinary.h"

#include <limits>

namespace merrowcli::menu {

namespace {

// What java.io.DataOutputStream would write; the first value that does not fit is kept.
class DataOutput {
public:
    void writeInt(int32_t v) {
        const auto u = static_cast<uint32_t>(v);
        for (int shift = 24; shift >= 0; shift -= 8) {
            bytes.push_back(static_cast<char>((u >> shift) & 0xFF));
        }
    }
    void writeShort(int32_t v, const char* what) {
        if (v < std::numeric_limits<int16_t>::min() || v > std::numeric_limits<int16_t>::max()) {
            fail(std::string(what) + " " + std::to_string(v) + " does not fit in a short");
            return;
        }
        const auto u = static_cast<uint16_t>(static_cast<int16_t>(v));
        bytes.push_back(static_cast<char>(u >> 8));
        bytes.push_back(static_cast<char>(u & 0xFF));
    }
    void writeByte(int v) { bytes.push_back(static_cast<char>(v & 0xFF)); }
    // Modified UTF-8 as writeUTF writes it: U+0000 as C0 80, characters above U+FFFF as two
    // 3-byte surrogates. The text is UTF-8 (libxml2 gives nothing else).
    void writeUtf(const std::string& text) {
        std::string encoded;
        auto put3 = [&](uint32_t c) {
            encoded.push_back(static_cast<char>(0xE0 | (c >> 12)));
            encoded.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            encoded.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        };
        for (size_t i = 0; i < text.size();) {
            const auto c = static_cast<unsigned char>(text[i]);
            if (c == 0) {
                encoded += "\xC0\x80";
                ++i;
            } else if (c >= 0xF0 && i + 3 < text.size()) {
                uint32_t cp = ((c & 0x07u) << 18) |
                              ((static_cast<unsigned char>(text[i + 1]) & 0x3Fu) << 12) |
                              ((static_cast<unsigned char>(text[i + 2]) & 0x3Fu) << 6) |
                              (static_cast<unsigned char>(text[i + 3]) & 0x3Fu);
                cp -= 0x10000;
                put3(0xD800 + (cp >> 10));
                put3(0xDC00 + (cp & 0x3FF));
                i += 4;
            } else {
                encoded.push_back(static_cast<char>(c));
                ++i;
            }
        }
        if (encoded.size() > 65535) {
            fail("a text of " + std::to_string(encoded.size()) + " bytes is too long");
            return;
        }
        bytes.push_back(static_cast<char>(encoded.size() >> 8));
        bytes.push_back(static_cast<char>(encoded.size() & 0xFF));
        bytes += encoded;
    }
    void fail(const std::string& problem) {
        if (error.empty()) error = problem;
    }

    std::string bytes;
    std::string error;
};

void writeDrawList(DataOutput& out, const DrawList& list) {
    out.writeInt(static_cast<int32_t>(list.elements.size()));
    for (const Element& e : list.elements) {
        out.writeByte(static_cast<int>(e.kind));
        out.writeInt(e.name);
        out.writeInt(e.picture);
        out.writeShort(e.x, "an element's x");
        out.writeShort(e.y, "an element's y");
        out.writeShort(e.width, "an element's width");
        out.writeShort(e.height, "an element's height");
        if (e.kind == ElementKind::Button) {
            out.writeInt(e.focusPicture);
        } else if (e.kind == ElementKind::Tile) {
            out.writeShort(e.sourceX, "a tile's source x");
            out.writeShort(e.sourceY, "a tile's source y");
            out.writeShort(e.sourceWidth, "a tile's source width");
            out.writeShort(e.sourceHeight, "a tile's source height");
        }
    }
}

void writeView(DataOutput& out, const View& v) {
    out.writeInt(v.page);
    out.writeInt(v.chapterMenu);
    out.writeShort(static_cast<int32_t>(v.drawLists.size()), "a view's draw list count");
    for (const int32_t l : v.drawLists) out.writeInt(l);
    out.writeShort(static_cast<int32_t>(v.focusables.size()), "a view's focusable count");
    for (const int32_t f : v.focusables) out.writeShort(f, "a focusable's element");
    for (const int32_t k : v.keys) out.writeInt(k);
}

// The header, the strings, the pictures and the background.
void writeHead(DataOutput& out, const MenuModel& model) {
    out.writeInt(kMenuMagic);
    out.writeShort(MenuModel::kVersion, "the version");
    out.writeShort(model.stageWidth, "the stage width");
    out.writeShort(model.stageHeight, "the stage height");
    out.writeUtf(model.trackPrefix);
    out.writeUtf(model.trackSuffix);
    out.writeUtf(model.slidePrefix);
    out.writeUtf(model.slideSuffix);
    out.writeInt(model.slideCount);
    out.writeShort(model.slideSeconds, "the seconds per photo");
    out.writeInt(static_cast<int32_t>(model.strings.size()));
    for (const std::string& s : model.strings) out.writeUtf(s);
    out.writeInt(static_cast<int32_t>(model.pictures.size()));
    for (const Picture& p : model.pictures) {
        out.writeInt(p.track);
        out.writeShort(p.width, "a picture's width");
        out.writeShort(p.height, "a picture's height");
    }
    out.writeInt(model.background);
}

void writeAction(DataOutput& out, const Action& a) {
    out.writeByte(static_cast<int>(a.kind));
    switch (a.kind) {
        case ActionKind::Title:
            out.writeInt(a.title);
            out.writeShort(a.chapter, "a chapter");
            out.writeInt(a.menuView);
            out.writeShort(a.menuFocus, "a title's menu focus");
            break;
        case ActionKind::Slideshow:
            out.writeInt(a.startFrame);
            out.writeInt(a.photos);
            break;
        case ActionKind::PlayAll:
            out.writeInt(static_cast<int32_t>(a.items.size()));
            for (const int32_t item : a.items) out.writeInt(item);
            break;
    }
}

}  // namespace

bool menuBinary(const MenuModel& model, std::string* bytes, std::string* error) {
    DataOutput out;
    writeHead(out, model);
    out.writeInt(static_cast<int32_t>(model.drawLists.size()));
    for (const DrawList& list : model.drawLists) writeDrawList(out, list);
    out.writeInt(static_cast<int32_t>(model.actions.size()));
    for (const Action& a : model.actions) writeAction(out, a);
    out.writeInt(static_cast<int32_t>(model.results.size()));
    for (const Result& r : model.results) {
        out.writeInt(r.view);
        out.writeShort(r.focus, "a result's focus");
        out.writeInt(r.status);
        out.writeByte(r.toggleMenu ? 1 : 0);
        out.writeInt(r.action);
    }
    out.writeInt(static_cast<int32_t>(model.views.size()));
    for (const View& v : model.views) writeView(out, v);
    out.writeInt(model.startView);
    out.writeShort(model.startFocus, "the start focus");
    if (!out.error.empty()) {
        *error = "the menu model cannot be encoded: " + out.error;
        return false;
    }
    *bytes = std::move(out.bytes);
    return true;
}

}  // namespace merrowcli::menu
