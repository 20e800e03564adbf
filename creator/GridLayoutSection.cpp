// Grid layouts: a reference "gridcontainer" becomes a "gridlayout" with the grid's background
// picture beside it, and the overlay items of its template cell (date number, title and photo
// marks and counters) are copied into it. The cell buttons are made later by the calendar pages.

#include <string>

#include "builders/DecorationElementBuilder.h"
#include "creator/BDJCalendarApplicationCreator.h"
#include "creator/ChildRoute.h"
#include "document/CreatorSetToolBox.h"
#include "document/XPathText.h"

using Merrow::ChildRoute;
using Merrow::XmlElementOperator;

namespace {

// The picture of the number tiles.
constexpr const char* kNumberTiles = "Numbers_S1.png";

// Copied from the gridcontainer in this order; "vGap" is written twice, the second time
// changing nothing.
constexpr const char* kGridAttributes[] = {
    "x",    "y",    "width",     "height",     "col",         "row",          "hGap",
    "vGap", "vGap", "topMargin", "leftMargin", "rightMargin", "bottomMargin",
};

void copyAttribute(XmlElementOperator& to, const XmlElementOperator& from, const char* name) {
    to.setAttribute(name, from.getAttribute(name));
}

}  // namespace

bool CBDJCalendarApplicationCreator::addGridLayoutElement(XmlElementOperator& parent,
                                                          XmlElementOperator& ref,
                                                          CzfServiceObject* presentation,
                                                          SAVEDATA* record) {
    static constexpr ChildRoute kRoutes[] = {
        {"graphictext", &CBDJCalendarApplicationCreator::addGridLayoutItemElement},
        {"graphicbutton", &CBDJCalendarApplicationCreator::addGridLayoutItemElement},
        {"text", &CBDJCalendarApplicationCreator::addGridLayoutItemElement},
        {"icon", &CBDJCalendarApplicationCreator::addGridLayoutItemElement},
    };

    const std::string gridId = ref.getId();
    const std::string gridPath = parent.appendElement("gridlayout", gridId);
    if (!gridPath.empty()) {
        XmlElementOperator grid(parent.getXmlGlue(), gridPath);
        for (const char* name : kGridAttributes) copyAttribute(grid, ref, name);

        // The grid's background picture stands beside the grid layout, after it.
        const std::string image = ref.getAttribute("image");
        if (!image.empty()) {
            Merrow::DecorationElementBuilder background((gridId + "_BGIMAGE").c_str(),
                                                        presentation);
            background.setImagePath(CreatorSetToolBox::imagePathProcess(image.c_str()));
            background.setX(ref.getAttribute("x"));
            background.setY(ref.getAttribute("y"));
            background.setWidth(ref.getAttribute("width"));
            background.setHeight(ref.getAttribute("height"));
            background.addTo(parent);
        }
    }

    // The template cell is walked even when the grid layout could not be added.
    const std::string templateStep =
        std::string("gridholder") + Merrow::attributePredicate("type", "TEMPLATE");
    XmlElementOperator templateCell(ref.getXmlGlue(),
                                    ref.getChildXPath(templateStep.c_str(), nullptr));
    Merrow::routeChildren(*this, templateCell, parent.getXmlGlue(), gridPath, kRoutes, presentation,
                          record, [](bool) { return true; });
    return !gridPath.empty();
}

bool CBDJCalendarApplicationCreator::addGridLayoutItemElement(XmlElementOperator& parent,
                                                              XmlElementOperator& ref,
                                                              CzfServiceObject* presentation,
                                                              SAVEDATA* record) {
    enum class Item { None, Date, Mark, Counter };

    // The kind of item follows from the reference id alone; the first marker found decides.
    const std::string referenceId = ref.getId();
    std::string id;
    Item item = Item::None;
    if (translateElementId(id, referenceId, "INDEX_1", "Date_1")) {
        item = Item::Date;
    } else if (translateElementId(id, referenceId, "SCENE_", "SCENE_") ||
               translateElementId(id, referenceId, "Text_", "Text_")) {
        item = Item::None;  // scene thumbnails and texts are the calendar pages' business
    } else if (translateElementId(id, referenceId, "TITLE_DECORATION_1", "title_decoration_1") ||
               translateElementId(id, referenceId, "PHOTO_DECORATION_1", "photo_decoration_1")) {
        item = Item::Mark;
    } else if (translateElementId(id, referenceId, "TITLE_NUMBER_1", "title_number_1") ||
               translateElementId(id, referenceId, "PHOTO_NUMBER_1", "photo_number_1")) {
        item = Item::Counter;
    }
    if (item == Item::None) return true;

    const char* const element = item == Item::Mark ? "decoration" : "graphictext";
    const std::string path = parent.appendElement(element, id);
    // An item that could not be added gets no picture either: no track is left unreferenced.
    if (path.empty()) return true;
    XmlElementOperator written(parent.getXmlGlue(), path);

    switch (item) {
        case Item::Date:
            written.setAttribute("tileImage",
                                 makeNumberTileImage(kNumberTiles, presentation, record, true));
            copyAttribute(written, ref, "x");
            copyAttribute(written, ref, "y");
            written.setAttribute("tileHeight", ref.getAttribute("height"));
            written.setAttribute("tileWidth", "28");
            written.setAttribute("type", ref.getAttribute("type") == "TIME" ? "TIME" : "DATE");
            break;
        case Item::Mark:
            copyAttribute(written, ref, "x");
            copyAttribute(written, ref, "y");
            copyAttribute(written, ref, "height");
            copyAttribute(written, ref, "width");
            // The mark's own picture file, taken as it is named.
            written.setAttribute("image", makeNumberTileImage(ref.getAttribute("image").c_str(),
                                                              presentation, record, false));
            break;
        case Item::Counter:
            written.setAttribute("tileImage",
                                 makeNumberTileImage(kNumberTiles, presentation, record, true));
            written.setAttribute("tileWidth", "20");
            written.setAttribute("tileHeight", "28");
            copyAttribute(written, ref, "type");
            break;
        case Item::None:
            break;
    }
    return true;
}
