#include "builders/CalendarCommandElementBuilder.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "builders/ReferenceWalk.h"
#include "builders/SceneGroupElementBuilder.h"
#include "builders/SelectButton.h"
#include "document/XPathText.h"

namespace Merrow {

namespace {

// The layout paths handed to the year scenes are written with this prefix.
constexpr const char* kPrefix = "NS";

// The integer at the start of the text, read as atoi reads it (leading white space and sign,
// then digits; 0 without digits), held to the range of int instead of overflowing.
long long readInteger(const std::string& text) {
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    return std::clamp<long long>(value, INT_MIN, INT_MAX);
}

// A month or day number: the entry's 0-based "index" plus one, 0 when there is no index.
long long entryNumber(const std::string& indexText) {
    return indexText.empty() ? 0 : readInteger(indexText) + 1;
}

std::string decimal(long long value) {
    return std::to_string(value);
}

// At least two digits, so that month 1 day 11 and month 11 day 1 give different texts.
std::string twoDigits(long long value) {
    char text[32];
    std::snprintf(text, sizeof text, "%02lld", value);
    return text;
}

std::string orZero(const std::string& text) {
    return text.empty() ? "0" : text;
}

// A slideshow's start as hours:minutes:seconds:frames. Each start frame stands for three
// seconds; the seconds are carried into minutes and hours, and a negative start counts as 0.
std::string startTimeText(const std::string& startFrameText) {
    const long long frames = std::max<long long>(readInteger(startFrameText), 0);
    const long long seconds = frames * 3;
    return decimal(seconds / 3600) + ":" + decimal(seconds / 60 % 60) + ":" +
           decimal(seconds % 60) + ":00";
}

// /root/layout/container[@id="YearPageLayout"]/scrollcontainer3
std::string yearScrollContainerPath() {
    return step(kPrefix, "root") + step(kPrefix, "layout") + step(kPrefix, "container") +
           idPredicate("YearPageLayout") + step(kPrefix, "scrollcontainer3");
}

}  // namespace

CalendarCommandElementBuilder::CalendarCommandElementBuilder(
    const char* id, XmlElementOperator& navigationInfo, CzfServiceObject* presentation,
    ImageTrackCreatorManager* manager, std::vector<ChapterMenuData>& chapterMenus)
    : ElementBuilder("calendar", id),
      navigationInfo_(navigationInfo),
      presentation_(presentation),
      manager_(manager),
      chapterMenus_(chapterMenus) {}

bool CalendarCommandElementBuilder::addTo(XmlElementOperator& parent) {
    if (!ElementBuilder::addTo(parent)) return false;
    CXMLOutputFileGlue& doc = parent.getXmlGlue();
    XmlElementOperator calendar(doc, xPath());
    calendar.setAttribute("firstPageId", "YearPage");
    XmlElementOperator pageRoot(doc, calendar.addElement("pageroot", "PageRoot"));

    XmlElementOperator dateInfo(navigationInfo_.getXmlGlue(),
                                navigationInfo_.getChildXPath("dateInfo", nullptr));
    XmlElementOperator yearPage(doc, pageRoot.addElement("yearpage", "YearPage"));
    yearPage.setAttribute("layoutId", "YearPageLayout");
    // The year page has no default title count: an empty one is left out.
    yearPage.setAttribute("titleNumber", dateInfo.getAttribute("TITLE_NUMBER"));
    yearPage.setAttribute("photoNumber", orZero(dateInfo.getAttribute("PHOTO_NUMBER")));

    return forEachChildElement(dateInfo,
                               [&](const std::string&, XmlElementOperator& yearEntry, int index) {
                                   return addYearElement(yearPage, yearEntry, index);
                               });
}

bool CalendarCommandElementBuilder::addYearElement(XmlElementOperator& yearPage,
                                                   XmlElementOperator& yearEntry, int index) {
    CXMLOutputFileGlue& doc = yearPage.getXmlGlue();
    XmlElementOperator year(doc, yearPage.appendElement("year", yearEntry.getId()));
    const bool added = !year.getXPath().empty();
    const std::string yearText = yearEntry.getAttribute("content");
    // A year without its text is incomplete: it gets no month page.
    if (!added || !year.setAttribute("year", yearText)) return false;

    const std::string monthPageId = "Y" + yearText + "MonthPage";
    if (!addPageElement(year, yearEntry, "monthpage", monthPageId.c_str(), "MonthPageLayout",
                        "M")) {
        return false;
    }

    // The year's scene on the year page. It reads this year's month page back from the tree,
    // so it comes after the month page; its result does not count for the year.
    {
        CXMLOutputFileGlue& ref = navigationInfo_.getXmlGlue();
        XmlElementOperator holderTemplate(
            ref, yearScrollContainerPath() + step(kPrefix, "scrollinfo") +
                     step(kPrefix, "scrollholder") + idPredicate("Y_HOLDER_1"));
        XmlElementOperator years(
            ref, std::string("/") + step(kPrefix, "navigationInfo") + step(kPrefix, "dateInfo"));
        SceneGroupElementBuilder scene(holderTemplate, years, presentation_, manager_, index);
        XmlElementOperator scrollContainer(doc, yearScrollContainerPath());
        scene.addTo(scrollContainer);
    }

    XmlElementOperator monthPage(doc, year.getChildXPath("monthpage", monthPageId.c_str()));
    return forEachChildElement(yearEntry,
                               [&](const std::string&, XmlElementOperator& monthEntry, int) {
                                   return addMonthElement(monthPage, monthEntry, yearEntry);
                               });
}

bool CalendarCommandElementBuilder::addPageElement(XmlElementOperator& parent,
                                                   XmlElementOperator& entry, const char* name,
                                                   const char* id, const char* layoutId,
                                                   const char* buttonPrefix) {
    XmlElementOperator page(parent.getXmlGlue(), parent.addElement(name, id));
    const bool added = !page.getXPath().empty();
    const std::string prefix = buttonPrefix ? buttonPrefix : "";
    page.setAttribute("layoutId", layoutId);
    page.setAttribute("nextPageButtonId", prefix + "_BTN_NEXT");
    page.setAttribute("previousPageButtonId", prefix + "_BTN_PREVIOUS");
    page.setAttribute("titleNumber", orZero(entry.getAttribute("TITLE_NUMBER")));
    page.setAttribute("photoNumber", orZero(entry.getAttribute("PHOTO_NUMBER")));
    return added;
}

bool CalendarCommandElementBuilder::addMonthElement(XmlElementOperator& monthPage,
                                                    XmlElementOperator& monthEntry,
                                                    XmlElementOperator& yearEntry) {
    CXMLOutputFileGlue& doc = monthPage.getXmlGlue();
    XmlElementOperator month(doc, monthPage.appendElement("month", monthEntry.getId()));
    if (month.getXPath().empty()) return false;

    const std::string monthNumber = decimal(entryNumber(monthEntry.getAttribute("index")));
    const std::string yearText = yearEntry.getAttribute("content");
    const std::string dayPageId = "D" + yearText + monthNumber + "DayPage";

    // Every write is tried; the month is complete only when all of them were made.
    bool complete = month.setAttribute("startDay", monthEntry.getAttribute("firstdayShift"));
    complete = month.setAttribute("month", monthNumber) && complete;
    complete = month.setAttribute("days", monthEntry.getAttribute("monthDays")) && complete;
    const std::string buttonId = "MonthSelectBtn_" + decimal(++monthButtonCount_);
    complete = month.setAttribute("thumbnailResId", buttonId) && complete;

    {
        SelectButton select(kMonthSelectButton, manager_, presentation_, monthEntry,
                            getMonthGridLayoutButtonOperator(), buttonId, month.getId(),
                            "SwitchPage," + dayPageId);
        addResourceElement(monthPage, select.resourceSet(), select.button());
        addFocusItemElement(monthPage, select.focusItem());
        addTriggerElement(monthPage, select.trigger());
    }
    if (!complete) return false;

    // The days do not count for the month: a failed day ends only this month's days.
    if (addPageElement(month, monthEntry, "daypage", dayPageId.c_str(), "DayPageLayout", "D")) {
        XmlElementOperator dayPage(doc, month.getChildXPath("daypage", dayPageId.c_str()));
        forEachChildElement(monthEntry, [&](const std::string&, XmlElementOperator& dayEntry, int) {
            return addDayElement(dayPage, dayEntry, monthEntry, yearEntry);
        });
    }
    return true;
}

bool CalendarCommandElementBuilder::addDayElement(XmlElementOperator& dayPage,
                                                  XmlElementOperator& dayEntry,
                                                  XmlElementOperator& monthEntry,
                                                  XmlElementOperator& yearEntry) {
    CXMLOutputFileGlue& doc = dayPage.getXmlGlue();
    XmlElementOperator day(doc, dayPage.appendElement("day", dayEntry.getId()));
    if (day.getXPath().empty()) return false;

    const long long dayNumber = entryNumber(dayEntry.getAttribute("index"));
    const long long monthNumber = entryNumber(monthEntry.getAttribute("index"));
    const std::string yearText = yearEntry.getAttribute("content");
    // Month and day take two digits each here, so that every day of a year has its own page.
    const std::string contentPageId =
        "C" + yearText + twoDigits(monthNumber) + twoDigits(dayNumber) + "ContentPage";

    const bool complete = day.setAttribute("day", decimal(dayNumber));
    const std::string buttonId = "DaySelectBtn_" + decimal(++dayButtonCount_);
    day.setAttribute("thumbnailResId", buttonId);
    {
        SelectButton select(kDaySelectButton, manager_, presentation_, dayEntry,
                            getDayGridLayoutButtonOperator(), buttonId, day.getId(),
                            "SwitchPage," + contentPageId);
        addResourceElement(dayPage, select.resourceSet(), select.button());
        addFocusItemElement(dayPage, select.focusItem());
        addTriggerElement(dayPage, select.trigger());
    }
    if (!complete) return false;

    if (!addPageElement(day, dayEntry, "contentpage", contentPageId.c_str(), "ContentPageLayout",
                        "C")) {
        return false;
    }
    XmlElementOperator contentPage(doc, day.getChildXPath("contentpage", contentPageId.c_str()));
    return forEachChildElement(dayEntry,
                               [&](const std::string&, XmlElementOperator& contentEntry, int) {
                                   return addContentElement(contentPage, contentEntry);
                               });
}

bool CalendarCommandElementBuilder::addContentElement(XmlElementOperator& contentPage,
                                                      XmlElementOperator& contentEntry) {
    CXMLOutputFileGlue& doc = contentPage.getXmlGlue();
    const std::string entryId = contentEntry.getId();
    const bool slideshow = !contentEntry.getAttribute("PHOTO_NUMBER").empty();

    // Whether the element was added is not tested: the writes below then simply find nothing.
    XmlElementOperator content(
        doc, contentPage.appendElement(slideshow ? "slideshowcontent" : "titlecontent", entryId));
    content.setAttribute("time", contentEntry.getAttribute("content"));
    if (slideshow) {
        content.setAttribute("startTime", startTimeText(contentEntry.getAttribute("startFrame")));
    }
    const std::string titleInfoId = contentEntry.getAttribute("titleInfoID");
    content.setAttribute("titleId", titleInfoId);

    // An entry that names no title has no chapter menu.
    if (!titleInfoId.empty()) {
        const auto menu = std::find_if(
            chapterMenus_.begin(), chapterMenus_.end(),
            [&](const ChapterMenuData& record) { return record.titleInfoId == titleInfoId; });
        if (menu != chapterMenus_.end()) {
            content.setAttribute("chapterLayoutId", menu->chapterLayoutId);
            content.setAttribute("showChapterCmdId", menu->showChapterCmdId);
            content.setAttribute("hideChapterCmdId", menu->hideChapterCmdId);
        }
    }

    const std::string buttonId = "ContentSelectBtn_" + decimal(++contentButtonCount_);
    content.setAttribute("thumbnailResId", buttonId);
    const std::string contentId = content.getId();
    SelectButton select(kContentSelectButton, manager_, presentation_, contentEntry,
                        getContentGridLayoutButtonOperator(), buttonId, contentId,
                        "PlayContent," + contentId);
    addResourceElement(contentPage, select.resourceSet(), select.button());
    addFocusItemElement(contentPage, select.focusItem());
    addTriggerElement(contentPage, select.trigger());
    return true;
}

}  // namespace Merrow
