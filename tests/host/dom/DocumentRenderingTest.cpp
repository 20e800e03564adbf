// The glue's rendering model: layers and pages of elements, their bitmaps drawn from the picture
// files they name, and their navigation lists.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/dom/DocumentRegistry.h"
#include "host/dom/XmlOutputFileGlue.h"
#include "host/framework/ProjectFolder.h"
#include "host/pictures/DibImage.h"
#include "host/pictures/PngWriter.h"
#include "support/ImageTestFiles.h"

namespace {

using merrowhost::DibHolder;
using merrowhost::dibRowFromTop;

struct Rgba {
    int r, g, b, a;
    bool operator==(const Rgba&) const = default;
};

// The pixel x of the row y-th from the top, with its alpha from the mask.
Rgba pixelAt(const BITMAPINFOHEADER* image, const BITMAPINFOHEADER* mask, int x, int y) {
    const uint8_t* p = dibRowFromTop(image, y) + 4 * x;
    EXPECT_EQ(p[3], dibRowFromTop(mask, y)[x]) << "image alpha and mask differ at " << x;
    return {p[2], p[1], p[0], p[3]};
}

void writePicture(const std::string& path, int width, int height,
                  const std::vector<uint8_t>& rgba) {
    std::string error;
    ASSERT_TRUE(merrowhost::writeRgbaPng(path, width, height, rgba.data(), &error)) << error;
}

class DocumentRendering : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new imagetest::TempFolder;
        // body: 3 x 2, pixel (x, y) = (40x + y, 100 + y, 200 - x, 255 - 50x)
        std::vector<uint8_t> body;
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 3; ++x) {
                body.insert(body.end(),
                            {static_cast<uint8_t>(40 * x + y), static_cast<uint8_t>(100 + y),
                             static_cast<uint8_t>(200 - x), static_cast<uint8_t>(255 - 50 * x)});
            }
        }
        writePicture(folder_->file("body.png"), 3, 2, body);
        writePicture(folder_->file("highlight.png"), 2, 2,
                     {0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255, 255});
        writePicture(folder_->file("ramp.png"), 2, 1, {0, 0, 0, 255, 255, 255, 255, 255});
        writePicture(folder_->file("fade.png"), 2, 1, {255, 0, 0, 255, 0, 255, 0, 0});

        const std::string dir = folder_->path() + "/";
        const std::string xml = R"(<root xmlns="urn:test:reference">
  <layout>
    <container id="YearPage">
      <button id="b1" page="2" x="10" y="20" imageBody=")" +
                                dir + R"(body.png" imageHighlight=")" + dir + R"(highlight.png"/>
      <container id="inner"><button id="deep" page=" 5abc"/></container>
    </container>
    <decoration id="loose" page="x7"/>
    <container id="MonthPage" page="-3">
      <group><button id="b2" page="-3" imageBody="" image=")" +
                                dir +
                                R"(ramp.png" width="8" height="1" x="-4" y="6"/></group>
    </container>
    <container id="DayPage">
      <button id="plain" image=")" +
                                dir + R"(ramp.png" width="8"/>
      <button id="fade" image=")" +
                                dir + R"(fade.png" width="4" height="1"/>
      <button id="blank" width="5" height="5"/>
      <button id="gone" image=")" +
                                dir + R"(absent.png"/>
      <button id="emptyHighlight" imageHighlight="" imageBody=")" +
                                dir + R"(body.png"/>
      <button id="relative" image="highlight.png"/>
    </container>
  </layout>
  <navigationInfo>
    <dateInfo id="day1" textId="txt1" thumbnailId="thumb1" page="1"/>
    <dateInfo id="day2" textId="txt2"/>
    <dateInfo id="day3"/>
    <dateInfo id="days" thumbnailId=" thumbA thumbB" textId="txtA
      txtB txtC"/>
    <dateInfo id="emptyLists" thumbnailId="" textId=" "/>
    <dateInfo id="b1" page="9"/>
  </navigationInfo>
