// CDVDBuf: loading PNG and JPEG files into 24-bit buffers with an optional alpha plane,
// refusing oversized, damaged and foreign files, and the plain buffer operations.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "host/framework/ProjectFolder.h"
#include "host/pictures/DibImage.h"
#include "host/pictures/DvdBuf.h"
#include "host/pictures/JpegWriter.h"
#include "host/pictures/PixelBudget.h"
#include "host/pictures/PngWriter.h"
#include "support/ImageTestFiles.h"

namespace {

using imagetest::TempFolder;
using merrowhost::PngPicture;

// Owns an alpha plane handed out by Create.
using AlphaPlane = std::unique_ptr<uint8_t[]>;

struct Bgr {
    int b, g, r;
    bool operator==(const Bgr&) const = default;
};

Bgr pixelAt(const CDVDBuf& buffer, int x, int y) {
    int width = 0;
    buffer.GetWHU(&width, nullptr, nullptr);
    const uint8_t* p = buffer.GetBuffer() + y * CDVDBuf::Stride(24, width) + 3 * x;
    return {p[0], p[1], p[2]};
}

uint8_t alphaAt(const uint8_t* alpha, int width, int x, int y) {
    return alpha[y * CDVDBuf::Stride(8, width) + x];
}

// A width x height picture whose pixel (x, y) is R = 10x + y, G = 200 - x, B = 7y, A = 255 - 9x.
std::vector<uint8_t> patternRgba(int width, int height) {
    std::vector<uint8_t> rgba;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            rgba.insert(rgba.end(),
                        {static_cast<uint8_t>(10 * x + y), static_cast<uint8_t>(200 - x),
                         static_cast<uint8_t>(7 * y), static_cast<uint8_t>(255 - 9 * x)});
        }
    }
    return rgba;
}

class DvdBufFiles : public ::testing::Test {
protected:
    std::string writeRgba(const std::string& name, int width, int height) {
        const std::string path = folder_.file(name);
        const std::vector<uint8_t> rgba = patternRgba(width, height);
        std::string error;
        EXPECT_TRUE(merrowhost::writeRgbaPng(path, width, height, rgba.data(), &error)) << error;
        return path;
    }

    std::string writePng(const std::string& name, const PngPicture& picture) {
        const std::string path = folder_.file(name);
        std::string error;
        EXPECT_TRUE(merrowhost::writePng(path, picture, &error)) << error;
        return path;
    }

    std::string writeJpeg(const std::string& name, int width, int height, int components,
                          const std::vector<uint8_t>& pixels, int quality = 95) {
        const std::string path = folder_.file(name);
        std::string error;
        EXPECT_TRUE(
            merrowhost::writeJpeg(path, width, height, components, pixels.data(), quality, &error))
            << error;
        return path;
    }

    // Expects Create to refuse the file, leave *alpha null and say why.
    void expectRefused(const std::string& path, const std::string& reasonPart = "") {
        CDVDBuf buffer;
        uint8_t* alpha = reinterpret_cast<uint8_t*>(&buffer);  // must be overwritten
        EXPECT_FALSE(buffer.Create(path.c_str(), nullptr, &alpha)) << path;
        EXPECT_EQ(alpha, nullptr);
        EXPECT_EQ(buffer.GetBuffer(), nullptr);
        EXPECT_FALSE(buffer.lastError().empty());
        if (!reasonPart.empty()) {
            EXPECT_NE(buffer.lastError().find(reasonPart), std::string::npos) << buffer.lastError();
        }
    }

    TempFolder folder_;
};

