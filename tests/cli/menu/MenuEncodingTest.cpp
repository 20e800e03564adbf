// The model's two encodings read back: the binary as java.io.DataInputStream reads it, the JSON
// as the preview's script parses it. Both must give the model that was written.

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "cli/menu/MenuBinary.h"
#include "cli/menu/MenuCompiler.h"
#include "cli/menu/MenuJson.h"
#include "cli/menu/MenuModel.h"
#include "support/CliTestSupport.h"
#include "support/SampleBuild.h"

namespace {

using merrowcli::menu::Action;
using merrowcli::menu::ActionKind;
using merrowcli::menu::DrawList;
using merrowcli::menu::Element;
using merrowcli::menu::ElementKind;
using merrowcli::menu::MenuModel;
using merrowcli::menu::Picture;
using merrowcli::menu::Result;
using merrowcli::menu::View;

// DataInputStream's reads; a read past the end throws.
class DataInput {
public:
    explicit DataInput(const std::string& bytes) : bytes_(bytes) {}
    int32_t readInt() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = (v << 8) | next();
        return static_cast<int32_t>(v);
    }
    int32_t readShort() {
        const auto high = next();
        return static_cast<int16_t>(static_cast<uint16_t>((high << 8) | next()));
    }
    int32_t readByte() { return static_cast<int8_t>(next()); }
    // Modified UTF-8 back to UTF-8: C0 80 is U+0000, a pair of 3-byte surrogates one character.
    std::string readUtf() {
        const auto length = static_cast<size_t>(static_cast<uint16_t>(readShort()));
        std::vector<uint32_t> units;
        const size_t end = at_ + length;
        while (at_ < end) {
            const uint32_t c = next();
            if (c < 0x80) {
                units.push_back(c);
            } else if ((c & 0xE0) == 0xC0) {
                units.push_back(((c & 0x1F) << 6) | (next() & 0x3F));
            } else {
                const uint32_t b = next();
                units.push_back(((c & 0x0F) << 12) | ((b & 0x3F) << 6) | (next() & 0x3F));
            }
        }
        std::string out;
        for (size_t i = 0; i < units.size(); ++i) {
            uint32_t cp = units[i];
            if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < units.size()) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (units[++i] - 0xDC00);
            }
            if (cp < 0x80) {
                out.push_back(static_cast<char>(cp));
            } else if (cp < 0x800) {
                out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
                out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
            } else if (cp < 0x10000) {
                out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
                out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
                out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
            } else {
                out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
                out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
                out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
                out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
            }
        }
        return out;
    }
    bool atEnd() const { return at_ == bytes_.size(); }

private:
    uint32_t next() {
        if (at_ >= bytes_.size()) throw std::runtime_error("read past the end");
        return static_cast<unsigned char>(bytes_[at_++]);
    }
    const std::string& bytes_;
    size_t at_ = 0;
};

