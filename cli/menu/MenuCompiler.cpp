#include "cli/menu/MenuCompiler.h"

#include <libxml/tree.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <map>
#include <tuple>

#include "cli/core/InputFile.h"
#include "cli/core/XmlInput.h"
#include "cli/menu/CalendarIndex.h"
#include "cli/menu/KeyRules.h"
#include "cli/menu/MenuDocument.h"
#include "cli/menu/ViewLayout.h"

namespace merrowcli::menu {

namespace fs = std::filesystem;

namespace {

int32_t whole(double value) {
    return static_cast<int32_t>(std::floor(value + 0.5));
}

// The first <media kind="track"> below the node.
const xmlNode* findMedia(const xmlNode* node) {
    for (const xmlNode* n = node; n != nullptr; n = n->next) {
        if (n->type != XML_ELEMENT_NODE) continue;
        if (std::strcmp(reinterpret_cast<const char*>(n->name), "media") == 0) {
            xmlChar* kind = xmlGetProp(n, reinterpret_cast<const xmlChar*>("kind"));
            const bool track =
                kind != nullptr && std::strcmp(reinterpret_cast<const char*>(kind), "track") == 0;
            xmlFree(kind);
            if (track) return n;
        }
        if (const xmlNode* found = findMedia(n->children)) return found;
    }
    return nullptr;
}

std::string property(const xmlNode* node, const char* name) {
    xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
    std::string text = value != nullptr ? reinterpret_cast<const char*>(value) : "";
    xmlFree(value);
    return text;
}

class Compiler {
public:
    Compiler(const fs::path& folder, const MenuDocument& document, MenuModel* model)
        : folder_(folder),
          document_(document),
          calendar_(document),
          layout_(calendar_),
          rules_(calendar_, layout_),
          model_(*model) {}

    void background(const std::string& track, int width, int height) {
        model_.background = picture(track);
        Picture& p = model_.pictures[static_cast<size_t>(model_.background)];
        // A track file that cannot be read keeps the size title.xml gives.
        if (p.width == 0 && p.height == 0) {
            p.width = width;
            p.height = height;
        }
    }

    // False when the views do not end (a rule that leads to new states without end).
    bool compile() {
        const MenuState start = rules_.start();
        model_.startView = viewIndex(start.view);
        // Every view met is laid out and its keys played; the views they lead to are queued.
        for (size_t v = 0; v < states_.size(); ++v) {
            if (states_.size() > kMostViews) return false;
            build(v);
        }
        model_.startFocus = focusIndex(model_.startView, start.focus);
        return true;
    }

    // Far more than a calendar of a hundred years has (ten years have about 2,000).
    static constexpr size_t kMostViews = 1000000;

private:
    int32_t string(const std::string& text) {
        const auto found = strings_.find(text);
        if (found != strings_.end()) return found->second;
        const auto index = static_cast<int32_t>(model_.strings.size());
        model_.strings.push_back(text);
        strings_.emplace(text, index);
        return index;
    }

    int32_t picture(const std::string& track) {
        if (track.empty()) return -1;
        const auto found = pictures_.find(track);
        if (found != pictures_.end()) return found->second;
        Picture p;
        p.track = string(track);
        readSize(folder_ / (model_.trackPrefix + track + model_.trackSuffix), &p);
        const auto index = static_cast<int32_t>(model_.pictures.size());
        model_.pictures.push_back(p);
        pictures_.emplace(track, index);
        return index;
    }

    // The size from the PNG header (libpng reads no more than that); 0 x 0 when the file is
    // missing or not a PNG.
    static void readSize(const fs::path& file, Picture* p) {
        png_image image;
        std::memset(&image, 0, sizeof image);
        image.version = PNG_IMAGE_VERSION;
        if (png_image_begin_read_from_file(&image, file.c_str()) != 0) {
            p->width = static_cast<int32_t>(image.width);
            p->height = static_cast<int32_t>(image.height);
        }
        png_image_free(&image);
    }

