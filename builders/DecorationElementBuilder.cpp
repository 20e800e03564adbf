#include "builders/DecorationElementBuilder.h"

#include "builders/ImageTrackSource.h"

namespace Merrow {

DecorationElementBuilder::DecorationElementBuilder(const char* id, CzfServiceObject* presentation,
                                                   std::unique_ptr<ImageTrackCreator> imageCreator)
    : SizeableElementBuilder("decoration", id),
      presentation_(presentation),
      imageCreator_(std::move(imageCreator)) {}

DecorationElementBuilder::DecorationElementBuilder(const char* id, CzfServiceObject* presentation,
                                                   ImageTrackCreator* imageCreator)
    : DecorationElementBuilder(id, presentation, std::unique_ptr<ImageTrackCreator>(imageCreator)) {
}

DecorationElementBuilder::~DecorationElementBuilder() = default;

void DecorationElementBuilder::setImagePath(const char* path) {
    imagePath_ = path ? path : "";
}

bool DecorationElementBuilder::addTo(XmlElementOperator& parent) {
    if (!SizeableElementBuilder::addTo(parent)) return false;
    XmlElementOperator element(parent.getXmlGlue(), xPath());
    const ImageTrackResult image = makeImageTrack(presentation_, imagePath_, imageCreator_.get());
    element.setAttribute("image", image.id);
    return !image.id.empty();
}

}  // namespace Merrow
