#include "imagetrack/BufferImageTrackCreatorManager.h"

namespace Merrow {

namespace {

// Owns a navigation list from the glue: every identifier and the array, freed with delete[].
class NavigationList {
public:
    NavigationList() = default;
    ~NavigationList() {
        for (int i = 0; list_ != nullptr && i < count_; ++i) delete[] list_[i].id;
        delete[] list_;
    }
    NavigationList(const NavigationList&) = delete;
    NavigationList& operator=(const NavigationList&) = delete;

    _NAVIGATION_NODE** list() { return &list_; }
    int* count() { return &count_; }
    int size() const { return list_ != nullptr && count_ > 0 ? count_ : 0; }
    const _NAVIGATION_NODE& operator[](int index) const { return list_[index]; }

private:
    _NAVIGATION_NODE* list_ = nullptr;
    int count_ = 0;
};

}  // namespace

ImageTrackCreator* BufferImageTrackCreatorManager::createButtonNormalImageCreator(
    XmlElementOperator& element) {
    const std::string id = element.getId();
    return new ImageTrackCreator(&element.getXmlGlue(), id.c_str(), nullptr,
                                 ImageTrackCreator::ImageMergerNormal);
}

ImageTrackCreator* BufferImageTrackCreatorManager::createButtonFocusImageCreator(
    XmlElementOperator& element) {
    const std::string id = element.getId();
    return new ImageTrackCreator(&element.getXmlGlue(), id.c_str(), nullptr,
                                 ImageTrackCreator::ImageMergerFocus);
}

// Decorations and texts are drawn like a button's normal picture; a derived manager that
// changes that picture changes these as well.
ImageTrackCreator* BufferImageTrackCreatorManager::createDecorationImageCreator(
    XmlElementOperator& element) {
    return createButtonNormalImageCreator(element);
}

ImageTrackCreator* BufferImageTrackCreatorManager::createTextImageCreator(
    XmlElementOperator& element) {
    return createButtonNormalImageCreator(element);
}

std::string BufferImageTrackCreatorManager::getBufferProviderElementId(
    XmlElementOperator& element, ApplicationDoc::TagNode kind) {
    const std::string id = element.getId();
    NavigationList list;
    const bool found =
        element.getXmlGlue().GetNavigationListByID(id.c_str(), list.list(), list.count());
    if (!found) return std::string();
    for (int i = 0; i < list.size(); ++i) {
        if (list[i].kind == kind) return list[i].id != nullptr ? std::string(list[i].id) : "";
    }
    return std::string();
}

ImageTrackCreator* BufferImageTrackCreatorManager::createImageTrack(
    XmlElementOperator& element, ApplicationDoc::TagNode kind,
    ImageTrackCreator::ImageMergerMethod method) {
    // The provider is drawn on the layer and page of the element itself.
    const std::string provider = getBufferProviderElementId(element, kind);
    const std::string id = element.getId();
    return new ImageTrackCreator(&element.getXmlGlue(), provider.c_str(), id.c_str(), method);
}

ImageTrackCreator* BufferImageTrackCreatorManager::createYearThumbnailNormalImageCreator(
    XmlElementOperator& element) {
    return createImageTrack(element, ApplicationDoc::TagNodeThumbnail,
                            ImageTrackCreator::ImageMergerNormal);
}

ImageTrackCreator* BufferImageTrackCreatorManager::createYearThumbnailFocusImageCreator(
    XmlElementOperator& element) {
    return createImageTrack(element, ApplicationDoc::TagNodeThumbnail,
                            ImageTrackCreator::ImageMergerFocus);
}

ImageTrackCreator* BufferImageTrackCreatorManager::createMonthThumbnailNormalImageCreator(
    XmlElementOperator& element) {
    return createImageTrack(element, ApplicationDoc::TagNodeThumbnail,
                            ImageTrackCreator::ImageMergerNormal);
}

ImageTrackCreator* BufferImageTrackCreatorManager::createMonthThumbnailFocusImageCreator(
    XmlElementOperator& element) {
    return createImageTrack(element, ApplicationDoc::TagNodeThumbnail,
                            ImageTrackCreator::ImageMergerFocus);
}

ImageTrackCreator* BufferImageTrackCreatorManager::createDayThumbnailNormalImageCreator(
    XmlElementOperator& element) {
    return createImageTrack(element, ApplicationDoc::TagNodeThumbnail,
                            ImageTrackCreator::ImageMergerNormal);
}

ImageTrackCreator* BufferImageTrackCreatorManager::createDayThumbnailFocusImageCreator(
    XmlElementOperator& element) {
    return createImageTrack(element, ApplicationDoc::TagNodeThumbnail,
                            ImageTrackCreator::ImageMergerFocus);
}

ImageTrackCreator* BufferImageTrackCreatorManager::createContentThumbnailNormalImageCreator(
    XmlElementOperator& element) {
    return createImageTrack(element, ApplicationDoc::TagNodeThumbnail,
                            ImageTrackCreator::ImageMergerNormal);
}

ImageTrackCreator* BufferImageTrackCreatorManager::createContentThumbnailFocusImageCreator(
    XmlElementOperator& element) {
    return createImageTrack(element, ApplicationDoc::TagNodeThumbnail,
                            ImageTrackCreator::ImageMergerFocus);
}

ImageTrackCreator* BufferImageTrackCreatorManager::createYearTextNormalImageCreator(
    XmlElementOperator& element) {
    return createImageTrack(element, ApplicationDoc::TagNodeText,
                            ImageTrackCreator::ImageMergerNormal);
}

// The year text's focus picture is drawn like its normal one.
ImageTrackCreator* BufferImageTrackCreatorManager::createYearTextFocusImageCreator(
    XmlElementOperator& element) {
    return createImageTrack(element, ApplicationDoc::TagNodeText,
                            ImageTrackCreator::ImageMergerNormal);
}

ImageTrackCreator* BufferImageTrackCreatorManager::createChapterThumbnailNormalImageCreator(
    XmlElementOperator& element) {
    return createImageTrack(element, ApplicationDoc::TagNodeThumbnail,
                            ImageTrackCreator::ImageMergerNormal);
}

ImageTrackCreator* BufferImageTrackCreatorManager::createChapterThumbnailFocusImageCreator(
    XmlElementOperator& element) {
    return createImageTrack(element, ApplicationDoc::TagNodeThumbnail,
                            ImageTrackCreator::ImageMergerFocus);
}

ImageTrackCreator* BufferImageTrackCreatorManager::createChapterTextNormalImageCreator(
    XmlElementOperator& element) {
    return createImageTrack(element, ApplicationDoc::TagNodeText,
                            ImageTrackCreator::ImageMergerNormal);
}

ImageTrackCreator* BufferImageTrackCreatorManager::createChapterTextFocusImageCreator(
    XmlElementOperator& element) {
    return createImageTrack(element, ApplicationDoc::TagNodeText,
                            ImageTrackCreator::ImageMergerFocus);
}

}  // namespace Merrow
