// Leaf layout elements: decorations, buttons and graphic texts of the page containers, and the
// placeholder rectangles and anchors of the scroll holders.

#include <memory>
#include <string>

#include "builders/ButtonElementBuilder.h"
#include "builders/DecorationElementBuilder.h"
#include "creator/BDJCalendarApplicationCreator.h"
#include "creator/HandlerManager.h"

using Merrow::XmlElementOperator;

namespace {

struct IdPair {
    const char* marker;
    const char* replacement;
};

constexpr IdPair kRectanglePairs[] = {
    {"BUTTON_", "button_"},
    {"TEXT_", "text_"},
    {"POPUP_", "popup_"},
    {"TITLE_DECORATION_", "title_decoration_"},
    {"PHOTO_DECORATION_", "photo_decoration_"},
};

constexpr IdPair kAnchorPairs[] = {
    {"TITLE_NUMBER_", "title_number_"},
    {"PHOTO_NUMBER_", "photo_number_"},
};

// Gives a sizeable builder the reference element's geometry, as text.
void setGeometry(Merrow::SizeableElementBuilder& builder, const XmlElementOperator& ref) {
    builder.setX(ref.getAttribute("x"));
    builder.setY(ref.getAttribute("y"));
    builder.setWidth(ref.getAttribute("width"));
    builder.setHeight(ref.getAttribute("height"));
}

// A decoration with the reference element's id and geometry, whose picture the creator gives.
bool addDecoration(XmlElementOperator& parent, const XmlElementOperator& ref,
                   CzfServiceObject* presentation, std::unique_ptr<ImageTrackCreator> creator) {
    const std::string id = ref.getId();
    Merrow::DecorationElementBuilder builder(id.c_str(), presentation, std::move(creator));
    setGeometry(builder, ref);
    return builder.addTo(parent);
}

// An element with the given id (possibly empty) and the reference element's geometry.
bool addPlaceholder(XmlElementOperator& parent, const XmlElementOperator& ref, const char* name,
                    const std::string& id) {
    const std::string path = parent.appendElement(name, id);
    if (path.empty()) return false;
    XmlElementOperator written(parent.getXmlGlue(), path);
    for (const char* attribute : {"width", "height", "x", "y"}) {
        written.setAttribute(attribute, ref.getAttribute(attribute));
    }
    return true;
}

}  // namespace

bool CBDJCalendarApplicationCreator::addDecorationElement(XmlElementOperator& parent,
                                                          XmlElementOperator& ref,
                                                          CzfServiceObject* presentation,
                                                          SAVEDATA* /*record*/) {
    HandlerManager manager(*this);
    return addDecoration(
        parent, ref, presentation,
        std::unique_ptr<ImageTrackCreator>(manager.get().createDecorationImageCreator(ref)));
}

#if defined(MERROWKIT_OLDER_VARIANT)
bool CBDJCalendarApplicationCreator::addTextElement(XmlElementOperator& parent,
                                                    XmlElementOperator& ref,
                                                    CzfServiceObject* presentation,
                                                    SAVEDATA* /*record*/) {
    HandlerManager manager(*this);
    return addDecoration(
        parent, ref, presentation,
        std::unique_ptr<ImageTrackCreator>(manager.get().createTextImageCreator(ref)));
}
#endif

bool CBDJCalendarApplicationCreator::addButtonElement(XmlElementOperator& parent,
                                                      XmlElementOperator& ref,
                                                      CzfServiceObject* presentation,
                                                      SAVEDATA* /*record*/) {
    HandlerManager manager(*this);
    const std::string id = ref.getId();
    std::unique_ptr<ImageTrackCreator> focus(manager.get().createButtonFocusImageCreator(ref));
    std::unique_ptr<ImageTrackCreator> normal(manager.get().createButtonNormalImageCreator(ref));
    Merrow::ButtonElementBuilder builder(id.c_str(), presentation, std::move(normal),
                                         std::move(focus));
    setGeometry(builder, ref);
    return builder.addTo(parent);
}

bool CBDJCalendarApplicationCreator::addGraphicTextElement(XmlElementOperator& parent,
                                                           XmlElementOperator& ref,
                                                           CzfServiceObject* presentation,
                                                           SAVEDATA* record) {
    const std::string path = parent.appendElement("graphictext", ref.getId());
    if (path.empty()) return false;
    XmlElementOperator text(parent.getXmlGlue(), path);
    // The tiles have a fixed width whatever the design says.
    text.setAttribute("tileWidth", "50");
    text.setAttribute("tileHeight", ref.getAttribute("height"));
    text.setAttribute("x", ref.getAttribute("x"));
    text.setAttribute("y", ref.getAttribute("y"));
    text.setAttribute("type", ref.getAttribute("type"));
    text.setAttribute("value", "3333");
    text.setAttribute("tileImage",
                      makeNumberTileImage("Numbers_S1.png", presentation, record, true));
    return true;
}

bool CBDJCalendarApplicationCreator::addRectangleElement(XmlElementOperator& parent,
                                                         XmlElementOperator& ref,
                                                         CzfServiceObject* /*presentation*/,
                                                         SAVEDATA* /*record*/) {
    const std::string referenceId = ref.getId();
    std::string id;
    for (const IdPair& pair : kRectanglePairs) {
        if (translateElementId(id, referenceId, pair.marker, pair.replacement)) break;
    }
    return addPlaceholder(parent, ref, "rectangle", id);
}

bool CBDJCalendarApplicationCreator::addAnchorElement(XmlElementOperator& parent,
                                                      XmlElementOperator& ref,
                                                      CzfServiceObject* /*presentation*/,
                                                      SAVEDATA* /*record*/) {
    const std::string referenceId = ref.getId();
    std::string id;
    for (const IdPair& pair : kAnchorPairs) {
        if (translateElementId(id, referenceId, pair.marker, pair.replacement)) break;
    }
    return addPlaceholder(parent, ref, "anchor", id);
}
