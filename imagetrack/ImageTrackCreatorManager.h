#pragma once
// Gives, for an element of the reference document and a picture role, the description of the
// picture. Every creator returned is a new object that the caller owns and deletes.

#include "document/XmlElementOperator.h"
#include "imagetrack/ImageTrackCreator.h"
#include "merrowkit/Export.h"

namespace Merrow {

class MERROWKIT_API ImageTrackCreatorManager {
public:
    ImageTrackCreatorManager() = default;
    ImageTrackCreatorManager(const ImageTrackCreatorManager&) = default;
    ImageTrackCreatorManager& operator=(const ImageTrackCreatorManager&) = default;
    virtual ~ImageTrackCreatorManager() = default;

    virtual ImageTrackCreator* createButtonNormalImageCreator(XmlElementOperator& element) = 0;
    virtual ImageTrackCreator* createButtonFocusImageCreator(XmlElementOperator& element) = 0;
    virtual ImageTrackCreator* createDecorationImageCreator(XmlElementOperator& element) = 0;
    virtual ImageTrackCreator* createTextImageCreator(XmlElementOperator& element) = 0;
    virtual ImageTrackCreator* createYearThumbnailNormalImageCreator(
        XmlElementOperator& element) = 0;
    virtual ImageTrackCreator* createYearThumbnailFocusImageCreator(
        XmlElementOperator& element) = 0;
    virtual ImageTrackCreator* createMonthThumbnailNormalImageCreator(
        XmlElementOperator& element) = 0;
    virtual ImageTrackCreator* createMonthThumbnailFocusImageCreator(
        XmlElementOperator& element) = 0;
    virtual ImageTrackCreator* createDayThumbnailNormalImageCreator(
        XmlElementOperator& element) = 0;
    virtual ImageTrackCreator* createDayThumbnailFocusImageCreator(XmlElementOperator& element) = 0;
    virtual ImageTrackCreator* createContentThumbnailNormalImageCreator(
        XmlElementOperator& element) = 0;
    virtual ImageTrackCreator* createContentThumbnailFocusImageCreator(
        XmlElementOperator& element) = 0;
    virtual ImageTrackCreator* createYearTextNormalImageCreator(XmlElementOperator& element) = 0;
    virtual ImageTrackCreator* createYearTextFocusImageCreator(XmlElementOperator& element) = 0;
    virtual ImageTrackCreator* createChapterThumbnailNormalImageCreator(
        XmlElementOperator& element) = 0;
    virtual ImageTrackCreator* createChapterThumbnailFocusImageCreator(
        XmlElementOperator& element) = 0;
    virtual ImageTrackCreator* createChapterTextNormalImageCreator(XmlElementOperator& element) = 0;
    virtual ImageTrackCreator* createChapterTextFocusImageCreator(XmlElementOperator& element) = 0;
};

}  // namespace Merrow
