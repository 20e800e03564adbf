#include "builders/SceneGroupElementBuilder.h"

#include <memory>
#include <string>

#include "builders/ButtonElementBuilder.h"
#include "builders/DecorationElementBuilder.h"
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

using CreatorCall = ImageTrackCreator* (ImageTrackCreatorManager::*)(XmlElementOperator&);

// A creator from the manager; null without a manager.
ImageTrackCreator* askManager(ImageTrackCreatorManager* manager, CreatorCall call,
                              XmlElementOperator& element) {
    return manager != nullptr ? (manager->*call)(element) : nullptr;
}

// A scene button: its size from the template child, its place left to the strip.
bool addSceneButton(XmlElementOperator& parent, const std::string& id,
                    CzfServiceObject* presentation, ImageTrackCreator* normal,
                    ImageTrackCreator* focus, XmlElementOperator& sceneTemplate) {
    ButtonElementBuilder button(id.c_str(), presentation, normal, focus);
    button.setWidth(sceneTemplate.getAttribute("width"));
    button.setHeight(sceneTemplate.getAttribute("height"));
    return button.addTo(parent);
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
    const std::string prefix = "T" + std::to_string(getTitleInfoElementIndex() + 1) + "_";
    const std::string templateId = sceneTemplate.getId();
    CXMLOutputFileGlue& doc = parent.getXmlGlue();
    bool result = true;
    std::string id;

    if (replaceIdToken(id, templateId, "BUTTON_", "SCENE_", prefix.c_str(), number)) {
        // Chapter thumbnail: a button with its focus item, and a jump to the chapter when the
        // title list knows the title.
        XmlElementOperator entry = getChapterInfoElement();
        std::unique_ptr<ImageTrackCreator> focus(askManager(
            manager_, &ImageTrackCreatorManager::createChapterThumbnailFocusImageCreator, entry));
        std::unique_ptr<ImageTrackCreator> normal(askManager(
            manager_, &ImageTrackCreatorManager::createChapterThumbnailNormalImageCreator, entry));
        result = addSceneButton(parent, id, presentation_, normal.release(), focus.release(),
                                sceneTemplate);

        FocusItemElementBuilder item(("focusitem_" + id).c_str(), id.c_str());
        addFocusItemElement(doc, item);

        const char* ns = doc.GetNameSpaceString();
        XmlElementOperator title(doc, step(ns, "root") + step(ns, "titlelist") + step(ns, "title") +
                                          idPredicate(entryList_.getId()));
        const std::string titleNo = title.getAttribute("titleNo");
        if (!titleNo.empty()) {
            const std::string entryId = entry.getId();
            const std::string jumpId = "jumpchapter_" + entryId;
            XmlElementOperator command = getCommandElement(doc);
            XmlElementOperator jump(doc, command.appendElement("jumpchapter", jumpId));
            jump.setAttribute("titleNo", titleNo);
            jump.setAttribute("chapterNo", entry.getAttribute("index"));

            TriggerElementBuilder trigger(("trigger_" + entryId).c_str(), id.c_str(), 1, 1);
            UseElementBuilder use(("use_" + jumpId).c_str(), jumpId.c_str(), "");
            trigger.addChild(&use);
            XmlElementOperator effect = getEffectElement(doc);
            trigger.addTo(effect);
        }
    } else if (replaceIdToken(id, templateId, "TEXT_", "TEXT_", prefix.c_str(), number)) {
        // Chapter text: one creator serves both states.
        XmlElementOperator entry = getChapterInfoElement();
        ImageTrackCreator* text = askManager(
            manager_, &ImageTrackCreatorManager::createChapterTextNormalImageCreator, entry);
        result = addSceneButton(parent, id, presentation_, text, text, sceneTemplate);
    }
    return result;
}