MenuModel readBinary(const std::string& bytes) {
    DataInput in(bytes);
    MenuModel m;
    EXPECT_EQ(in.readInt(), merrowcli::menu::kMenuMagic);
    EXPECT_EQ(in.readShort(), MenuModel::kVersion);
    m.stageWidth = in.readShort();
    m.stageHeight = in.readShort();
    m.trackPrefix = in.readUtf();
    m.trackSuffix = in.readUtf();
    m.slidePrefix = in.readUtf();
    m.slideSuffix = in.readUtf();
    m.slideCount = in.readInt();
    m.slideSeconds = in.readShort();
    m.strings.resize(static_cast<size_t>(in.readInt()));
    for (std::string& s : m.strings) s = in.readUtf();
    m.pictures.resize(static_cast<size_t>(in.readInt()));
    for (Picture& p : m.pictures) {
        p.track = in.readInt();
        p.width = in.readShort();
        p.height = in.readShort();
    }
    m.background = in.readInt();
    m.drawLists.resize(static_cast<size_t>(in.readInt()));
    for (DrawList& list : m.drawLists) {
        list.elements.resize(static_cast<size_t>(in.readInt()));
        for (Element& e : list.elements) {
            e.kind = static_cast<ElementKind>(in.readByte());
            e.name = in.readInt();
            e.picture = in.readInt();
            e.x = in.readShort();
            e.y = in.readShort();
            e.width = in.readShort();
            e.height = in.readShort();
            if (e.kind == ElementKind::Button) e.focusPicture = in.readInt();
            if (e.kind == ElementKind::Tile) {
                e.sourceX = in.readShort();
                e.sourceY = in.readShort();
                e.sourceWidth = in.readShort();
                e.sourceHeight = in.readShort();
            }
        }
    }
    m.actions.resize(static_cast<size_t>(in.readInt()));
    for (Action& a : m.actions) {
        a.kind = static_cast<ActionKind>(in.readByte());
        if (a.kind == ActionKind::Title) {
            a.title = in.readInt();
            a.chapter = in.readShort();
            a.menuView = in.readInt();
            a.menuFocus = in.readShort();
        } else if (a.kind == ActionKind::Slideshow) {
            a.startFrame = in.readInt();
            a.photos = in.readInt();
        } else {
            a.items.resize(static_cast<size_t>(in.readInt()));
            for (int32_t& item : a.items) item = in.readInt();
        }
    }
    m.results.resize(static_cast<size_t>(in.readInt()));
    for (Result& r : m.results) {
        r.view = in.readInt();
        r.focus = in.readShort();
        r.status = in.readInt();
        r.toggleMenu = (in.readByte() & 1) != 0;
        r.action = in.readInt();
    }
    m.views.resize(static_cast<size_t>(in.readInt()));
    for (View& v : m.views) {
        v.page = in.readInt();
        v.chapterMenu = in.readInt();
        v.drawLists.resize(static_cast<size_t>(in.readShort()));
        for (int32_t& l : v.drawLists) l = in.readInt();
        v.focusables.resize(static_cast<size_t>(in.readShort()));
        for (int32_t& f : v.focusables) f = in.readShort();
        v.keys.resize((v.focusables.size() + 1) * merrowcli::menu::kKeyCount);
        for (int32_t& k : v.keys) k = in.readInt();
    }
    m.startView = in.readInt();
    m.startFocus = in.readShort();
    EXPECT_TRUE(in.atEnd()) << "bytes follow the model";
    return m;
}

// Just enough JSON for the model: numbers, strings, arrays and objects.
struct Json {
    enum class Type { Number, String, Array, Object } type = Type::Number;
    long long number = 0;
    std::string text;
    std::vector<Json> items;
    std::map<std::string, Json> members;

    const Json& operator[](const std::string& key) const { return members.at(key); }
    const Json& operator[](size_t i) const { return items.at(i); }
    int32_t i() const { return static_cast<int32_t>(number); }
};

class JsonParser {
public:
    explicit JsonParser(const std::string& text) : t_(text) {}
    Json parse() {
        Json j;
        const char c = t_.at(at_);
        if (c == '{') {
            j.type = Json::Type::Object;
            ++at_;
            while (t_.at(at_) != '}') {
                const std::string key = string();
                expect(':');
                j.members[key] = parse();
                if (t_.at(at_) == ',') ++at_;
            }
            ++at_;
        } else if (c == '[') {
            j.type = Json::Type::Array;
            ++at_;
            while (t_.at(at_) != ']') {
                j.items.push_back(parse());
                if (t_.at(at_) == ',') ++at_;
            }
            ++at_;
        } else if (c == '"') {
            j.type = Json::Type::String;
            j.text = string();
        } else {
            size_t used = 0;
            j.number = std::stoll(t_.substr(at_, 24), &used);
            at_ += used;
        }
        return j;
    }
    bool atEnd() const { return at_ == t_.size(); }

private:
    void expect(char c) {
        if (t_.at(at_++) != c) throw std::runtime_error(std::string("expected ") + c);
    }
    // \uXXXX escapes of the model are below U+0080.
    std::string string() {
        expect('"');
        std::string out;
        while (t_.at(at_) != '"') {
            char c = t_.at(at_++);
            if (c == '\\') {
                c = t_.at(at_++);
                if (c == 'u') {
                    c = static_cast<char>(std::stoi(t_.substr(at_, 4), nullptr, 16));
                    at_ += 4;
                } else if (c == 'n') {
                    c = '\n';
                }
            }
            out.push_back(c);
        }
        ++at_;
        return out;
    }
    const std::string& t_;
    size_t at_ = 0;
};