</root>)";
        merrowhost::DocumentLoadError error;
        dom_ = merrowhost::loadDocumentString(xml, "rendering.xml", &error);
        ASSERT_NE(dom_, 0u) << error.text();
    }

    static void TearDownTestSuite() {
        merrowhost::releaseDocument(dom_);
        delete folder_;
        folder_ = nullptr;
    }

    struct Rendering {
        bool ok = false;
        DibHolder image;
        DibHolder mask;
        RECT rect{0, 0, 0, 0};
    };

    // Renders the element on its own layer and page (page 0 for none or a negative one).
    Rendering render(const char* id, int type) {
        int layer = 0, page = 0;
        glue_.GetNodeLayerPageByID(id, &layer, &page);
        return renderOn(id, type, layer < 0 ? 0 : layer, page < 0 ? 0 : page);
    }
    Rendering renderOn(const char* id, int type, int layer, int page) {
        Rendering result;
        BITMAPINFOHEADER* image = reinterpret_cast<BITMAPINFOHEADER*>(&result);  // must be reset
        BITMAPINFOHEADER* mask = reinterpret_cast<BITMAPINFOHEADER*>(&result);
        result.ok = glue_.GetNodeBufferByID(id, layer, page,
                                            static_cast<CAppDocEditorCtrl::RenderType>(type),
                                            &result.rect, &image, &mask);
        result.image.reset(image);
        result.mask.reset(mask);
        return result;
    }

    std::pair<int, int> layerAndPage(const char* id) {
        int layer = 99, page = 99;
        EXPECT_TRUE(glue_.GetNodeLayerPageByID(id, &layer, &page)) << id;
        return {layer, page};
    }

    static imagetest::TempFolder* folder_;
    static unsigned dom_;
    CXMLOutputFileGlue glue_{dom_, "test", nullptr};
};

imagetest::TempFolder* DocumentRendering::folder_ = nullptr;
unsigned DocumentRendering::dom_ = 0;

TEST_F(DocumentRendering, LayerIsTheTopLevelContainerAndPageTheElementsOwn) {
    EXPECT_EQ(layerAndPage("b1"), std::make_pair(0, 2));    // the first "b1" in document order
    EXPECT_EQ(layerAndPage("deep"), std::make_pair(0, 5));  // nested container, page " 5abc"
    EXPECT_EQ(layerAndPage("YearPage"), std::make_pair(0, -1));
    EXPECT_EQ(layerAndPage("MonthPage"), std::make_pair(1, -3));  // the decoration is no layer
    EXPECT_EQ(layerAndPage("b2"), std::make_pair(1, -3));
    EXPECT_EQ(layerAndPage("fade"), std::make_pair(2, -1));
    EXPECT_EQ(layerAndPage("loose"), std::make_pair(0, -1));  // not numeric: no page
    EXPECT_EQ(layerAndPage("day1"), std::make_pair(0, 1));    // outside the layout
}

TEST_F(DocumentRendering, UnknownIdentifiersHaveNoLayer) {
    int layer = 5, page = 5;
    EXPECT_FALSE(glue_.GetNodeLayerPageByID("B1", &layer, &page));
    EXPECT_EQ(layer, -1);
    EXPECT_EQ(page, -1);
    EXPECT_FALSE(glue_.GetNodeLayerPageByID("", &layer, &page));
    EXPECT_FALSE(glue_.GetNodeLayerPageByID(nullptr, &layer, &page));

    CXMLOutputFileGlue detached;
    EXPECT_FALSE(detached.GetNodeLayerPageByID("b1", &layer, &page));
}

TEST_F(DocumentRendering, NormalRenderingDrawsTheBodyAsBottomUpBitmapAndMask) {
    const Rendering r = render("b1", 7);
    ASSERT_TRUE(r.ok);
    ASSERT_NE(r.image, nullptr);
    ASSERT_NE(r.mask, nullptr);
    const BITMAPINFOHEADER& image = *r.image;
    EXPECT_EQ(image.biSize, 40u);
    EXPECT_EQ(image.biWidth, 3);
    EXPECT_EQ(image.biHeight, 2);
    EXPECT_EQ(image.biPlanes, 1);
    EXPECT_EQ(image.biBitCount, 32);
    EXPECT_EQ(image.biCompression, 0u);
    const BITMAPINFOHEADER& mask = *r.mask;
    EXPECT_EQ(mask.biSize, 40u);
    EXPECT_EQ(mask.biWidth, 3);
    EXPECT_EQ(mask.biHeight, 2);
    EXPECT_EQ(mask.biBitCount, 8);
    EXPECT_EQ(mask.biClrUsed, 256u);
    const auto* table =
        reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const uint8_t*>(&mask) + 40);
    EXPECT_EQ(table[200].rgbBlue, 200);
    EXPECT_EQ(table[200].rgbGreen, 200);
    EXPECT_EQ(table[200].rgbRed, 200);

    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(pixelAt(r.image.get(), r.mask.get(), x, y),
                      (Rgba{40 * x + y, 100 + y, 200 - x, 255 - 50 * x}))
                << x << "," << y;
        }
    }
    // Bottom-up: the picture's top-left pixel is the first pixel of the last stored row, and
    // mask rows are padded to 4 bytes.
    const uint8_t* stored = merrowhost::dibPixels(r.image.get());
    EXPECT_EQ(stored[4 * 3 + 2], 0);  // red of (0, 0)
    EXPECT_EQ(stored[2], 1);          // red of (0, 1), stored first
    const uint8_t* maskRows = merrowhost::dibPixels(r.mask.get());
    EXPECT_EQ(maskRows[4 + 2], 155);  // (2, 0) in the second stored row
    EXPECT_EQ(maskRows[3], 0);        // padding

    EXPECT_EQ(r.rect.left, 10);
    EXPECT_EQ(r.rect.top, 20);
    EXPECT_EQ(r.rect.right, 13);
    EXPECT_EQ(r.rect.bottom, 22);
}

