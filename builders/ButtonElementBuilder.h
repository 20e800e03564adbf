#pragma once
// Writes a "graphicbutton" with its normal, action and focus image tracks.

#include <string>

#include "builders/SizeableElementBuilder.h"
#include "imagetrack/ImageTrackCreator.h"

class CzfServiceObject;

namespace Merrow {

class MERROWKIT_API ButtonElementBuilder : public SizeableElementBuilder {
public:
    // Takes ownership of both creators; they may be the same object.
    ButtonElementBuilder(const char* id, CzfServiceObject* presentation,
                         ImageTrackCreator* normalImageCreator,
                         ImageTrackCreator* focusImageCreator);
    // A builder owns its creators, so it is never copied.
    ButtonElementBuilder(const ButtonElementBuilder&) = delete;
    ButtonElementBuilder& operator=(const ButtonElementBuilder&) = delete;
    ~ButtonElementBuilder() override;

    void setNormalImagePath(const char* path);
    void setFocusImagePath(const char* path);
    void setActionImagePath(const char* path);

    // True only when the element and both image tracks were made.
    bool addTo(XmlElementOperator& parent) override;
    using SizeableElementBuilder::addTo;

private:
    CzfServiceObject* presentation_;
    std::string normalImagePath_;
    std::string actionImagePath_;
    std::string focusImagePath_;
    ImageTrackCreator* normalImageCreator_;
    ImageTrackCreator* focusImageCreator_;
};

}  // namespace Merrow
