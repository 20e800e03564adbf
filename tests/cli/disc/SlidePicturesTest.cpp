// The slideshow's photos on the disc: which files slideshow.xml names, and each photo fitted
// into the stage with black bars. The disc's slides as the player shows them are tested in
// libbluray's player (tests/disc/test_disc.py).

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/disc/SlidePictures.h"
#include "host/pictures/PictureFile.h"
#include "host/pictures/PngWriter.h"
#include "support/CliTestSupport.h"

namespace {

namespace fs = std::filesystem;
using merrowcli::disc::fittedSlide;
using merrowcli::disc::readSlideshow;
using merrowcli::disc::Slideshow;
using merrowcli::disc::writeSlides;

std::vector<uint8_t> filled(int width, int height, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    std::vector<uint8_t> rgba;
    for (int i = 0; i < width * height; ++i) rgba.insert(rgba.end(), {r, g, b, a});
    return rgba;
}

std::vector<uint8_t> pixelAt(const std::vector<uint8_t>& rgb, int width, int x, int y) {
    const size_t at = (static_cast<size_t>(y) * width + x) * 3;
    return {rgb[at], rgb[at + 1], rgb[at + 2]};
}

TEST(SlidePictures, APhotoIsFittedWithBlackBarsAtItsShape) {
    // A portrait photo (1:2) fills the height: 540 wide, 690 black columns on each side.
    const std::vector<uint8_t> tall =
        fittedSlide(filled(100, 200, 200, 100, 50, 255), 100, 200, 1920, 1080);
    ASSERT_EQ(tall.size(), 1920u * 1080 * 3);
    const std::vector<uint8_t> black{0, 0, 0};
    const std::vector<uint8_t> colour{200, 100, 50};
    EXPECT_EQ(pixelAt(tall, 1920, 689, 540), black);
    EXPECT_EQ(pixelAt(tall, 1920, 690, 0), colour);
    EXPECT_EQ(pixelAt(tall, 1920, 1229, 1079), colour);
    EXPECT_EQ(pixelAt(tall, 1920, 1230, 540), black);
    // A wide one (4:1) fills the width: 480 high, 300 black rows above and below.
    const std::vector<uint8_t> wide =
        fittedSlide(filled(400, 100, 10, 20, 30, 255), 400, 100, 1920, 1080);
    EXPECT_EQ(pixelAt(wide, 1920, 960, 299), black);
    EXPECT_EQ(pixelAt(wide, 1920, 0, 300), (std::vector<uint8_t>{10, 20, 30}));
    EXPECT_EQ(pixelAt(wide, 1920, 1919, 779), (std::vector<uint8_t>{10, 20, 30}));
    EXPECT_EQ(pixelAt(wide, 1920, 960, 780), black);
    // Transparency shows black: half alpha halves the colour.
    const std::vector<uint8_t> half =
        fittedSlide(filled(16, 9, 200, 100, 50, 128), 16, 9, 1920, 1080);
    EXPECT_EQ(pixelAt(half, 1920, 960, 540), (std::vector<uint8_t>{100, 50, 25}));
}

TEST(SlidePictures, TheSlideshowNamesItsPhotosInTheMediaFolderPercentDecoded) {
    clitest::TemporaryFolder folder;
    const fs::path project = folder.path() / "project";
    fs::create_directories(project);
    Slideshow slideshow;
    std::string error;
    // No slideshow.xml: no photos, no error.
    ASSERT_TRUE(readSlideshow(project, &slideshow, &error)) << error;
    EXPECT_TRUE(slideshow.photos.empty());

    clitest::writeFile(project / "slideshow.xml",
                       "<slideshow secondsPerPhoto=\"5\" photos=\"2\">"
                       "<photo frame=\"0\" file=\"2023/caf%E9 100%25.jpg\" orientation=\"6\"/>"
                       "<photo frame=\"1\" file=\"b.jpg\" orientation=\"1\"/></slideshow>");
    ASSERT_TRUE(readSlideshow(project, &slideshow, &error)) << error;
    EXPECT_EQ(slideshow.secondsPerPhoto, 5);
    ASSERT_EQ(slideshow.photos.size(), 2u);
    // Without a recorded media folder, the paths are the project folder's.
    EXPECT_EQ(slideshow.photos[0].file, project / "2023" / "caf\xE9 100%.jpg");
    EXPECT_EQ(slideshow.photos[0].orientation, 6);
    EXPECT_EQ(slideshow.photos[1].file, project / "b.jpg");

    clitest::writeFile(project / "project.xml",
                       "<project media=\"../media%25\" discFormat=\"10\" "
                       "rootMenuTitle=\"true\" background=\"true\" backgroundImage=\"\" "
                       "mediaKind=\"2\" defaultMediaValue=\"0\">"
                       "<presentation file=\"presentation.xml\"/></project>");
    ASSERT_TRUE(readSlideshow(project, &slideshow, &error)) << error;
    EXPECT_EQ(slideshow.photos[1].file, project / "../media%" / "b.jpg");

    clitest::writeFile(project / "slideshow.xml", "<slideshow><photo file=\"a.jpg\"></slideshow>");
    EXPECT_FALSE(readSlideshow(project, &slideshow, &error));
    EXPECT_NE(error.find("slideshow.xml:1"), std::string::npos) << error;
}

// Every photo becomes NNNNN.jpg at the stage's size, in the slideshow's order; one that cannot
// be read keeps its number as a black slide; the same photos give the same bytes.
TEST(SlidePictures, SlidesAreNumberedStageSizedAndTheSameEveryTime) {
    clitest::TemporaryFolder folder;
    merrowhost::PngPicture png;
    png.width = 30;
    png.height = 40;
    png.colourType = merrowhost::PngPicture::ColourType::Rgb;
    for (int i = 0; i < 30 * 40; ++i) png.rows.insert(png.rows.end(), {250, 250, 250});
    std::string error;
    ASSERT_TRUE(merrowhost::writePng((folder.path() / "white.png").string(), png, &error)) << error;
    Slideshow slideshow;
    // Orientation 6 turns the 30 x 40 photo to 40 x 30: 1440 x 1080 with bars of 240.
    slideshow.photos = {{folder.path() / "white.png", 6}, {folder.path() / "missing.jpg", 1}};
    ASSERT_TRUE(writeSlides(slideshow, folder.path() / "a", &error)) << error;
    ASSERT_TRUE(writeSlides(slideshow, folder.path() / "b", &error)) << error;
    for (const char* name : {"00000.jpg", "00001.jpg"}) {
        EXPECT_EQ(clitest::readFile(folder.path() / "a" / name),
                  clitest::readFile(folder.path() / "b" / name))
            << name;
    }
    merrowhost::RgbaPicture slide;
    ASSERT_TRUE(merrowhost::readRgbaPicture((folder.path() / "a" / "00000.jpg").string(), true, {},
                                            &slide, &error))
        << error;
    ASSERT_EQ(slide.width, 1920);
    ASSERT_EQ(slide.height, 1080);
    auto level = [&](int x, int y) { return slide.rgba[(static_cast<size_t>(y) * 1920 + x) * 4]; };
    EXPECT_LT(level(200, 540), 8);
    EXPECT_GT(level(280, 540), 240);
    EXPECT_GT(level(1640, 540), 240);
    EXPECT_LT(level(1720, 540), 8);
    merrowhost::RgbaPicture black;
    ASSERT_TRUE(merrowhost::readRgbaPicture((folder.path() / "a" / "00001.jpg").string(), true, {},
                                            &black, &error))
        << error;
    EXPECT_LT(black.rgba[(540 * 1920 + 960) * 4], 8);
}

}  // namespace
