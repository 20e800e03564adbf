// Which picture each manager operation describes: renderings of the element or of its
// providers from the reference document, or sample files from a folder.

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "ImageTrackTestSupport.h"
#include "document/CreatorSetToolBox.h"
#include "imagetrack/BufferImageTrackCreatorManager.h"
#include "imagetrack/SampleFileImageTrackCreatorManager.h"

namespace {

using imagetracktest::allPixels;
using imagetracktest::ObjectPtr;
using imagetracktest::Rgba;
using Merrow::BufferImageTrackCreatorManager;
using Merrow::ImageTrackCreatorManager;
using Merrow::SampleFileImageTrackCreatorManager;
using Merrow::XmlElementOperator;
using Method = ImageTrackCreator::ImageMergerMethod;
using Operation = ImageTrackCreator* (ImageTrackCreatorManager::*)(XmlElementOperator&);

constexpr Rgba kThumbBody = {10, 20, 30, 255};
constexpr Rgba kThumbFocus = {40, 50, 60, 200};
constexpr Rgba kTextBody = {70, 80, 90, 255};
constexpr Rgba kTextFocus = {100, 110, 120, 150};

const std::string kLayer = "/NS:root/NS:layout/NS:container[@id=\"YearPageLayout\"]";

std::string elementPath(const char* name, const char* id) {
    return kLayer + "/NS:" + name + "[@id=\"" + id + "\"]";
}

// A year page whose year button names its thumbnail and text providers, each first of two of its
// kind; the providers lie on the button's layer and page.
class BufferManager : public ::testing::Test {
protected:
    void SetUp() override {
        using imagetracktest::writeSolidPng;
        const std::string thumbBody = writeSolidPng(folder_.file("tb.png"), 3, 2, kThumbBody);
        const std::string thumbFocus = writeSolidPng(folder_.file("tf.png"), 3, 2, kThumbFocus);
        const std::string textBody = writeSolidPng(folder_.file("xb.png"), 5, 2, kTextBody);
        const std::string textFocus = writeSolidPng(folder_.file("xf.png"), 5, 2, kTextFocus);
        const std::string xml =
            "<root xmlns=\"http://merrowkit.test/BD-J/Calendar/0.1\"><layout>"
            "<container id=\"YearPageLayout\">"
            "<button id=\"Year1\" thumbnailId=\"Thumb1 Thumb2\" "
            "textId=\"Text1 Text2\"/>"
            "<button id=\"Bare\"/>"
            "<decoration id=\"Thumb1\" imageBody=\"" +
            thumbBody + "\" imageHighlight=\"" + thumbFocus +
            "\"/>"
            "<decoration id=\"Text1\" imageBody=\"" +
            textBody + "\" imageHighlight=\"" + textFocus +
            "\"/>"
            "</container></layout></root>";
        document_ = std::make_unique<imagetracktest::ReferenceDocument>(xml);
    }

    XmlElementOperator element(const char* name, const char* id) {
        return XmlElementOperator(document_->glue(), elementPath(name, id));
    }

    // The track that the creator of an operation makes; null when it makes none.
    ObjectPtr trackOf(Operation operation, XmlElementOperator element) {
        std::unique_ptr<ImageTrackCreator> creator((manager_.*operation)(element));
        EXPECT_NE(creator, nullptr);
        if (creator == nullptr) return nullptr;
        CzfServiceObject* made = nullptr;
        creator->createImageTrack(&made, nullptr, nullptr);
        return ObjectPtr(made);
    }

