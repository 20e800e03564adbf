// The compiled menu of the sample (and of a larger copy of it) followed key by key as a player
// follows it: the views, their drawn boxes, focus moves, grids turning their pages, strips
// scrolling, chapter menus and BACK, against README's "How the preview plays the document".

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "cli/menu/MenuBinary.h"
#include "cli/menu/MenuCompiler.h"
#include "cli/menu/MenuModel.h"
#include "support/CliTestSupport.h"
#include "support/SampleBuild.h"

namespace {

namespace fs = std::filesystem;
using merrowcli::menu::Action;
using merrowcli::menu::ActionKind;
using merrowcli::menu::Element;
using merrowcli::menu::ElementKind;
using merrowcli::menu::Key;
using merrowcli::menu::kKeyCount;
using merrowcli::menu::MenuModel;
using merrowcli::menu::Result;

// Follows a model as a player does: the view's key table, nothing else.
class Walker {
public:
    explicit Walker(const MenuModel& model)
        : m_(model), view_(model.startView), focus_(model.startFocus) {}

    const Result& result(Key key) const {
        const auto& v = m_.views[static_cast<size_t>(view_)];
        const size_t slot = static_cast<size_t>(focus_ + 1) * kKeyCount + static_cast<size_t>(key);
        return m_.results[static_cast<size_t>(v.keys.at(slot))];
    }
    Walker& press(Key key) {
        if (hidden_ && key != Key::PopupMenu) return *this;
        const Result r = result(key);
        if (r.view >= 0) {
            view_ = r.view;
            focus_ = r.focus;
        }
        if (r.status >= 0) status_ = text(r.status);
        if (r.toggleMenu) hidden_ = !hidden_;
        played_ = r.action >= 0 ? &m_.actions[static_cast<size_t>(r.action)] : nullptr;
        return *this;
    }
    Walker& press(std::initializer_list<Key> keys) {
        for (const Key k : keys) press(k);
        return *this;
    }
    // Presses the key until the focus is on the element; false when it never gets there.
    bool pressUntil(Key key, const std::string& name, int limit = 12) {
        for (int i = 0; i < limit; ++i) {
            if (press(key).focus() == name) return true;
        }
        return false;
    }

    std::string text(int32_t index) const {
        return index >= 0 ? m_.strings[static_cast<size_t>(index)] : std::string("(none)");
    }
    std::string page() const { return text(m_.views[static_cast<size_t>(view_)].page); }
    std::string chapterMenu() const {
        return text(m_.views[static_cast<size_t>(view_)].chapterMenu);
    }
    const std::string& status() const { return status_; }
    // What the last key played, or nullptr.
    const Action* played() const { return played_; }
    const Action& action(int32_t index) const { return m_.actions.at(static_cast<size_t>(index)); }
    bool hidden() const { return hidden_; }
    std::vector<Element> elements() const {
        std::vector<Element> out;
        for (const int32_t l : m_.views[static_cast<size_t>(view_)].drawLists) {
            const auto& list = m_.drawLists[static_cast<size_t>(l)].elements;
            out.insert(out.end(), list.begin(), list.end());
        }
        return out;
    }
    std::string focus() const {
        if (focus_ < 0) return "(none)";
        const auto& v = m_.views[static_cast<size_t>(view_)];
        return text(
            elements()[static_cast<size_t>(v.focusables[static_cast<size_t>(focus_)])].name);
    }
    // Every element drawn with the name.
    std::vector<Element> drawn(const std::string& name) const {
        std::vector<Element> out;
        for (const Element& e : elements()) {
            if (text(e.name) == name) out.push_back(e);
        }
        return out;
    }
    // The names drawn that start with the prefix, in drawing order.
    std::vector<std::string> drawnNames(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const Element& e : elements()) {
            if (text(e.name).rfind(prefix, 0) == 0) out.push_back(text(e.name));
        }
        return out;
    }
    std::string track(int32_t picture) const {
        return picture >= 0 ? text(m_.pictures[static_cast<size_t>(picture)].track) : "(none)";
    }

private:
    const MenuModel& m_;
    int32_t view_;
    int32_t focus_;
    std::string status_;
    bool hidden_ = false;
    const Action* played_ = nullptr;
};

struct Box {
    int x, y, width, height;
    bool operator==(const Box&) const = default;
};
Box boxOf(const Element& e) {
    return {e.x, e.y, e.width, e.height};
}
std::ostream& operator<<(std::ostream& out, const Box& b) {
    return out << b.x << "," << b.y << " " << b.width << "x" << b.height;
}