MenuModel readJson(const std::string& text) {
    JsonParser parser(text);
    const Json j = parser.parse();
    EXPECT_TRUE(parser.atEnd());
    MenuModel m;
    EXPECT_EQ(j["version"].i(), MenuModel::kVersion);
    m.stageWidth = j["stage"][0].i();
    m.stageHeight = j["stage"][1].i();
    m.trackPrefix = j["trackPrefix"].text;
    m.trackSuffix = j["trackSuffix"].text;
    m.slidePrefix = j["slidePrefix"].text;
    m.slideSuffix = j["slideSuffix"].text;
    m.slideCount = j["slides"][0].i();
    m.slideSeconds = j["slides"][1].i();
    for (const Json& s : j["strings"].items) m.strings.push_back(s.text);
    for (const Json& p : j["pictures"].items) m.pictures.push_back({p[0].i(), p[1].i(), p[2].i()});
    m.background = j["background"].i();
    for (const Json& list : j["drawLists"].items) {
        DrawList out;
        for (const Json& e : list.items) {
            Element element;
            element.kind = static_cast<ElementKind>(e[0].i());
            element.name = e[1].i();
            element.picture = e[2].i();
            element.x = e[3].i();
            element.y = e[4].i();
            element.width = e[5].i();
            element.height = e[6].i();
            if (element.kind == ElementKind::Button) element.focusPicture = e[7].i();
            if (element.kind == ElementKind::Tile) {
                element.sourceX = e[7].i();
                element.sourceY = e[8].i();
                element.sourceWidth = e[9].i();
                element.sourceHeight = e[10].i();
            }
            out.elements.push_back(element);
        }
        m.drawLists.push_back(out);
    }
    for (const Json& a : j["actions"].items) {
        Action action;
        action.kind = static_cast<ActionKind>(a[0].i());
        if (action.kind == ActionKind::Title) {
            action.title = a[1].i();
            action.chapter = a[2].i();
            action.menuView = a[3].i();
            action.menuFocus = a[4].i();
        } else if (action.kind == ActionKind::Slideshow) {
            action.startFrame = a[1].i();
            action.photos = a[2].i();
        } else {
            for (const Json& item : a[1].items) action.items.push_back(item.i());
        }
        m.actions.push_back(action);
    }
    for (const Json& r : j["results"].items) {
        m.results.push_back({r[0].i(), r[1].i(), r[2].i(), r[3].i() != 0, r[4].i()});
    }
    for (const Json& v : j["views"].items) {
        View view;
        view.page = v[0].i();
        view.chapterMenu = v[1].i();
        for (const Json& l : v[2].items) view.drawLists.push_back(l.i());
        for (const Json& f : v[3].items) view.focusables.push_back(f.i());
        for (const Json& k : v[4].items) view.keys.push_back(k.i());
        m.views.push_back(view);
    }
    m.startView = j["start"][0].i();
    m.startFocus = j["start"][1].i();
    return m;
}

