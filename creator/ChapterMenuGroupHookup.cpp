// The chapter page layout of the reference document becomes one hidden chapter menu per title
// with two or more chapters; the identifiers of every menu are kept for the calendar.

#include <string>

#include "builders/ChapterMenuGroupElementBuilder.h"
#include "builders/ReferenceWalk.h"
#include "creator/BDJCalendarApplicationCreator.h"

bool CBDJCalendarApplicationCreator::addChapterMenuGroupElement(
    Merrow::XmlElementOperator& layout, Merrow::XmlElementOperator& chapterPageLayout,
    CzfServiceObject* presentation, Merrow::ImageTrackCreatorManager* manager) {
    try {
        CXMLOutputFileGlue& ref = chapterPageLayout.getXmlGlue();
        Merrow::XmlElementOperator titles(ref,
                                          Merrow::anywhere(ref.GetNameSpaceString(), "titlesInfo"));
        // A failing menu ends the walk; its record is kept all the same.
        Merrow::walkReferenceChildren(
            titles, [&](const std::string& tag, Merrow::XmlElementOperator& titleInfo, int position,
                        bool& running) {
                if (tag != "titleInfo") return;
                if (titleInfo.childCount("chapterInfo") < 2) {
                    running = true;
                    return;
                }
                Merrow::ChapterMenuGroupElementBuilder builder(presentation, chapterPageLayout,
                                                               titleInfo, position, manager);
                running = builder.addTo(layout);
                Merrow::ChapterMenuData record;
                record.titleInfoId = titleInfo.getId();
                record.chapterLayoutId = builder.getChpaterLayoutContainerId();
                record.showChapterCmdId = builder.getShowChapterCommandId();
                record.hideChapterCmdId = builder.getHideChapterCommandId();
                chapterMenuRecords.push_back(record);
            });
    } catch (...) {
        // The layout section goes on whatever happened here.
    }
    return true;
}
