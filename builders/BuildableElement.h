#pragma once
// Anything that can add itself under a parent element.

#include "document/XmlElementOperator.h"
#include "merrowkit/Export.h"

namespace Merrow {

class MERROWKIT_API BuildableElement {
public:
    virtual bool addTo(XmlElementOperator& parent) = 0;

protected:
    BuildableElement() = default;
    BuildableElement(const BuildableElement&) = default;
    BuildableElement& operator=(const BuildableElement&) = default;
    ~BuildableElement() = default;
};

}  // namespace Merrow