TEST_F(DvdBufFiles, ReadsRgbaPngAsPaddedBgrRowsWithAlphaPlane) {
    const std::string path = writeRgba("pattern.png", 5, 3);
    CDVDBuf buffer;
    uint8_t* alpha = nullptr;
    ASSERT_TRUE(buffer.Create(path.c_str(), nullptr, &alpha)) << buffer.lastError();
    AlphaPlane owned(alpha);
    int width = 0, height = 0, bits = 0;
    buffer.GetWHU(&width, &height, &bits);
    EXPECT_EQ(width, 5);
    EXPECT_EQ(height, 3);
    EXPECT_EQ(bits, 24);
    ASSERT_NE(alpha, nullptr);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(pixelAt(buffer, x, y), (Bgr{7 * y, 200 - x, 10 * x + y})) << x << "," << y;
            EXPECT_EQ(alphaAt(alpha, 5, x, y), 255 - 9 * x);
        }
        // The row padding (15 bytes of pixels in a 16-byte row) is zero.
        EXPECT_EQ(buffer.GetBuffer()[y * 16 + 15], 0);
    }
}

TEST_F(DvdBufFiles, DropsAlphaWhenNoPlaneIsAsked) {
    const std::string path = writeRgba("pattern.png", 4, 2);
    CDVDBuf buffer;
    ASSERT_TRUE(buffer.Create(path.c_str(), nullptr, nullptr));
    EXPECT_EQ(pixelAt(buffer, 3, 1), (Bgr{7, 197, 31}));
}

TEST_F(DvdBufFiles, OpaqueColourPngHasNoAlphaPlane) {
    PngPicture picture;
    picture.width = 2;
    picture.height = 1;
    picture.colourType = PngPicture::ColourType::Rgb;
    picture.rows = {1, 2, 3, 250, 251, 252};
    const std::string path = writePng("rgb.png", picture);
    CDVDBuf buffer;
    uint8_t* alpha = reinterpret_cast<uint8_t*>(&buffer);
    ASSERT_TRUE(buffer.Create(path.c_str(), nullptr, &alpha));
    EXPECT_EQ(alpha, nullptr);
    EXPECT_EQ(pixelAt(buffer, 0, 0), (Bgr{3, 2, 1}));
    EXPECT_EQ(pixelAt(buffer, 1, 0), (Bgr{252, 251, 250}));
}

TEST_F(DvdBufFiles, ExpandsGreyPngsOfEveryDepth) {
    PngPicture grey8;
    grey8.width = 3;
    grey8.height = 1;
    grey8.colourType = PngPicture::ColourType::Grey;
    grey8.rows = {0, 77, 255};
    CDVDBuf eight;
    ASSERT_TRUE(eight.Create(writePng("grey8.png", grey8).c_str(), nullptr, nullptr));
    EXPECT_EQ(pixelAt(eight, 1, 0), (Bgr{77, 77, 77}));
    EXPECT_EQ(pixelAt(eight, 2, 0), (Bgr{255, 255, 255}));

    // 2-bit samples 0, 1, 2, 3 packed in one byte spread to 0, 85, 170, 255.
    PngPicture grey2 = grey8;
    grey2.width = 4;
    grey2.bitDepth = 2;
    grey2.rows = {0b00011011};
    CDVDBuf two;
    ASSERT_TRUE(two.Create(writePng("grey2.png", grey2).c_str(), nullptr, nullptr));
    EXPECT_EQ(pixelAt(two, 0, 0), (Bgr{0, 0, 0}));
    EXPECT_EQ(pixelAt(two, 1, 0), (Bgr{85, 85, 85}));
    EXPECT_EQ(pixelAt(two, 2, 0), (Bgr{170, 170, 170}));
    EXPECT_EQ(pixelAt(two, 3, 0), (Bgr{255, 255, 255}));

    // Grey with alpha keeps its alpha.
    PngPicture greyAlpha = grey8;
    greyAlpha.width = 1;
    greyAlpha.colourType = PngPicture::ColourType::GreyAlpha;
    greyAlpha.rows = {40, 90};
    CDVDBuf withAlpha;
    uint8_t* alpha = nullptr;
    ASSERT_TRUE(withAlpha.Create(writePng("greya.png", greyAlpha).c_str(), nullptr, &alpha));
    AlphaPlane owned(alpha);
    ASSERT_NE(alpha, nullptr);
    EXPECT_EQ(pixelAt(withAlpha, 0, 0), (Bgr{40, 40, 40}));
    EXPECT_EQ(alpha[0], 90);
}