    imagetracktest::TempFolder folder_;
    std::unique_ptr<imagetracktest::ReferenceDocument> document_;
    BufferImageTrackCreatorManager manager_;
};

TEST_F(BufferManager, ButtonPicturesRenderTheElementItself) {
    XmlElementOperator thumb = element("decoration", "Thumb1");
    const std::unique_ptr<ImageTrackCreator> normal(manager_.createButtonNormalImageCreator(thumb));
    const std::unique_ptr<ImageTrackCreator> focus(manager_.createButtonFocusImageCreator(thumb));
    for (const auto* creator : {normal.get(), focus.get()}) {
        ASSERT_NE(creator, nullptr);
        EXPECT_EQ(creator->getGlue(), &document_->glue());
        EXPECT_EQ(creator->getFile(), "");
        EXPECT_EQ(creator->getRenderElement(), "Thumb1");
        EXPECT_EQ(creator->getPlacementElement(), "");
    }
    EXPECT_EQ(normal->getMergeMethod(), ImageTrackCreator::ImageMergerNormal);
    EXPECT_EQ(focus->getMergeMethod(), ImageTrackCreator::ImageMergerFocus);

    EXPECT_TRUE(
        allPixels(trackOf(&ImageTrackCreatorManager::createButtonNormalImageCreator, thumb).get(),
                  kThumbBody));
    EXPECT_TRUE(
        allPixels(trackOf(&ImageTrackCreatorManager::createButtonFocusImageCreator, thumb).get(),
                  kThumbFocus));
    EXPECT_TRUE(allPixels(
        trackOf(&ImageTrackCreatorManager::createDecorationImageCreator, thumb).get(), kThumbBody));
    EXPECT_TRUE(allPixels(trackOf(&ImageTrackCreatorManager::createTextImageCreator, thumb).get(),
                          kThumbBody));
}

// A manager that takes its button pictures from elsewhere.
class FileButtonManager : public BufferImageTrackCreatorManager {
public:
    ImageTrackCreator* createButtonNormalImageCreator(XmlElementOperator&) override {
        return new ImageTrackCreator("button-from-elsewhere.png");
    }
};

TEST_F(BufferManager, DecorationAndTextFollowAnOverriddenButtonPicture) {
    FileButtonManager manager;
    XmlElementOperator thumb = element("decoration", "Thumb1");
    const std::unique_ptr<ImageTrackCreator> decoration(
        manager.createDecorationImageCreator(thumb));
    const std::unique_ptr<ImageTrackCreator> text(manager.createTextImageCreator(thumb));
    ASSERT_NE(decoration, nullptr);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(decoration->getFile(), "button-from-elsewhere.png");
    EXPECT_EQ(text->getFile(), "button-from-elsewhere.png");
}

struct ProviderCase {
    const char* name;
    Operation operation;
    const char* provider;
    Method method;
};

const std::vector<ProviderCase>& providerCases() {
    using M = ImageTrackCreatorManager;
    constexpr Method kNormal = ImageTrackCreator::ImageMergerNormal;
    constexpr Method kFocus = ImageTrackCreator::ImageMergerFocus;
    static const std::vector<ProviderCase> cases = {
        {"YearThumbnailNormal", &M::createYearThumbnailNormalImageCreator, "Thumb1", kNormal},
        {"YearThumbnailFocus", &M::createYearThumbnailFocusImageCreator, "Thumb1", kFocus},
        {"MonthThumbnailNormal", &M::createMonthThumbnailNormalImageCreator, "Thumb1", kNormal},
        {"MonthThumbnailFocus", &M::createMonthThumbnailFocusImageCreator, "Thumb1", kFocus},
        {"DayThumbnailNormal", &M::createDayThumbnailNormalImageCreator, "Thumb1", kNormal},
        {"DayThumbnailFocus", &M::createDayThumbnailFocusImageCreator, "Thumb1", kFocus},
        {"ContentThumbnailNormal", &M::createContentThumbnailNormalImageCreator, "Thumb1", kNormal},
        {"ContentThumbnailFocus", &M::createContentThumbnailFocusImageCreator, "Thumb1", kFocus},
        {"YearTextNormal", &M::createYearTextNormalImageCreator, "Text1", kNormal},
        {"YearTextFocus", &M::createYearTextFocusImageCreator, "Text1", kNormal},
        {"ChapterThumbnailNormal", &M::createChapterThumbnailNormalImageCreator, "Thumb1", kNormal},
        {"ChapterThumbnailFocus", &M::createChapterThumbnailFocusImageCreator, "Thumb1", kFocus},
        {"ChapterTextNormal", &M::createChapterTextNormalImageCreator, "Text1", kNormal},
        {"ChapterTextFocus", &M::createChapterTextFocusImageCreator, "Text1", kFocus},
    };
    return cases;
}

TEST_F(BufferManager, ProvidersAreDrawnOnTheElementsPlace) {
    XmlElementOperator year = element("button", "Year1");
    for (const ProviderCase& c : providerCases()) {
        const std::unique_ptr<ImageTrackCreator> creator((manager_.*c.operation)(year));
        ASSERT_NE(creator, nullptr) << c.name;
        EXPECT_EQ(creator->getGlue(), &document_->glue()) << c.name;
        EXPECT_EQ(creator->getRenderElement(), c.provider) << c.name;
        EXPECT_EQ(creator->getPlacementElement(), "Year1") << c.name;
        EXPECT_EQ(creator->getMergeMethod(), c.method) << c.name;
    }
}

TEST_F(BufferManager, YearTextFocusLooksLikeNormalButChapterTextFocusIsHighlighted) {
    XmlElementOperator year = element("button", "Year1");
    EXPECT_TRUE(
        allPixels(trackOf(&ImageTrackCreatorManager::createYearTextFocusImageCreator, year).get(),
                  kTextBody));
    EXPECT_TRUE(allPixels(
        trackOf(&ImageTrackCreatorManager::createChapterTextFocusImageCreator, year).get(),
        kTextFocus));
    EXPECT_TRUE(allPixels(
        trackOf(&ImageTrackCreatorManager::createChapterTextNormalImageCreator, year).get(),
        kTextBody));
    EXPECT_TRUE(allPixels(
        trackOf(&ImageTrackCreatorManager::createDayThumbnailFocusImageCreator, year).get(),
        kThumbFocus));
    EXPECT_TRUE(allPixels(
        trackOf(&ImageTrackCreatorManager::createDayThumbnailNormalImageCreator, year).get(),
        kThumbBody));
}

TEST_F(BufferManager, WithoutProviderNoTrackIsMade) {
    for (const char* id : {"Bare", "NoSuchElement"}) {
        XmlElementOperator bare = element("button", id);
        for (const ProviderCase& c : providerCases()) {
            const std::unique_ptr<ImageTrackCreator> creator((manager_.*c.operation)(bare));
            ASSERT_NE(creator, nullptr) << c.name;
            EXPECT_EQ(creator->getRenderElement(), "") << c.name;
            EXPECT_EQ(CreatorSetToolBox::addImageTrackToApplication(nullptr, nullptr, *creator), "")
                << id << " " << c.name;
        }
    }
}

// Exposes the protected provider lookup.
class ProviderLookup : public BufferImageTrackCreatorManager {
public:
    using BufferImageTrackCreatorManager::getBufferProviderElementId;
};

TEST_F(BufferManager, ProviderIsTheFirstEntryOfTheWantedKind) {
    ProviderLookup lookup;
    XmlElementOperator year = element("button", "Year1");
    // The list holds two thumbnail entries, then two text entries: the first of the wanted kind
    // is the provider, also when entries of another kind come before it.
    EXPECT_EQ(lookup.getBufferProviderElementId(year, ApplicationDoc::TagNodeThumbnail), "Thumb1");
    EXPECT_EQ(lookup.getBufferProviderElementId(year, ApplicationDoc::TagNodeText), "Text1");
    XmlElementOperator bare = element("button", "Bare");
    EXPECT_EQ(lookup.getBufferProviderElementId(bare, ApplicationDoc::TagNodeText), "");
}

// Empty files under the sample names; only their existence matters to the manager.
void touch(const std::string& path) {
    std::ofstream(path).put('\n');
}

struct SampleCase {
    const char* name;
    Operation operation;
    const char* file;
};

#if defined(MERROWKIT_OLDER_VARIANT)
constexpr const char* kTextSample = "body3.png";
#else
constexpr const char* kTextSample = "body.png";
#endif

const std::vector<SampleCase>& sampleCases() {
    using M = ImageTrackCreatorManager;
    static const std::vector<SampleCase> cases = {
        {"Text", &M::createTextImageCreator, kTextSample},
        {"YearThumbnailNormal", &M::createYearThumbnailNormalImageCreator, "MonthBtn_Body.png"},
        {"YearThumbnailFocus", &M::createYearThumbnailFocusImageCreator, "DaySelectBtn_1_HL.png"},
        {"MonthThumbnailNormal", &M::createMonthThumbnailNormalImageCreator, "MonthBtn_Body.png"},
        {"MonthThumbnailFocus", &M::createMonthThumbnailFocusImageCreator, "MonthBtn_1_HL.png"},
        {"DayThumbnailNormal", &M::createDayThumbnailNormalImageCreator, "MonthBtn_Body.png"},
        {"DayThumbnailFocus", &M::createDayThumbnailFocusImageCreator, "DaySelectBtn_1_HL.png"},
        {"ContentThumbnailNormal", &M::createContentThumbnailNormalImageCreator,
         "MonthBtn_Body.png"},
        {"ContentThumbnailFocus", &M::createContentThumbnailFocusImageCreator,
         "DaySelectBtn_1_HL.png"},
        {"YearTextNormal", &M::createYearTextNormalImageCreator, "DaySelectBtn_1.png"},
        {"YearTextFocus", &M::createYearTextFocusImageCreator, "DaySelectBtn_1_HL.png"},
        {"ChapterThumbnailNormal", &M::createChapterThumbnailNormalImageCreator,
         "DaySelectBtn_1.png"},
        {"ChapterThumbnailFocus", &M::createChapterThumbnailFocusImageCreator,
         "DaySelectBtn_1_HL.png"},
        {"ChapterTextNormal", &M::createChapterTextNormalImageCreator, "DaySelectBtn_1.png"},
        {"ChapterTextFocus", &M::createChapterTextFocusImageCreator, "DaySelectBtn_1_HL.png"},
    };
    return cases;
}

class SampleManager : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string xml =
            "<root xmlns=\"http://merrowkit.test/BD-J/Calendar/0.1\"><layout>"
            "<container id=\"YearPageLayout\">"
            "<button id=\"Full\" imageBody=\"" +
            imagetracktest::kCalendarFolder +
            "Numbers_S1.png\" imageHighlight=\"Background.jpg\" image=\"nowhere.png\"/>"
            "<button id=\"Empty\"/>"
            "</container></layout></root>";
        document_ = std::make_unique<imagetracktest::ReferenceDocument>(xml);
    }

    XmlElementOperator element(const char* id) {
        return XmlElementOperator(document_->glue(), elementPath("button", id));
    }

    std::unique_ptr<imagetracktest::ReferenceDocument> document_;
};

