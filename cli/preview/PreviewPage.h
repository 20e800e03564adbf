#pragma once
// The preview page: the template with the style, the script and the document's model put in,
// and writing it next to (or away from) the output folder.

#include <filesystem>
#include <string>

namespace merrowcli::preview {

// The page of a model (PreviewModel's JSON).
std::string previewPage(const std::string& modelJson, const std::string& title);

// What stands before "tracks/ID.png" in the pictures' addresses: the relative address
// (percent-encoded, "/"-separated, ending with "/", or empty) of the output folder seen from the
// folder of the page file.
std::string trackBaseFor(const std::filesystem::path& outputFolder,
                         const std::filesystem::path& pageFile);

// Writes the preview of OUT_DIR into pageFile (replaced whole, or left as it was on failure).
// False with *error set when the document cannot be read or the file cannot be written.
bool writePreview(const std::filesystem::path& outputFolder, const std::string& shown,
                  const std::filesystem::path& pageFile, std::string* error);

}  // namespace merrowcli::preview
