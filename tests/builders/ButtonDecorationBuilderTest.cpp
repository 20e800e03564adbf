#include <gtest/gtest.h>

#include "builders/ButtonElementBuilder.h"
#include "builders/DecorationElementBuilder.h"
#include "host/title/PresentationObject.h"
#include "imagetrack/ImageTrackTestSupport.h"
#include "support/TestDocument.h"

namespace {

using Merrow::ButtonElementBuilder;
using Merrow::DecorationElementBuilder;
using Merrow::XmlElementOperator;
using merrowtest::TestDocument;
using namespace imagetracktest;

// A presentation object that records the tracks the builders register, a new document to write
// into, and solid pictures to make tracks from.
class ImageBuilders : public ::testing::Test {
protected:
    void SetUp() override {
        presentationObject_.reset(
            CzfObjectFactory::zfCreateObject(&merrowhost::kClassPresentation, nullptr));
        ASSERT_NE(presentationObject_, nullptr);
        doc_ = TestDocument::empty();
        red_ = writeSolidPng(pictures_.file("red.png"), 4, 3, {255, 0, 0, 255});
        green_ = writeSolidPng(pictures_.file("green.png"), 5, 2, {0, 255, 0, 255});
    }

    CzfServiceObject* presentation() { return presentationObject_.get(); }
    std::vector<merrowhost::ImageTrackObject*> tracks() {
        return static_cast<merrowhost::PresentationObject*>(presentationObject_.get())->tracks();
    }
    XmlElementOperator root() { return XmlElementOperator(doc_->glue(), "/NS:root"); }
    XmlElementOperator element(const std::string& path) {
        return XmlElementOperator(doc_->glue(), path);
    }
    ImageTrackCreator* fileCreator(const std::string& path) {
        return new ImageTrackCreator(path.c_str());
    }