TEST_F(SampleManager, FolderAndFileNameAreJoinedWithoutSeparator) {
    imagetracktest::TempFolder folder;
    for (const SampleCase& c : sampleCases()) touch(folder.file(std::string("pre_") + c.file));
    SampleFileImageTrackCreatorManager manager((folder.path() + "/pre_").c_str());
    XmlElementOperator button = element("Full");
    for (const SampleCase& c : sampleCases()) {
        const std::unique_ptr<ImageTrackCreator> creator((manager.*c.operation)(button));
        ASSERT_NE(creator, nullptr) << c.name;
        EXPECT_EQ(creator->getFile(), folder.file(std::string("pre_") + c.file)) << c.name;
        EXPECT_EQ(creator->getRenderElement(), "") << c.name;
    }

    // A folder given with its trailing separator works the same way.
    SampleFileImageTrackCreatorManager plain((folder.path() + "/").c_str());
    const std::unique_ptr<ImageTrackCreator> missing(
        plain.createMonthThumbnailNormalImageCreator(button));
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(missing->getFile(), "");  // only pre_MonthBtn_Body.png exists there
    touch(folder.file("MonthBtn_Body.png"));
    const std::unique_ptr<ImageTrackCreator> found(
        plain.createMonthThumbnailNormalImageCreator(button));
    EXPECT_EQ(found->getFile(), folder.file("MonthBtn_Body.png"));
}

