#include "cli/preview/PreviewModel.h"

#include <cstdio>

#include "cli/menu/MenuCompiler.h"
#include "cli/menu/MenuJson.h"
#include "cli/menu/MenuModel.h"

namespace merrowcli::preview {

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"') {
            out += "\\\"";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == '<' || c == '>' || c == '&') {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out.push_back(ch);
        }
    }
    return out + "\"";
}

bool previewModel(const std::filesystem::path& outputFolder, const std::string& shown,
                  const std::string& trackBase, std::string* json, std::string* error) {
    menu::MenuModel model;
    if (!menu::compileMenu(outputFolder, shown, &model, error)) return false;
    *json = "{\"trackBase\":" + jsonString(trackBase) + ",\"menu\":" + menu::menuJson(model) + "}";
    return true;
}

}  // namespace merrowcli::preview
