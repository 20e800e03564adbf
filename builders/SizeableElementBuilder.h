#pragma once
// An element builder that also writes "x", "y", "width" and "height".

#include <string>

#include "builders/ElementBuilder.h"

namespace Merrow {

class MERROWKIT_API SizeableElementBuilder : public ElementBuilder {
public:
    SizeableElementBuilder(const char* name, const char* id);
    SizeableElementBuilder(const SizeableElementBuilder&) = default;
    SizeableElementBuilder& operator=(const SizeableElementBuilder&) = default;
    ~SizeableElementBuilder() override = default;

    bool addTo(XmlElementOperator& parent) override;
    using ElementBuilder::addTo;

    int getX() const { return x_; }
    int getY() const { return y_; }
    int getWidth() const { return width_; }
    int getHeight() const { return height_; }
    void setX(int value) { x_ = value; }
    void setY(int value) { y_ = value; }
    void setWidth(int value) { width_ = value; }
    void setHeight(int value) { height_ = value; }
    // The number read as atoi reads it: leading white space and sign, then digits; else 0.
    void setX(const char* text);
    void setY(const char* text);
    void setWidth(const char* text);
    void setHeight(const char* text);
    void setX(const std::string& text) { setX(text.c_str()); }
    void setY(const std::string& text) { setY(text.c_str()); }
    void setWidth(const std::string& text) { setWidth(text.c_str()); }
    void setHeight(const std::string& text) { setHeight(text.c_str()); }

protected:
    static std::string intToStr(int value);

private:
    int x_ = 0;
    int y_ = 0;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace Merrow
