#pragma once
// What the preview page carries: {"trackBase": BASE, "menu": MENU}, MENU the compiled menu of
// the output folder as JSON (docs/menu-model.md), which the page's script draws and follows.

#include <filesystem>
#include <string>

namespace merrowcli::preview {

// A JSON string literal of the text. The characters <, > and & are written as \u escapes, so
// that the text can stand inside an HTML script element as it is.
std::string jsonString(const std::string& text);

// Compiles the menu of OUT_DIR; false with *error ("SHOWN/AppPresentation.xml: ...") when its
// document cannot be read or is not well-formed.
bool previewModel(const std::filesystem::path& outputFolder, const std::string& shown,
                  const std::string& trackBase, std::string* json, std::string* error);

}  // namespace merrowcli::preview