TEST_F(SampleManager, EmptyFolderSearchesTheTemplateFolders) {
    SampleFileImageTrackCreatorManager manager("");
    XmlElementOperator button = element("Full");
    const std::unique_ptr<ImageTrackCreator> month(
        manager.createMonthThumbnailNormalImageCreator(button));
    ASSERT_NE(month, nullptr);
    EXPECT_EQ(month->getFile(), imagetracktest::kApplicationFolder + "MonthBtn_Body.png");
    CzfServiceObject* made = nullptr;
    ASSERT_TRUE(month->createImageTrack(&made, nullptr, nullptr));
    const ObjectPtr track(made);
    EXPECT_EQ(imagetracktest::asTrack(made)->width(), 12);

    // A sample found nowhere gives a creator that makes no track.
    const std::unique_ptr<ImageTrackCreator> text(manager.createTextImageCreator(button));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->getFile(), "");
    EXPECT_EQ(CreatorSetToolBox::addImageTrackToApplication(nullptr, nullptr, *text), "");
}

TEST_F(SampleManager, ButtonAndDecorationPicturesComeFromAttributes) {
    SampleFileImageTrackCreatorManager manager("unused/");
    XmlElementOperator full = element("Full");
    const std::unique_ptr<ImageTrackCreator> body(manager.createButtonNormalImageCreator(full));
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(body->getFile(), imagetracktest::kCalendarFolder + "Numbers_S1.png");
    // A bare file name is looked up in the template folders.
    const std::unique_ptr<ImageTrackCreator> highlight(manager.createButtonFocusImageCreator(full));
    ASSERT_NE(highlight, nullptr);
    EXPECT_EQ(highlight->getFile(), imagetracktest::kCalendarFolder + "Background.jpg");
    // A file found nowhere: a creator without a file.
    const std::unique_ptr<ImageTrackCreator> decoration(manager.createDecorationImageCreator(full));
    ASSERT_NE(decoration, nullptr);
    EXPECT_EQ(decoration->getFile(), "");

    // Missing attributes give no creator at all.
    XmlElementOperator empty = element("Empty");
    EXPECT_EQ(std::unique_ptr<ImageTrackCreator>(manager.createButtonNormalImageCreator(empty)),
              nullptr);
    EXPECT_EQ(std::unique_ptr<ImageTrackCreator>(manager.createButtonFocusImageCreator(empty)),
              nullptr);
    EXPECT_EQ(std::unique_ptr<ImageTrackCreator>(manager.createDecorationImageCreator(empty)),
              nullptr);
}

}  // namespace