TEST_F(DocumentRendering, FocusRenderingPrefersTheHighlightPicture) {
    const Rendering focus = render("b1", 8);
    ASSERT_TRUE(focus.ok);
    EXPECT_EQ(focus.image->biWidth, 2);
    EXPECT_EQ(pixelAt(focus.image.get(), focus.mask.get(), 1, 1), (Rgba{0, 0, 255, 255}));

    // An empty highlight counts as none: the body is drawn.
    const Rendering fallback = render("emptyHighlight", 8);
    ASSERT_TRUE(fallback.ok);
    EXPECT_EQ(fallback.image->biWidth, 3);
    EXPECT_EQ(pixelAt(fallback.image.get(), fallback.mask.get(), 2, 1), (Rgba{81, 101, 198, 155}));

    // Without highlight and with an empty body, "image" is drawn for both types.
    for (const int type : {7, 8}) {
        const Rendering r = render("b2", type);
        ASSERT_TRUE(r.ok) << type;
        EXPECT_EQ(r.image->biWidth, 8);
    }
}

TEST_F(DocumentRendering, ScalesToTheElementsSizeDeterministically) {
    const Rendering r = render("b2", 7);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.image->biWidth, 8);
    EXPECT_EQ(r.image->biHeight, 1);
    // Black then white stretched to 8: the edges repeat, the middle rises steadily, grey.
    for (int x = 0; x < 8; ++x) {
        const Rgba p = pixelAt(r.image.get(), r.mask.get(), x, 0);
        EXPECT_EQ(p, (Rgba{p.r, p.r, p.r, 255})) << x;
        if (x > 0) {
            EXPECT_GE(p.r, pixelAt(r.image.get(), r.mask.get(), x - 1, 0).r) << x;
        }
    }
    EXPECT_EQ(pixelAt(r.image.get(), r.mask.get(), 0, 0).r, 0);
    EXPECT_EQ(pixelAt(r.image.get(), r.mask.get(), 7, 0).r, 255);
    EXPECT_GT(pixelAt(r.image.get(), r.mask.get(), 2, 0).r, 0);
    EXPECT_LT(pixelAt(r.image.get(), r.mask.get(), 5, 0).r, 255);
    // Drawing again gives the same pixels.
    const Rendering again = render("b2", 7);
    ASSERT_TRUE(again.ok);
    EXPECT_EQ(0, std::memcmp(merrowhost::dibPixels(r.image.get()),
                             merrowhost::dibPixels(again.image.get()), r.image->biSizeImage));
    EXPECT_EQ(r.rect.left, -4);
    EXPECT_EQ(r.rect.top, 6);
    EXPECT_EQ(r.rect.right, 4);
    EXPECT_EQ(r.rect.bottom, 7);

    // Only a width: the picture keeps its own size.
    const Rendering own = render("plain", 7);
    ASSERT_TRUE(own.ok);
    EXPECT_EQ(own.image->biWidth, 2);
    EXPECT_EQ(own.image->biHeight, 1);
    EXPECT_EQ(own.rect.right, 2);
}

TEST_F(DocumentRendering, TransparentPixelsDoNotTintTheirNeighbours) {
    // Opaque red beside transparent green, stretched to 4 pixels.
    const Rendering r = render("fade", 7);
    ASSERT_TRUE(r.ok);
    // Wherever anything shows it is pure red; the alpha falls from opaque to transparent.
    EXPECT_EQ(pixelAt(r.image.get(), r.mask.get(), 0, 0), (Rgba{255, 0, 0, 255}));
    int previousAlpha = 255;
    for (int x = 1; x < 3; ++x) {
        const Rgba p = pixelAt(r.image.get(), r.mask.get(), x, 0);
        EXPECT_EQ(p, (Rgba{255, 0, 0, p.a})) << x;
        EXPECT_LT(p.a, previousAlpha) << x;
        EXPECT_GT(p.a, 0) << x;
        previousAlpha = p.a;
    }
    EXPECT_EQ(pixelAt(r.image.get(), r.mask.get(), 3, 0).a, 0);
}

