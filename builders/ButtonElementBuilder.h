#pragma once
// Writes a "graphicbutton" with its normal, action and focus image tracks.

#include <memory>
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
    ButtonElementBuilder(const char* id, CzfServiceObject* presentation,
                         std::unique_ptr<ImageTrackCreator> normalImageCreator,
                         std::unique_ptr<ImageTrackCreator> focusImageCreator);
    // One creator serves both states.
    ButtonElementBuilder(const char* id, CzfServiceObject* presentation,
                         std::unique_ptr<ImageTrackCreator> imageCreator);
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
    std::unique_ptr<ImageTrackCreator> normalImageCreator_;
    // Null when the normal creator serves the focus state too.
    std::unique_ptr<ImageTrackCreator> focusImageCreator_;
    bool sharedCreator_ = false;
};

}  // namespace Merrow
