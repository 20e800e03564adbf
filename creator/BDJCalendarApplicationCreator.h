#pragma once
// Turns one creation request into a presentation object and its calendar presentation document.
// createApplication is the driver; each section method writes one part of the new document.

#include <memory>
#include <string>
#include <vector>

#include "builders/ChapterMenuData.h"
#include "creator/TitleRecord.h"
#include "document/XmlElementOperator.h"
#include "host/dom/XmlOutputFileGlue.h"
#include "host/objects/HostTypes.h"
#include "imagetrack/ImageTrackCreatorManager.h"
#include "merrowkit/Export.h"

class CzfServiceObject;

namespace Merrow {
class BufferImageTrackCreatorManager;
}

// The calendar namespace of the new document.
inline constexpr const char* kCalendarNamespaceUri = "http://merrowkit.example/BD-J/Calendar/0.1";

class MERROWKIT_API CBDJCalendarApplicationCreator {
public:
    CBDJCalendarApplicationCreator(CzfServiceObject* source, CzfServiceObject* title,
                                   CzfServiceObject* titleSource);
    CBDJCalendarApplicationCreator(const CBDJCalendarApplicationCreator& other);
    CBDJCalendarApplicationCreator& operator=(const CBDJCalendarApplicationCreator& other);
    virtual ~CBDJCalendarApplicationCreator();

    // *presentation must be null on entry; on return it holds the presentation object (owned by
    // the caller) when one was made. False when the preconditions fail or the presentation
    // object cannot be created.
    bool createApplication(CzfServiceObject** presentation);

protected:
    // Sections, in the driver's order.
    bool addLoadingAnimationElement(CXMLOutputFileGlue& doc);
    bool addTitleListElement(CXMLOutputFileGlue& doc, CzfServiceObject* titleSource);
    bool addResourceListElement(CXMLOutputFileGlue& doc, CXMLOutputFileGlue& ref,
                                CzfServiceObject* presentation, SAVEDATA* record);
    bool addLayoutElement(CXMLOutputFileGlue& doc, CXMLOutputFileGlue& ref,
                          CzfServiceObject* presentation, SAVEDATA* record);
    bool addCommandSectionElement(CXMLOutputFileGlue& doc, CXMLOutputFileGlue& ref,
                                  CzfServiceObject* presentation, SAVEDATA* record);
    bool addEffectSectionElement(CXMLOutputFileGlue& doc, CXMLOutputFileGlue& ref);

    // Layout handlers: output parent, reference element, presentation object, project record.
    bool addDecorationElement(Merrow::XmlElementOperator& parent, Merrow::XmlElementOperator& ref,
                              CzfServiceObject* presentation, SAVEDATA* record);
    bool addButtonElement(Merrow::XmlElementOperator& parent, Merrow::XmlElementOperator& ref,
                          CzfServiceObject* presentation, SAVEDATA* record);
    bool addGraphicTextElement(Merrow::XmlElementOperator& parent, Merrow::XmlElementOperator& ref,
                               CzfServiceObject* presentation, SAVEDATA* record);
    bool addRectangleElement(Merrow::XmlElementOperator& parent, Merrow::XmlElementOperator& ref,
                             CzfServiceObject* presentation, SAVEDATA* record);
    bool addAnchorElement(Merrow::XmlElementOperator& parent, Merrow::XmlElementOperator& ref,
                          CzfServiceObject* presentation, SAVEDATA* record);
    bool addTextElement(Merrow::XmlElementOperator& parent, Merrow::XmlElementOperator& ref,
                        CzfServiceObject* presentation, SAVEDATA* record);
    bool addGridLayoutElement(Merrow::XmlElementOperator& parent, Merrow::XmlElementOperator& ref,
                              CzfServiceObject* presentation, SAVEDATA* record);
    bool addGridLayoutItemElement(Merrow::XmlElementOperator& parent,
                                  Merrow::XmlElementOperator& ref, CzfServiceObject* presentation,
                                  SAVEDATA* record);
    bool addScrollContainer3Element(Merrow::XmlElementOperator& parent,
                                    Merrow::XmlElementOperator& ref, CzfServiceObject* presentation,
                                    SAVEDATA* record);
    bool addScrollInfoElement(Merrow::XmlElementOperator& parent, Merrow::XmlElementOperator& ref,
                              CzfServiceObject* presentation, SAVEDATA* record);
    bool addScrollHolderElement(Merrow::XmlElementOperator& parent, Merrow::XmlElementOperator& ref,
                                CzfServiceObject* presentation, SAVEDATA* record);

    bool translateElementId(std::string& out, std::string referenceId, const char* marker,
                            const char* replacement);

    // Command section parts.
    bool addCalendarCommandElement(Merrow::XmlElementOperator& command,
                                   Merrow::XmlElementOperator& navigationInfo,
                                   CzfServiceObject* presentation,
                                   Merrow::ImageTrackCreatorManager* manager, SAVEDATA* record);
    bool addFocusControlCommandElement(Merrow::XmlElementOperator& command,
                                       Merrow::XmlElementOperator& navigationInfo);
    bool addEventHandlerCommandElement(Merrow::XmlElementOperator& command,
                                       Merrow::XmlElementOperator& navigationInfo);

    bool addChapterMenuGroupElement(Merrow::XmlElementOperator& layout,
                                    Merrow::XmlElementOperator& chapterPageLayout,
                                    CzfServiceObject* presentation,
                                    Merrow::ImageTrackCreatorManager* manager);

    // The object id of a number tile image made from the named file ("" when none was made).
    std::string makeNumberTileImage(const char* fileName, CzfServiceObject* presentation,
                                    SAVEDATA* record, bool resolveFile);

    CzfServiceObject* source;
    CzfServiceObject* title;
    CzfServiceObject* titleSource;
    std::vector<TitleRecord> titleRecords;
    std::vector<Merrow::ChapterMenuData> chapterMenuRecords;
    std::string firstScrollHolderPath;
#if defined(MERROWKIT_OLDER_VARIANT)
    // The older variant keeps one manager for all layout handlers.
    Merrow::BufferImageTrackCreatorManager* imageTrackCreatorManager;
#endif

private:
    // The image track creator manager of one layout handler call (creator/HandlerManager.h).
    class HandlerManager;
};
