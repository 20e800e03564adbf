#include "cli/build/ProjectFile.h"

#include <libxml/tree.h>

#include <climits>
#include <cstdint>
#include <set>

#include "cli/core/ElementAttributes.h"
#include "cli/core/InputFile.h"
#include "cli/core/TextValues.h"
#include "cli/core/XmlInput.h"

namespace merrowcli {

namespace {

// A "file" attribute that must be present and not empty.
bool readFileAttribute(const std::string& file, const xmlNode* element, std::string* out,
                       std::string* error) {
    ElementAttributes attributes(file, element);
    if (!attributes.onlyKnown({"file"}, error)) return false;
    const std::optional<std::string> value = attributes.get("file");
    if (!value || value->empty()) {
        *error = attributes.problem(tagOf(nodeName(element)) + " needs a file attribute");
        return false;
    }
    *out = *value;
    return true;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// A file name written with "%XX" escapes (as the import writes names that are not UTF-8);
// false when a '%' is not followed by two hex digits or a byte decodes to NUL.
bool percentDecoded(const std::string& text, std::string* out) {
    out->clear();
    for (size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '%') {
            out->push_back(text[at]);
            continue;
        }
        if (at + 2 >= text.size()) return false;
        const int high = hexDigit(text[at + 1]);
        const int low = hexDigit(text[at + 2]);
        if (high < 0 || low < 0 || (high == 0 && low == 0)) return false;
        out->push_back(static_cast<char>(high * 16 + low));
        at += 2;
    }
    return true;
}

// A path attribute: absent gives an empty *out; present, it must be a non-empty name whose
// escapes decode.
bool readPathAttribute(const ElementAttributes& attributes, const xmlNode* element,
                       const char* name, std::string* out, int* line, std::string* error) {
    const std::optional<std::string> value = attributes.get(name);
    if (!value) return true;
    *line = attributeLine(element, name);
    if (value->empty() || !percentDecoded(*value, out)) {
        *error = attributes.problemAt(name, std::string(name) + " \"" + *value +
                                                "\" is not a file name (empty, or a '%' "
                                                "not followed by two hex digits)");
        return false;
    }
    return true;
}

bool readTitle(const std::string& file, const xmlNode* element, uint32_t position,
               ProjectTitle* title, std::string* error) {
    ElementAttributes attributes(file, element);
    if (!attributes.onlyKnown({"kind", "guid", "video"}, error)) return false;
    title->line = lineOf(element);
    if (!readPathAttribute(attributes, element, "video", &title->video, &title->videoLine, error)) {
        return false;
    }
    const std::optional<std::string> kind = attributes.get("kind");
    title->isUserTitle = !kind || *kind == "user";
    const std::optional<std::string> guid = attributes.get("guid");
    if (!guid) {
        title->id = defaultTitleId(position);
        return true;
    }
    if (!parseGuid(*guid, &title->id)) {
        *error = attributes.problemAt("guid", "guid \"" + *guid +
                                                  "\" is not of the form "
                                                  "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}");
        return false;
    }
    return true;
}

bool readTitles(const std::string& file, const xmlNode* titlesElement,
                std::vector<ProjectTitle>* titles, std::string* error) {
    if (!ElementAttributes(file, titlesElement).onlyKnown({}, error)) return false;
    uint32_t position = 0;
    for (const xmlNode* child = titlesElement->children; child != nullptr; child = child->next) {
        if (!isElement(child)) {
            if (!isBlankText(child)) {
                *error = located(file, lineOf(child),
                                 "<titles> holds text; only <title> elements belong there");
                return false;
            }
            continue;
        }
        if (nodeName(child) != "title") {
            *error =
                located(file, lineOf(child),
                        "unexpected " + tagOf(nodeName(child)) + " in <titles>; expected <title>");
            return false;
        }
        ProjectTitle title;
        if (!readTitle(file, child, ++position, &title, error)) return false;
        titles->push_back(title);
    }
    return true;
}

// The attributes of <project>.
bool readProjectAttributes(const std::string& file, const xmlNode* root, ProjectSettings* settings,
                           std::string* error) {
    ElementAttributes attributes(file, root);
    if (!attributes.onlyKnown({"discFormat", "rootMenuTitle", "background", "backgroundImage",
                               "mediaKind", "defaultMediaValue", "media"},
                              error)) {
        return false;
    }
    if (!readPathAttribute(attributes, root, "media", &settings->mediaFolder, &settings->mediaLine,
                           error)) {
        return false;
    }
    long long discFormat = settings->discFormat;
    long long mediaKind = settings->mediaKind;
    long long defaultMediaValue = settings->defaultMediaValue;
    if (!attributes.readInteger("discFormat", INT32_MIN, INT32_MAX, &discFormat, error) ||
        !attributes.readInteger("mediaKind", INT32_MIN, INT32_MAX, &mediaKind, error) ||
        !attributes.readInteger("defaultMediaValue", 0, UINT32_MAX, &defaultMediaValue, error) ||
        !attributes.readBoolean("rootMenuTitle", &settings->rootMenuTitle, error) ||
        !attributes.readBoolean("background", &settings->background, error)) {
        return false;
    }
    settings->discFormat = static_cast<int32_t>(discFormat);
    settings->mediaKind = static_cast<int32_t>(mediaKind);
    settings->defaultMediaValue = static_cast<uint32_t>(defaultMediaValue);
    settings->backgroundImage = attributes.get("backgroundImage").value_or("");
    settings->backgroundImageLine = attributeLine(root, "backgroundImage");
    return true;
}

// One child of <project>: <presentation>, <backgroundMedia> or <titles>, each at most once.
bool readProjectChild(const std::string& file, const xmlNode* child, std::set<std::string>* seen,
                      ProjectSettings* settings, std::string* error) {
    const std::string name = nodeName(child);
    if (name != "presentation" && name != "backgroundMedia" && name != "titles") {
        *error = located(file, lineOf(child),
                         "unexpected " + tagOf(name) +
                             "; <project> holds <presentation>, <backgroundMedia> and <titles>");
        return false;
    }
    if (!seen->insert(name).second) {
        *error = located(file, lineOf(child), "a second " + tagOf(name));
        return false;
    }
    if (name == "presentation") {
        settings->presentationLine = attributeLine(child, "file");
        return readFileAttribute(file, child, &settings->presentationFile, error);
    }
    if (name == "backgroundMedia") {
        settings->backgroundMediaLine = attributeLine(child, "file");
        std::string media;
        if (!readFileAttribute(file, child, &media, error)) return false;
        settings->backgroundMediaFile = media;
        return true;
    }
    settings->titles.emplace();
    return readTitles(file, child, &*settings->titles, error);
}

}  // namespace

std::filesystem::path titleVideoPath(const std::filesystem::path& projectFolder,
                                     const ProjectSettings& settings, const ProjectTitle& title) {
    if (title.video.empty()) return {};
    return projectFolder / settings.mediaFolder / title.video;
}

GUID defaultTitleId(uint32_t position) {
    GUID id{0x4D4B5449, 0x544C, 0x4000, {0x80, 0x00, 0x00, 0x00, 0, 0, 0, 0}};
    id.Data4[4] = static_cast<uint8_t>(position >> 24);
    id.Data4[5] = static_cast<uint8_t>(position >> 16);
    id.Data4[6] = static_cast<uint8_t>(position >> 8);
    id.Data4[7] = static_cast<uint8_t>(position);
    return id;
}

bool readProjectFile(const std::filesystem::path& file, ProjectSettings* settings,
                     std::string* error) {
    const std::string shown = file.string();
    settings->projectFile = shown;
    std::string bytes;
    if (!readInputFile(file, shown, &bytes, error)) return false;
    const XmlDocument doc = parseXml(bytes, shown, error);
    if (!doc) return false;

    const xmlNode* root = xmlDocGetRootElement(doc.get());
    if (root == nullptr || nodeName(root) != "project" || root->ns != nullptr) {
        *error = located(shown, root != nullptr ? lineOf(root) : 0,
                         "the document element must be <project> (without namespace)");
        return false;
    }
    settings->projectLine = lineOf(root);
    if (!readProjectAttributes(shown, root, settings, error)) return false;

    std::set<std::string> seen;
    for (const xmlNode* child = root->children; child != nullptr; child = child->next) {
        if (isElement(child)) {
            if (!readProjectChild(shown, child, &seen, settings, error)) return false;
        } else if (!isBlankText(child)) {
            *error =
                located(shown, lineOf(child), "<project> holds text; only elements belong there");
            return false;
        }
    }
    if (settings->presentationFile.empty()) {
        *error = located(shown, settings->projectLine,
                         "<presentation file=\"...\"/> is missing: the project names no "
                         "reference document");
        return false;
    }
    return true;
}

}  // namespace merrowcli
