#pragma once
// The builders of one calendar select button: the "graphicbutton" for the kind's resource set, the
// "focusitem" that points at it, and the "trigger" whose one "use" sends a calendar command when
// the button is pressed. Internal to the calendar command builder.

#include <memory>
#include <string>

#include "builders/ButtonElementBuilder.h"
#include "builders/FocusItemElementBuilder.h"
#include "builders/TriggerElementBuilder.h"
#include "builders/UseElementBuilder.h"
#include "imagetrack/ImageTrackCreatorManager.h"

class CzfServiceObject;

namespace Merrow {

// What differs between month, day and content select buttons.
struct SelectButtonKind {
    const char* resourceSet;
    ImageTrackCreator* (ImageTrackCreatorManager::*normalImageCreator)(XmlElementOperator&);
    ImageTrackCreator* (ImageTrackCreatorManager::*focusImageCreator)(XmlElementOperator&);
};

inline constexpr SelectButtonKind kMonthSelectButton = {
    "MonthResourceSet", &ImageTrackCreatorManager::createMonthThumbnailNormalImageCreator,
    &ImageTrackCreatorManager::createMonthThumbnailFocusImageCreator};
inline constexpr SelectButtonKind kDaySelectButton = {
    "DayResourceSet", &ImageTrackCreatorManager::createDayThumbnailNormalImageCreator,
    &ImageTrackCreatorManager::createDayThumbnailFocusImageCreator};
inline constexpr SelectButtonKind kContentSelectButton = {
    "ContentResourceSet", &ImageTrackCreatorManager::createContentThumbnailNormalImageCreator,
    &ImageTrackCreatorManager::createContentThumbnailFocusImageCreator};

class SelectButton {
public:
    // entry: the navigation entry (reference document) the pictures are made from;
    // templateButton: the layout's template button that gives the width and height;
    // entryId: the identifier of the entry element written to the new document.
    SelectButton(const SelectButtonKind& kind, ImageTrackCreatorManager* manager,
                 CzfServiceObject* presentation, XmlElementOperator& entry,
                 const XmlElementOperator& templateButton, const std::string& buttonId,
                 const std::string& entryId, const std::string& command);
    SelectButton(const SelectButton&) = delete;
    SelectButton& operator=(const SelectButton&) = delete;
    ~SelectButton();

    const char* resourceSet() const { return resourceSet_; }
    ButtonElementBuilder& button() { return *button_; }
    FocusItemElementBuilder& focusItem() { return *focusItem_; }
    TriggerElementBuilder& trigger() { return *trigger_; }

private:
    const char* resourceSet_;
    std::unique_ptr<ButtonElementBuilder> button_;
    std::unique_ptr<FocusItemElementBuilder> focusItem_;
    std::unique_ptr<TriggerElementBuilder> trigger_;
    std::unique_ptr<UseElementBuilder> use_;
};

}  // namespace Merrow