TEST_F(DvdBufFiles, PalettePngTransparencyBecomesAlphaPlane) {
    PngPicture picture;
    picture.width = 3;
    picture.height = 2;
    picture.colourType = PngPicture::ColourType::Palette;
    picture.bitDepth = 4;
    picture.palette = {{255, 0, 0, 255}, {0, 128, 0, 0}, {1, 2, 3, 100}};
    // Indices: row 0 = 0, 1, 2; row 1 = 2, 2, 0 (two 4-bit samples a byte, high half first).
    picture.rows = {0x01, 0x20, 0x22, 0x00};
    const std::string path = writePng("palette.png", picture);

    CDVDBuf buffer;
    uint8_t* alpha = nullptr;
    ASSERT_TRUE(buffer.Create(path.c_str(), nullptr, &alpha)) << buffer.lastError();
    AlphaPlane owned(alpha);
    ASSERT_NE(alpha, nullptr);
    EXPECT_EQ(pixelAt(buffer, 0, 0), (Bgr{0, 0, 255}));
    EXPECT_EQ(pixelAt(buffer, 1, 0), (Bgr{0, 128, 0}));
    EXPECT_EQ(pixelAt(buffer, 2, 0), (Bgr{3, 2, 1}));
    EXPECT_EQ(pixelAt(buffer, 0, 1), (Bgr{3, 2, 1}));
    EXPECT_EQ(alphaAt(alpha, 3, 0, 0), 255);
    EXPECT_EQ(alphaAt(alpha, 3, 1, 0), 0);
    EXPECT_EQ(alphaAt(alpha, 3, 2, 0), 100);
    EXPECT_EQ(alphaAt(alpha, 3, 2, 1), 0xff);

    // The same file without a wanted plane loads its colours only.
    CDVDBuf colourOnly;
    ASSERT_TRUE(colourOnly.Create(path.c_str(), nullptr, nullptr));
    EXPECT_EQ(pixelAt(colourOnly, 2, 0), (Bgr{3, 2, 1}));
}

TEST_F(DvdBufFiles, ReadsSixteenBitInterlacedPng) {
    // 16-bit samples v * 257 scale back to exactly v.
    const int width = 9, height = 7;
    PngPicture picture;
    picture.width = width;
    picture.height = height;
    picture.colourType = PngPicture::ColourType::Rgba;
    picture.bitDepth = 16;
    picture.interlaced = true;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (const int v : {20 * x + y, 5 * y, 255 - x, 128 + y}) {
                picture.rows.push_back(static_cast<uint8_t>(v));
                picture.rows.push_back(static_cast<uint8_t>(v));
            }
        }
    }
    const std::string path = writePng("deep.png", picture);
    CDVDBuf buffer;
    uint8_t* alpha = nullptr;
    ASSERT_TRUE(buffer.Create(path.c_str(), nullptr, &alpha)) << buffer.lastError();
    AlphaPlane owned(alpha);
    ASSERT_NE(alpha, nullptr);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            EXPECT_EQ(pixelAt(buffer, x, y), (Bgr{255 - x, 5 * y, 20 * x + y})) << x << "," << y;
            EXPECT_EQ(alphaAt(alpha, width, x, y), 128 + y);
        }
    }
}

