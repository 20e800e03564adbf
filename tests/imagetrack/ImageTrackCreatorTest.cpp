// Where a picture comes from: a file, the rendering of an element on the layer and page of a
// placement element, or the fallback picture when the element cannot be placed or rendered.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "ImageTrackTestSupport.h"
#include "imagetrack/ImageTrackCreator.h"

namespace {

using imagetracktest::allPixels;
using imagetracktest::asTrack;
using imagetracktest::isFallbackPicture;
using imagetracktest::ObjectPtr;
using imagetracktest::Rgba;
using merrowhost::ImageTrackObject;

constexpr Rgba kBody = {0, 200, 0, 255};
constexpr Rgba kFocus = {0, 0, 220, 128};
constexpr Rgba kOther = {200, 100, 0, 255};

TEST(ImageTrackCreatorForms, NullTextsBecomeEmpty) {
    const ImageTrackCreator file(nullptr);
    EXPECT_EQ(file.getFile(), "");
    EXPECT_EQ(file.getGlue(), nullptr);
    EXPECT_EQ(file.getRenderElement(), "");
    EXPECT_EQ(file.getPlacementElement(), "");
    EXPECT_EQ(file.getMergeMethod(), ImageTrackCreator::ImageMergerNone);

    const ImageTrackCreator rendering(nullptr, nullptr, nullptr,
                                      ImageTrackCreator::ImageMergerFocus);
    EXPECT_EQ(rendering.getFile(), "");
    EXPECT_EQ(rendering.getRenderElement(), "");
    EXPECT_EQ(rendering.getPlacementElement(), "");
    EXPECT_EQ(rendering.getMergeMethod(), ImageTrackCreator::ImageMergerFocus);
}

TEST(ImageTrackCreatorForms, RenderTypeIsFocusOnlyForMergeMethodTwo) {
    EXPECT_EQ(
        ImageTrackCreator(nullptr, "a", "", ImageTrackCreator::ImageMergerNone).getRenderType(),
        CAppDocEditorCtrl::RenderTypeNormal);
    EXPECT_EQ(
        ImageTrackCreator(nullptr, "a", "", ImageTrackCreator::ImageMergerNormal).getRenderType(),
        CAppDocEditorCtrl::RenderTypeNormal);
    EXPECT_EQ(
        ImageTrackCreator(nullptr, "a", "", ImageTrackCreator::ImageMergerFocus).getRenderType(),
        CAppDocEditorCtrl::RenderTypeFocus);
    EXPECT_EQ(static_cast<int>(CAppDocEditorCtrl::RenderTypeNormal), 7);
    EXPECT_EQ(static_cast<int>(CAppDocEditorCtrl::RenderTypeFocus), 8);
}

TEST(ImageTrackCreatorMaking, NothingWithoutOutOrSource) {
    ImageTrackCreator file((imagetracktest::kCalendarFolder + "Numbers_S1.png").c_str());
    EXPECT_FALSE(file.createImageTrack(nullptr, nullptr, nullptr));

    CzfServiceObject* made = nullptr;
    ImageTrackCreator empty("");
    EXPECT_FALSE(empty.createImageTrack(&made, nullptr, nullptr));
    EXPECT_EQ(made, nullptr);
}

TEST(ImageTrackCreatorMaking, FileFormLoadsThePicture) {
    ImageTrackCreator creator((imagetracktest::kCalendarFolder + "Numbers_S1.png").c_str());
    CzfServiceObject* made = nullptr;
    ASSERT_TRUE(creator.createImageTrack(&made, nullptr, nullptr));
    ObjectPtr track(made);
    ASSERT_NE(asTrack(made), nullptr);
    EXPECT_EQ(asTrack(made)->mode(), ImageTrackObject::kModeBuffers);
    EXPECT_EQ(asTrack(made)->width(), 200);
    EXPECT_EQ(asTrack(made)->height(), 28);
}

TEST(ImageTrackCreatorMaking, MissingFileGivesNoTrackNotTheFallback) {
    ImageTrackCreator creator((imagetracktest::kCalendarFolder + "NoSuchPicture.png").c_str());
    CzfServiceObject* made = nullptr;
    EXPECT_FALSE(creator.createImageTrack(&made, nullptr, nullptr));
    EXPECT_EQ(made, nullptr);
}

// A reference document whose elements name pictures of distinct colours.
class ImageTrackCreatorRendering : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string body =
            imagetracktest::writeSolidPng(folder_.file("body.png"), 4, 3, kBody);
        const std::string focus =
            imagetracktest::writeSolidPng(folder_.file("focus.png"), 4, 3, kFocus);
        const std::string other =
            imagetracktest::writeSolidPng(folder_.file("other.png"), 2, 2, kOther);
        const std::string xml =
            "<root xmlns=\"http://merrowkit.test/BD-J/Calendar/0.1\"><layout>"
            "<container id=\"FirstLayer\">"
            "<button id=\"Plain\" imageBody=\"" +
            body + "\" imageHighlight=\"" + focus +
            "\"/>"
            "<button id=\"NegativePage\" page=\"-3\" imageBody=\"" +
            body +
            "\"/>"
            "<button id=\"NoPicture\" page=\"1\"/>"
            "</container>"
            "<container id=\"SecondLayer\">"
            "<button id=\"Placed\" page=\"2\" imageBody=\"" +
            other +
            "\"/>"
            "<button id=\"OnSecond\" page=\"2\" imageBody=\"" +
            body + "\" imageHighlight=\"" + focus +
            "\"/>"
            "</container>"
            "</layout></root>";
        document_ = std::make_unique<imagetracktest::ReferenceDocument>(xml);
    }

    // Makes the track of a rendering creator; null when nothing was made.
    ObjectPtr render(const char* renderElement, const char* placementElement,
                     ImageTrackCreator::ImageMergerMethod method, SAVEDATA* record = nullptr) {
        ImageTrackCreator creator(&document_->glue(), renderElement, placementElement, method);
        CzfServiceObject* made = nullptr;
        const bool ok = creator.createImageTrack(&made, record, nullptr);
        EXPECT_EQ(ok, made != nullptr);
        return ObjectPtr(made);
    }

    imagetracktest::TempFolder folder_;
    std::unique_ptr<imagetracktest::ReferenceDocument> document_;
};

