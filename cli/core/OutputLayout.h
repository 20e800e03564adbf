#pragma once
// The names a build writes into its output folder. An existing output folder is replaced only
// when it holds nothing else (so a mistyped -o never wipes a folder of other files), and check
// and preview find a build's files by these names.

namespace merrowcli {

struct OutputLayout {
    static constexpr const char* kDocumentFile = "AppPresentation.xml";
    static constexpr const char* kTitleFile = "title.xml";
    static constexpr const char* kTracksFolder = "tracks";
    static constexpr const char* kPreviewFile = "preview.html";  // build --preview, preview
};

}  // namespace merrowcli