// The sample with ten more contents on 12 November 2023 (twelve for the eight cells of the
// content grid) and two more years, copies of 2024 (four years for the year strip's three
// holders).
void writeLargerProject(const fs::path& folder) {
    fs::copy(clitest::sampleProject(), folder, fs::copy_options::recursive);
    const fs::path file = folder / "presentation.xml";
    std::string text = clitest::readFile(file);
    const size_t begin = text.find("<yearInfo id=\"Year_2024\"");
    const size_t end = text.find("</yearInfo>", begin) + std::string("</yearInfo>").size();
    const std::string year = text.substr(begin, end - begin);
    std::string copies;
    for (const char* y : {"2025", "2026"}) {
        std::string copy = std::regex_replace(year, std::regex(" id=\"([A-Za-z]+)_2024"),
                                              std::string(" id=\"$1_") + y);
        copy = std::regex_replace(copy, std::regex("content=\"2024\""),
                                  std::string("content=\"") + y + "\"");
        copies += "\n            " + copy;
    }
    text.insert(end, copies);
    const std::string anchor = "thumbnailId=\"TH_CONTENT_2023_11_12_2\"/>";
    std::string extra;
    for (int n = 3; n <= 12; ++n) {
        char line[256];
        std::snprintf(
            line, sizeof line,
            "\n<contentInfo id=\"Content_2023_11_12_%d\" content=\"%02d:%02d\" "
            "PHOTO_NUMBER=\"3\" startFrame=\"%d\" thumbnailId=\"TH_CONTENT_2023_11_12_1\"/>",
            n, 15 + n / 4, (n * 7) % 60, n);
        extra += line;
    }
    const size_t at = text.find(anchor);
    ASSERT_NE(at, std::string::npos) << "the sample changed";
    text.insert(at + anchor.size(), extra);
    clitest::writeFile(file, text);
}

class CompiledMenu : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = std::make_unique<clitest::TemporaryFolder>();
        const clitest::CommandResult run =
            clitest::buildSample("current", folder_->path() / "sample", folder_->path());
        ASSERT_EQ(run.status, 0) << run.err;
        writeLargerProject(folder_->path() / "larger-project");
        const clitest::CommandResult larger =
            clitest::runMerrowkit({"build", (folder_->path() / "larger-project").string(), "-o",
                                   (folder_->path() / "larger").string()},
                                  folder_->path());
        ASSERT_EQ(larger.status, 0) << larger.err;
        std::string error;
        sample_ = std::make_unique<MenuModel>();
        ASSERT_TRUE(merrowcli::menu::compileMenu(folder_->path() / "sample", "sample",
                                                 sample_.get(), &error))
            << error;
        larger_ = std::make_unique<MenuModel>();
        ASSERT_TRUE(merrowcli::menu::compileMenu(folder_->path() / "larger", "larger",
                                                 larger_.get(), &error))
            << error;
    }
    static void TearDownTestSuite() {
        sample_.reset();
        larger_.reset();
        folder_.reset();
    }

    static std::unique_ptr<clitest::TemporaryFolder> folder_;
    static std::unique_ptr<MenuModel> sample_;
    static std::unique_ptr<MenuModel> larger_;
};

std::unique_ptr<clitest::TemporaryFolder> CompiledMenu::folder_;
std::unique_ptr<MenuModel> CompiledMenu::sample_;
std::unique_ptr<MenuModel> CompiledMenu::larger_;

