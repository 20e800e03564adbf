#pragma once
// An element with a local name and an identifier, which remembers where it was written.

#include <string>

#include "builders/BuildableElement.h"

namespace Merrow {

class MERROWKIT_API ElementBuilder : public BuildableElement {
public:
    ElementBuilder() = default;
    ElementBuilder(const char* name, const char* id);
    ElementBuilder(const ElementBuilder&) = default;
    ElementBuilder& operator=(const ElementBuilder&) = default;

    // Adds the element under parent; true and the path recorded when the host added it.
    bool addTo(XmlElementOperator& parent) override;
    virtual ~ElementBuilder() = default;
    // Writes nothing: true for another builder, false for this one.
    virtual bool addTo(ElementBuilder& other);

    std::string getName() const { return name_; }
    std::string getId() const { return id_; }
    std::string xPath() const { return xpath_; }

private:
    std::string name_;
    std::string id_;
    std::string xpath_;
};

}  // namespace Merrow