TEST_F(DvdBufFiles, ReadsColourAndGreyJpeg) {
    // Flat areas survive JPEG compression within a few levels.
    const int width = 16, height = 16;
    std::vector<uint8_t> rgb;
    for (int i = 0; i < width * height; ++i) rgb.insert(rgb.end(), {200, 40, 90});
    CDVDBuf colour;
    uint8_t* alpha = reinterpret_cast<uint8_t*>(&colour);
    ASSERT_TRUE(
        colour.Create(writeJpeg("colour.jpg", width, height, 3, rgb).c_str(), nullptr, &alpha))
        << colour.lastError();
    EXPECT_EQ(alpha, nullptr);  // JPEG has no alpha
    int w = 0, h = 0;
    colour.GetWHU(&w, &h, nullptr);
    EXPECT_EQ(w, width);
    EXPECT_EQ(h, height);
    const Bgr centre = pixelAt(colour, 8, 8);
    EXPECT_NEAR(centre.b, 90, 4);
    EXPECT_NEAR(centre.g, 40, 4);
    EXPECT_NEAR(centre.r, 200, 4);

    const std::vector<uint8_t> grey(12 * 5, 150);
    CDVDBuf greyBuffer;
    ASSERT_TRUE(greyBuffer.Create(writeJpeg("grey.jpg", 12, 5, 1, grey).c_str(), nullptr, nullptr));
    const Bgr g = pixelAt(greyBuffer, 11, 4);
    EXPECT_EQ(g.b, g.g);
    EXPECT_EQ(g.g, g.r);
    EXPECT_NEAR(g.r, 150, 2);
}

TEST_F(DvdBufFiles, TellsTheFormatByContentNotName) {
    const std::string png = writeRgba("really-png.jpg", 2, 2);
    CDVDBuf fromPng;
    ASSERT_TRUE(fromPng.Create(png.c_str(), nullptr, nullptr)) << fromPng.lastError();
    EXPECT_EQ(pixelAt(fromPng, 1, 1), (Bgr{7, 199, 11}));

    const std::string jpeg = writeJpeg("really-jpeg.png", 8, 8, 1, std::vector<uint8_t>(64, 30));
    CDVDBuf fromJpeg;
    EXPECT_TRUE(fromJpeg.Create(jpeg.c_str(), nullptr, nullptr)) << fromJpeg.lastError();
}

TEST_F(DvdBufFiles, ResolvesRelativePathsAgainstTheProjectFolder) {
    writeRgba("relative.png", 3, 1);
    const std::string previous = merrowhost::baseFolder();
    merrowhost::setBaseFolder(folder_.path());
    CDVDBuf buffer;
    const bool loaded = buffer.Create("relative.png", nullptr, nullptr);
    merrowhost::setBaseFolder(previous);
    EXPECT_TRUE(loaded) << buffer.lastError();
}

TEST_F(DvdBufFiles, RefusesOversizedHeadersBeforeReservingMemory) {
    std::vector<uint8_t> png = imagetest::readBytes(writeRgba("small.png", 4, 4));
    imagetest::forgePngSize(png, 20000, 10);
    imagetest::writeBytes(folder_.file("wide.png"), png);
    expectRefused(folder_.file("wide.png"), "20000 x 10");

    imagetest::forgePngSize(png, 9000, 9000);
    imagetest::writeBytes(folder_.file("huge.png"), png);
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    expectRefused(folder_.file("huge.png"), "9000 x 9000");
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    // 9000 x 9000 pixels would take over 240 MB; the refusal must not come near that.
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024);  // kilobytes

    // A JPEG frame header claiming 20000 lines.
    std::vector<uint8_t> jpeg =
        imagetest::readBytes(writeJpeg("small.jpg", 8, 8, 3, std::vector<uint8_t>(8 * 8 * 3, 100)));
    size_t frame = 0;
    for (size_t i = 2; i + 8 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xff && jpeg[i + 1] == 0xc0) {
            frame = i;
            break;
        }
    }
    ASSERT_NE(frame, 0u);
    jpeg[frame + 5] = 20000 >> 8;  // height, high byte first
    jpeg[frame + 6] = 20000 & 0xff;
    imagetest::writeBytes(folder_.file("tall.jpg"), jpeg);
    expectRefused(folder_.file("tall.jpg"), "8 x 20000");
}

