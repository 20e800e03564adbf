#include "cli/preview/PreviewModel.h"

#include <libxml/tree.h>

#include <cstdio>
#include <cstring>

#include "cli/core/InputFile.h"
#include "cli/core/XmlInput.h"
#include "host/dom/XmlElement.h"

namespace merrowcli::preview {

namespace {

void appendString(std::string* out, const char* text) {
    out->push_back('"');
    for (const char* p = text; *p != '\0'; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        switch (c) {
            case '"':
                *out += "\\\"";
                break;
            case '\\':
                *out += "\\\\";
                break;
            case '\n':
                *out += "\\n";
                break;
            case '\t':
                *out += "\\t";
                break;
            default:
                if (c < 0x20 || c == '<' || c == '>' || c == '&') {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    *out += escaped;
                } else {
                    out->push_back(static_cast<char>(c));
                }
        }
    }
    out->push_back('"');
}

void appendElement(std::string* out, const merrowhost::XmlElement& element) {
    *out += "{\"n\":";
    appendString(out, element.name().c_str());
    *out += ",\"a\":{";
    bool first = true;
    for (const auto& [name, value] : element.attributes()) {
        if (!first) out->push_back(',');
        first = false;
        appendString(out, name.c_str());
        out->push_back(':');
        appendString(out, value.c_str());
    }
    *out += "},\"c\":[";
    first = true;
    for (const merrowhost::XmlElement& child : element.children()) {
        if (!first) out->push_back(',');
        first = false;
        appendElement(out, child);
    }
    *out += "]}";
}

// The first <media kind="track"> at or below the element and its later siblings, in document
// order.
merrowhost::XmlElement findMedia(const merrowhost::XmlElement& first) {
    for (merrowhost::XmlElement each = first; each; each = each.next()) {
        if (each.is("media") && each.attribute("kind") == "track") return each;
        if (const merrowhost::XmlElement found = findMedia(each.child())) return found;
    }
    return {};
}

}  // namespace

std::string elementJson(const xmlNode* element) {
    std::string out;
    appendElement(&out, merrowhost::XmlElement(element));
    return out;
}

std::string jsonString(const std::string& text) {
    std::string out;
    appendString(&out, text.c_str());
    return out;
}

bool documentModel(const std::filesystem::path& outputFolder, const std::string& shown,
                   std::string* json, std::string* error) {
    const std::string file = shown + "/AppPresentation.xml";
    std::string bytes;
    if (!readInputFile(outputFolder / "AppPresentation.xml", file, &bytes, error)) return false;
    const XmlDocument document = parseXml(bytes, file, error);
    if (!document) return false;
    const xmlNode* root = xmlDocGetRootElement(document.get());
    if (root == nullptr) {
        *error = located(file, 0, "has no document element");
        return false;
    }
    *json = elementJson(root);
    return true;
}

std::string backgroundJson(const std::filesystem::path& outputFolder, const std::string& shown) {
    const std::string file = shown + "/title.xml";
    std::string bytes;
    std::string error;
    if (!readInputFile(outputFolder / "title.xml", file, &bytes, &error)) return "null";
    const XmlDocument document = parseXml(bytes, file, &error);
    if (!document) return "null";
    const merrowhost::XmlElement found =
        findMedia(merrowhost::XmlElement(xmlDocGetRootElement(document.get())));
    if (!found) return "null";
    std::string json = "{";
    for (const char* name : {"object", "width", "height"}) {
        if (json.size() > 1) json += ",";
        json += jsonString(std::strcmp(name, "object") == 0 ? "id" : name) + ":";
        json += jsonString(found.attribute(name, ""));
    }
    return json + "}";
}

}  // namespace merrowcli::preview
