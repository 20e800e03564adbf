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

class MERROWKIT_API SceneGroupElementBuilder : public BuildableElement {
public:
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
    XmlElementOperator& holderTemplate_;
    XmlElementOperator& entryList_;
    CzfServiceObject* presentation_;
    int index_;
    ImageTrackCreatorManager* manager_;
    int titleIndexCache_ = -1;
};

}  // namespace Merrow
