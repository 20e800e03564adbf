#include "cli/import/Sidecar.h"

#include <libxml/tree.h>

#include <array>
#include <cstdio>
#include <ctime>
#include <system_error>

#include "cli/core/InputFile.h"
#include "cli/core/XmlInput.h"
#include "cli/import/MediaReader.h"

namespace merrowcli::import {

namespace fs = std::filesystem;

namespace {

struct DateField {
    const char* space;  // namespace URI
    const char* name;
};

// In the order they are trusted.
constexpr DateField kDateFields[] = {
    {"http://ns.adobe.com/exif/1.0/", "DateTimeOriginal"},
    {"http://ns.adobe.com/xap/1.0/", "CreateDate"},
    {"http://ns.adobe.com/photoshop/1.0/", "DateCreated"},
};

bool named(const xmlNs* space, const xmlChar* name, const DateField& field) {
    return space != nullptr && space->href != nullptr &&
           xmlStrEqual(space->href, BAD_CAST field.space) != 0 &&
           xmlStrEqual(name, BAD_CAST field.name) != 0;
}

// The text without the blanks an element's content may have around it.
std::string textOf(const xmlChar* text) {
    std::string value = text != nullptr ? reinterpret_cast<const char*>(text) : "";
    const size_t first = value.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return value.substr(first, value.find_last_not_of(" \t\r\n") - first + 1);
}

// The first value of the field under node, as an attribute or as an element's text.
std::optional<std::string> findField(const xmlNode* node, const DateField& field) {
    for (; node != nullptr; node = node->next) {
        if (node->type != XML_ELEMENT_NODE) continue;
        for (const xmlAttr* attribute = node->properties; attribute != nullptr;
             attribute = attribute->next) {
            if (!named(attribute->ns, attribute->name, field)) continue;
            xmlChar* value = xmlNodeGetContent(reinterpret_cast<const xmlNode*>(attribute));
            const std::string text = textOf(value);
            xmlFree(value);
            return text;
        }
        if (named(node->ns, node->name, field)) {
            xmlChar* value = xmlNodeGetContent(node);
            const std::string text = textOf(value);
            xmlFree(value);
            return text;
        }
        if (std::optional<std::string> found = findField(node->children, field)) return found;
    }
    return std::nullopt;
}

std::optional<LocalTime> dateOfSidecar(const fs::path& sidecar, std::optional<long long>* utc,
                                       std::string* problem) {
    std::error_code ec;
    if (!fs::is_regular_file(sidecar, ec)) {
        *problem = sidecar.string() + ": not a file";
        return std::nullopt;
    }
    const std::uintmax_t size = fs::file_size(sidecar, ec);
    if (ec || size > kMaxSidecarBytes) {
        *problem = sidecar.string() + ": " + (ec ? ec.message() : "too large for a sidecar");
        return std::nullopt;
    }
    std::string bytes;
    if (!readInputFile(sidecar, sidecar.string(), &bytes, problem)) return std::nullopt;
    const XmlDocument document = parseXml(bytes, sidecar.string(), problem);
    if (!document) return std::nullopt;
    const xmlNode* root = xmlDocGetRootElement(document.get());
    for (const DateField& field : kDateFields) {
        const std::optional<std::string> text = findField(root, field);
        if (!text) continue;
        if (std::optional<LocalTime> date = parseXmpDate(*text, utc)) return date;
    }
    *problem = sidecar.string() + ": holds no date that can be read";
    return std::nullopt;
}

}  // namespace

std::array<std::string, 4> sidecarNames(const fs::path& mediaFile) {
    const std::string name = mediaFile.filename().string();
    const std::string stem = mediaFile.stem().string();
    return {name + ".xmp", name + ".XMP", stem + ".xmp", stem + ".XMP"};
}

std::optional<LocalTime> sidecarDate(const fs::path& mediaFile,
                                     std::optional<long long>* utcSeconds, std::string* problem) {
    std::optional<long long> utc;
    std::string why;
    if (utcSeconds != nullptr) utcSeconds->reset();
    if (problem != nullptr) problem->clear();
    const fs::path folder = mediaFile.parent_path();
    for (const std::string& candidate : sidecarNames(mediaFile)) {
        const fs::path sidecar = folder / candidate;
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(sidecar, ec))) continue;
        // The first sidecar that exists is the one; a broken one gives no date.
        std::optional<LocalTime> date = dateOfSidecar(sidecar, &utc, &why);
        if (utcSeconds != nullptr) *utcSeconds = date ? utc : std::nullopt;
        if (problem != nullptr) *problem = date ? std::string() : why;
        return date;
    }
    return std::nullopt;
}

std::optional<LocalTime> parseXmpDate(const std::string& text,
                                      std::optional<long long>* utcSeconds) {
    if (utcSeconds != nullptr) utcSeconds->reset();
    LocalTime time{0, 0, 0, 0, 0, 0};
    std::optional<int> offset;
    int used = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%n", &time.year, &time.month, &time.day, &used) !=
            3 ||
        used != 10) {
        return std::nullopt;
    }
    size_t at = 10;
    bool utc = false;
    if (at < text.size() && text[at] == 'T') {
        int hour = 0;
        int minute = 0;
        if (std::sscanf(text.c_str() + at, "T%2d:%2d%n", &hour, &minute, &used) != 2 || used != 6) {
            return std::nullopt;
        }
        time.hour = hour;
        time.minute = minute;
        at += 6;
        int second = 0;
        if (at < text.size() && text[at] == ':') {
            if (std::sscanf(text.c_str() + at, ":%2d%n", &second, &used) != 1 || used != 3) {
                return std::nullopt;
            }
            time.second = second;
            at += 3;
            if (at < text.size() && text[at] == '.') {
                ++at;
                while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
            }
        }
        if (at < text.size() && text[at] == 'Z') {
            utc = true;
            ++at;
        } else if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
            int offsetHours = 0;
            int offsetMinutes = 0;
            if (std::sscanf(text.c_str() + at + 1, "%2d:%2d%n", &offsetHours, &offsetMinutes,
                            &used) != 2 ||
                used != 5 || offsetHours > 14 || offsetMinutes > 59) {
                return std::nullopt;
            }
            offset = (offsetHours * 3600 + offsetMinutes * 60) * (text[at] == '-' ? -1 : 1);
            at += 6;
        }
    }
    if (at != text.size()) return std::nullopt;
    if (!isValidTime(time) || time.year < 1971) return std::nullopt;
    if (utc) {
        if (utcSeconds != nullptr) *utcSeconds = secondsOf(time);
        return localTimeOf(static_cast<std::time_t>(secondsOf(time)));
    }
    if (offset && utcSeconds != nullptr) *utcSeconds = secondsOf(time) - *offset;
    return time;
}

}  // namespace merrowcli::import