TEST(MenuEncoding, TheSamplesModelReadsBackTheSameFromBothEncodings) {
    clitest::TemporaryFolder folder;
    const clitest::CommandResult run =
        clitest::buildSample("current", folder.path() / "out", folder.path());
    ASSERT_EQ(run.status, 0) << run.err;
    MenuModel model;
    std::string error;
    ASSERT_TRUE(merrowcli::menu::compileMenu(folder.path() / "out", "out", &model, &error))
        << error;
    ASSERT_GT(model.views.size(), 10u);

    std::string binary;
    ASSERT_TRUE(merrowcli::menu::menuBinary(model, &binary, &error)) << error;
    // "MKMM", version 2, 1920 x 1080.
    EXPECT_EQ(binary.substr(0, 10), std::string("MKMM\x00\x02\x07\x80\x04\x38", 10));
    const MenuModel fromBinary = readBinary(binary);
    const MenuModel fromJson = readJson(merrowcli::menu::menuJson(model));
    EXPECT_TRUE(fromBinary == model);
    EXPECT_TRUE(fromJson == model);
    EXPECT_TRUE(fromBinary == fromJson);
}

// A small model with the texts and numbers the encodings treat specially.
MenuModel awkwardModel() {
    MenuModel m;
    m.strings = {"track_1", std::string("nul\0inside", 10), "</script> & \"quotes\"",
                 "\xC3\xA9t\xC3\xA9 \xF0\x9F\x8E\x89"};
    m.pictures = {{0, 200, 28}};
    m.background = -1;
    Element tile;
    tile.kind = ElementKind::Tile;
    tile.name = 1;
    tile.picture = 0;
    tile.x = -32768;
    tile.y = 32767;
    tile.width = 50;
    tile.height = 28;
    tile.sourceX = 180;
    tile.sourceWidth = 20;
    tile.sourceHeight = 28;
    Element button;
    button.kind = ElementKind::Button;
    button.name = 2;
    button.picture = -1;
    button.focusPicture = 0;
    m.drawLists = {{{tile, button}}};
    Action title;
    title.title = 2;
    title.chapter = 32767;
    title.menuView = 0;
    title.menuFocus = 1;
    Action slides;
    slides.kind = ActionKind::Slideshow;
    slides.startFrame = 2147483647;
    slides.photos = 7;
    Action all;
    all.kind = ActionKind::PlayAll;
    all.items = {1, 0, 1};
    m.actions = {title, slides, all};
    m.slideCount = 44;
    m.slideSeconds = 5;
    m.results = {{}, {0, 1, 3, true, 2}};
    View v;
    v.page = 3;
    v.drawLists = {0, 0};
    v.focusables = {1, 3};
    v.keys.assign(3 * merrowcli::menu::kKeyCount, 1);
    v.keys[0] = 0;
    m.views = {v};
    m.startFocus = 1;
    return m;
}

TEST(MenuEncoding, TextsAndEdgeNumbersSurviveBothEncodings) {
    const MenuModel model = awkwardModel();
    std::string binary;
    std::string error;
    ASSERT_TRUE(merrowcli::menu::menuBinary(model, &binary, &error)) << error;
    // U+0000 is C0 80 and U+1F389 two 3-byte surrogates, as DataOutputStream.writeUTF writes.
    EXPECT_NE(binary.find(std::string("nul\xC0\x80inside")), std::string::npos);
    EXPECT_NE(binary.find("\xED\xA0\xBC\xED\xBE\x89"), std::string::npos);
    EXPECT_TRUE(readBinary(binary) == model);
    const std::string json = merrowcli::menu::menuJson(model);
    EXPECT_EQ(json.find('<'), std::string::npos);
    EXPECT_TRUE(readJson(json) == model);
}

TEST(MenuEncoding, AValueBeyondItsFieldIsRefusedByName) {
    MenuModel model = awkwardModel();
    model.drawLists[0].elements[0].x = 40000;
    std::string binary = "untouched";
    std::string error;
    EXPECT_FALSE(merrowcli::menu::menuBinary(model, &binary, &error));
    EXPECT_EQ(binary, "untouched");
    EXPECT_NE(error.find("an element's x 40000"), std::string::npos) << error;
    model = awkwardModel();
    model.strings[0] = std::string(70000, 'x');
    EXPECT_FALSE(merrowcli::menu::menuBinary(model, &binary, &error));
    EXPECT_NE(error.find("too long"), std::string::npos) << error;
}

}  // namespace
