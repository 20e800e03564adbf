#pragma once
// Writes a "focusitem" that points at the element receiving focus. Internal to the component.

#include <string>

#include "builders/ElementBuilder.h"

namespace Merrow {

class FocusItemElementBuilder : public ElementBuilder {
public:
    FocusItemElementBuilder(const char* id, const char* target);
    ~FocusItemElementBuilder() override = default;
    // False when the element was not added or the target was not written.
    bool addTo(XmlElementOperator& parent) override;
    using ElementBuilder::addTo;

private:
    std::string target_;
};

}  // namespace Merrow
