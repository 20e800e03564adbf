// The layout section: every page container of the reference layout is copied with its geometry
// and its children are handed to the handler of their kind; the chapter page layout goes to the
// chapter menu hookup instead. Also the rule that turns reference ids into output ids.

#include <cstring>
#include <string>

#include "creator/BDJCalendarApplicationCreator.h"
#include "creator/ChildRoute.h"
#include "document/HostString.h"
#include "document/NodeList.h"
#include "document/XPathText.h"
#include "imagetrack/BufferImageTrackCreatorManager.h"

using Merrow::ChildRoute;
using Merrow::step;
using Merrow::XmlElementOperator;

namespace {

// The container that holds the chapter menu template rather than a page.
constexpr const char* kChapterPageLayout = "ChapterPageLayout";

}  // namespace

bool CBDJCalendarApplicationCreator::addLayoutElement(CXMLOutputFileGlue& doc,
                                                      CXMLOutputFileGlue& ref,
                                                      CzfServiceObject* presentation,
                                                      SAVEDATA* record) {
    static constexpr ChildRoute kRoutes[] = {
        {"decoration", &CBDJCalendarApplicationCreator::addDecorationElement},
        {"icon", &CBDJCalendarApplicationCreator::addDecorationElement},
        {"graphicbutton", &CBDJCalendarApplicationCreator::addButtonElement},
        {"graphictext", &CBDJCalendarApplicationCreator::addGraphicTextElement},
        {"scrollcontainer3", &CBDJCalendarApplicationCreator::addScrollContainer3Element},
        {"gridcontainer", &CBDJCalendarApplicationCreator::addGridLayoutElement},
#if defined(MERROWKIT_OLDER_VARIANT)
        {"text", &CBDJCalendarApplicationCreator::addTextElement},
#endif
    };

    try {
        const char* const prefix = ref.GetNameSpaceString();
        const std::string rootPath = step(prefix, "root");
        const std::string layoutPath = rootPath + step(prefix, "layout");
        doc.AddNode(rootPath.c_str(), "layout", nullptr);

        bool result = false;
        Merrow::NodeList containers(ref, layoutPath + step(prefix, "container"));
        for (int i = 0; i < containers.size(); ++i) {
            const std::string id = containers.id(i);
            // A container without an id cannot be addressed or told apart: it is left out.
            if (id.empty()) continue;

            if (id == kChapterPageLayout) {
                // The chapter menu template: handed on whole, with a manager of its own. What
                // the hookup does cannot stop the walk or fail the section.
                try {
                    Merrow::BufferImageTrackCreatorManager manager;
                    XmlElementOperator chapterPageLayout(ref, "//" + std::string(prefix) + ":" +
                                                                  containers.name(i) +
                                                                  Merrow::idPredicate(id));
                    XmlElementOperator layout(doc, layoutPath);
                    addChapterMenuGroupElement(layout, chapterPageLayout, presentation, &manager);
                } catch (...) {
                }
                continue;
            }

            const std::string containerPath =
                layoutPath + step(prefix, "container") + Merrow::idPredicate(id);
            result = doc.AddNode(layoutPath.c_str(), "container", id.c_str());
            // Nothing of a container that could not be added is written anywhere.
            if (!result) break;

            auto copyAttribute = [&](const char* name) {
                Merrow::HostString value;
                ref.GetAttributeByID(id.c_str(), name, value.out());
                doc.SetNodeAttribute(containerPath.c_str(), name, value.get());
            };
            copyAttribute("width");
            copyAttribute("height");
            // Every page starts hidden; the calendar shows the one it needs.
            doc.SetNodeAttribute(containerPath.c_str(), "visibility", "false");
            copyAttribute("x");
            copyAttribute("y");

            XmlElementOperator referenceContainer(ref, containerPath);
            Merrow::routeChildren(*this, referenceContainer, doc, containerPath, kRoutes,
                                  presentation, record, [&](bool handled) {
                                      result = handled;
                                      return handled;
                                  });
            if (!result) break;
        }
        return result;
    } catch (...) {
        return false;
    }
}

bool CBDJCalendarApplicationCreator::translateElementId(std::string& out, std::string referenceId,
                                                        const char* marker,
                                                        const char* replacement) {
    if (marker == nullptr) return false;
    const size_t at = referenceId.find(marker);
    if (at == std::string::npos) return false;
    // Whatever stood before the marker is dropped.
    out = std::string(replacement != nullptr ? replacement : "") +
          referenceId.substr(at + std::strlen(marker));
    return true;
}
