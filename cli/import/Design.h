#pragma once
// A design for `merrowkit import`: a folder with design.xml, a reference document whose
// /root/layout is the page design, and the art the layout names. The import takes from it the
// layout (copied into the project's reference document), the pictures the layout names, and
// the sizes of the pictures it draws for the navigation entries.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "host/dom/XmlElement.h"

struct _xmlDoc;

namespace merrowcli::import {

struct Size {
    int width = 0;
    int height = 0;
    bool operator==(const Size&) const = default;
};

struct DesignSizes {
    Size year;         // the year scene's thumbnail button
    Size yearText;     // the year scene's text
    Size month;        // the month grid's select button
    Size day;          // the day grid's select button
    Size content;      // the content grid's select button
    Size chapter;      // the chapter scene's thumbnail button (0 x 0: the design has none)
    Size chapterText;  // the chapter scene's text (0 x 0: none)
};

class Design {
public:
    static constexpr const char* kDesignFile = "design.xml";
    // Where the import writes the pictures it draws, in the project; a design keeps none there.
    static constexpr const char* kDrawnFolder = "art/media/";

    Design();
    ~Design();
    Design(const Design&) = delete;
    Design& operator=(const Design&) = delete;

    // Reads DESIGN_DIR/design.xml. False with *error one message naming the file.
    bool load(const std::filesystem::path& folder, std::string* error);

    const std::filesystem::path& folder() const { return folder_; }
    // The parsed document (blank text left out); its root holds the layout.
    _xmlDoc* document() const { return doc_.get(); }
    const DesignSizes& sizes() const { return sizes_; }
    // The picture files the layout names ("image", "imageBody", "imageHighlight"), relative to
    // the design folder, sorted and without repeats.
    const std::vector<std::string>& pictures() const { return pictures_; }

private:
    // The pictures the layout names, each inside the design folder and there.
    bool listPictures(const merrowhost::XmlElement& layout, const std::string& shown,
                      std::string* error);

    struct DocFree {
        void operator()(_xmlDoc* doc) const;
    };

    std::filesystem::path folder_;
    std::unique_ptr<_xmlDoc, DocFree> doc_;
    DesignSizes sizes_;
    std::vector<std::string> pictures_;
};

}  // namespace merrowcli::import