TEST_F(CompiledMenu, StartsOnTheYearPageWithItsStripLaidOutInTheHolders) {
    Walker w(*sample_);
    EXPECT_EQ(w.page(), "YearPage");
    EXPECT_EQ(w.focus(), "L1_SCENE_1");
    EXPECT_EQ(w.chapterMenu(), "(none)");
    EXPECT_EQ(w.track(sample_->background), "track_0001");
    EXPECT_EQ(sample_->pictures[static_cast<size_t>(sample_->background)].width, 1920);

    // Holders 400 wide (placeholders from 40 to 360, plus the margin of 40), three of them
    // centred in the 1520 of Y_SCROLL at 200: the first starts at 200 + 160.
    ASSERT_EQ(w.drawn("L1_SCENE_1").size(), 1u);
    EXPECT_EQ(boxOf(w.drawn("L1_SCENE_1")[0]), (Box{400, 700, 320, 180}));
    EXPECT_EQ(boxOf(w.drawn("L1_SCENE_2")[0]), (Box{800, 700, 320, 180}));
    EXPECT_EQ(boxOf(w.drawn("L1_TEXT_1")[0]), (Box{460, 886, 200, 40}));
    EXPECT_EQ(boxOf(w.drawn("Y_BTN_NEXT")[0]), (Box{1656, 790, 64, 64}));
    // The focused scene is a button with its focus picture.
    const Element scene = w.drawn("L1_SCENE_1")[0];
    EXPECT_EQ(scene.kind, ElementKind::Button);
    EXPECT_EQ(w.track(scene.picture), "track_0098");
    EXPECT_EQ(w.track(scene.focusPicture), "track_0099");
    // The background decoration comes first, the strip's rail before its buttons and scenes.
    const std::vector<std::string> order = w.drawnNames("");
    ASSERT_FALSE(order.empty());
    EXPECT_EQ(order.front(), "Y_BACKGROUND");
    EXPECT_LT(std::find(order.begin(), order.end(), "Y_SCROLL_RAIL"),
              std::find(order.begin(), order.end(), "L1_SCENE_1"));
}

TEST_F(CompiledMenu, NumbersAreTilesOfTheirDigitStrip) {
    Walker w(*sample_);
    // The page total: the year page's titleNumber 4, one 50 x 28 tile of the 200-pixel strip.
    const std::vector<Element> total = w.drawn("Y_TITLE_TOTAL");
    ASSERT_EQ(total.size(), 1u);
    EXPECT_EQ(total[0].kind, ElementKind::Tile);
    EXPECT_EQ(boxOf(total[0]), (Box{1560, 626, 50, 28}));
    EXPECT_EQ(total[0].sourceX, 80);
    EXPECT_EQ(total[0].sourceWidth, 20);
    // A year scene's photo count is its month page's photoNumber, 84: two tiles side by side at
    // the holder's photo_number_1 (232, 244).
    const std::vector<Element> photos = w.drawn("L1_PHOTONUMBER_1");
    ASSERT_EQ(photos.size(), 2u);
    EXPECT_EQ(boxOf(photos[0]), (Box{592, 934, 20, 28}));
    EXPECT_EQ(boxOf(photos[1]), (Box{612, 934, 20, 28}));
    EXPECT_EQ(photos[0].sourceX, 8 * 20);
    EXPECT_EQ(photos[1].sourceX, 4 * 20);

    // A content's time: "14:40" leaves half a tile (14 of 28) for the colon.
    w.press({Key::Ok, Key::Ok, Key::Ok});
    ASSERT_EQ(w.page(), "C20231112ContentPage");
    std::vector<int> xs;
    for (const Element& e : w.drawn("Date_1")) xs.push_back(e.x);
    // Cell 0 at (360, 670), cell 1 at (664, 670); the time at (8, 6) of each.
    EXPECT_EQ(xs, (std::vector<int>{368, 396, 368 + 56 + 14, 368 + 84 + 14, 672, 700, 742, 770}));
}

TEST_F(CompiledMenu, ArrowsMoveToTheNearestElementAndStopAtTheEdge) {
    Walker w(*sample_);
    EXPECT_EQ(w.press(Key::Right).focus(), "L1_SCENE_2");
    EXPECT_EQ(w.press(Key::Right).focus(), "Y_BTN_NEXT");
    EXPECT_EQ(w.press(Key::Left).focus(), "L1_SCENE_2");
    EXPECT_EQ(w.press({Key::Left, Key::Left}).focus(), "Y_BTN_PREVIOUS");
    // Nothing lies below the strip: the focus stays, and the table says nothing changes.
    Walker down(*sample_);
    EXPECT_EQ(down.result(Key::Down), Result{});
    EXPECT_EQ(down.press(Key::Down).focus(), "L1_SCENE_1");

    // On a content page the nearest button up is BACK (the score weighs the offset across
    // twice): from the second cell at (664, 670), BACK at (1300, 616) beats PLAY ALL.
    w.press({Key::Right, Key::Ok, Key::Ok, Key::Ok});
    ASSERT_EQ(w.page(), "C20231112ContentPage");
    ASSERT_TRUE(w.pressUntil(Key::Right, "ContentSelectBtn_2"));
    EXPECT_EQ(w.press(Key::Up).focus(), "C_BTN_BACK");
    EXPECT_EQ(w.press(Key::Right).focus(), "C_BTN_PLAYALL");
}