    TempFolder pictures_;
    ObjectPtr presentationObject_;
    std::unique_ptr<TestDocument> doc_;
    std::string red_;
    std::string green_;
};

TEST_F(ImageBuilders, ButtonWritesGeometryAndThreeImagesInOrder) {
    XmlElementOperator parent = root();
    ButtonElementBuilder button("b", presentation(), fileCreator(red_), fileCreator(green_));
    button.setX("10");
    button.setY("20");
    button.setWidth("30");
    button.setHeight("40");
    ASSERT_TRUE(button.addTo(parent));

    const std::vector<merrowhost::ImageTrackObject*> made = tracks();
    ASSERT_EQ(made.size(), 2u);
    EXPECT_TRUE(allPixels(made[0], {255, 0, 0, 255}));
    EXPECT_TRUE(allPixels(made[1], {0, 255, 0, 255}));
    XmlElementOperator written = element(button.xPath());
    const std::string normal = written.getAttribute("imageNormal");
    EXPECT_FALSE(normal.empty());
    EXPECT_EQ(written.getAttribute("imageAction"), normal);
    EXPECT_NE(written.getAttribute("imageFocus"), normal);
    EXPECT_EQ(
        merrowtest::body(*doc_),
        "<graphicbutton id=\"b\" x=\"10\" y=\"20\" width=\"30\" height=\"40\" imageNormal=\"" +
            normal + "\" imageAction=\"" + normal + "\" imageFocus=\"" +
            written.getAttribute("imageFocus") + "\"/>");
}

TEST_F(ImageBuilders, ButtonWithoutFocusSourceFailsButKeepsTheNormalImages) {
    XmlElementOperator parent = root();
    ButtonElementBuilder button("b", presentation(), fileCreator(red_), nullptr);
    EXPECT_FALSE(button.addTo(parent));
    XmlElementOperator written = element(button.xPath());
    EXPECT_FALSE(written.getAttribute("imageNormal").empty());
    EXPECT_FALSE(written.getAttribute("imageAction").empty());
    EXPECT_EQ(written.getAttribute("imageFocus"), "");
    EXPECT_EQ(tracks().size(), 1u);
}

TEST_F(ImageBuilders, ButtonWithAMissingPictureFailsWithoutThatAttribute) {
    XmlElementOperator parent = root();
    ButtonElementBuilder button("b", presentation(), fileCreator(pictures_.file("none.png")),
                                fileCreator(green_));
    EXPECT_FALSE(button.addTo(parent));
    XmlElementOperator written = element(button.xPath());
    EXPECT_EQ(written.getAttribute("imageNormal"), "");
    EXPECT_EQ(written.getAttribute("imageAction"), "");
    EXPECT_FALSE(written.getAttribute("imageFocus").empty());
}

// One creator for both states makes two tracks and is destroyed once (the sanitizer build
// reports a double delete or a leak).
TEST_F(ImageBuilders, SharedCreatorMakesTwoTracksAndIsDestroyedOnce) {
    XmlElementOperator parent = root();
    ImageTrackCreator* shared = fileCreator(red_);
    {
        ButtonElementBuilder button("b", presentation(), shared, shared);
        ASSERT_TRUE(button.addTo(parent));
        XmlElementOperator written = element(button.xPath());
        EXPECT_NE(written.getAttribute("imageNormal"), written.getAttribute("imageFocus"));
    }
    ASSERT_EQ(tracks().size(), 2u);
    EXPECT_TRUE(allPixels(tracks()[1], {255, 0, 0, 255}));
}

TEST_F(ImageBuilders, ElementThatCannotBeAddedMakesNoTrack) {
    XmlElementOperator nowhere = element("/NS:root/NS:missing");
    ButtonElementBuilder button("b", presentation(), fileCreator(red_), fileCreator(green_));
    EXPECT_FALSE(button.addTo(nowhere));
    DecorationElementBuilder decoration("d", presentation(), fileCreator(red_));
    EXPECT_FALSE(decoration.addTo(nowhere));
    EXPECT_TRUE(tracks().empty());
    EXPECT_EQ(merrowtest::body(*doc_), "");
}

TEST_F(ImageBuilders, PathWinsOverCreator) {
    XmlElementOperator parent = root();
    DecorationElementBuilder decoration("d", presentation(), fileCreator(red_));
    decoration.setImagePath(green_);
    ASSERT_TRUE(decoration.addTo(parent));
    ASSERT_EQ(tracks().size(), 1u);
    EXPECT_TRUE(allPixels(tracks()[0], {0, 255, 0, 255}));

    ButtonElementBuilder button("b", presentation(), fileCreator(red_), fileCreator(red_));
    button.setNormalImagePath(green_.c_str());
    button.setFocusImagePath(green_.c_str());
    button.setActionImagePath(red_.c_str());
    ASSERT_TRUE(button.addTo(parent));
    ASSERT_EQ(tracks().size(), 3u);
    EXPECT_TRUE(allPixels(tracks()[1], {0, 255, 0, 255}));
    EXPECT_TRUE(allPixels(tracks()[2], {0, 255, 0, 255}));
}

TEST_F(ImageBuilders, DecorationWithoutSourceKeepsGeometryAndFails) {
    XmlElementOperator parent = root();
    DecorationElementBuilder decoration("d", presentation());
    decoration.setWidth(8);
    EXPECT_FALSE(decoration.addTo(parent));
    EXPECT_EQ(merrowtest::body(*doc_),
              "<decoration id=\"d\" x=\"0\" y=\"0\" width=\"8\" height=\"0\"/>");
    EXPECT_TRUE(tracks().empty());
}

TEST_F(ImageBuilders, SecondAddToMakesASecondElementAndNewTracks) {
    XmlElementOperator parent = root();
    DecorationElementBuilder decoration("", presentation(), fileCreator(red_));
    ASSERT_TRUE(decoration.addTo(parent));
    ASSERT_TRUE(decoration.addTo(parent));
    ASSERT_EQ(tracks().size(), 2u);
    const std::string text = merrowtest::body(*doc_);
    EXPECT_EQ(text.find("<decoration"), 0u);
    EXPECT_NE(text.find("<decoration", 1), std::string::npos);
}

TEST_F(ImageBuilders, WithoutPresentationTheIdIsWrittenAndTheTrackFreed) {
    XmlElementOperator parent = root();
    DecorationElementBuilder decoration("d", nullptr, fileCreator(red_));
    EXPECT_TRUE(decoration.addTo(parent));
    EXPECT_FALSE(element(decoration.xPath()).getAttribute("image").empty());
    EXPECT_TRUE(tracks().empty());
}

}  // namespace
