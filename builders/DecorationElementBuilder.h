#pragma once
// Writes a "decoration" with its image track.

#include <memory>
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
    // Without a creator the picture comes from the image path alone.
    DecorationElementBuilder(const char* id, CzfServiceObject* presentation,
                             std::unique_ptr<ImageTrackCreator> imageCreator = nullptr);
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
    std::unique_ptr<ImageTrackCreator> imageCreator_;
};

}  // namespace Merrow