TEST_F(CompiledMenu, OkOpensPagesOnTheirFirstCellAndBackReturnsToTheEntry) {
    Walker w(*sample_);
    w.press(Key::Right).press(Key::Ok);
    EXPECT_EQ(w.page(), "Y2024MonthPage");
    EXPECT_EQ(w.focus(), "MonthSelectBtn_3");
    // Cell 0 of M_GRID: 8 in from (240, 700), 224 x 126; cell 1 is 224 + 16 further.
    EXPECT_EQ(boxOf(w.drawn("MonthSelectBtn_3")[0]), (Box{248, 708, 224, 126}));
    EXPECT_EQ(boxOf(w.drawn("MonthSelectBtn_4")[0]), (Box{488, 708, 224, 126}));
    // The grid's background lies under the cells, after the page's own buttons.
    const std::vector<std::string> order = w.drawnNames("");
    EXPECT_LT(std::find(order.begin(), order.end(), "M_GRID_BGIMAGE"),
              std::find(order.begin(), order.end(), "MonthSelectBtn_3"));

    ASSERT_TRUE(w.pressUntil(Key::Right, "MonthSelectBtn_4"));
    w.press(Key::Ok);
    EXPECT_EQ(w.page(), "D20242DayPage");
    w.press(Key::Ok);
    EXPECT_EQ(w.page(), "C20240229ContentPage");
    EXPECT_EQ(w.focus(), "ContentSelectBtn_9");
    // The title content shows only the title overlays, the slideshow only the photo ones.
    EXPECT_EQ(w.drawn("title_decoration_1").size(), 1u);
    EXPECT_EQ(w.drawn("photo_decoration_1").size(), 1u);

    EXPECT_EQ(w.press(Key::Back).page(), "D20242DayPage");
    EXPECT_EQ(w.focus(), "DaySelectBtn_7");
    EXPECT_EQ(w.press(Key::Back).page(), "Y2024MonthPage");
    EXPECT_EQ(w.focus(), "MonthSelectBtn_4");
    // The page's BACK button does what BACK does.
    ASSERT_TRUE(w.pressUntil(Key::Up, "M_BTN_BACK"));
    EXPECT_EQ(w.press(Key::Ok).page(), "YearPage");
    EXPECT_EQ(w.focus(), "L1_SCENE_2");
    // BACK on the first page does nothing.
    EXPECT_EQ(w.result(Key::Back), Result{});
}

TEST_F(CompiledMenu, ContentsPlayAndTitlesOpenTheirChapterMenu) {
    Walker w(*sample_);
    w.press({Key::Ok, Key::Ok, Key::Ok});
    ASSERT_EQ(w.focus(), "ContentSelectBtn_1");
    EXPECT_EQ(w.press(Key::Ok).status(), "Play slideshow from 0:0:0:00");
    EXPECT_EQ(w.page(), "C20231112ContentPage");

    w.press(Key::Right).press(Key::Ok);
    EXPECT_EQ(w.chapterMenu(), "T1_ChapterMenuLayout");
    EXPECT_EQ(w.page(), "C20231112ContentPage");
    EXPECT_EQ(w.focus(), "T1_SCENE_1");
    // Holders 336 wide, three centred in T1_CH_SCROLL's 1520 at 200; button_1 at (8, 8).
    EXPECT_EQ(boxOf(w.drawn("T1_SCENE_1")[0]), (Box{464, 738, 320, 180}));
    // The content page stays drawn under the chapter menu, but the focus keeps to the menu.
    EXPECT_EQ(w.drawn("ContentSelectBtn_2").size(), 1u);
    for (const Key k : {Key::Up, Key::Left, Key::Left, Key::Up, Key::Right, Key::Right}) {
        EXPECT_EQ(w.press(k).focus().rfind("T1_", 0), 0u) << w.focus();
    }
    ASSERT_EQ(w.focus(), "T1_SCENE_2");
    EXPECT_EQ(w.press(Key::Ok).status(), "Play title UserTitle_1 chapter 2");
    // DOWN past the menu's bottom hides it (the key event's HideChapterMenu); the focus goes
    // back to the content that opened it.
    w.press(Key::Down);
    EXPECT_EQ(w.chapterMenu(), "(none)");
    EXPECT_EQ(w.focus(), "ContentSelectBtn_2");
    EXPECT_TRUE(w.drawn("T1_SCENE_1").empty());
    // BACK closes it as well, and only it.
    w.press(Key::Ok).press(Key::Back);
    EXPECT_EQ(w.chapterMenu(), "(none)");
    EXPECT_EQ(w.page(), "C20231112ContentPage");
    EXPECT_EQ(w.focus(), "ContentSelectBtn_2");

    ASSERT_TRUE(w.pressUntil(Key::Up, "C_BTN_BACK"));
    ASSERT_TRUE(w.pressUntil(Key::Right, "C_BTN_PLAYALL"));
    EXPECT_EQ(w.press(Key::Ok).status(), "Play all contents of C20231112ContentPage");

    // A title content without chapter menu plays its title.
    Walker t(*sample_);
    t.press({Key::Ok, Key::Right, Key::Ok, Key::Ok});
    ASSERT_EQ(t.focus(), "ContentSelectBtn_4");
    EXPECT_EQ(t.press(Key::Ok).status(), "Play title UserTitle_2");
    EXPECT_EQ(t.chapterMenu(), "(none)");
}

