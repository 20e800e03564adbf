#pragma once
// Where one picture comes from: an image file, or the rendering of an element of the reference
// document on the layer and page of a placement element.

#include <string>

#include "host/dom/XmlOutputFileGlue.h"
#include "host/objects/ErrorInfo.h"
#include "host/objects/HostTypes.h"
#include "merrowkit/Export.h"

class CzfServiceObject;

class MERROWKIT_API ImageTrackCreator {
public:
    enum ImageMergerMethod {
        ImageMergerNone = 0,
        ImageMergerNormal = 1,
        ImageMergerFocus = 2,
    };

    // The file form; merge method 0.
    explicit ImageTrackCreator(const char* file);
    // The rendering form; the file stays empty.
    ImageTrackCreator(CXMLOutputFileGlue* glue, const char* renderElement,
                      const char* placementElement, ImageMergerMethod method);
    ImageTrackCreator(const ImageTrackCreator&) = default;
    ImageTrackCreator& operator=(const ImageTrackCreator&) = default;
    ~ImageTrackCreator() = default;

    // Makes the image track object; a rendering that fails yields the fallback picture.
    bool createImageTrack(CzfServiceObject** out, SAVEDATA* record, CzfErrorInfo* error);

    const std::string& getFile() const { return file_; }
    CXMLOutputFileGlue* getGlue() const { return glue_; }
    const std::string& getRenderElement() const { return renderElement_; }
    const std::string& getPlacementElement() const { return placementElement_; }
    ImageMergerMethod getMergeMethod() const { return method_; }
    // 8 for the focus merge method, 7 for every other.
    CAppDocEditorCtrl::RenderType getRenderType() const;

private:
    std::string file_;
    CXMLOutputFileGlue* glue_ = nullptr;
    std::string renderElement_;
    std::string placementElement_;
    ImageMergerMethod method_ = ImageMergerNone;
};
