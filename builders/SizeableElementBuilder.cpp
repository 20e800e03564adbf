#include "builders/SizeableElementBuilder.h"

#include <cstdlib>

namespace Merrow {

namespace {
int readNumber(const char* text) {
    return text ? std::atoi(text) : 0;
}
}  // namespace

SizeableElementBuilder::SizeableElementBuilder(const char* name, const char* id)
    : ElementBuilder(name, id) {}

void SizeableElementBuilder::setX(const char* text) {
    x_ = readNumber(text);
}
void SizeableElementBuilder::setY(const char* text) {
    y_ = readNumber(text);
}
void SizeableElementBuilder::setWidth(const char* text) {
    width_ = readNumber(text);
}
void SizeableElementBuilder::setHeight(const char* text) {
    height_ = readNumber(text);
}

std::string SizeableElementBuilder::intToStr(int value) {
    return std::to_string(value);
}

bool SizeableElementBuilder::addTo(XmlElementOperator& parent) {
    if (!ElementBuilder::addTo(parent)) return false;
    XmlElementOperator element(parent.getXmlGlue(), xPath());
    element.setAttribute("x", intToStr(x_));
    element.setAttribute("y", intToStr(y_));
    element.setAttribute("width", intToStr(width_));
    element.setAttribute("height", intToStr(height_));
    return true;
}

}  // namespace Merrow