TEST_F(DocumentRendering, NothingToDrawGivesNoBitmaps) {
    for (const char* id : {"blank", "gone", "nobody", "deep"}) {
        const Rendering r = render(id, 7);
        EXPECT_FALSE(r.ok) << id;
        EXPECT_EQ(r.image, nullptr) << id;
        EXPECT_EQ(r.mask, nullptr) << id;
    }
    // Only the host's numbers 7 (normal) and 8 (focus) are render types.
    for (const int type : {0, 1, 2, 3, 6, 9}) {
        const Rendering unknownType = render("b1", type);
        EXPECT_FALSE(unknownType.ok) << type;
        EXPECT_EQ(unknownType.image, nullptr) << type;
    }
}

TEST_F(DocumentRendering, ElementsAreDrawnOnlyOnTheirOwnLayerAndPage) {
    EXPECT_TRUE(renderOn("b1", 7, 0, 2).ok);
    EXPECT_FALSE(renderOn("b1", 7, 0, 0).ok);
    EXPECT_FALSE(renderOn("b1", 7, 1, 2).ok);
    // A negative page is the first page; so is none.
    EXPECT_TRUE(renderOn("b2", 7, 1, 0).ok);
    EXPECT_FALSE(renderOn("b2", 7, 1, -3).ok);
    EXPECT_FALSE(renderOn("b2", 7, 0, 0).ok);
    EXPECT_TRUE(renderOn("fade", 8, 2, 0).ok);
    EXPECT_FALSE(renderOn("fade", 8, 2, 1).ok);
    EXPECT_FALSE(renderOn("fade", 8, 2, -1).ok);
}

TEST_F(DocumentRendering, RelativePicturePathsUseTheProjectFolder) {
    const std::string previous = merrowhost::baseFolder();
    merrowhost::setBaseFolder(folder_->path());
    Rendering r = render("relative", 7);
    merrowhost::setBaseFolder(previous);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.image->biWidth, 2);
    EXPECT_FALSE(render("relative", 7).ok);  // not found against the process folder
}

TEST_F(DocumentRendering, MaskIsOptionalAndRectMayBeNull) {
    BITMAPINFOHEADER* image = nullptr;
    ASSERT_TRUE(glue_.GetNodeBufferByID("b1", 0, 2, CAppDocEditorCtrl::RenderTypeNormal, nullptr,
                                        &image, nullptr));
    DibHolder holder(image);
    ASSERT_NE(image, nullptr);
    // Without a mask the alpha stays in the image's fourth byte.
    EXPECT_EQ(dibRowFromTop(image, 0)[4 * 2 + 3], 155);
}

class NavigationList {
public:
    ~NavigationList() {
        for (int i = 0; i < count; ++i) delete[] list[i].id;
        delete[] list;
    }
    std::vector<std::pair<int, std::string>> pairs() const {
        std::vector<std::pair<int, std::string>> result;
        for (int i = 0; i < count; ++i) result.emplace_back(list[i].kind, list[i].id);
        return result;
    }
    _NAVIGATION_NODE* list = nullptr;
    int count = -1;
};

TEST_F(DocumentRendering, NavigationListGivesThumbnailThenText) {
    using Pairs = std::vector<std::pair<int, std::string>>;
    NavigationList both;
    ASSERT_TRUE(glue_.GetNavigationListByID("day1", &both.list, &both.count));
    EXPECT_EQ(both.pairs(), (Pairs{{4, "thumb1"}, {24, "txt1"}}));

    NavigationList textOnly;
    ASSERT_TRUE(glue_.GetNavigationListByID("day2", &textOnly.list, &textOnly.count));
    EXPECT_EQ(textOnly.pairs(), (Pairs{{24, "txt2"}}));

    // Lists give one pair for each identifier, thumbnails first.
    NavigationList several;
    ASSERT_TRUE(glue_.GetNavigationListByID("days", &several.list, &several.count));
    EXPECT_EQ(several.pairs(),
              (Pairs{{4, "thumbA"}, {4, "thumbB"}, {24, "txtA"}, {24, "txtB"}, {24, "txtC"}}));
    NavigationList empty;
    ASSERT_TRUE(glue_.GetNavigationListByID("emptyLists", &empty.list, &empty.count));
    EXPECT_EQ(empty.pairs(), (Pairs{{4, ""}, {24, ""}}));

    NavigationList none;
    ASSERT_TRUE(glue_.GetNavigationListByID("day3", &none.list, &none.count));
    EXPECT_EQ(none.count, 0);
    EXPECT_EQ(none.list, nullptr);

    NavigationList unknown;
    EXPECT_FALSE(glue_.GetNavigationListByID("day4", &unknown.list, &unknown.count));
    EXPECT_EQ(unknown.count, 0);
    EXPECT_EQ(unknown.list, nullptr);
}

}  // namespace
