#pragma once
// The preview's page template, style sheet and script: preview.html, preview.css and
// preview.js of this folder, embedded at build time (see EmbedAssets.cmake).

namespace merrowcli::preview {

extern const char* const kPageTemplate;
extern const char* const kStyle;
extern const char* const kScript;

}  // namespace merrowcli::preview
