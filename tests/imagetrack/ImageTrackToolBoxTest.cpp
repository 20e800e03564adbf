// Image tracks from files, buffers and rendered bitmaps, the fallback picture, and the
// registration of a track with the presentation object.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "ImageTrackTestSupport.h"
#include "document/CreatorSetToolBox.h"
#include "host/objects/GlobalApi.h"
#include "host/pictures/DibImage.h"
#include "host/title/PresentationObject.h"
#include "imagetrack/ImageTrackCreator.h"

namespace {

using imagetracktest::asTrack;
using imagetracktest::isFallbackPicture;
using imagetracktest::kCalendarFolder;
using imagetracktest::ObjectPtr;
using imagetracktest::pixelAt;
using imagetracktest::Rgba;
using merrowhost::ImageTrackObject;
using merrowhost::PresentationObject;

const std::string kNumbers = kCalendarFolder + "Numbers_S1.png";
const std::string kBackground = kCalendarFolder + "Background.jpg";

ObjectPtr loadFile(const std::string& path, SAVEDATA* record = nullptr) {
    CzfServiceObject* made = nullptr;
    const bool ok = CreatorSetToolBox::createImageTrack(&made, path.c_str(), record, nullptr);
    EXPECT_EQ(ok, made != nullptr) << path;
    return ObjectPtr(made);
}

bool samePixel(Rgba a, Rgba b) {
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

TEST(ImageTrackFromFile, PngKeepsItsAlphaPlane) {
    const ObjectPtr track = loadFile(kNumbers);
    const ImageTrackObject* object = asTrack(track.get());
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->mode(), ImageTrackObject::kModeBuffers);
    EXPECT_EQ(object->width(), 200);
    EXPECT_EQ(object->height(), 28);
    EXPECT_EQ(object->sizeReserved(), 0);
    EXPECT_EQ(object->option(), 1);
    EXPECT_EQ(object->optionReserved(), 0);
    EXPECT_EQ(object->imageDataReserved(), 0);
    EXPECT_NE(object->secondBuffer(), nullptr);
    // A stroke of the digit 0 is white and opaque, the ground around it transparent.
    EXPECT_TRUE(samePixel(pixelAt(track.get(), 5, 3), Rgba{255, 255, 255, 255}));
    EXPECT_EQ(pixelAt(track.get(), 0, 0).a, 0);
    EXPECT_EQ(pixelAt(track.get(), 10, 10).a, 0);
    // The digit 1 has no top stroke; the digit 2 has one.
    EXPECT_EQ(pixelAt(track.get(), 25, 3).a, 0);
    EXPECT_EQ(pixelAt(track.get(), 45, 3).a, 255);
}

TEST(ImageTrackFromFile, JpegHasNoAlphaBuffer) {
    const ObjectPtr track = loadFile(kBackground);
    const ImageTrackObject* object = asTrack(track.get());
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->width(), 64);
    EXPECT_EQ(object->height(), 36);
    EXPECT_EQ(object->secondBuffer(), nullptr);
    const Rgba corner = pixelAt(track.get(), 0, 0);
    EXPECT_EQ(corner.a, 255);
    // The generator drew R 32, G 48, B 160 there; JPEG keeps it close.
    EXPECT_NEAR(corner.r, 32, 12);
    EXPECT_NEAR(corner.g, 48, 12);
    EXPECT_NEAR(corner.b, 160, 12);
}

TEST(ImageTrackFromFile, OddWidthPicturesKeepEveryPixel) {
    // Rows of 5 pixels are padded in the buffers; every pixel must still land in its place.
    imagetracktest::TempFolder folder;
    constexpr int kWidth = 5;
    constexpr int kHeight = 3;
    std::vector<uint8_t> pixels(kWidth * kHeight * 4);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(17 * i + 3);
    const std::string path = folder.file("odd.png");
    ASSERT_TRUE(merrowhost::writeRgbaPng(path, kWidth, kHeight, pixels.data(), nullptr));

    const ObjectPtr track = loadFile(path);
    ASSERT_NE(asTrack(track.get()), nullptr);
    EXPECT_EQ(asTrack(track.get())->rgba(), pixels);
}

TEST(ImageTrackFromFile, UnreadableFilesMakeNothing) {
    imagetracktest::TempFolder folder;
    const std::string corrupt = folder.file("corrupt.png");
    {
        std::ofstream out(corrupt, std::ios::binary);
        out << "\x89PNG\r\n\x1a\n" << std::string(64, '\x42');
    }
    const std::string truncated = folder.file("truncated.png");
    {
        std::ifstream in(kNumbers, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), {});
        std::ofstream out(truncated, std::ios::binary);
        out << bytes.substr(0, bytes.size() / 2);
    }
    for (const std::string& path :
         {folder.file("missing.png"), corrupt, truncated, folder.path()}) {
        CzfServiceObject* made = nullptr;
        EXPECT_FALSE(CreatorSetToolBox::createImageTrack(&made, path.c_str(), nullptr, nullptr))
            << path;
        EXPECT_EQ(made, nullptr);
    }
    CzfServiceObject* made = nullptr;
    EXPECT_FALSE(CreatorSetToolBox::createImageTrack(&made, static_cast<const char*>(nullptr),
                                                     nullptr, nullptr));
    EXPECT_FALSE(CreatorSetToolBox::createImageTrack(nullptr, kNumbers.c_str(), nullptr, nullptr));
}

