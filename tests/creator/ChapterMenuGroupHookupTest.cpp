#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "creator/BDJCalendarApplicationCreator.h"
#include "imagetrack/BufferImageTrackCreatorManager.h"
#include "support/SceneTestSupport.h"
#include "support/TestDocument.h"

namespace {

using Merrow::ChapterMenuData;
using Merrow::XmlElementOperator;
using merrowtest::body;
using merrowtest::TestDocument;
using scenetest::ids;

using Ids = std::vector<std::string>;

// Reaches the hookup and the chapter menu records.
class HookupCreator : public CBDJCalendarApplicationCreator {
public:
    HookupCreator() : CBDJCalendarApplicationCreator(nullptr, nullptr, nullptr) {}
    using CBDJCalendarApplicationCreator::addChapterMenuGroupElement;
    const std::vector<ChapterMenuData>& records() const { return chapterMenuRecords; }
};

constexpr const char* kChapterPage =
    "<container id=\"ChapterPageLayout\">"
    "<scrollcontainer2 id=\"CH_SCROLL\"><scrollinfo><scrollholder id=\"CH_HOLDER_1\">"
    "<graphicbutton id=\"CH_BUTTON_1\" width=\"160\" height=\"90\"/>"
    "</scrollholder></scrollinfo></scrollcontainer2></container>";

// A chapter entry whose thumbnail can be made.
std::string chapter(const std::string& id, bool withThumbnail = true) {
    return "<chapterInfo id=\"" + id + "\"" + (withThumbnail ? " thumbnailId=\"P\"" : "") + "/>";
}

std::string titleInfo(const std::string& id, int chapters) {
    std::string text = "<titleInfo id=\"" + id + "\">";
    for (int i = 1; i <= chapters; ++i) text += chapter(id + "_C" + std::to_string(i));
    return text + "</titleInfo>";
}

class ChapterMenuHookupTest : public ::testing::Test {
protected:
    void open(const std::string& titles, const std::string& layout = kChapterPage) {
        ref_ = std::make_unique<TestDocument>("<root xmlns=\"urn:merrow:design\"><layout>" +
                                                  layout + "</layout>" + titles + "</root>",
                                              "design.xml");
        doc_ = std::make_unique<TestDocument>(
            "<root xmlns=\"urn:merrow:calendar\"><layout/></root>", "new.xml");
    }
    bool hookUp(const char* chapterPage = "ChapterPageLayout") {
        XmlElementOperator layout(doc_->glue(), "/NS:root/NS:layout");
        XmlElementOperator templateLayout(
            ref_->glue(),
            std::string("/NS:root/NS:layout/NS:container[@id=\"") + chapterPage + "\"]");
        return creator_.addChapterMenuGroupElement(layout, templateLayout, nullptr, &manager_);
    }
    Ids containers() { return ids(doc_->glue(), "/NS:root/NS:layout/NS:container"); }