TEST_F(CompiledMenu, AChapterStripScrollsPastItsLastHolder) {
    Walker w(*sample_);
    w.press({Key::Right, Key::Ok, Key::Ok, Key::Ok, Key::Ok});
    ASSERT_EQ(w.chapterMenu(), "T3_ChapterMenuLayout");
    EXPECT_EQ(w.drawnNames("T3_SCENE_"),
              (std::vector<std::string>{"T3_SCENE_1", "T3_SCENE_2", "T3_SCENE_3"}));
    w.press({Key::Right, Key::Right, Key::Right});
    EXPECT_EQ(w.focus(), "T3_SCENE_4");
    EXPECT_EQ(w.drawnNames("T3_SCENE_"),
              (std::vector<std::string>{"T3_SCENE_2", "T3_SCENE_3", "T3_SCENE_4"}));
    EXPECT_EQ(boxOf(w.drawn("T3_SCENE_4")[0]), (Box{464 + 2 * 336, 738, 320, 180}));
    EXPECT_EQ(w.press(Key::Ok).status(), "Play title UserTitle_3 chapter 4");
    // Opened again, the menu starts from its first scene.
    w.press(Key::Back).press(Key::Ok);
    EXPECT_EQ(w.drawnNames("T3_SCENE_").front(), "T3_SCENE_1");
}

TEST_F(CompiledMenu, ThePopupKeyHidesAndShowsTheWholeMenu) {
    Walker w(*sample_);
    EXPECT_TRUE(w.result(Key::PopupMenu).toggleMenu);
    w.press(Key::PopupMenu);
    EXPECT_TRUE(w.hidden());
    EXPECT_EQ(w.press(Key::Right).focus(), "L1_SCENE_1");
    w.press(Key::PopupMenu);
    EXPECT_FALSE(w.hidden());
    EXPECT_EQ(w.page(), "YearPage");
}

TEST_F(CompiledMenu, GridsTurnTheirPagesOfCells) {
    Walker w(*larger_);
    w.press({Key::Ok, Key::Ok, Key::Ok});
    ASSERT_EQ(w.page(), "C20231112ContentPage");
    std::vector<std::string> all;
    for (int n = 1; n <= 12; ++n) all.push_back("ContentSelectBtn_" + std::to_string(n));
    const std::vector<std::string> first(all.begin(), all.begin() + 8);
    const std::vector<std::string> second(all.begin() + 8, all.end());
    EXPECT_EQ(w.drawnNames("ContentSelectBtn_"), first);
    ASSERT_TRUE(w.pressUntil(Key::Right, "C_BTN_NEXT"));
    w.press(Key::Ok);
    EXPECT_EQ(w.drawnNames("ContentSelectBtn_"), second);
    EXPECT_EQ(w.focus(), "C_BTN_NEXT");
    // The ninth content takes the first cell.
    EXPECT_EQ(boxOf(w.drawn("ContentSelectBtn_9")[0]), (Box{360, 670, 288, 162}));
    // No third page: NEXT does nothing.
    EXPECT_EQ(w.result(Key::Ok), Result{});
    ASSERT_TRUE(w.pressUntil(Key::Left, "C_BTN_PREVIOUS"));
    w.press(Key::Ok);
    EXPECT_EQ(w.drawnNames("ContentSelectBtn_"), first);
    EXPECT_EQ(w.result(Key::Ok), Result{});

    // A content of the second page opened and left: BACK from its chapter menu keeps the
    // page of cells; BACK to the day page from the content page's second page of cells
    // focuses the day.
    ASSERT_TRUE(w.pressUntil(Key::Right, "C_BTN_NEXT"));
    w.press(Key::Ok);
    ASSERT_TRUE(w.pressUntil(Key::Left, "ContentSelectBtn_12"));
    EXPECT_EQ(w.press(Key::Ok).status().rfind("Play slideshow from", 0), 0u) << w.status();
    EXPECT_EQ(w.press(Key::Back).page(), "D202311DayPage");
    EXPECT_EQ(w.focus(), "DaySelectBtn_1");
}

