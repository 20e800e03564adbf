#pragma once
// Writes one title's hidden chapter menu: a container copied from the chapter page template, its
// scrolling strip with one scene per chapter, focus items, and the show and hide commands.

#include <memory>
#include <string>

#include "builders/BuildableElement.h"
#include "imagetrack/ImageTrackCreatorManager.h"

class CzfServiceObject;

namespace Merrow {

class MERROWKIT_API ChapterMenuGroupElementBuilder : public BuildableElement {
public:
    ChapterMenuGroupElementBuilder(CzfServiceObject* presentation,
                                   XmlElementOperator& layoutTemplate,
                                   XmlElementOperator& titleInfo, int titleIndex,
                                   ImageTrackCreatorManager* manager);
    // The builder owns two handles, so it is never copied.
    ChapterMenuGroupElementBuilder(const ChapterMenuGroupElementBuilder&) = delete;
    ChapterMenuGroupElementBuilder& operator=(const ChapterMenuGroupElementBuilder&) = delete;

    bool addTo(XmlElementOperator& parent) override;
    virtual ~ChapterMenuGroupElementBuilder();

    std::string getChpaterLayoutContainerId() const { return layoutContainerId_; }
    std::string getShowChapterCommandId() const { return showCommandId_; }
    std::string getHideChapterCommandId() const { return hideCommandId_; }

protected:
    bool addChapterLayoutContainerElement(XmlElementOperator& parent,
                                          XmlElementOperator& referenceLayout, const char* prefix);
    bool addScrollContainerElement(XmlElementOperator& parent, XmlElementOperator& referenceScroll,
                                   const char* prefix);
    bool addSceneGroupElement(XmlElementOperator& scrollContainer,
                              XmlElementOperator& holderTemplate, XmlElementOperator& titleInfo);

private:
    bool addScrollInfoElement(XmlElementOperator& parent, XmlElementOperator& referenceInfo);
    bool addHolderElement(XmlElementOperator& parent, XmlElementOperator& referenceHolder,
                          int index);
    bool addShowHideCommandElements(XmlElementOperator& handle);
    bool addFocusItemElement(XmlElementOperator& handle, BuildableElement& item);
    XmlElementOperator getEventhandlerCommandElement(XmlElementOperator& handle);

    XmlElementOperator& titleInfo_;
    XmlElementOperator& layoutTemplate_;
    CzfServiceObject* presentation_;
    ImageTrackCreatorManager* manager_;
    int titleIndex_;
    std::unique_ptr<XmlElementOperator> scrollContainer_;
    std::unique_ptr<XmlElementOperator> holderTemplate_;
    std::string layoutContainerId_;
    std::string showCommandId_;
    std::string hideCommandId_;
};

}  // namespace Merrow