    // The view's state as the model keeps it: strips not drawn, strips at their first scene,
    // the page of cells of a page without grid and the opener without a chapter menu say
    // nothing, so states that differ only there are one view.
    ViewState normal(ViewState view) const {
        if (view.chapterMenu < 0) view.opener.clear();
        if (view.page < 0 || calendar_.gridOf(view.page) < 0) view.cells = 0;
        std::map<std::string, int> scroll;
        for (const int container :
             {view.page >= 0 ? document_.find(document_.text(view.page, "layoutId")) : -1,
              view.chapterMenu}) {
            if (container < 0) continue;
            for (const int strip : calendar_.stripsIn(container)) {
                const int offset = layout_.scrollOffset(view, strip, calendar_.strip(strip));
                if (offset != 0) scroll[document_.text(strip, "id")] = offset;
            }
        }
        view.scroll = std::move(scroll);
        return view;
    }

    int32_t viewIndex(const ViewState& state) {
        const ViewState key = normal(state);
        const auto found = views_.find(key);
        if (found != views_.end()) return found->second;
        const auto index = static_cast<int32_t>(states_.size());
        views_.emplace(key, index);
        states_.push_back(key);
        model_.views.emplace_back();
        focusIds_.emplace_back();
        return index;
    }

    // The focusable of the view with the id, or -1. Views are built in order, so a view's
    // focusables are known once build() has run for it; later ones are resolved in finish().
    int32_t focusIndex(int32_t view, const std::optional<std::string>& id) const {
        if (!id) return -1;
        const std::vector<std::string>& ids = focusIds_[static_cast<size_t>(view)];
        for (size_t f = 0; f < ids.size(); ++f) {
            if (ids[f] == *id) return static_cast<int32_t>(f);
        }
        return -1;
    }

    int32_t drawList(const std::vector<LaidElement>& chunk) {
        DrawList list;
        for (const LaidElement& laid : chunk) list.elements.push_back(element(laid));
        const auto found = drawLists_.find(list.elements);
        if (found != drawLists_.end()) return found->second;
        const auto index = static_cast<int32_t>(model_.drawLists.size());
        drawLists_.emplace(list.elements, index);
        model_.drawLists.push_back(std::move(list));
        return index;
    }

    Element element(const LaidElement& laid) {
        Element e;
        e.name = string(laid.name);
        e.picture = picture(laid.picture);
        e.x = whole(laid.x);
        e.y = whole(laid.y);
        const int32_t shown = e.picture >= 0 ? e.picture : picture(laid.focusPicture);
        const Picture* p = shown >= 0 ? &model_.pictures[static_cast<size_t>(shown)] : nullptr;
        // A width or height of 0 takes the picture's own.
        e.width = laid.width > 0 ? whole(laid.width) : (p != nullptr ? p->width : 0);
        e.height = laid.height > 0 ? whole(laid.height) : (p != nullptr ? p->height : 0);
        switch (laid.kind) {
            case LaidElement::Kind::Picture:
                e.kind = ElementKind::Picture;
                break;
            case LaidElement::Kind::Button:
                e.kind = ElementKind::Button;
                e.focusPicture = picture(laid.focusPicture);
                break;
            case LaidElement::Kind::Digit: {
                // A tenth of the strip of the digits 0 to 9.
                e.kind = ElementKind::Tile;
                const int32_t stripWidth = p != nullptr ? p->width : 0;
                e.sourceX = laid.digit * stripWidth / 10;
                e.sourceWidth = (laid.digit + 1) * stripWidth / 10 - e.sourceX;
                e.sourceY = 0;
                e.sourceHeight = p != nullptr ? p->height : 0;
                break;
            }
        }
        return e;
    }