TEST_F(CompiledMenu, TheYearStripScrollsAndBackShowsTheYearOpened) {
    Walker w(*larger_);
    EXPECT_EQ(w.drawnNames("L1_SCENE_"),
              (std::vector<std::string>{"L1_SCENE_1", "L1_SCENE_2", "L1_SCENE_3"}));
    EXPECT_EQ(w.press({Key::Right, Key::Right}).focus(), "L1_SCENE_3");
    EXPECT_EQ(w.press(Key::Right).focus(), "L1_SCENE_4");
    EXPECT_EQ(w.drawnNames("L1_SCENE_"),
              (std::vector<std::string>{"L1_SCENE_2", "L1_SCENE_3", "L1_SCENE_4"}));
    EXPECT_EQ(boxOf(w.drawn("L1_SCENE_4")[0]), (Box{1200, 700, 320, 180}));
    // The strip's own numbers follow their scene: year 4's counts sit in holder 3.
    EXPECT_EQ(w.drawn("L1_PHOTONUMBER_4").at(0).x, 200 + 160 + 800 + 232);

    w.press(Key::Ok);
    EXPECT_EQ(w.page(), "Y2026MonthPage");
    EXPECT_EQ(w.press(Key::Back).focus(), "L1_SCENE_4");
    EXPECT_EQ(w.drawnNames("L1_SCENE_"),
              (std::vector<std::string>{"L1_SCENE_2", "L1_SCENE_3", "L1_SCENE_4"}));
    EXPECT_EQ(w.press({Key::Left, Key::Left, Key::Left}).focus(), "L1_SCENE_1");
    EXPECT_EQ(w.drawnNames("L1_SCENE_"),
              (std::vector<std::string>{"L1_SCENE_1", "L1_SCENE_2", "L1_SCENE_3"}));

    // The strip's buttons are met only at its ends (the arrows scroll it on the way), where
    // OK on them does nothing.
    ASSERT_TRUE(w.pressUntil(Key::Left, "Y_BTN_PREVIOUS"));
    EXPECT_EQ(w.result(Key::Ok), Result{});
    ASSERT_TRUE(w.pressUntil(Key::Right, "Y_BTN_NEXT"));
    EXPECT_EQ(w.drawnNames("L1_SCENE_").back(), "L1_SCENE_4");
    EXPECT_EQ(w.result(Key::Ok), Result{});
}

