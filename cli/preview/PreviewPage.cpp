#include "cli/preview/PreviewPage.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <system_error>

#include "cli/core/InputFile.h"
#include "cli/core/TextValues.h"
#include "cli/preview/PreviewAssets.h"
#include "cli/preview/PreviewModel.h"

namespace merrowcli::preview {

namespace fs = std::filesystem;

namespace {

// Replaces each "@NAME@" of the template by its value, in one pass: inserted text is not
// searched again.
std::string fill(const std::string& page, const std::string& style, const std::string& script,
                 const std::string& model, const std::string& title) {
    std::string out;
    size_t at = 0;
    while (true) {
        const size_t open = page.find('@', at);
        if (open == std::string::npos) break;
        const size_t close = page.find('@', open + 1);
        if (close == std::string::npos) break;
        const std::string name = page.substr(open + 1, close - open - 1);
        const std::string* value = name == "STYLE"    ? &style
                                   : name == "SCRIPT" ? &script
                                   : name == "MODEL"  ? &model
                                   : name == "TITLE"  ? &title
                                                      : nullptr;
        if (value == nullptr) {
            out.append(page, at, open + 1 - at);
            at = open + 1;
            continue;
        }
        out.append(page, at, open - at);
        out += *value;
        at = close + 1;
    }
    out.append(page, at, std::string::npos);
    return out;
}

bool isUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

}  // namespace

std::string previewPage(const std::string& modelJson, const std::string& backgroundJson,
                        const std::string& trackBase, const std::string& title) {
    const std::string model = "{\"trackBase\":" + jsonString(trackBase) +
                              ",\"background\":" + backgroundJson + ",\"document\":" + modelJson +
                              "}";
    return fill(kPageTemplate, kStyle, kScript, model, markupText(title));
}

std::string trackBaseFor(const fs::path& outputFolder, const fs::path& pageFile) {
    std::error_code ec;
    const fs::path from = fs::weakly_canonical(fs::absolute(pageFile, ec).parent_path(), ec);
    const fs::path to = fs::weakly_canonical(fs::absolute(outputFolder, ec), ec);
    const fs::path relative = to.lexically_relative(from);
    if (relative.empty() || relative == ".") return "";
    std::string base;
    for (const fs::path& part : relative) {
        for (const unsigned char c : part.string()) {
            if (isUnreserved(c)) {
                base.push_back(static_cast<char>(c));
            } else {
                char escaped[4];
                std::snprintf(escaped, sizeof escaped, "%%%02X", c);
                base += escaped;
            }
        }
        base.push_back('/');
    }
    return base;
}

bool writePreview(const fs::path& outputFolder, const std::string& shown, const fs::path& pageFile,
                  std::string* error) {
    std::string model;
    if (!documentModel(outputFolder, shown, &model, error)) return false;
    const std::string page =
        previewPage(model, backgroundJson(outputFolder, shown),
                    trackBaseFor(outputFolder, pageFile), "merrowkit preview: " + shown);

    // Written beside the target and renamed over it, so that a failed write leaves it alone.
    const fs::path part = pageFile.string() + ".part";
    {
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        out.write(page.data(), static_cast<std::streamsize>(page.size()));
        out.close();
        if (!out) {
            const int saved = errno;
            std::error_code ignored;
            fs::remove(part, ignored);
            *error = located(pageFile.string(), 0,
                             std::string("cannot be written (") + std::strerror(saved) + ")");
            return false;
        }
    }
    std::error_code ec;
    fs::rename(part, pageFile, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(part, ignored);
        *error = located(pageFile.string(), 0, "cannot be written (" + ec.message() + ")");
        return false;
    }
    return true;
}

}  // namespace merrowcli::preview
