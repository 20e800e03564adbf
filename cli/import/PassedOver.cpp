#include "cli/import/PassedOver.h"

#include <cctype>

namespace merrowcli::import {

namespace {

std::string lowered(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

bool isPassedOver(const std::string& name) {
    if (name.empty() || name[0] == '.') return true;
    const std::string lower = lowered(name);
    return lower == "@eadir" || lower == "thumbs.db" || lower == "desktop.ini" ||
           endsWith(lower, ".aae");
}

std::string reasonWithoutPath(const std::string& reason, const std::string& path) {
    std::string text = reason;
    for (const std::string& form : {path + ": ", path}) {
        for (size_t at = text.find(form); !form.empty() && at != std::string::npos;
             at = text.find(form)) {
            text.erase(at, form.size());
        }
    }
    return text.empty() ? reason : text;
}

}  // namespace merrowcli::import