    void build(size_t v) {
        const ViewState state = states_[v];
        const Layout& laid = layout_.cached(state);
        View view;
        view.page = state.page >= 0 ? string(document_.text(state.page, "id")) : -1;
        view.chapterMenu =
            state.chapterMenu >= 0 ? string(document_.text(state.chapterMenu, "id")) : -1;
        for (const auto& chunk : laid.chunks) view.drawLists.push_back(drawList(chunk));
        // The focusable elements: those drawn in the layer that takes the focus (the chapter
        // menu while one is shown), each id once.
        const Layer layer = state.chapterMenu >= 0 ? Layer::Chapter : Layer::Page;
        std::vector<std::string>& ids = focusIds_[v];
        for (const LaidFocusable& f : laid.focusables) {
            if (f.layer != layer || f.element < 0) continue;
            if (std::find(ids.begin(), ids.end(), f.id) != ids.end()) continue;
            ids.push_back(f.id);
            view.focusables.push_back(f.element);
        }
        // Key tables: row 0 with nothing focused, then one row per focusable.
        std::vector<std::optional<std::string>> rows{std::nullopt};
        for (const std::string& id : ids) rows.emplace_back(id);
        for (size_t row = 0; row < rows.size(); ++row) {
            for (int k = 0; k < kKeyCount; ++k) {
                const Outcome outcome = rules_.press({state, rows[row]}, static_cast<Key>(k));
                const int32_t target = viewIndex(outcome.state.view);
                std::vector<PendingMenu> popups;
                for (const std::optional<MenuState>& popup : outcome.popups) {
                    popups.push_back(popup ? PendingMenu{viewIndex(popup->view), popup->focus}
                                           : PendingMenu{-1, std::nullopt});
                }
                pending_.push_back({static_cast<int32_t>(v), row * kKeyCount + k, target,
                                    outcome.state.focus, static_cast<int32_t>(row) - 1,
                                    outcome.status, outcome.toggleMenu, outcome.plays,
                                    outcome.playAll, std::move(popups)});
                view.keys.push_back(-1);
            }
        }
        model_.views[v] = std::move(view);
    }

public:
    // The results, once every view's focusables are known.
    void finish() {
        for (const Pending& p : pending_) {
            Result r;
            const int32_t focus = focusIndex(p.target, p.focus);
            if (p.target != p.view || focus != p.fromFocus) {
                r.view = p.target;
                r.focus = focus;
            }
            r.status = p.status ? string(*p.status) : -1;
            r.toggleMenu = p.toggle;
            std::vector<Action> plays = p.plays;
            for (size_t i = 0; i < plays.size() && i < p.popups.size(); ++i) {
                if (p.popups[i].view < 0) continue;
                plays[i].menuView = p.popups[i].view;
                plays[i].menuFocus = focusIndex(p.popups[i].view, p.popups[i].focus);
            }
            r.action = play(plays, p.playAll);
            const auto found = results_.find(r);
            int32_t index;
            if (found != results_.end()) {
                index = found->second;
            } else {
                index = static_cast<int32_t>(model_.results.size());
                model_.results.push_back(r);
                results_.emplace(r, index);
            }
            model_.views[static_cast<size_t>(p.view)].keys[p.slot] = index;
        }
        pending_.clear();
    }

private:
    struct PendingMenu {
        int32_t view;
        std::optional<std::string> focus;
    };
    struct Pending {
        int32_t view;
        size_t slot;
        int32_t target;
        std::optional<std::string> focus;
        int32_t fromFocus;
        std::optional<std::string> status;
        bool toggle;
        std::vector<Action> plays;
        bool playAll;
        std::vector<PendingMenu> popups;
    };
    struct ResultLess {
        bool operator()(const Result& a, const Result& b) const {
            return std::tie(a.view, a.focus, a.status, a.toggleMenu, a.action) <
                   std::tie(b.view, b.focus, b.status, b.toggleMenu, b.action);
        }
    };
    struct ActionLess {
        bool operator()(const Action& a, const Action& b) const {
            return std::tie(a.kind, a.title, a.chapter, a.menuView, a.menuFocus, a.startFrame,
                            a.photos, a.items) < std::tie(b.kind, b.title, b.chapter, b.menuView,
                                                          b.menuFocus, b.startFrame, b.photos,
                                                          b.items);
        }
    };

    // The action index of what a key plays (-1: nothing); each action once.
    int32_t play(const std::vector<Action>& plays, bool playAll) {
        if (!playAll) return plays.empty() ? -1 : action(plays.front());
        Action all;
        all.kind = ActionKind::PlayAll;
        for (const Action& item : plays) all.items.push_back(action(item));
        return action(all);
    }

    int32_t action(Action a) {
        if (a.kind == ActionKind::Slideshow) a.photos = photosFrom(a.startFrame);
        const auto found = actions_.find(a);
        if (found != actions_.end()) return found->second;
        const auto index = static_cast<int32_t>(model_.actions.size());
        actions_.emplace(a, index);
        model_.actions.push_back(std::move(a));
        return index;
    }