TEST(ImageTrackFallback, RedBytesAndAlphaFiftyAtHundredSquare) {
    CzfServiceObject* made = nullptr;
    ASSERT_TRUE(CreatorSetToolBox::createFailImageTrack(&made, nullptr, nullptr));
    const ObjectPtr track(made);
    const ImageTrackObject* object = asTrack(made);
    ASSERT_NE(object, nullptr);
    EXPECT_TRUE(isFallbackPicture(made));
    // In buffer order every colour pixel is 255, 0, 0 (rows of 300 bytes need no padding).
    const uint8_t* colour = object->firstBuffer();
    const uint8_t* alpha = object->secondBuffer();
    ASSERT_NE(colour, nullptr);
    ASSERT_NE(alpha, nullptr);
    for (int i = 0; i < 100 * 100; ++i) {
        ASSERT_EQ(colour[3 * i], 255) << i;
        ASSERT_EQ(colour[3 * i + 1], 0) << i;
        ASSERT_EQ(colour[3 * i + 2], 0) << i;
        ASSERT_EQ(alpha[i], 50) << i;
    }
    EXPECT_FALSE(CreatorSetToolBox::createFailImageTrack(nullptr, nullptr, nullptr));
}

// A bottom-up 3 x 2 bitmap with a mask; pixel (x, y) has R = 10 * x + y, G = 100, B = 200 and
// alpha 60 + x.
void paintBitmaps(BITMAPINFOHEADER* image, BITMAPINFOHEADER* mask) {
    for (int y = 0; y < 2; ++y) {
        uint8_t* row = merrowhost::dibRowFromTop(image, y);
        uint8_t* alpha = merrowhost::dibRowFromTop(mask, y);
        for (int x = 0; x < 3; ++x) {
            row[4 * x] = 200;
            row[4 * x + 1] = 100;
            row[4 * x + 2] = static_cast<uint8_t>(10 * x + y);
            row[4 * x + 3] = 255;
            alpha[x] = static_cast<uint8_t>(60 + x);
        }
    }
}

TEST(ImageTrackFromBitmaps, BitmapsAndTheirSizeGoToTheTrack) {
    BITMAPINFOHEADER* image = merrowhost::makeDib32(3, 2);
    BITMAPINFOHEADER* mask = merrowhost::makeMaskDib8(3, 2);
    paintBitmaps(image, mask);
    CzfServiceObject* made = nullptr;
    ASSERT_TRUE(CreatorSetToolBox::createImageTrack(&made, image, mask, nullptr, nullptr));
    const ObjectPtr track(made);  // owns the bitmaps now
    const ImageTrackObject* object = asTrack(made);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->mode(), ImageTrackObject::kModeBitmaps);
    EXPECT_EQ(reinterpret_cast<const void*>(object->firstBuffer()), image);
    EXPECT_EQ(reinterpret_cast<const void*>(object->secondBuffer()), mask);
    EXPECT_EQ(object->width(), 3);
    EXPECT_EQ(object->height(), 2);
    EXPECT_TRUE(samePixel(pixelAt(made, 2, 1), Rgba{21, 100, 200, 62}));
    EXPECT_TRUE(samePixel(pixelAt(made, 0, 0), Rgba{0, 100, 200, 60}));
}

TEST(ImageTrackFromBitmaps, TopDownBitmapsCountTheirRows) {
    BITMAPINFOHEADER* image = merrowhost::makeDib32(3, 2);
    image->biHeight = -2;  // the same rows, read top-down
    CzfServiceObject* made = nullptr;
    ASSERT_TRUE(CreatorSetToolBox::createImageTrack(&made, image, nullptr, nullptr, nullptr));
    const ObjectPtr track(made);
    EXPECT_EQ(asTrack(made)->width(), 3);
    EXPECT_EQ(asTrack(made)->height(), 2);
    EXPECT_EQ(asTrack(made)->secondBuffer(), nullptr);
}

TEST(ImageTrackFactoryFailure, NoFormMakesAnything) {
    merrowhost::ScopedClassDisabled disabled(merrowhost::kClassImageTrack);
    CzfServiceObject* made = nullptr;
    EXPECT_FALSE(CreatorSetToolBox::createImageTrack(&made, kNumbers.c_str(), nullptr, nullptr));
    EXPECT_FALSE(CreatorSetToolBox::createFailImageTrack(&made, nullptr, nullptr));

    // The bitmaps stay the caller's when no track takes them.
    merrowhost::DibHolder image(merrowhost::makeDib32(3, 2));
    merrowhost::DibHolder mask(merrowhost::makeMaskDib8(3, 2));
    EXPECT_FALSE(
        CreatorSetToolBox::createImageTrack(&made, image.get(), mask.get(), nullptr, nullptr));
    EXPECT_EQ(made, nullptr);
}