// Every index of a model points into its tables, and every view can be left again.
// Title N is the Nth user title of the title list, chapter K its Kth chapter (0: the start); a
// slideshow content shows the photos from its start frame (its start time / 3 s) up to the next
// content's start frame or the slideshow's end; play all lists the page's contents in order.
TEST_F(CompiledMenu, KeysSayWhatToPlay) {
    MenuModel model;
    std::string error;
    merrowcli::menu::SlideshowFacts facts;
    facts.photos = 44;
    facts.secondsPerPhoto = 5;
    ASSERT_TRUE(
        merrowcli::menu::compileMenu(folder_->path() / "sample", "sample", &model, &error, facts))
        << error;
    EXPECT_EQ(model.slideCount, 44);
    EXPECT_EQ(model.slideSeconds, 5);
    auto is = [](const Action* a, ActionKind kind, int32_t first, int32_t second) {
        if (a == nullptr) return ::testing::AssertionFailure() << "nothing played";
        const int32_t x = kind == ActionKind::Title ? a->title : a->startFrame;
        const int32_t y = kind == ActionKind::Title ? a->chapter : a->photos;
        if (a->kind == kind && x == first && y == second) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "kind " << static_cast<int>(a->kind) << " (" << x << ", " << y << ")";
    };

    Walker w(model);
    w.press({Key::Ok, Key::Ok, Key::Ok});
    ASSERT_EQ(w.focus(), "ContentSelectBtn_1");
    // Frame 0; the next content starts at 0:0:15 (frame 5).
    EXPECT_TRUE(is(w.press(Key::Ok).played(), ActionKind::Slideshow, 0, 5));
    // Opening the chapter menu plays nothing; its second scene plays title 1 from chapter 2.
    EXPECT_EQ(w.press(Key::Right).press(Key::Ok).played(), nullptr);
    w.press(Key::Right);
    ASSERT_EQ(w.focus(), "T1_SCENE_2");
    EXPECT_TRUE(is(w.press(Key::Ok).played(), ActionKind::Title, 1, 2));
    // Moving plays nothing.
    EXPECT_EQ(w.press(Key::Left).played(), nullptr);
    w.press(Key::Back);
    ASSERT_TRUE(w.pressUntil(Key::Up, "C_BTN_BACK"));
    ASSERT_TRUE(w.pressUntil(Key::Right, "C_BTN_PLAYALL"));
    const Action* all = w.press(Key::Ok).played();
    ASSERT_NE(all, nullptr);
    ASSERT_EQ(all->kind, ActionKind::PlayAll);
    ASSERT_EQ(all->items.size(), 2u);
    EXPECT_TRUE(is(&w.action(all->items[0]), ActionKind::Slideshow, 0, 5));
    EXPECT_TRUE(is(&w.action(all->items[1]), ActionKind::Title, 1, 0));
    // POPUP over that title shows its chapter menu over the page, on the first scene; over a
    // chapter played from the chapter menu, the menu as the key left it.
    const Action& listed = w.action(all->items[1]);
    ASSERT_GE(listed.menuView, 0);
    const auto& menuView = model.views[static_cast<size_t>(listed.menuView)];
    EXPECT_EQ(w.text(menuView.chapterMenu), "T1_ChapterMenuLayout");
    EXPECT_EQ(w.text(menuView.page), "C20231112ContentPage");
    std::vector<Element> drawn;
    for (const int32_t l : menuView.drawLists) {
        const auto& list = model.drawLists[static_cast<size_t>(l)].elements;
        drawn.insert(drawn.end(), list.begin(), list.end());
    }
    ASSERT_GE(listed.menuFocus, 0);
    const auto shown =
        static_cast<size_t>(menuView.focusables.at(static_cast<size_t>(listed.menuFocus)));
    EXPECT_EQ(w.text(drawn.at(shown).name), "T1_SCENE_1");
    EXPECT_EQ(w.action(all->items[0]).menuView, -1);

    // On a month page, every content of its days in order; none of them opens a chapter menu
    // over the month page.
    Walker m(model);
    m.press(Key::Ok);
    ASSERT_EQ(m.page(), "Y2023MonthPage");
    ASSERT_TRUE(m.pressUntil(Key::Up, "M_BTN_BACK"));
    ASSERT_TRUE(m.pressUntil(Key::Right, "M_BTN_PLAYALL"));
    const Action* month = m.press(Key::Ok).played();
    ASSERT_NE(month, nullptr);
    ASSERT_EQ(month->kind, ActionKind::PlayAll);
    std::vector<std::pair<int, int32_t>> contents;
    for (const int32_t item : month->items) {
        const Action& a = m.action(item);
        contents.emplace_back(static_cast<int>(a.kind),
                              a.kind == ActionKind::Title ? a.title : a.startFrame);
        if (a.kind == ActionKind::Title) {
            EXPECT_EQ(a.menuView, -1);
        }
    }
    EXPECT_EQ(contents, (std::vector<std::pair<int, int32_t>>{
                            {2, 0}, {1, 1}, {2, 25}, {1, 2}, {2, 10}, {2, 0}}));

    Walker t(model);
    t.press({Key::Ok, Key::Right, Key::Ok, Key::Ok});
    ASSERT_EQ(t.focus(), "ContentSelectBtn_4");
    EXPECT_TRUE(is(t.press(Key::Ok).played(), ActionKind::Title, 2, 0));

    // The content at 0:1:15 (frame 25) runs to the one at 0:2:0 (frame 40), which runs to the
    // end of the 44 photos.
    std::map<int32_t, int32_t> photos;
    for (const Action& a : model.actions) {
        if (a.kind == ActionKind::Slideshow) photos[a.startFrame] = a.photos;
    }
    EXPECT_EQ(photos[25], 15);
    EXPECT_EQ(photos[40], 4);
}