bool SceneGroupElementBuilder::addYearLayoutSceneElement(XmlElementOperator& parent,
                                                         XmlElementOperator& sceneTemplate,
                                                         const char* number) {
    const std::string templateId = sceneTemplate.getId();
    CXMLOutputFileGlue& doc = parent.getXmlGlue();
    bool result = true;
    std::string id;

    if (replaceIdToken(id, templateId, "BUTTON_", "SCENE_", kYearHead, number)) {
        // Year thumbnail: a button with its focus item and a trigger to the year's month page.
        XmlElementOperator entry = getYearInfoOperator();
        std::unique_ptr<ImageTrackCreator> focus(askManager(
            manager_, &ImageTrackCreatorManager::createYearThumbnailFocusImageCreator, entry));
        std::unique_ptr<ImageTrackCreator> normal(askManager(
            manager_, &ImageTrackCreatorManager::createYearThumbnailNormalImageCreator, entry));
        result = addSceneButton(parent, id, presentation_, normal.release(), focus.release(),
                                sceneTemplate);

        FocusItemElementBuilder item(("focusitem_" + id).c_str(), id.c_str());
        addFocusItemElement(doc, item);

        if (index_ >= 0) {
            const char* ns = doc.GetNameSpaceString();
            XmlElementOperator monthPage(doc, "/" + step(ns, "calendar") + step(ns, "pageroot") +
                                                  step(ns, "yearpage") + step(ns, "year") + "[" +
                                                  std::to_string(index_ + 1) + "]" +
                                                  step(ns, "monthpage"));
            const std::string monthPageId = monthPage.getId();
            TriggerElementBuilder trigger(("trigger_" + monthPageId).c_str(), id.c_str(), 1, 1);
            UseElementBuilder use("", "CalendarCommand", ("SwitchPage," + monthPageId).c_str());
            trigger.addChild(&use);
            XmlElementOperator effect = getEffectElement(doc);
            trigger.addTo(effect);
        }
    } else if (replaceIdToken(id, templateId, "TEXT_", "TEXT_", kYearHead, number)) {
        // Year text: one creator serves both states.
        XmlElementOperator entry = getYearInfoOperator();
        ImageTrackCreator* text = askManager(
            manager_, &ImageTrackCreatorManager::createYearTextNormalImageCreator, entry);
        result = addSceneButton(parent, id, presentation_, text, text, sceneTemplate);
    } else if (replaceIdToken(id, templateId, "TITLE_DECORATION_1", "TITLEDECORATION_", kYearHead,
                              number) ||
               replaceIdToken(id, templateId, "PHOTO_DECORATION_1", "PHOTODECORATION_", kYearHead,
                              number)) {
        // The decoration's picture is the template child's own; its result does not count.
        DecorationElementBuilder decoration(
            id.c_str(), presentation_,
            askManager(manager_, &ImageTrackCreatorManager::createDecorationImageCreator,
                       sceneTemplate));
        decoration.setX("0");
        decoration.setY("0");
        decoration.setWidth(sceneTemplate.getAttribute("width"));
        decoration.setHeight(sceneTemplate.getAttribute("height"));
        decoration.addTo(parent);
    } else {
        const char* numberAttribute = nullptr;
        if (replaceIdToken(id, templateId, "TITLE_NUMBER_", "TITLENUMBER_", kYearHead, number)) {
            numberAttribute = "TITLE_NUMBER";
        } else if (replaceIdToken(id, templateId, "PHOTO_NUMBER_", "PHOTONUMBER_", kYearHead,
                                  number)) {
            numberAttribute = "PHOTO_NUMBER";
        }
        // A number text drawn from the tile picture. A template child that carries none of the
        // markers writes nothing.
        if (numberAttribute != nullptr) {
            XmlElementOperator text(doc, parent.appendElement("graphictext", id));
            // No track is made for an element that could not be added.
            if (!text.getXPath().empty()) {
                ImageTrackCreator tiles(CreatorSetToolBox::imagePathProcess(kNumberTiles).c_str());
                text.setAttribute("tileImage", CreatorSetToolBox::addImageTrackToApplication(
                                                   presentation_, nullptr, tiles));
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
        }
    }
    return result;
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
        XmlElementOperator titles(ref, "/" + step(ns, "titlesInfo"));
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
