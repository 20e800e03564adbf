#pragma once
// The document of a build's output as the preview's script reads it: every element of
// AppPresentation.xml as a JSON object {"n": name, "a": {attributes}, "c": [children]}, in
// document order. The script gives the elements their meaning; this only transcribes them.

#include <filesystem>
#include <string>

struct _xmlNode;

namespace merrowcli::preview {

// The JSON text of an element and everything below it. The characters <, > and & are written
// as \u escapes, so that the text can stand inside an HTML script element as it is.
std::string elementJson(const _xmlNode* element);

// A JSON string literal of the text, escaped the same way.
std::string jsonString(const std::string& text);

// Reads OUT_DIR/AppPresentation.xml; false with *error ("SHOWN/AppPresentation.xml: ...") when
// it cannot be read or is not well-formed.
bool documentModel(const std::filesystem::path& outputFolder, const std::string& shown,
                   std::string* json, std::string* error);

// The background picture of the title (the first image track media of OUT_DIR/title.xml) as
// {"id": TRACK, "width": W, "height": H}, or "null" when there is none or title.xml cannot be
// read: the preview then shows the menu on black.
std::string backgroundJson(const std::filesystem::path& outputFolder, const std::string& shown);

}  // namespace merrowcli::preview