// A small file whose header claims a size within the per-picture limits, but more pixels than
// its compressed data could hold, is refused before pixel memory is reserved.
TEST_F(DvdBufFiles, RefusesHeadersClaimingMoreThanTheFileCanHold) {
    std::vector<uint8_t> png = imagetest::readBytes(writeRgba("small.png", 4, 4));
    imagetest::forgePngSize(png, 16000, 4000);
    png.resize(png.size() + 8000, 0);  // an 8 KB file
    imagetest::writeBytes(folder_.file("claims.png"), png);
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    expectRefused(folder_.file("claims.png"), "16000 x 4000 pixels, more than a file of");
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    // Decoding would reserve over 300 MB.
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024);  // kilobytes

    std::vector<uint8_t> jpeg =
        imagetest::readBytes(writeJpeg("small.jpg", 8, 8, 3, std::vector<uint8_t>(8 * 8 * 3, 100)));
    size_t frame = 0;
    for (size_t i = 2; i + 8 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xff && jpeg[i + 1] == 0xc0) {
            frame = i;
            break;
        }
    }
    ASSERT_NE(frame, 0u);
    jpeg[frame + 5] = 4000 >> 8;  // height, then width, high byte first
    jpeg[frame + 6] = 4000 & 0xff;
    jpeg[frame + 7] = 16000 >> 8;
    jpeg[frame + 8] = 16000 & 0xff;
    imagetest::writeBytes(folder_.file("claims.jpg"), jpeg);
    expectRefused(folder_.file("claims.jpg"), "16000 x 4000 pixels, more than a file of");
}

// Every decoded picture counts against the pixel budget of the request; past it, pictures are
// refused with a clear reason and the refusal is remembered.
TEST_F(DvdBufFiles, PicturesCountAgainstTheBudgetOfTheRequest) {
    const std::string path = writeRgba("pattern.png", 10, 10);
    // 10 x 10: colour rows of 32 bytes, alpha rows of 12, one work row of 40.
    const int64_t onePicture = 10 * 32 + 10 * 12 + 40;
    merrowhost::startPixelBudget(2 * onePicture);
    CDVDBuf first;
    uint8_t* alpha = nullptr;
    ASSERT_TRUE(first.Create(path.c_str(), nullptr, &alpha)) << first.lastError();
    AlphaPlane firstAlpha(alpha);
    EXPECT_EQ(merrowhost::pixelBytesCharged(), onePicture);
    CDVDBuf second;
    ASSERT_TRUE(second.Create(path.c_str(), nullptr, &alpha)) << second.lastError();
    AlphaPlane secondAlpha(alpha);
    EXPECT_FALSE(merrowhost::pixelBudgetExceeded());
    expectRefused(path, "more than " + std::to_string(2 * onePicture) + " bytes of pixels");
    EXPECT_TRUE(merrowhost::pixelBudgetExceeded());
    EXPECT_EQ(merrowhost::makeDib32(4, 4), nullptr);

    merrowhost::startPixelBudget();
    EXPECT_FALSE(merrowhost::pixelBudgetExceeded());
    EXPECT_EQ(merrowhost::pixelBudgetLimit(), int64_t{1} << 33);
    merrowhost::DibHolder dib(merrowhost::makeDib32(4, 4));
    EXPECT_NE(dib, nullptr);
    EXPECT_EQ(merrowhost::pixelBytesCharged(), 4 * 16);
}

