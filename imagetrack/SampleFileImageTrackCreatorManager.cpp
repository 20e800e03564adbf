#include "imagetrack/SampleFileImageTrackCreatorManager.h"

#include "document/CreatorSetToolBox.h"

namespace Merrow {

namespace {

#if defined(MERROWKIT_OLDER_VARIANT)
constexpr const char* kTextSample = "body3.png";
#else
constexpr const char* kTextSample = "body.png";
#endif
constexpr const char* kThumbnailNormalSample = "MonthBtn_Body.png";
constexpr const char* kMonthFocusSample = "MonthBtn_1_HL.png";
constexpr const char* kSelectNormalSample = "DaySelectBtn_1.png";
constexpr const char* kSelectFocusSample = "DaySelectBtn_1_HL.png";

}  // namespace

SampleFileImageTrackCreatorManager::SampleFileImageTrackCreatorManager(const char* folder)
    : folder_(folder ? folder : "") {}

ImageTrackCreator* SampleFileImageTrackCreatorManager::createImageTrackCreator(std::string& path) {
    if (path.empty()) return nullptr;
    // A file found nowhere gives a creator with an empty path, which makes no image track.
    const std::string resolved = CreatorSetToolBox::imagePathProcess(path.c_str());
    return new ImageTrackCreator(resolved.c_str());
}

ImageTrackCreator* SampleFileImageTrackCreatorManager::createButtonNormalImageCreator(
    XmlElementOperator& element) {
    std::string path = element.getAttribute("imageBody");
    return createImageTrackCreator(path);
}

ImageTrackCreator* SampleFileImageTrackCreatorManager::createButtonFocusImageCreator(
    XmlElementOperator& element) {
    std::string path = element.getAttribute("imageHighlight");
    return createImageTrackCreator(path);
}

ImageTrackCreator* SampleFileImageTrackCreatorManager::createDecorationImageCreator(
    XmlElementOperator& element) {
    std::string path = element.getAttribute("image");
    return createImageTrackCreator(path);
}

ImageTrackCreator* SampleFileImageTrackCreatorManager::createTextImageCreator(
    XmlElementOperator& /*element*/) {
    std::string path = sampleFile(kTextSample);
    return createImageTrackCreator(path);
}

ImageTrackCreator* SampleFileImageTrackCreatorManager::createYearThumbnailNormalImageCreator(
    XmlElementOperator& /*element*/) {
    std::string path = sampleFile(kThumbnailNormalSample);
    return createImageTrackCreator(path);
}

ImageTrackCreator* SampleFileImageTrackCreatorManager::createYearThumbnailFocusImageCreator(
    XmlElementOperator& /*element*/) {
    std::string path = sampleFile(kSelectFocusSample);
    return createImageTrackCreator(path);
}

ImageTrackCreator* SampleFileImageTrackCreatorManager::createMonthThumbnailNormalImageCreator(
    XmlElementOperator& /*element*/) {
    std::string path = sampleFile(kThumbnailNormalSample);
    return createImageTrackCreator(path);
}

ImageTrackCreator* SampleFileImageTrackCreatorManager::createMonthThumbnailFocusImageCreator(
    XmlElementOperator& /*element*/) {
    std::string path = sampleFile(kMonthFocusSample);
    return createImageTrackCreator(path);
}

ImageTrackCreator* SampleFileImageTrackCreatorManager::createDayThumbnailNormalImageCreator(
    XmlElementOperator& /*element*/) {
    std::string path = sampleFile(kThumbnailNormalSample);
    return createImageTrackCreator(path);
}

ImageTrackCreator* SampleFileImageTrackCreatorManager::createDayThumbnailFocusImageCreator(
    XmlElementOperator& /*element*/) {
    std::string path = sampleFile(kSelectFocusSample);
    return createImageTrackCreator(path);
}

ImageTrackCreator* SampleFileImageTrackCreatorManager::createContentThumbnailNormalImageCreator(
    XmlElementOperator& /*element*/) {
    std::string path = sampleFile(kThumbnailNormalSample);
    return createImageTrackCreator(path);
}

ImageTrackCreator* SampleFileImageTrackCreatorManager::createContentThumbnailFocusImageCreator(
    XmlElementOperator& /*element*/) {
    std::string path = sampleFile(kSelectFocusSample);
    return createImageTrackCreator(path);
}

ImageTrackCreator* SampleFileImageTrackCreatorManager::createYearTextNormalImageCreator(
    XmlElementOperator& /*element*/) {
    std::string path = sampleFile(kSelectNormalSample);
    return createImageTrackCreator(path);
}

ImageTrackCreator* SampleFileImageTrackCreatorManager::createYearTextFocusImageCreator(
    XmlElementOperator& /*element*/) {
    std::string path = sampleFile(kSelectFocusSample);
    return createImageTrackCreator(path);
}

ImageTrackCreator* SampleFileImageTrackCreatorManager::createChapterThumbnailNormalImageCreator(
    XmlElementOperator& /*element*/) {
    std::string path = sampleFile(kSelectNormalSample);
    return createImageTrackCreator(path);
}

ImageTrackCreator* SampleFileImageTrackCreatorManager::createChapterThumbnailFocusImageCreator(
    XmlElementOperator& /*element*/) {
    std::string path = sampleFile(kSelectFocusSample);
    return createImageTrackCreator(path);
}

ImageTrackCreator* SampleFileImageTrackCreatorManager::createChapterTextNormalImageCreator(
    XmlElementOperator& /*element*/) {
    std::string path = sampleFile(kSelectNormalSample);
    return createImageTrackCreator(path);
}

ImageTrackCreator* SampleFileImageTrackCreatorManager::createChapterTextFocusImageCreator(
    XmlElementOperator& /*element*/) {
    std::string path = sampleFile(kSelectFocusSample);
    return createImageTrackCreator(path);
}

}  // namespace Merrow