// A presentation object from the host's factory, freed (with its tracks) at the end.
class ImageTrackRegistration : public ::testing::Test {
protected:
    void SetUp() override {
        object_.reset(CzfObjectFactory::zfCreateObject(&merrowhost::kClassPresentation, nullptr));
        presentation_ = dynamic_cast<PresentationObject*>(object_.get());
        ASSERT_NE(presentation_, nullptr);
    }

    static std::string idOf(CzfServiceObject* object) {
        char buffer[CzfGlobalAPI2::kObjectIdBufferSize] = {};
        EXPECT_TRUE(CzfGlobalAPI2::zfGetObjectIDString(object, true, buffer, nullptr));
        return buffer;
    }

    ObjectPtr object_;
    PresentationObject* presentation_ = nullptr;
};

TEST_F(ImageTrackRegistration, TrackIsRegisteredWithTheProjectRecord) {
    SAVEDATA record{};
    std::strcpy(record.projectName, "Calendar");
    record.revision = 3;
    presentation_->settings().setRecord(&record);

    ImageTrackCreator creator(kNumbers.c_str());
    CzfServiceObject* track = nullptr;
    const std::string id =
        CreatorSetToolBox::addImageTrackToApplication(object_.get(), &track, creator);
    ASSERT_FALSE(id.empty());
    ASSERT_EQ(presentation_->tracks().size(), 1u);
    EXPECT_EQ(presentation_->tracks()[0], track);
    EXPECT_EQ(id, idOf(track));
    ASSERT_NE(asTrack(track)->record(), nullptr);
    EXPECT_STREQ(asTrack(track)->record()->projectName, "Calendar");
    EXPECT_EQ(asTrack(track)->record()->revision, 3u);

    // A second picture is a second track with its own identifier; out may be left out.
    const std::string second =
        CreatorSetToolBox::addImageTrackToApplication(object_.get(), nullptr, creator);
    ASSERT_EQ(presentation_->tracks().size(), 2u);
    EXPECT_EQ(second, idOf(presentation_->tracks()[1]));
    EXPECT_NE(second, id);
}

TEST_F(ImageTrackRegistration, RenderingFailureRegistersTheFallbackPicture) {
    ImageTrackCreator creator(nullptr, "Nowhere", "", ImageTrackCreator::ImageMergerNormal);
    CzfServiceObject* track = nullptr;
    const std::string id =
        CreatorSetToolBox::addImageTrackToApplication(object_.get(), &track, creator);
    EXPECT_FALSE(id.empty());
    ASSERT_EQ(presentation_->tracks().size(), 1u);
    EXPECT_TRUE(isFallbackPicture(track));
}

TEST_F(ImageTrackRegistration, FailuresGiveAnEmptyIdentifierAndNoTrack) {
    CzfServiceObject* track = nullptr;
    ImageTrackCreator missing((kCalendarFolder + "NoSuchPicture.png").c_str());
    EXPECT_EQ(CreatorSetToolBox::addImageTrackToApplication(object_.get(), &track, missing), "");
    ImageTrackCreator nothing("");
    EXPECT_EQ(CreatorSetToolBox::addImageTrackToApplication(object_.get(), &track, nothing), "");
    {
        merrowhost::ScopedClassDisabled disabled(merrowhost::kClassImageTrack);
        ImageTrackCreator file(kNumbers.c_str());
        EXPECT_EQ(CreatorSetToolBox::addImageTrackToApplication(object_.get(), &track, file), "");
        ImageTrackCreator fallback(nullptr, "Nowhere", "", ImageTrackCreator::ImageMergerFocus);
        EXPECT_EQ(CreatorSetToolBox::addImageTrackToApplication(object_.get(), &track, fallback),
                  "");
    }
    EXPECT_EQ(track, nullptr);
    EXPECT_TRUE(presentation_->tracks().empty());
}

TEST_F(ImageTrackRegistration, WithoutPresentationTheTrackIsFreedButNamed) {
    ImageTrackCreator creator(kNumbers.c_str());
    CzfServiceObject* track = &*object_;  // must be cleared
    const std::string first =
        CreatorSetToolBox::addImageTrackToApplication(nullptr, &track, creator);
    EXPECT_EQ(track, nullptr);
    EXPECT_EQ(first.rfind("track_", 0), 0u) << first;
    const std::string second =
        CreatorSetToolBox::addImageTrackToApplication(nullptr, nullptr, creator);
    EXPECT_EQ(second.rfind("track_", 0), 0u) << second;
    EXPECT_NE(first, second);
    EXPECT_TRUE(presentation_->tracks().empty());
}

TEST_F(ImageTrackRegistration, PresentationWithoutTrackCollectionFreesTheTrack) {
    presentation_->withoutInterface(merrowhost::kIidTrackCollectionAccess);
    ImageTrackCreator creator(kNumbers.c_str());
    CzfServiceObject* track = &*object_;
    const std::string id =
        CreatorSetToolBox::addImageTrackToApplication(object_.get(), &track, creator);
    EXPECT_EQ(id.rfind("track_", 0), 0u) << id;
    EXPECT_EQ(track, nullptr);
    EXPECT_TRUE(presentation_->tracks().empty());
}

}  // namespace
