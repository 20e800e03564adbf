#pragma once
// Writes the calendar's page tree (years, months, days, contents) under the command section,
// with a select button, focus item and trigger for every month, day and content entry.

#include <string>
#include <vector>

#include "builders/ChapterMenuData.h"
#include "builders/ElementBuilder.h"
#include "imagetrack/ImageTrackCreatorManager.h"

class CzfServiceObject;

namespace Merrow {

class MERROWKIT_API CalendarCommandElementBuilder : public ElementBuilder {
public:
    CalendarCommandElementBuilder(const char* id, XmlElementOperator& navigationInfo,
                                  CzfServiceObject* presentation, ImageTrackCreatorManager* manager,
                                  std::vector<ChapterMenuData>& chapterMenus);
    CalendarCommandElementBuilder(const CalendarCommandElementBuilder&) = default;
    ~CalendarCommandElementBuilder() override = default;

    bool addTo(XmlElementOperator& parent) override;
    using ElementBuilder::addTo;

protected:
    bool addYearElement(XmlElementOperator& yearPage, XmlElementOperator& yearEntry, int index);
    bool addMonthElement(XmlElementOperator& monthPage, XmlElementOperator& monthEntry,
                         XmlElementOperator& yearEntry);
    bool addDayElement(XmlElementOperator& dayPage, XmlElementOperator& dayEntry,
                       XmlElementOperator& monthEntry, XmlElementOperator& yearEntry);
    bool addContentElement(XmlElementOperator& contentPage, XmlElementOperator& contentEntry);
    bool addPageElement(XmlElementOperator& parent, XmlElementOperator& entry, const char* name,
                        const char* id, const char* layoutId, const char* buttonPrefix);

    bool addResourceElement(XmlElementOperator& parent, const char* setId, ElementBuilder& builder);
    bool addFocusItemElement(XmlElementOperator& parent, ElementBuilder& builder);
    bool addTriggerElement(XmlElementOperator& parent, ElementBuilder& builder);
    XmlElementOperator getMonthGridLayoutButtonOperator();
    XmlElementOperator getDayGridLayoutButtonOperator();
    XmlElementOperator getContentGridLayoutButtonOperator();

private:
    XmlElementOperator& navigationInfo_;
    CzfServiceObject* presentation_;
    int monthButtonCount_ = 0;
    int dayButtonCount_ = 0;
    int contentButtonCount_ = 0;
    ImageTrackCreatorManager* manager_;
    std::vector<ChapterMenuData>& chapterMenus_;
};

}  // namespace Merrow
