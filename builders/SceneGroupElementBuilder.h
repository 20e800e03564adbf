#pragma once
// Writes the elements of one scene of a scrolling strip: one chapter of a chapter menu, or one
// year of the year page, from the children of a template scroll holder.

#include <string>

#include "builders/BuildableElement.h"
#include "imagetrack/ImageTrackCreatorManager.h"

class CzfServiceObject;
class CXMLOutputFileGlue;

namespace Merrow {

// out = (head, or the text before the marker) + replacement + (tail, or the text after it).
// False, out unchanged, when the marker does not occur in text.
bool replaceIdToken(std::string& out, const std::string& text, const char* marker,
                    const char* replacement, const char* head, const char* tail);

// "T<n>_" with n = titleIndex + 1: the prefix of the identifiers of a title's chapter menu.
std::string titleIdPrefix(int titleIndex);

class MERROWKIT_API SceneGroupElementBuilder : public BuildableElement {
public:
    // One of the manager's creator operations.
    using CreatorCall = ImageTrackCreator* (ImageTrackCreatorManager::*)(XmlElementOperator&);

    SceneGroupElementBuilder(XmlElementOperator& holderTemplate, XmlElementOperator& entryList,
                             CzfServiceObject* presentation, ImageTrackCreatorManager* manager,
                             int index);
    SceneGroupElementBuilder(const SceneGroupElementBuilder&) = default;
    SceneGroupElementBuilder& operator=(const SceneGroupElementBuilder&) = delete;

    bool addTo(XmlElementOperator& parent) override;
    virtual ~SceneGroupElementBuilder() = default;

protected:
    bool addChapterSceneGroupElement(XmlElementOperator& parent, const char* number);
    bool addChapterSceneElement(XmlElementOperator& parent, XmlElementOperator& sceneTemplate,
                                const char* number);
    bool addYearLayoutSceneGroupElement(XmlElementOperator& parent, const char* number);
    bool addYearLayoutSceneElement(XmlElementOperator& parent, XmlElementOperator& sceneTemplate,
                                   const char* number);
    XmlElementOperator getChapterInfoElement();
    XmlElementOperator getYearInfoOperator();
    int getTitleInfoElementIndex();
    XmlElementOperator getEffectElement(CXMLOutputFileGlue& doc);
    XmlElementOperator getCommandElement(CXMLOutputFileGlue& doc);
    bool addFocusItemElement(CXMLOutputFileGlue& doc, BuildableElement& item);

private:
    // A thumbnail button with its focus item; true when the button was written with its pictures.
    bool addThumbnailScene(XmlElementOperator& parent, XmlElementOperator& sceneTemplate,
                           const std::string& id, XmlElementOperator& entry, CreatorCall normalCall,
                           CreatorCall focusCall);
    // A text button whose one creator serves both states.
    bool addTextScene(XmlElementOperator& parent, XmlElementOperator& sceneTemplate,
                      const std::string& id, XmlElementOperator& entry, CreatorCall textCall);
    void addChapterJump(CXMLOutputFileGlue& doc, XmlElementOperator& entry,
                        const std::string& launcher);
    void addMonthPageTrigger(CXMLOutputFileGlue& doc, const std::string& launcher);
    void addYearDecoration(XmlElementOperator& parent, XmlElementOperator& sceneTemplate,
                           const std::string& id);
    void addYearNumberText(XmlElementOperator& parent, XmlElementOperator& sceneTemplate,
                           const std::string& id, const char* numberAttribute);

    XmlElementOperator& holderTemplate_;
    XmlElementOperator& entryList_;
    CzfServiceObject* presentation_;
    int index_;
    ImageTrackCreatorManager* manager_;
    int titleIndexCache_ = -1;
};

}  // namespace Merrow
