#pragma once
// Writes a "decoration" with its image track.

#include <string>

#include "builders/SizeableElementBuilder.h"
#include "imagetrack/ImageTrackCreator.h"

class CzfServiceObject;

namespace Merrow {

class MERROWKIT_API DecorationElementBuilder : public SizeableElementBuilder {
public:
    // Takes ownership of the creator.
    DecorationElementBuilder(const char* id, CzfServiceObject* presentation,
                             ImageTrackCreator* imageCreator);
    DecorationElementBuilder(const DecorationElementBuilder&) = delete;
    DecorationElementBuilder& operator=(const DecorationElementBuilder&) = delete;
    ~DecorationElementBuilder() override;

    void setImagePath(const char* path);
    void setImagePath(const std::string& path) { setImagePath(path.c_str()); }

    // True only when the image track was made.
    bool addTo(XmlElementOperator& parent) override;
    using SizeableElementBuilder::addTo;

private:
    CzfServiceObject* presentation_;
    std::string imagePath_;
    ImageTrackCreator* imageCreator_;
};

}  // namespace Merrow
