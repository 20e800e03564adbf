#include "builders/SceneGroupElementBuilder.h"

#include <memory>
#include <string>

#include "builders/ButtonElementBuilder.h"
#include "builders/DecorationElementBuilder.h"
#include "builders/ElementIds.h"
#include "builders/FocusItemElementBuilder.h"
#include "builders/ReferenceWalk.h"
#include "builders/TriggerElementBuilder.h"
#include "builders/UseElementBuilder.h"
#include "document/CreatorSetToolBox.h"
#include "imagetrack/ImageTrackCreator.h"

namespace Merrow {

namespace {

// Every identifier of a year scene starts with this head.
constexpr const char* kYearHead = "L1_";
// The tile picture of the year scenes' number texts, and the size of one tile.
constexpr const char* kNumberTiles = "Numbers_S1.png";
constexpr const char* kTileWidth = "20";
constexpr const char* kTileHeight = "28";

using M = ImageTrackCreatorManager;

// A creator from the manager; null without a manager.
std::unique_ptr<ImageTrackCreator> askManager(ImageTrackCreatorManager* manager,
                                              SceneGroupElementBuilder::CreatorCall call,
                                              XmlElementOperator& element) {
    return std::unique_ptr<ImageTrackCreator>(manager != nullptr ? (manager->*call)(element)
                                                                 : nullptr);
}

// A scene button: its size from the template child, its place left to the strip.
bool addSceneButton(XmlElementOperator& parent, ButtonElementBuilder& button,
                    XmlElementOperator& sceneTemplate) {
    button.setWidth(sceneTemplate.getAttribute("width"));
    button.setHeight(sceneTemplate.getAttribute("height"));
    return button.addTo(parent);
}

// A trigger in the effect section that runs the use when the launcher is actioned.
void addActionTrigger(CXMLOutputFileGlue& doc, const std::string& id, const std::string& launcher,
                      UseElementBuilder& use) {
    TriggerElementBuilder trigger(id.c_str(), launcher.c_str(), TriggerElementBuilder::kStateAction,
                                  TriggerElementBuilder::kTypeButton);
    trigger.addChild(&use);
    XmlElementOperator effect = sectionElement(doc, "effect");
    trigger.addTo(effect);
}

}  // namespace

bool replaceIdToken(std::string& out, const std::string& text, const char* marker,
                    const char* replacement, const char* head, const char* tail) {
    if (marker == nullptr) return false;
    const std::string::size_type at = text.find(marker);
    if (at == std::string::npos) return false;
    const std::string newHead = head != nullptr ? std::string(head) : text.substr(0, at);
    const std::string newTail = tail != nullptr
                                    ? std::string(tail)
                                    : text.substr(at + std::char_traits<char>::length(marker));
    out = newHead + (replacement != nullptr ? replacement : "") + newTail;
    return true;
}

std::string titleIdPrefix(int titleIndex) {
    std::string prefix = "T";
    prefix += std::to_string(titleIndex + 1);
    prefix += '_';
    return prefix;
}

SceneGroupElementBuilder::SceneGroupElementBuilder(XmlElementOperator& holderTemplate,
                                                   XmlElementOperator& entryList,
                                                   CzfServiceObject* presentation,
                                                   ImageTrackCreatorManager* manager, int index)
    : holderTemplate_(holderTemplate),
      entryList_(entryList),
      presentation_(presentation),
      index_(index),
      manager_(manager) {}

bool SceneGroupElementBuilder::addTo(XmlElementOperator& parent) {
    const std::string number = index_ >= 0 ? std::to_string(index_ + 1) : std::string();
    if (entryList_.childCount("yearInfo") > 0) {
        return addYearLayoutSceneGroupElement(parent, number.c_str());
    }
    if (entryList_.childCount("chapterInfo") > 1) {
        return addChapterSceneGroupElement(parent, number.c_str());
    }
    // A title with a single chapter gets no scene.
    return false;
}

bool SceneGroupElementBuilder::addChapterSceneGroupElement(XmlElementOperator& parent,
                                                           const char* number) {
    const bool walked = walkReferenceChildren(
        holderTemplate_,
        [&](const std::string& tag, XmlElementOperator& child, int, bool& running) {
            if (tag == "graphicbutton" || tag == "scenetext") {
                running = addChapterSceneElement(parent, child, number);
            } else if (tag == "rectangle") {
                // A placeholder of the holder: nothing to write, the walk goes on.
                running = true;
            }
        });
    return walked;
}

bool SceneGroupElementBuilder::addYearLayoutSceneGroupElement(XmlElementOperator& parent,
                                                              const char* number) {
    const bool walked = walkReferenceChildren(holderTemplate_, [&](const std::string& tag,
                                                                   XmlElementOperator& child, int,
                                                                   bool& running) {
        if (tag == "graphicbutton" || tag == "scenetext" || tag == "icon" || tag == "graphictext") {
            running = addYearLayoutSceneElement(parent, child, number);
        }
    });
    return walked;
}

bool SceneGroupElementBuilder::addChapterSceneElement(XmlElementOperator& parent,
                                                      XmlElementOperator& sceneTemplate,
                                                      const char* number) {
    const std::string prefix = titleIdPrefix(getTitleInfoElementIndex());
    const std::string templateId = sceneTemplate.getId();
    std::string id;
    if (replaceIdToken(id, templateId, "BUTTON_", "SCENE_", prefix.c_str(), number)) {
        // Chapter thumbnail, and a jump to the chapter when the title list knows the title.
        XmlElementOperator entry = getChapterInfoElement();
        const bool result = addThumbnailScene(parent, sceneTemplate, id, entry,
                                              &M::createChapterThumbnailNormalImageCreator,
                                              &M::createChapterThumbnailFocusImageCreator);
        addChapterJump(parent.getXmlGlue(), entry, id);
        return result;
    }
    if (replaceIdToken(id, templateId, "TEXT_", "TEXT_", prefix.c_str(), number)) {
        XmlElementOperator entry = getChapterInfoElement();
        return addTextScene(parent, sceneTemplate, id, entry,
                            &M::createChapterTextNormalImageCreator);
    }
    return true;
}

bool SceneGroupElementBuilder::addYearLayoutSceneElement(XmlElementOperator& parent,
                                                         XmlElementOperator& sceneTemplate,
                                                         const char* number) {
    const std::string templateId = sceneTemplate.getId();
    std::string id;
    if (replaceIdToken(id, templateId, "BUTTON_", "SCENE_", kYearHead, number)) {
        // Year thumbnail, and a trigger to the year's month page.
        XmlElementOperator entry = getYearInfoOperator();
        const bool result = addThumbnailScene(parent, sceneTemplate, id, entry,
                                              &M::createYearThumbnailNormalImageCreator,
                                              &M::createYearThumbnailFocusImageCreator);
        if (index_ >= 0) addMonthPageTrigger(parent.getXmlGlue(), id);
        return result;
    }
    if (replaceIdToken(id, templateId, "TEXT_", "TEXT_", kYearHead, number)) {
        XmlElementOperator entry = getYearInfoOperator();
        return addTextScene(parent, sceneTemplate, id, entry, &M::createYearTextNormalImageCreator);
    }
    if (replaceIdToken(id, templateId, "TITLE_DECORATION_1", "TITLEDECORATION_", kYearHead,
                       number) ||
        replaceIdToken(id, templateId, "PHOTO_DECORATION_1", "PHOTODECORATION_", kYearHead,
                       number)) {
        addYearDecoration(parent, sceneTemplate, id);
    } else if (replaceIdToken(id, templateId, "TITLE_NUMBER_", "TITLENUMBER_", kYearHead, number)) {
        addYearNumberText(parent, sceneTemplate, id, "TITLE_NUMBER");
    } else if (replaceIdToken(id, templateId, "PHOTO_NUMBER_", "PHOTONUMBER_", kYearHead, number)) {
        addYearNumberText(parent, sceneTemplate, id, "PHOTO_NUMBER");
    }
    // Decorations and number texts do not count; a template child that carries none of the
    // markers writes nothing.
    return true;
}

bool SceneGroupElementBuilder::addThumbnailScene(XmlElementOperator& parent,
                                                 XmlElementOperator& sceneTemplate,
                                                 const std::string& id, XmlElementOperator& entry,
                                                 CreatorCall normalCall, CreatorCall focusCall) {
    // The focus picture is asked for first.
    std::unique_ptr<ImageTrackCreator> focus = askManager(manager_, focusCall, entry);
    std::unique_ptr<ImageTrackCreator> normal = askManager(manager_, normalCall, entry);
    ButtonElementBuilder button(id.c_str(), presentation_, std::move(normal), std::move(focus));
    const bool result = addSceneButton(parent, button, sceneTemplate);

    FocusItemElementBuilder item(("focusitem_" + id).c_str(), id.c_str());
    addFocusItemElement(parent.getXmlGlue(), item);
    return result;
}

bool SceneGroupElementBuilder::addTextScene(XmlElementOperator& parent,
                                            XmlElementOperator& sceneTemplate,
                                            const std::string& id, XmlElementOperator& entry,
                                            CreatorCall textCall) {
    // One creator serves both states.
    ButtonElementBuilder button(id.c_str(), presentation_, askManager(manager_, textCall, entry));
    return addSceneButton(parent, button, sceneTemplate);
}

void SceneGroupElementBuilder::addChapterJump(CXMLOutputFileGlue& doc, XmlElementOperator& entry,
                                              const std::string& launcher) {
    const char* ns = doc.GetNameSpaceString();
    XmlElementOperator title(doc, step(ns, "root") + step(ns, "titlelist") + step(ns, "title") +
                                      idPredicate(entryList_.getId()));
    const std::string titleNo = title.getAttribute("titleNo");
    if (titleNo.empty()) return;

    const std::string entryId = entry.getId();
    const std::string jumpId = "jumpchapter_" + entryId;
    XmlElementOperator command = getCommandElement(doc);
    XmlElementOperator jump(doc, command.appendElement("jumpchapter", jumpId));
    jump.setAttribute("titleNo", titleNo);
    jump.setAttribute("chapterNo", entry.getAttribute("index"));

    UseElementBuilder use(("use_" + jumpId).c_str(), jumpId.c_str(), "");
    addActionTrigger(doc, "trigger_" + entryId, launcher, use);
}

void SceneGroupElementBuilder::addMonthPageTrigger(CXMLOutputFileGlue& doc,
                                                   const std::string& launcher) {
    // The calendar builder wrote the year's month page before this scene.
    const char* ns = doc.GetNameSpaceString();
    XmlElementOperator monthPage(doc, anywhere(ns, "calendar") + step(ns, "pageroot") +
                                          step(ns, "yearpage") + step(ns, "year") + "[" +
                                          std::to_string(index_ + 1) + "]" + step(ns, "monthpage"));
    const std::string monthPageId = monthPage.getId();
    UseElementBuilder use("", kCalendarCommandId, ("SwitchPage," + monthPageId).c_str());
    addActionTrigger(doc, "trigger_" + monthPageId, launcher, use);
}

void SceneGroupElementBuilder::addYearDecoration(XmlElementOperator& parent,
                                                 XmlElementOperator& sceneTemplate,
                                                 const std::string& id) {
    // The decoration's picture is the template child's own.
    DecorationElementBuilder decoration(
        id.c_str(), presentation_,
        askManager(manager_, &M::createDecorationImageCreator, sceneTemplate));
    decoration.setX("0");
    decoration.setY("0");
    decoration.setWidth(sceneTemplate.getAttribute("width"));
    decoration.setHeight(sceneTemplate.getAttribute("height"));
    decoration.addTo(parent);
}

void SceneGroupElementBuilder::addYearNumberText(XmlElementOperator& parent,
                                                 XmlElementOperator& sceneTemplate,
                                                 const std::string& id,
                                                 const char* numberAttribute) {
    // A number text drawn from the tile picture; no track is made for an element that could not
    // be added.
    XmlElementOperator text(parent.getXmlGlue(), parent.appendElement("graphictext", id));
    if (text.getXPath().empty()) return;
    ImageTrackCreator tiles(CreatorSetToolBox::imagePathProcess(kNumberTiles).c_str());
    text.setAttribute("tileImage",
                      CreatorSetToolBox::addImageTrackToApplication(presentation_, nullptr, tiles));
    text.setAttribute("tileWidth", kTileWidth);
    text.setAttribute("tileHeight", kTileHeight);
    text.setAttribute("type", sceneTemplate.getAttribute("type"));
    text.setAttribute("x", "0");
    text.setAttribute("y", "0");
    if (index_ >= 0) {
        const std::string value = getYearInfoOperator().getAttribute(numberAttribute);
        text.setAttribute("value", value.empty() ? std::string("0") : value);
    }
}

XmlElementOperator SceneGroupElementBuilder::getChapterInfoElement() {
    const std::string name = "chapterInfo[" + std::to_string(index_ + 1) + "]";
    return XmlElementOperator(entryList_.getXmlGlue(),
                              entryList_.getChildXPath(name.c_str(), nullptr));
}

XmlElementOperator SceneGroupElementBuilder::getYearInfoOperator() {
    const std::string name = "yearInfo[" + std::to_string(index_ + 1) + "]";
    return XmlElementOperator(entryList_.getXmlGlue(),
                              entryList_.getChildXPath(name.c_str(), nullptr));
}

int SceneGroupElementBuilder::getTitleInfoElementIndex() {
    // Searched again on every call until found.
    if (titleIndexCache_ < 0) {
        CXMLOutputFileGlue& ref = entryList_.getXmlGlue();
        const char* ns = ref.GetNameSpaceString();
        XmlElementOperator titles(ref, anywhere(ns, "titlesInfo"));
        const std::string titleId = entryList_.getId();
        NodeList nodes(ref, titles.getAllChildXPath());
        for (int i = 0; i < nodes.size(); ++i) {
            if (titleId == nodes.id(i)) {
                titleIndexCache_ = i;
                break;
            }
        }
    }
    return titleIndexCache_;
}

XmlElementOperator SceneGroupElementBuilder::getEffectElement(CXMLOutputFileGlue& doc) {
    return sectionElement(doc, "effect");
}

XmlElementOperator SceneGroupElementBuilder::getCommandElement(CXMLOutputFileGlue& doc) {
    return sectionElement(doc, "command");
}

bool SceneGroupElementBuilder::addFocusItemElement(CXMLOutputFileGlue& doc,
                                                   BuildableElement& item) {
    XmlElementOperator focusControl = focusControlElement(doc);
    return item.addTo(focusControl);
}

}  // namespace Merrow
