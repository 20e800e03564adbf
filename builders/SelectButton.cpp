#include "builders/SelectButton.h"

#include "builders/ElementIds.h"

namespace Merrow {

namespace {

std::unique_ptr<ImageTrackCreator> makeCreator(
    ImageTrackCreatorManager* manager,
    ImageTrackCreator* (ImageTrackCreatorManager::*create)(XmlElementOperator&),
    XmlElementOperator& entry) {
    if (manager == nullptr) return nullptr;
    return std::unique_ptr<ImageTrackCreator>((manager->*create)(entry));
}

}  // namespace

SelectButton::SelectButton(const SelectButtonKind& kind, ImageTrackCreatorManager* manager,
                           CzfServiceObject* presentation, XmlElementOperator& entry,
                           const XmlElementOperator& templateButton, const std::string& buttonId,
                           const std::string& entryId, const std::string& command)
    : resourceSet_(kind.resourceSet) {
    // The focus picture is asked for first, then the normal one.
    std::unique_ptr<ImageTrackCreator> focus = makeCreator(manager, kind.focusImageCreator, entry);
    std::unique_ptr<ImageTrackCreator> normal =
        makeCreator(manager, kind.normalImageCreator, entry);
    button_ = std::make_unique<ButtonElementBuilder>(buttonId.c_str(), presentation,
                                                     std::move(normal), std::move(focus));

    // The button sits at the origin of its resource set; only its size comes from the layout.
    button_->setX(0);
    button_->setY(0);
    button_->setWidth(templateButton.getAttribute("width"));
    button_->setHeight(templateButton.getAttribute("height"));

    focusItem_ = std::make_unique<FocusItemElementBuilder>(("focusitem_" + entryId).c_str(),
                                                           buttonId.c_str());
    trigger_ = std::make_unique<TriggerElementBuilder>(
        ("trigger_" + entryId).c_str(), buttonId.c_str(), TriggerElementBuilder::kStateAction,
        TriggerElementBuilder::kTypeButton);
    use_ = std::make_unique<UseElementBuilder>("", kCalendarCommandId, command.c_str());
    trigger_->addChild(use_.get());
}

SelectButton::~SelectButton() {
    // The trigger never touches its children after addTo; the use goes first all the same.
    use_.reset();
    trigger_.reset();
}

}  // namespace Merrow