    // The photos of the content starting at the frame: up to the next content's start frame,
    // else to the end of the slideshow.
    int32_t photosFrom(int32_t startFrame) const {
        int32_t end = model_.slideCount;
        for (const int32_t start : startFrames_) {
            if (start > startFrame && (start < end || end <= startFrame)) end = start;
        }
        return std::max(end - startFrame, 0);
    }

public:
    void slideshow(const SlideshowFacts& facts, std::vector<int32_t> startFrames) {
        model_.slideCount = std::max(facts.photos, 0);
        model_.slideSeconds = std::max(facts.secondsPerPhoto, 1);
        startFrames_ = std::move(startFrames);
    }

private:
    struct ElementsLess {
        bool operator()(const std::vector<Element>& a, const std::vector<Element>& b) const {
            auto tie = [](const Element& e) {
                return std::tie(e.kind, e.name, e.picture, e.x, e.y, e.width, e.height,
                                e.focusPicture, e.sourceX, e.sourceY, e.sourceWidth,
                                e.sourceHeight);
            };
            return std::lexicographical_compare(
                a.begin(), a.end(), b.begin(), b.end(),
                [&](const Element& x, const Element& y) { return tie(x) < tie(y); });
        }
    };

    fs::path folder_;
    const MenuDocument& document_;
    CalendarIndex calendar_;
    ViewLayout layout_;
    KeyRules rules_;
    MenuModel& model_;
    std::map<std::string, int32_t> strings_;
    std::map<std::string, int32_t> pictures_;
    std::map<std::vector<Element>, int32_t, ElementsLess> drawLists_;
    std::map<Result, int32_t, ResultLess> results_;
    std::map<Action, int32_t, ActionLess> actions_;
    std::vector<int32_t> startFrames_;
    std::map<ViewState, int32_t> views_;
    std::vector<ViewState> states_;
    std::vector<std::vector<std::string>> focusIds_;
    std::vector<Pending> pending_;
};

}  // namespace

bool compileMenu(const fs::path& outputFolder, const std::string& shown, MenuModel* model,
                 std::string* error, const SlideshowFacts& slideshow) {
    try {
        const std::string file = shown + "/AppPresentation.xml";
        std::string bytes;
        if (!readInputFile(outputFolder / "AppPresentation.xml", file, &bytes, error)) {
            return false;
        }
        const XmlDocument xml = parseXml(bytes, file, error);
        if (!xml) return false;
        const xmlNode* root = xmlDocGetRootElement(xml.get());
        if (root == nullptr) {
            *error = located(file, 0, "has no document element");
            return false;
        }
        const MenuDocument document(root);
        *model = MenuModel();
        Compiler compiler(outputFolder, document, model);

        // The title's background picture: the first image track of title.xml's clips.
        std::string titleBytes;
        std::string ignored;
        if (readInputFile(outputFolder / "title.xml", shown + "/title.xml", &titleBytes,
                          &ignored)) {
            const XmlDocument title = parseXml(titleBytes, shown + "/title.xml", &ignored);
            const xmlNode* media = title ? findMedia(xmlDocGetRootElement(title.get())) : nullptr;
            if (media != nullptr && !property(media, "object").empty()) {
                compiler.background(property(media, "object"),
                                    std::atoi(property(media, "width").c_str()),
                                    std::atoi(property(media, "height").c_str()));
            }
        }
        std::vector<int32_t> startFrames;
        for (const int content : document.descendants(document.root(), "slideshowcontent")) {
            startFrames.push_back(startFrameOf(document.text(content, "startTime")));
        }
        compiler.slideshow(slideshow, std::move(startFrames));
        if (!compiler.compile()) {
            *error = located(file, 0, "the menu has more than a million views; not compiled");
            return false;
        }
        compiler.finish();
        return true;
    } catch (const std::exception& e) {
        *error = located(shown + "/AppPresentation.xml", 0,
                         std::string("the menu cannot be compiled (") + e.what() + ")");
    }
    return false;
}

}  // namespace merrowcli::menu
