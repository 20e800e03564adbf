#include "builders/ButtonElementBuilder.h"

#include "builders/ImageTrackSource.h"

namespace Merrow {

ButtonElementBuilder::ButtonElementBuilder(const char* id, CzfServiceObject* presentation,
                                           std::unique_ptr<ImageTrackCreator> normalImageCreator,
                                           std::unique_ptr<ImageTrackCreator> focusImageCreator)
    : SizeableElementBuilder("graphicbutton", id),
      presentation_(presentation),
      normalImageCreator_(std::move(normalImageCreator)),
      focusImageCreator_(std::move(focusImageCreator)) {}

ButtonElementBuilder::ButtonElementBuilder(const char* id, CzfServiceObject* presentation,
                                           std::unique_ptr<ImageTrackCreator> imageCreator)
    : SizeableElementBuilder("graphicbutton", id),
      presentation_(presentation),
      normalImageCreator_(std::move(imageCreator)),
      sharedCreator_(normalImageCreator_ != nullptr) {}

ButtonElementBuilder::ButtonElementBuilder(const char* id, CzfServiceObject* presentation,
                                           ImageTrackCreator* normalImageCreator,
                                           ImageTrackCreator* focusImageCreator)
    : ButtonElementBuilder(id, presentation,
                           std::unique_ptr<ImageTrackCreator>(normalImageCreator)) {
    // One creator may serve both states; it is owned once.
    if (focusImageCreator != normalImageCreator) {
        focusImageCreator_.reset(focusImageCreator);
        sharedCreator_ = false;
    }
}

ButtonElementBuilder::~ButtonElementBuilder() = default;

void ButtonElementBuilder::setNormalImagePath(const char* path) {
    normalImagePath_ = path ? path : "";
}
void ButtonElementBuilder::setFocusImagePath(const char* path) {
    focusImagePath_ = path ? path : "";
}
void ButtonElementBuilder::setActionImagePath(const char* path) {
    actionImagePath_ = path ? path : "";
}

bool ButtonElementBuilder::addTo(XmlElementOperator& parent) {
    if (!SizeableElementBuilder::addTo(parent)) return false;
    XmlElementOperator element(parent.getXmlGlue(), xPath());

    const ImageTrackResult normal =
        makeImageTrack(presentation_, normalImagePath_, normalImageCreator_.get());
    if (normal.hasSource) {
        element.setAttribute("imageNormal", normal.id);
        // The action state always shows the normal picture.
        element.setAttribute("imageAction", normal.id);
    }
    ImageTrackCreator* focusCreator =
        sharedCreator_ ? normalImageCreator_.get() : focusImageCreator_.get();
    const ImageTrackResult focus = makeImageTrack(presentation_, focusImagePath_, focusCreator);
    if (focus.hasSource) element.setAttribute("imageFocus", focus.id);

    return !normal.id.empty() && !focus.id.empty();
}

}  // namespace Merrow