TEST_F(DvdBufFiles, RefusesTruncatedAndCorruptFiles) {
    const int side = 48;
    const std::vector<uint8_t> rgba = imagetest::noise(side * side * 4, 7);
    std::string error;
    ASSERT_TRUE(
        merrowhost::writeRgbaPng(folder_.file("noise.png"), side, side, rgba.data(), &error));
    const std::vector<uint8_t> png = imagetest::readBytes(folder_.file("noise.png"));

    for (const size_t keep : {png.size() / 2, png.size() - 12, size_t{8}, size_t{30}}) {
        imagetest::writeBytes(folder_.file("cut.png"),
                              std::vector<uint8_t>(png.begin(), png.begin() + keep));
        expectRefused(folder_.file("cut.png"));
    }

    // A flipped byte inside the pixel data breaks the chunk checksum.
    std::vector<uint8_t> corrupt = png;
    const size_t data = imagetest::findPngChunk(corrupt, "IDAT");
    ASSERT_NE(data, 0u);
    corrupt[data + 8 + 40] ^= 0x5a;
    imagetest::writeBytes(folder_.file("corrupt.png"), corrupt);
    expectRefused(folder_.file("corrupt.png"));

    std::vector<uint8_t> rgb(side * side * 3);
    for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = rgba[i];
    const std::vector<uint8_t> jpeg =
        imagetest::readBytes(writeJpeg("noise.jpg", side, side, 3, rgb));
    for (const size_t keep : {jpeg.size() / 2, jpeg.size() - 2, size_t{3}, size_t{100}}) {
        imagetest::writeBytes(folder_.file("cut.jpg"),
                              std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + keep));
        expectRefused(folder_.file("cut.jpg"));
    }
}

TEST_F(DvdBufFiles, RefusesFilesThatAreNoPictures) {
    imagetest::writeBytes(folder_.file("notes.png"), {'h', 'e', 'l', 'l', 'o', '\n'});
    expectRefused(folder_.file("notes.png"), "not a PNG or JPEG");
    imagetest::writeBytes(folder_.file("empty.jpg"), {});
    expectRefused(folder_.file("empty.jpg"));
    expectRefused(folder_.file("absent.png"));
    expectRefused(folder_.path());

    CDVDBuf buffer;
    EXPECT_FALSE(buffer.Create(nullptr, nullptr, nullptr));
    EXPECT_FALSE(buffer.Create("", nullptr, nullptr));
    // A palette cannot be asked for.
    int palette[256] = {};
    const std::string path = writeRgba("fine.png", 1, 1);
    EXPECT_FALSE(buffer.Create(path.c_str(), palette, nullptr));
}

// A FIFO without a writer would block a reader for ever, and a device never ends: both are
// refused at once as not regular files. (The alarm ends the test should a read ever block.)
TEST_F(DvdBufFiles, RefusesFifosAndDevicesWithoutWaiting) {
    const std::string fifo = folder_.file("pipe.png");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    alarm(20);
    expectRefused(fifo, "not a regular file");
    expectRefused("/dev/zero", "not a regular file");
    alarm(0);
}

TEST_F(DvdBufFiles, FailedLoadKeepsTheBufferHeldBefore) {
    CDVDBuf buffer;
    ASSERT_TRUE(buffer.Create(writeRgba("first.png", 2, 2).c_str(), nullptr, nullptr));
    EXPECT_FALSE(buffer.Create(folder_.file("absent.png").c_str(), nullptr, nullptr));
    int width = 0;
    buffer.GetWHU(&width, nullptr, nullptr);
    EXPECT_EQ(width, 2);
    EXPECT_EQ(pixelAt(buffer, 1, 0), (Bgr{0, 199, 10}));
    // A later successful load replaces it (the sanitizer run checks the old one is freed).
    ASSERT_TRUE(buffer.Create(writeRgba("second.png", 3, 1).c_str(), nullptr, nullptr));
    buffer.GetWHU(&width, nullptr, nullptr);
    EXPECT_EQ(width, 3);
}

