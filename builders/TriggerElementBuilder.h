#pragma once
// Writes a "trigger" that fires when its launcher is actioned, and its children. Internal.

#include <string>
#include <vector>

#include "builders/ElementBuilder.h"

namespace Merrow {

class TriggerElementBuilder : public ElementBuilder {
public:
    // The state and type codes: kStateAction writes "action", kStateFocus "focus", kTypeButton
    // "button"; other codes write nothing.
    static constexpr int kStateAction = 1;
    static constexpr int kStateFocus = 2;
    static constexpr int kTypeButton = 1;

    TriggerElementBuilder(const char* id, const char* launcher, int state, int type);
    ~TriggerElementBuilder() override = default;

    // The trigger does not own its children; they must live until addTo has run.
    void addChild(ElementBuilder* child);
    bool addTo(XmlElementOperator& parent) override;
    using ElementBuilder::addTo;

private:
    std::string launcher_;
    int stateCode_;
    int typeCode_;
    std::vector<ElementBuilder*> children_;
};

}  // namespace Merrow
