#pragma once
// Writes a "use": one command call inside a trigger. Internal.

#include <string>

#include "builders/ElementBuilder.h"

namespace Merrow {

class UseElementBuilder : public ElementBuilder {
public:
    UseElementBuilder(const char* id, const char* target, const char* param);
    ~UseElementBuilder() override = default;
    bool addTo(XmlElementOperator& parent) override;
    using ElementBuilder::addTo;

private:
    std::string target_;
    std::string param_;
};

}  // namespace Merrow
