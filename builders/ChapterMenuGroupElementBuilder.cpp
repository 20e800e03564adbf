#include "builders/ChapterMenuGroupElementBuilder.h"

#include <memory>
#include <string>

#include "builders/ButtonElementBuilder.h"
#include "builders/DecorationElementBuilder.h"
#include "builders/FocusItemElementBuilder.h"
#include "builders/ReferenceWalk.h"
#include "builders/SceneGroupElementBuilder.h"
#include "builders/SizeableElementBuilder.h"

namespace Merrow {

namespace {

// Copies the named attributes from reference to target, in order; a missing one is not written.
template <size_t N>
void copyAttributes(XmlElementOperator& target, const XmlElementOperator& reference,
                    const char* const (&names)[N]) {
    for (const char* name : names) target.setAttribute(name, reference.getAttribute(name));
}

constexpr const char* kGeometry[] = {"x", "y", "width", "height"};
constexpr const char* kScrollAttributes[] = {"direction", "x", "y", "width", "height"};

template <typename Builder>
void copyGeometry(Builder& builder, const XmlElementOperator& reference) {
    builder.setX(reference.getAttribute("x"));
    builder.setY(reference.getAttribute("y"));
    builder.setWidth(reference.getAttribute("width"));
    builder.setHeight(reference.getAttribute("height"));
}

// One show or hide command: a "menuproperty" on the container with its two properties.
void addMenuProperty(XmlElementOperator& command, const std::string& id,
                     const std::string& container, const char* value) {
    CXMLOutputFileGlue& doc = command.getXmlGlue();
    XmlElementOperator menu(doc, command.appendElement("menuproperty", id));
    menu.setAttribute("target", container);
    XmlElementOperator visibility(doc, menu.appendElement("property", "property_visibility"));
    visibility.setAttribute("name", "visibility");
    visibility.setAttribute("value", value);
    XmlElementOperator enabled(doc, menu.appendElement("property", "property_enabled"));
    enabled.setAttribute("name", "enabled");
    enabled.setAttribute("value", value);
}

}  // namespace

ChapterMenuGroupElementBuilder::ChapterMenuGroupElementBuilder(CzfServiceObject* presentation,
                                                               XmlElementOperator& layoutTemplate,
                                                               XmlElementOperator& titleInfo,
                                                               int titleIndex,
                                                               ImageTrackCreatorManager* manager)
    : titleInfo_(titleInfo),
      layoutTemplate_(layoutTemplate),
      presentation_(presentation),
      manager_(manager),
      titleIndex_(titleIndex) {}

ChapterMenuGroupElementBuilder::~ChapterMenuGroupElementBuilder() = default;

bool ChapterMenuGroupElementBuilder::addTo(XmlElementOperator& parent) {
    const std::string prefix = titleIdPrefix(titleIndex_);
    const bool layoutOk = addChapterLayoutContainerElement(parent, layoutTemplate_, prefix.c_str());
    // The commands are written even when the container failed.
    const bool commandsOk = addShowHideCommandElements(parent);
    return layoutOk && commandsOk;
}

bool ChapterMenuGroupElementBuilder::addChapterLayoutContainerElement(
    XmlElementOperator& parent, XmlElementOperator& referenceLayout, const char* prefix) {
    layoutContainerId_ = std::string(prefix) + "ChapterMenuLayout";
    XmlElementOperator layout(parent.getXmlGlue(),
                              parent.appendElement("container", layoutContainerId_));
    copyAttributes(layout, referenceLayout, kGeometry);
    layout.setAttribute("visibility", "false");

    const bool walked = walkReferenceChildren(
        referenceLayout,
        [&](const std::string& tag, XmlElementOperator& child, int, bool& running) {
            if (tag == "decoration") {
                const std::string id = prefix + child.getId();
                DecorationElementBuilder decoration(
                    id.c_str(), presentation_,
                    manager_ ? manager_->createDecorationImageCreator(child) : nullptr);
                copyGeometry(decoration, child);
                running = decoration.addTo(layout);
            } else if (tag == "scrollcontainer2") {
                running = addScrollContainerElement(layout, child, prefix);
            }
        });

    const bool sceneOk = scrollContainer_ != nullptr && holderTemplate_ != nullptr &&
                         addSceneGroupElement(*scrollContainer_, *holderTemplate_, titleInfo_);
    return walked && sceneOk;
}

bool ChapterMenuGroupElementBuilder::addScrollContainerElement(XmlElementOperator& parent,
                                                               XmlElementOperator& referenceScroll,
                                                               const char* prefix) {
    CXMLOutputFileGlue& doc = parent.getXmlGlue();
    const std::string id = prefix + referenceScroll.getId();
    XmlElementOperator scroll(doc, parent.appendElement("scrollcontainer2", id));
    // The scenes go into the last scroll container written.
    scrollContainer_ = std::make_unique<XmlElementOperator>(scroll);
    copyAttributes(scroll, referenceScroll, kScrollAttributes);

    const bool walked = walkReferenceChildren(
        referenceScroll,
        [&](const std::string& tag, XmlElementOperator& child, int, bool& running) {
            if (tag == "graphicbutton") {
                const std::string buttonId = prefix + child.getId();
                std::unique_ptr<ImageTrackCreator> focus(
                    manager_ ? manager_->createButtonFocusImageCreator(child) : nullptr);
                std::unique_ptr<ImageTrackCreator> normal(
                    manager_ ? manager_->createButtonNormalImageCreator(child) : nullptr);
                ButtonElementBuilder button(buttonId.c_str(), presentation_, std::move(normal),
                                            std::move(focus));
                copyGeometry(button, child);
                running = button.addTo(scroll);

                FocusItemElementBuilder item(("focusitem_" + buttonId).c_str(), buttonId.c_str());
                XmlElementOperator root(doc, step(doc.GetNameSpaceString(), "root"));
                addFocusItemElement(root, item);
            } else if (tag == "scrollinfo") {
                running = addScrollInfoElement(scroll, child);
            }
        });
    return walked;
}

bool ChapterMenuGroupElementBuilder::addScrollInfoElement(XmlElementOperator& parent,
                                                          XmlElementOperator& referenceInfo) {
    XmlElementOperator info(parent.getXmlGlue(), parent.appendElement("scrollinfo", ""));
    // The holder numbers count every child of the scroll info, whatever its tag.
    const bool walked = walkReferenceChildren(
        referenceInfo,
        [&](const std::string& tag, XmlElementOperator& child, int position, bool& running) {
            if (tag == "scrollholder") running = addHolderElement(info, child, position);
        });
    return walked;
}

bool ChapterMenuGroupElementBuilder::addHolderElement(XmlElementOperator& parent,
                                                      XmlElementOperator& referenceHolder,
                                                      int index) {
    XmlElementOperator holder(parent.getXmlGlue(),
                              parent.appendElement("scrollholder", referenceHolder.getId()));
    // The first holder met describes the scenes.
    if (holderTemplate_ == nullptr) {
        holderTemplate_ = std::make_unique<XmlElementOperator>(referenceHolder);
    }

    const std::string number = std::to_string(index + 1);
    walkReferenceChildren(referenceHolder, [&](const std::string& tag, XmlElementOperator& child,
                                               int, bool& running) {
        const char* head = tag == "graphicbutton" ? "button_"
                           : tag == "scenetext"   ? "text_"
                           : tag == "rectangle"   ? "popup_"
                                                  : nullptr;
        if (head == nullptr) return;
        SizeableElementBuilder placeholder("rectangle", (head + number).c_str());
        copyGeometry(placeholder, child);
        running = placeholder.addTo(holder);
    });
    return true;
}

bool ChapterMenuGroupElementBuilder::addSceneGroupElement(XmlElementOperator& scrollContainer,
                                                          XmlElementOperator& holderTemplate,
                                                          XmlElementOperator& titleInfo) {
    int children = 0;
    {
        NodeList nodes(titleInfo.getXmlGlue(), titleInfo.getAllChildXPath());
        children = nodes.size();
    }
    bool result = false;
    for (int position = 0; position < children; ++position) {
        SceneGroupElementBuilder scene(holderTemplate, titleInfo, presentation_, manager_,
                                       position);
        result = scene.addTo(scrollContainer);
        if (!result) break;
    }
    return result;
}

bool ChapterMenuGroupElementBuilder::addShowHideCommandElements(XmlElementOperator& handle) {
    XmlElementOperator command = sectionElement(handle.getXmlGlue(), "command");
    showCommandId_ = "Show_" + layoutContainerId_;
    addMenuProperty(command, showCommandId_, layoutContainerId_, "true");
    hideCommandId_ = "Hide_" + layoutContainerId_;
    addMenuProperty(command, hideCommandId_, layoutContainerId_, "false");
    return true;
}

bool ChapterMenuGroupElementBuilder::addFocusItemElement(XmlElementOperator& handle,
                                                         BuildableElement& item) {
    XmlElementOperator focusControl = focusControlElement(handle.getXmlGlue());
    return item.addTo(focusControl);
}

XmlElementOperator ChapterMenuGroupElementBuilder::getEventhandlerCommandElement(
    XmlElementOperator& handle) {
    CXMLOutputFileGlue& doc = handle.getXmlGlue();
    const char* prefix = doc.GetNameSpaceString();
    XmlElementOperator command(doc, step(prefix, "root") + step(prefix, "command"));
    return XmlElementOperator(doc, command.getChildXPath("eventhandler", "eventhandler"));
}

}  // namespace Merrow
