#include "builders/ButtonElementBuilder.h"

#include "builders/ImageTrackSource.h"

namespace Merrow {

ButtonElementBuilder::ButtonElementBuilder(const char* id, CzfServiceObject* presentation,
                                           ImageTrackCreator* normalImageCreator,
                                           ImageTrackCreator* focusImageCreator)
    : SizeableElementBuilder("graphicbutton", id),
      presentation_(presentation),
      normalImageCreator_(normalImageCreator),
      focusImageCreator_(focusImageCreator) {}

ButtonElementBuilder::~ButtonElementBuilder() {
    // One creator may serve both states; it is destroyed once.
    if (focusImageCreator_ != normalImageCreator_) delete focusImageCreator_;
    delete normalImageCreator_;
}

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
        makeImageTrack(presentation_, normalImagePath_, normalImageCreator_);
    if (normal.hasSource) {
        element.setAttribute("imageNormal", normal.id);
        // The action state always shows the normal picture.
        element.setAttribute("imageAction", normal.id);
    }
    const ImageTrackResult focus =
        makeImageTrack(presentation_, focusImagePath_, focusImageCreator_);
    if (focus.hasSource) element.setAttribute("imageFocus", focus.id);

    return !normal.id.empty() && !focus.id.empty();
}

}  // namespace Merrow