    HookupCreator creator_;
    Merrow::BufferImageTrackCreatorManager manager_;
    std::unique_ptr<TestDocument> ref_;
    std::unique_ptr<TestDocument> doc_;
};

void expectRecord(const ChapterMenuData& record, const std::string& titleId,
                  const std::string& container) {
    EXPECT_EQ(record.titleInfoId, titleId);
    EXPECT_EQ(record.chapterLayoutId, container);
    EXPECT_EQ(record.showChapterCmdId, "Show_" + container);
    EXPECT_EQ(record.hideChapterCmdId, "Hide_" + container);
}

TEST_F(ChapterMenuHookupTest, OnlyTitlesWithSeveralChaptersGetMenusAndRecords) {
    open("<titlesInfo>" + titleInfo("TI_1", 3) + titleInfo("TI_2", 1) + titleInfo("TI_3", 4) +
         titleInfo("TI_4", 0) + "</titlesInfo>");
    EXPECT_TRUE(hookUp());
    EXPECT_EQ(containers(), (Ids{"T1_ChapterMenuLayout", "T3_ChapterMenuLayout"}));
    ASSERT_EQ(creator_.records().size(), 2u);
    expectRecord(creator_.records()[0], "TI_1", "T1_ChapterMenuLayout");
    expectRecord(creator_.records()[1], "TI_3", "T3_ChapterMenuLayout");
    EXPECT_EQ(ids(doc_->glue(),
                  "//NS:container[@id=\"T3_ChapterMenuLayout\"]/NS:scrollcontainer2/"
                  "NS:graphicbutton"),
              (Ids{"T3_SCENE_1", "T3_SCENE_2", "T3_SCENE_3", "T3_SCENE_4"}));
}

TEST_F(ChapterMenuHookupTest, OtherElementsCountInTheTitlePosition) {
    open("<titlesInfo><note/>" + titleInfo("TI_1", 2) + "</titlesInfo>");
    // The first child is no title: the walk ends before the title.
    EXPECT_TRUE(hookUp());
    EXPECT_EQ(containers(), Ids{});
    EXPECT_TRUE(creator_.records().empty());
    EXPECT_EQ(body(*doc_), "<layout/>");

    open("<titlesInfo>" + titleInfo("TI_0", 0) + "<note/>" + titleInfo("TI_2", 2) +
         "</titlesInfo>");
    EXPECT_TRUE(hookUp());
    EXPECT_EQ(containers(), (Ids{"T3_ChapterMenuLayout"}));
    ASSERT_EQ(creator_.records().size(), 1u);
    expectRecord(creator_.records()[0], "TI_2", "T3_ChapterMenuLayout");
}

TEST_F(ChapterMenuHookupTest, NoTitlesListWritesNothing) {
    open("<navigationInfo/>");
    EXPECT_TRUE(hookUp());
    EXPECT_EQ(body(*doc_), "<layout/>");
    EXPECT_TRUE(creator_.records().empty());
}

TEST_F(ChapterMenuHookupTest, FailingMenuKeepsItsRecordAndEndsTheWalk) {
    open("<titlesInfo><titleInfo id=\"TI_1\">" + chapter("C1") + chapter("C2", false) +
         "</titleInfo>" + titleInfo("TI_2", 2) + "</titlesInfo>");
    EXPECT_TRUE(hookUp());
    EXPECT_EQ(containers(), (Ids{"T1_ChapterMenuLayout"}));
    ASSERT_EQ(creator_.records().size(), 1u);
    expectRecord(creator_.records()[0], "TI_1", "T1_ChapterMenuLayout");
    EXPECT_EQ(ids(doc_->glue(), "/NS:root/NS:command/NS:menuproperty"),
              (Ids{"Show_T1_ChapterMenuLayout", "Hide_T1_ChapterMenuLayout"}));
}

TEST_F(ChapterMenuHookupTest, TwoChapterPagesGiveTwoMenusPerTitle) {
    // The layout section hands over each chapter page container of the reference layout.
    open("<titlesInfo>" + titleInfo("TI_1", 2) + "</titlesInfo>");
    EXPECT_TRUE(hookUp());
    EXPECT_TRUE(hookUp());
    EXPECT_EQ(containers(), (Ids{"T1_ChapterMenuLayout", "T1_ChapterMenuLayout"}));
    ASSERT_EQ(creator_.records().size(), 2u);
    expectRecord(creator_.records()[0], "TI_1", "T1_ChapterMenuLayout");
    expectRecord(creator_.records()[1], "TI_1", "T1_ChapterMenuLayout");
    EXPECT_EQ(ids(doc_->glue(), "/NS:root/NS:command/NS:menuproperty"),
              (Ids{"Show_T1_ChapterMenuLayout", "Hide_T1_ChapterMenuLayout",
                   "Show_T1_ChapterMenuLayout", "Hide_T1_ChapterMenuLayout"}));
    // Each menu and each command holds its own children, although the identifiers repeat.
    for (int menu = 1; menu <= 2; ++menu) {
        const std::string container =
            "/NS:root/NS:layout/NS:container[" + std::to_string(menu) + "]";
        EXPECT_EQ(ids(doc_->glue(), container + "/NS:scrollcontainer2/NS:*"),
                  (Ids{"-", "T1_SCENE_1", "T1_SCENE_2"}));
        EXPECT_EQ(ids(doc_->glue(), container + "/NS:scrollcontainer2/NS:scrollinfo/NS:*"),
                  (Ids{"CH_HOLDER_1"}));
    }
    for (int command = 1; command <= 4; ++command) {
        EXPECT_EQ(ids(doc_->glue(),
                      "/NS:root/NS:command/NS:menuproperty[" + std::to_string(command) + "]/NS:*"),
                  (Ids{"property_visibility", "property_enabled"}));
    }
}

}  // namespace
