#pragma once
// Renders every picture from the reference document as the user designed it in the host.

#include <string>

#include "host/objects/HostTypes.h"
#include "imagetrack/ImageTrackCreatorManager.h"

namespace Merrow {

class MERROWKIT_API BufferImageTrackCreatorManager : public ImageTrackCreatorManager {
public:
    BufferImageTrackCreatorManager() = default;
    BufferImageTrackCreatorManager(const BufferImageTrackCreatorManager&) = default;
    BufferImageTrackCreatorManager& operator=(const BufferImageTrackCreatorManager&) = default;
    ~BufferImageTrackCreatorManager() override = default;

    ImageTrackCreator* createButtonNormalImageCreator(XmlElementOperator& element) override;
    ImageTrackCreator* createButtonFocusImageCreator(XmlElementOperator& element) override;
    ImageTrackCreator* createDecorationImageCreator(XmlElementOperator& element) override;
    ImageTrackCreator* createTextImageCreator(XmlElementOperator& element) override;
    ImageTrackCreator* createYearThumbnailNormalImageCreator(XmlElementOperator& element) override;
    ImageTrackCreator* createYearThumbnailFocusImageCreator(XmlElementOperator& element) override;
    ImageTrackCreator* createMonthThumbnailNormalImageCreator(XmlElementOperator& element) override;
    ImageTrackCreator* createMonthThumbnailFocusImageCreator(XmlElementOperator& element) override;
    ImageTrackCreator* createDayThumbnailNormalImageCreator(XmlElementOperator& element) override;
    ImageTrackCreator* createDayThumbnailFocusImageCreator(XmlElementOperator& element) override;
    ImageTrackCreator* createContentThumbnailNormalImageCreator(
        XmlElementOperator& element) override;
    ImageTrackCreator* createContentThumbnailFocusImageCreator(
        XmlElementOperator& element) override;
    ImageTrackCreator* createYearTextNormalImageCreator(XmlElementOperator& element) override;
    ImageTrackCreator* createYearTextFocusImageCreator(XmlElementOperator& element) override;
    ImageTrackCreator* createChapterThumbnailNormalImageCreator(
        XmlElementOperator& element) override;
    ImageTrackCreator* createChapterThumbnailFocusImageCreator(
        XmlElementOperator& element) override;
    ImageTrackCreator* createChapterTextNormalImageCreator(XmlElementOperator& element) override;
    ImageTrackCreator* createChapterTextFocusImageCreator(XmlElementOperator& element) override;

protected:
    // The identifier of the element that provides the picture of this kind for element, or "".
    std::string getBufferProviderElementId(XmlElementOperator& element,
                                           ApplicationDoc::TagNode kind);
    ImageTrackCreator* createImageTrack(XmlElementOperator& element, ApplicationDoc::TagNode kind,
                                        ImageTrackCreator::ImageMergerMethod method);
};

}  // namespace Merrow
