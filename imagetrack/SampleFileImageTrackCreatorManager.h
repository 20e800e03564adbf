#pragma once
// Takes fixed sample image files from a folder instead of rendering. Exported for the host; the
// component itself does not use it.

#include <string>

#include "imagetrack/ImageTrackCreatorManager.h"

namespace Merrow {

class MERROWKIT_API SampleFileImageTrackCreatorManager : public ImageTrackCreatorManager {
public:
    explicit SampleFileImageTrackCreatorManager(const char* folder);
    SampleFileImageTrackCreatorManager(const SampleFileImageTrackCreatorManager&) = default;
    SampleFileImageTrackCreatorManager& operator=(const SampleFileImageTrackCreatorManager&) =
        default;
    ~SampleFileImageTrackCreatorManager() override = default;

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

private:
    ImageTrackCreator* createImageTrackCreator(std::string& path);
    std::string sampleFile(const char* name) const { return folder_ + name; }

    std::string folder_;
};

}  // namespace Merrow
