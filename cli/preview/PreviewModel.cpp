#include "cli/preview/PreviewModel.h"

#include <libxml/tree.h>

#include <cstdio>
#include <cstring>

#include "cli/core/InputFile.h"
#include "cli/core/XmlInput.h"

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

void appendElement(std::string* out, const xmlNode* element) {
    *out += "{\"n\":";
    appendString(out, reinterpret_cast<const char*>(element->name));
    *out += ",\"a\":{";
    bool first = true;
    for (const xmlAttr* a = element->properties; a != nullptr; a = a->next) {
        if (!first) out->push_back(',');
        first = false;
        appendString(out, reinterpret_cast<const char*>(a->name));
        out->push_back(':');
        xmlChar* value = xmlNodeGetContent(reinterpret_cast<const xmlNode*>(a));
        appendString(out, value != nullptr ? reinterpret_cast<const char*>(value) : "");
        xmlFree(value);
    }
    *out += "},\"c\":[";
    first = true;
    for (const xmlNode* child = element->children; child != nullptr; child = child->next) {
        if (child->type != XML_ELEMENT_NODE) continue;
        if (!first) out->push_back(',');
        first = false;
        appendElement(out, child);
    }
    *out += "]}";
}

// The first <media kind="track"> below the node.
void findMedia(const xmlNode* node, const xmlNode** found) {
    for (const xmlNode* n = node; n != nullptr && *found == nullptr; n = n->next) {
        if (n->type != XML_ELEMENT_NODE) continue;
        if (std::strcmp(reinterpret_cast<const char*>(n->name), "media") == 0) {
            xmlChar* kind = xmlGetProp(n, reinterpret_cast<const xmlChar*>("kind"));
            const bool track =
                kind != nullptr && std::strcmp(reinterpret_cast<const char*>(kind), "track") == 0;
            xmlFree(kind);
            if (track) {
                *found = n;
                return;
            }
        }
        findMedia(n->children, found);
    }
}

}  // namespace

std::string elementJson(const xmlNode* element) {
    std::string out;
    appendElement(&out, element);
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
    const xmlNode* found = nullptr;
    findMedia(xmlDocGetRootElement(document.get()), &found);
    if (found == nullptr) return "null";
    std::string json = "{";
    for (const char* name : {"object", "width", "height"}) {
        xmlChar* value = xmlGetProp(found, reinterpret_cast<const xmlChar*>(name));
        if (json.size() > 1) json += ",";
        json += jsonString(std::strcmp(name, "object") == 0 ? "id" : name) + ":";
        json += jsonString(value != nullptr ? reinterpret_cast<const char*>(value) : "");
        xmlFree(value);
    }
    return json + "}";
}

}  // namespace merrowcli::preview