TEST(DvdBuf, AllocAndFillWriteEveryPixelButNoPadding) {
    CDVDBuf colour;
    ASSERT_TRUE(colour.Alloc(24, 5, 3));
    colour.Fill(255, 0, 0);
    int width = 0, height = 0, bits = 0;
    colour.GetWHU(&width, &height, &bits);
    EXPECT_EQ(width, 5);
    EXPECT_EQ(height, 3);
    EXPECT_EQ(bits, 24);
    const uint8_t* bytes = colour.GetBuffer();
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) EXPECT_EQ(pixelAt(colour, x, y), (Bgr{255, 0, 0}));
        EXPECT_EQ(bytes[y * 16 + 15], 0);
    }

    CDVDBuf alpha;
    ASSERT_TRUE(alpha.Alloc(8, 100, 100));
    alpha.Fill(50);
    EXPECT_EQ(alpha.GetBuffer()[0], 50);
    EXPECT_EQ(alpha.GetBuffer()[100 * 100 - 1], 50);

    CDVDBuf wide;
    ASSERT_TRUE(wide.Alloc(32, 1, 2));
    wide.Fill(1, 2, 3, 4);
    EXPECT_EQ(std::vector<uint8_t>(wide.GetBuffer(), wide.GetBuffer() + 8),
              (std::vector<uint8_t>{1, 2, 3, 4, 1, 2, 3, 4}));
}

TEST(DvdBuf, FillLeavesBuffersOfOtherDepthsAlone) {
    // Fill knows pixels of 8, 24 and 32 bits only; an adopted buffer of another depth keeps its
    // bytes.
    for (const int bits : {16, 48, 64}) {
        CDVDBuf buffer;
        const int stride = CDVDBuf::Stride(bits, 3);
        buffer.Adopt(new uint8_t[stride * 2](), bits, 3, 2);
        buffer.Fill(1, 2, 3, 4);
        EXPECT_EQ(std::vector<uint8_t>(buffer.GetBuffer(), buffer.GetBuffer() + stride * 2),
                  std::vector<uint8_t>(stride * 2, 0))
            << bits << " bits";
    }
}

TEST(DvdBuf, AllocRefusesBadDepthsAndSizes) {
    CDVDBuf buffer;
    EXPECT_FALSE(buffer.Alloc(16, 10, 10));
    EXPECT_FALSE(buffer.Alloc(24, 0, 10));
    EXPECT_FALSE(buffer.Alloc(24, 10, -1));
    EXPECT_FALSE(buffer.Alloc(8, 16385, 1));
    EXPECT_FALSE(buffer.Alloc(8, 9000, 9000));
    EXPECT_EQ(buffer.GetBuffer(), nullptr);
    EXPECT_FALSE(buffer.lastError().empty());
    EXPECT_TRUE(buffer.Alloc(8, 16384, 1));
}

TEST(DvdBuf, DetachAndAdoptPassOwnership) {
    CDVDBuf source;
    ASSERT_TRUE(source.Alloc(8, 4, 4));
    source.Fill(9);
    uint8_t* bytes = source.Detach();
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(source.GetBuffer(), nullptr);
    int width = -1;
    source.GetWHU(&width, nullptr, nullptr);
    EXPECT_EQ(width, 0);

    CDVDBuf target;
    ASSERT_TRUE(target.Alloc(24, 2, 2));  // freed when the adopted buffer replaces it
    target.Adopt(bytes, 8, 4, 4);
    EXPECT_EQ(target.GetBuffer(), bytes);
    int height = 0, bits = 0;
    target.GetWHU(&width, &height, &bits);
    EXPECT_EQ(width, 4);
    EXPECT_EQ(height, 4);
    EXPECT_EQ(bits, 8);
    EXPECT_EQ(bytes[15], 9);

    target.Adopt(nullptr, 8, 4, 4);
    EXPECT_EQ(target.GetBuffer(), nullptr);

    uint8_t* released = nullptr;
    {
        CDVDBuf holder;
        ASSERT_TRUE(holder.Alloc(8, 1, 1));
        released = holder.Detach();
    }
    delete[] released;  // still valid after the holder's end
}

}  // namespace
