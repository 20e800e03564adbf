#include "imagetrack/ImageTrackCreator.h"

#include <cstdint>

#include "document/CreatorSetToolBox.h"

namespace {

// Frees a bitmap that the glue rendered and that no track took over.
void freeBitmap(BITMAPINFOHEADER* bitmap) {
    delete[] reinterpret_cast<uint8_t*>(bitmap);
}

}  // namespace

ImageTrackCreator::ImageTrackCreator(const char* file) : file_(file ? file : "") {}

ImageTrackCreator::ImageTrackCreator(CXMLOutputFileGlue* glue, const char* renderElement,
                                     const char* placementElement, ImageMergerMethod method)
    : glue_(glue),
      renderElement_(renderElement ? renderElement : ""),
      placementElement_(placementElement ? placementElement : ""),
      method_(method) {}

CAppDocEditorCtrl::RenderType ImageTrackCreator::getRenderType() const {
    return method_ == ImageMergerFocus ? CAppDocEditorCtrl::RenderTypeFocus
                                       : CAppDocEditorCtrl::RenderTypeNormal;
}

bool ImageTrackCreator::createImageTrack(CzfServiceObject** out, SAVEDATA* record,
                                         CzfErrorInfo* /*error*/) {
    if (out == nullptr) return false;
    if (!file_.empty())
        return CreatorSetToolBox::createImageTrack(out, file_.c_str(), record, nullptr);
    if (renderElement_.empty()) return false;

    // The rendering takes the layer and page of the placement element when there is one; the
    // render element alone is always drawn from its first page.
    int layer = -1;
    int page = -1;
    bool placed = false;
    if (glue_ != nullptr) {
        if (!placementElement_.empty()) {
            placed = glue_->GetNodeLayerPageByID(placementElement_.c_str(), &layer, &page);
            if (page < 0) page = 0;
        } else {
            placed = glue_->GetNodeLayerPageByID(renderElement_.c_str(), &layer, &page);
            page = 0;
        }
    }
    if (layer < 0) {
        layer = 0;
        placed = false;
    }

    BITMAPINFOHEADER* image = nullptr;
    BITMAPINFOHEADER* mask = nullptr;
    bool rendered = false;
    if (placed) {
        RECT rect = {0, 0, 0, 0};
        rendered = glue_->GetNodeBufferByID(renderElement_.c_str(), layer, page, getRenderType(),
                                            &rect, &image, &mask);
    }
    if (rendered && image != nullptr) {
        if (CreatorSetToolBox::createImageTrack(out, image, mask, record, nullptr)) return true;
        // No track took the bitmaps over (the factory failed): they are still ours.
        freeBitmap(image);
        freeBitmap(mask);
        return false;
    }
    // Whatever a failed rendering left behind is ours as well.
    freeBitmap(image);
    freeBitmap(mask);
    return CreatorSetToolBox::createFailImageTrack(out, record, nullptr);
}