TEST_F(CompiledMenu, EveryIndexIsInRange) {
    for (const MenuModel* m : {sample_.get(), larger_.get()}) {
        const auto views = static_cast<int32_t>(m->views.size());
        ASSERT_GE(m->startView, 0);
        ASSERT_LT(m->startView, views);
        for (const auto& v : m->views) {
            size_t elements = 0;
            for (const int32_t l : v.drawLists) {
                ASSERT_GE(l, 0);
                ASSERT_LT(static_cast<size_t>(l), m->drawLists.size());
                elements += m->drawLists[static_cast<size_t>(l)].elements.size();
            }
            for (const int32_t f : v.focusables) ASSERT_LT(static_cast<size_t>(f), elements);
            ASSERT_EQ(v.keys.size(), (v.focusables.size() + 1) * kKeyCount);
            for (const int32_t k : v.keys) {
                ASSERT_GE(k, 0);
                ASSERT_LT(static_cast<size_t>(k), m->results.size());
            }
        }
        for (const Result& r : m->results) {
            ASSERT_LT(r.action, static_cast<int32_t>(m->actions.size()));
            ASSERT_LT(r.view, views);
            if (r.view >= 0) {
                ASSERT_LT(r.focus, static_cast<int32_t>(
                                       m->views[static_cast<size_t>(r.view)].focusables.size()));
            }
        }
    }
    EXPECT_EQ(larger_->views.size() > sample_->views.size(), true);
}

TEST_F(CompiledMenu, TheSameFolderGivesTheSameBytes) {
    MenuModel again;
    std::string error;
    ASSERT_TRUE(merrowcli::menu::compileMenu(folder_->path() / "sample", "sample", &again, &error));
    std::string first;
    std::string second;
    ASSERT_TRUE(merrowcli::menu::menuBinary(*sample_, &first, &error)) << error;
    ASSERT_TRUE(merrowcli::menu::menuBinary(again, &second, &error)) << error;
    EXPECT_TRUE(first == second);
}

TEST(MenuCompiler, AFolderWithoutADocumentIsAOneLineError) {
    clitest::TemporaryFolder folder;
    MenuModel model;
    std::string error;
    EXPECT_FALSE(merrowcli::menu::compileMenu(folder.path(), "OUT", &model, &error));
    EXPECT_EQ(error.rfind("OUT/AppPresentation.xml", 0), 0u) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos);
    clitest::writeFile(folder.path() / "AppPresentation.xml", "<root><layout></root>");
    EXPECT_FALSE(merrowcli::menu::compileMenu(folder.path(), "OUT", &model, &error));
    EXPECT_EQ(error.rfind("OUT/AppPresentation.xml:1:", 0), 0u) << error;
}

}  // namespace

namespace {

// A page of three buttons: B lies straight right of A, C nearer but lower. The focus starts on
// an element no view draws.
const char* const kThreeButtons = R"(<root xmlns="http://merrowkit.example/BD-J/Calendar/0.1">
  <layout>
    <container id="L" x="0" y="0" width="1920" height="1080">
      <graphicbutton id="A" x="100" y="100" width="100" height="100" imageNormal="a" imageFocus="af"/>
      <graphicbutton id="B" x="500" y="100" width="100" height="100" imageNormal="b"/>
      <graphicbutton id="C" x="250" y="300" width="100" height="100" imageNormal="c"/>
    </container>
  </layout>
  <command>
    <focuscontrol id="fc" default="NOWHERE">
      <focusitem target="A"/><focusitem target="B"/><focusitem target="C"/>
    </focuscontrol>
    <calendar id="cal" firstPageId="P"><pageroot><yearpage id="P" layoutId="L"/></pageroot></calendar>
  </command>
</root>)";

TEST(MenuCompiler, TheOffsetAcrossCountsTwiceAndNoFocusTakesTheFirstElement) {
    clitest::TemporaryFolder folder;
    clitest::writeFile(folder.path() / "AppPresentation.xml", kThreeButtons);
    MenuModel model;
    std::string error;
    ASSERT_TRUE(merrowcli::menu::compileMenu(folder.path(), "OUT", &model, &error)) << error;
    Walker w(model);
    EXPECT_EQ(w.focus(), "(none)");
    EXPECT_EQ(w.track(model.background), "(none)");
    // Nothing focused: an arrow focuses the first focusable element drawn.
    EXPECT_EQ(w.press(Key::Down).focus(), "A");
    // B: 400 along, 0 across; C: 150 along, 200 across, which counts 400.
    EXPECT_EQ(w.press(Key::Right).focus(), "B");
    EXPECT_EQ(w.press(Key::Left).focus(), "A");
    EXPECT_EQ(w.press(Key::Down).focus(), "C");
    // Without track files the boxes keep the sizes the document gives.
    EXPECT_EQ(boxOf(w.drawn("C").at(0)), (Box{250, 300, 100, 100}));
}

}  // namespace