TEST_F(ImageTrackCreatorRendering, NormalAndUnsetMethodsDrawTheBodyPicture) {
    for (auto method : {ImageTrackCreator::ImageMergerNone, ImageTrackCreator::ImageMergerNormal}) {
        const ObjectPtr track = render("Plain", "", method);
        ASSERT_NE(asTrack(track.get()), nullptr);
        EXPECT_EQ(asTrack(track.get())->mode(), ImageTrackObject::kModeBitmaps);
        EXPECT_EQ(asTrack(track.get())->width(), 4);
        EXPECT_EQ(asTrack(track.get())->height(), 3);
        EXPECT_EQ(asTrack(track.get())->option(), 1);
        EXPECT_TRUE(allPixels(track.get(), kBody)) << "method " << method;
    }
}

TEST_F(ImageTrackCreatorRendering, FocusMethodDrawsTheHighlightPicture) {
    const ObjectPtr track = render("Plain", "", ImageTrackCreator::ImageMergerFocus);
    ASSERT_NE(asTrack(track.get()), nullptr);
    EXPECT_TRUE(allPixels(track.get(), kFocus));
}

TEST_F(ImageTrackCreatorRendering, NegativePagesAreDrawnAsTheFirstPage) {
    // The placement element reports page -3: its first page is drawn, not the fallback.
    const ObjectPtr placed = render("Plain", "NegativePage", ImageTrackCreator::ImageMergerNormal);
    EXPECT_TRUE(allPixels(placed.get(), kBody));
    // Without a placement element the render element's own page does not matter.
    const ObjectPtr own = render("NegativePage", "", ImageTrackCreator::ImageMergerNormal);
    EXPECT_TRUE(allPixels(own.get(), kBody));
}

TEST_F(ImageTrackCreatorRendering, PlacementElementOnlyPlacesTheRenderElement) {
    // "Placed" has a picture of its own on the second layer's page 2; the render element's
    // picture is what is drawn there.
    const ObjectPtr track = render("OnSecond", "Placed", ImageTrackCreator::ImageMergerFocus);
    EXPECT_TRUE(allPixels(track.get(), kFocus));
    // The rendering is asked for on the placement element's layer and page, where "Plain" is
    // not: the fallback picture.
    const ObjectPtr elsewhere = render("Plain", "Placed", ImageTrackCreator::ImageMergerFocus);
    EXPECT_TRUE(isFallbackPicture(elsewhere.get()));
}

TEST_F(ImageTrackCreatorRendering, UnplaceableOrUndrawableElementsGiveTheFallbackPicture) {
    struct Case {
        const char* render;
        const char* placement;
    };
    for (const Case& c : {Case{"Plain", "NoSuchPlacement"}, Case{"NoSuchElement", ""},
                          Case{"NoSuchElement", "Placed"}, Case{"NoPicture", ""}}) {
        const ObjectPtr track = render(c.render, c.placement, ImageTrackCreator::ImageMergerNormal);
        EXPECT_TRUE(isFallbackPicture(track.get())) << c.render << " on " << c.placement;
    }

    ImageTrackCreator noDocument(nullptr, "Plain", "", ImageTrackCreator::ImageMergerNormal);
    CzfServiceObject* made = nullptr;
    ASSERT_TRUE(noDocument.createImageTrack(&made, nullptr, nullptr));
    const ObjectPtr track(made);
    EXPECT_TRUE(isFallbackPicture(made));
}

TEST_F(ImageTrackCreatorRendering, RecordGoesWithTheTrack) {
    SAVEDATA record{};
    std::strcpy(record.projectName, "Holiday");
    record.revision = 7;
    for (const char* element : {"Plain", "NoSuchElement"}) {
        const ObjectPtr track = render(element, "", ImageTrackCreator::ImageMergerNormal, &record);
        ASSERT_NE(asTrack(track.get()), nullptr);
        ASSERT_NE(asTrack(track.get())->record(), nullptr);
        EXPECT_STREQ(asTrack(track.get())->record()->projectName, "Holiday");
        EXPECT_EQ(asTrack(track.get())->record()->revision, 7u);
    }
    const ObjectPtr withoutRecord = render("Plain", "", ImageTrackCreator::ImageMergerNormal);
    EXPECT_EQ(asTrack(withoutRecord.get())->record(), nullptr);
}

TEST_F(ImageTrackCreatorRendering, FactoryFailureMakesNothingAndKeepsNoBitmaps) {
    merrowhost::ScopedClassDisabled disabled(merrowhost::kClassImageTrack);
    // The rendered bitmaps find no track; the sanitizer build shows they are freed.
    for (const char* element : {"Plain", "NoSuchElement"}) {
        ImageTrackCreator creator(&document_->glue(), element, "",
                                  ImageTrackCreator::ImageMergerNormal);
        CzfServiceObject* made = nullptr;
        EXPECT_FALSE(creator.createImageTrack(&made, nullptr, nullptr)) << element;
        EXPECT_EQ(made, nullptr);
    }
}

}  // namespace
