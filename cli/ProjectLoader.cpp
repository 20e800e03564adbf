#include "cli/ProjectLoader.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <system_error>

#include "host/dom/LibxmlErrorTrap.h"
#include "host/dom/XmlOutputFileGlue.h"
#include "host/framework/ProjectFolder.h"
#include "host/objects/ServiceObject.h"
#include "host/pictures/DvdBuf.h"
#include "host/title/ImageTrackObject.h"

namespace merrowcli {

namespace fs = std::filesystem;

namespace {

struct DocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
struct ParserFree {
    void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
};

// "FILE:LINE: problem", or "FILE: problem" without a line.
std::string located(const std::string& file, int line, const std::string& problem) {
    if (line <= 0) return file + ": " + problem;
    return file + ":" + std::to_string(line) + ": " + problem;
}

int lineOf(const xmlNode* node) {
    return static_cast<int>(xmlGetLineNo(node));
}

std::string nodeName(const xmlNode* node) {
    return reinterpret_cast<const char*>(node->name);
}

// "<name>", built by appending (GCC 12 warns falsely about "<" + std::string at -O2).
std::string tagOf(const std::string& name) {
    std::string tag(1, '<');
    tag.append(name);
    tag.append(1, '>');
    return tag;
}

bool isElement(const xmlNode* node) {
    return node->type == XML_ELEMENT_NODE;
}

// Text content outside elements is only allowed to be white space.
bool isBlankText(const xmlNode* node) {
    if (node->type != XML_TEXT_NODE && node->type != XML_CDATA_SECTION_NODE) return true;
    return xmlIsBlankNode(node) != 0;
}

// Attribute values of one element, checked against the names it may carry.
class Attributes {
public:
    Attributes(const std::string& file, const xmlNode* element) : file_(file), element_(element) {}

    // The first attribute whose name is not among the allowed ones, as an error.
    bool onlyKnown(std::initializer_list<const char*> allowed, std::string* error) const {
        for (const xmlAttr* a = element_->properties; a != nullptr; a = a->next) {
            const std::string name = reinterpret_cast<const char*>(a->name);
            bool known = false;
            for (const char* candidate : allowed) known = known || name == candidate;
            if (!known || a->ns != nullptr) {
                *error = located(file_, lineOf(element_),
                                 tagOf(nodeName(element_)) + ": unknown attribute '" + name + "'");
                return false;
            }
        }
        return true;
    }

    std::optional<std::string> get(const char* name) const {
        xmlChar* value = xmlGetNoNsProp(element_, BAD_CAST name);
        if (value == nullptr) return std::nullopt;
        std::string text = reinterpret_cast<const char*>(value);
        xmlFree(value);
        return text;
    }

    std::string problem(const std::string& text) const {
        return located(file_, lineOf(element_), text);
    }

private:
    const std::string& file_;
    const xmlNode* element_;
};

// A whole decimal integer within [low, high]: an optional sign, then digits only.
bool parseInteger(const std::string& text, long long low, long long high, long long* out) {
    size_t at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    if (at == text.size()) return false;
    long long value = 0;
    for (; at < text.size(); ++at) {
        if (text[at] < '0' || text[at] > '9') return false;
        value = value * 10 + (text[at] - '0');
        if (value > (1LL << 40)) return false;
    }
    if (negative) value = -value;
    if (value < low || value > high) return false;
    *out = value;
    return true;
}

bool parseBoolean(const std::string& text, bool* out) {
    if (text == "true" || text == "1") {
        *out = true;
        return true;
    }
    if (text == "false" || text == "0") {
        *out = false;
        return true;
    }
    return false;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", the braces optional, hex digits in either case.
bool parseGuid(std::string text, GUID* out) {
    if (text.size() == 38 && text.front() == '{' && text.back() == '}') {
        text = text.substr(1, 36);
    }
    if (text.size() != 36) return false;
    uint8_t bytes[16];
    size_t at = 0;
    for (int i = 0; i < 16; ++i) {
        if (at == 8 || at == 13 || at == 18 || at == 23) {
            if (text[at] != '-') return false;
            ++at;
        }
        const int high = hexDigit(text[at]);
        const int low = hexDigit(text[at + 1]);
        if (high < 0 || low < 0) return false;
        bytes[i] = static_cast<uint8_t>(high * 16 + low);
        at += 2;
    }
    out->Data1 = (uint32_t(bytes[0]) << 24) | (uint32_t(bytes[1]) << 16) |
                 (uint32_t(bytes[2]) << 8) | bytes[3];
    out->Data2 = static_cast<uint16_t>((bytes[4] << 8) | bytes[5]);
    out->Data3 = static_cast<uint16_t>((bytes[6] << 8) | bytes[7]);
    std::memcpy(out->Data4, bytes + 8, 8);
    return true;
}

// UTF-8 text as a wide string of code points; false for text that is not UTF-8.
bool widen(const std::string& text, std::wstring* out) {
    out->clear();
    for (size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        uint32_t code = 0;
        int extra = 0;
        if (byte < 0x80) {
            code = byte;
        } else if ((byte & 0xE0) == 0xC0) {
            code = byte & 0x1F;
            extra = 1;
        } else if ((byte & 0xF0) == 0xE0) {
            code = byte & 0x0F;
            extra = 2;
        } else if ((byte & 0xF8) == 0xF0) {
            code = byte & 0x07;
            extra = 3;
        } else {
            return false;
        }
        if (i + extra >= text.size() && extra > 0) return false;
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        static constexpr uint32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
        if (code < kSmallest[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
        if constexpr (sizeof(wchar_t) == 2) {
            if (code >= 0x10000) {
                code -= 0x10000;
                out->push_back(static_cast<wchar_t>(0xD800 + (code >> 10)));
                out->push_back(static_cast<wchar_t>(0xDC00 + (code & 0x3FF)));
                i += extra + 1;
                continue;
            }
        }
        out->push_back(static_cast<wchar_t>(code));
        i += extra + 1;
    }
    return true;
}

// Reads a file the user named; false with "FILE: reason".
bool readWholeFile(const fs::path& file, const std::string& shown, std::string* bytes,
                   std::string* error) {
    std::error_code ec;
    const fs::file_status status = fs::status(file, ec);
    if (status.type() == fs::file_type::not_found) {
        *error = located(shown, 0, "no such file");
        return false;
    }
    if (status.type() == fs::file_type::directory) {
        *error = located(shown, 0, "is a folder, not a file");
        return false;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        *error = located(shown, 0, std::string("cannot open: ") + std::strerror(errno));
        return false;
    }
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        *error = located(shown, 0, "cannot read");
        return false;
    }
    return true;
}

bool readIntegerAttribute(const Attributes& attributes, const char* name, long long low,
                          long long high, long long* out, std::string* error) {
    const std::optional<std::string> text = attributes.get(name);
    if (!text) return true;
    if (!parseInteger(*text, low, high, out)) {
        *error = attributes.problem(std::string(name) + " \"" + *text + "\" is not " +
                                    (low < 0 ? "a whole number" : "a non-negative whole number") +
                                    " in range");
        return false;
    }
    return true;
}

bool readBooleanAttribute(const Attributes& attributes, const char* name, bool* out,
                          std::string* error) {
    const std::optional<std::string> text = attributes.get(name);
    if (!text) return true;
    if (!parseBoolean(*text, out)) {
        *error = attributes.problem(std::string(name) + " \"" + *text +
                                    "\" is not a truth value (true or false)");
        return false;
    }
    return true;
}

// A "file" attribute that must be present and not empty.
bool readFileAttribute(const std::string& file, const xmlNode* element, std::string* out,
                       std::string* error) {
    Attributes attributes(file, element);
    if (!attributes.onlyKnown({"file"}, error)) return false;
    const std::optional<std::string> value = attributes.get("file");
    if (!value || value->empty()) {
        *error = attributes.problem(tagOf(nodeName(element)) + " needs a file attribute");
        return false;
    }
    *out = *value;
    return true;
}

bool readTitles(const std::string& file, const xmlNode* titlesElement,
                std::vector<ProjectTitle>* titles, std::string* error) {
    Attributes titlesAttributes(file, titlesElement);
    if (!titlesAttributes.onlyKnown({}, error)) return false;
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
        Attributes attributes(file, child);
        if (!attributes.onlyKnown({"kind", "guid"}, error)) return false;
        ProjectTitle title;
        title.line = lineOf(child);
        ++position;
        const std::optional<std::string> kind = attributes.get("kind");
        title.isUserTitle = !kind || *kind == "user";
        const std::optional<std::string> guid = attributes.get("guid");
        if (guid) {
            if (!parseGuid(*guid, &title.id)) {
                *error = attributes.problem("guid \"" + *guid +
                                            "\" is not of the form "
                                            "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}");
                return false;
            }
        } else {
            title.id = ProjectLoader::defaultTitleId(position);
        }
        titles->push_back(title);
    }
    return true;
}

// Deletes a node list of SelectNodes as the host hands it out.
void freeNodeList(_NODE_INFO** nodes, int count) {
    if (nodes == nullptr) return;
    for (int i = 0; i < count; ++i) {
        if (nodes[i] == nullptr) continue;
        delete[] nodes[i]->name;
        delete[] nodes[i]->id;
        delete nodes[i];
    }
    delete[] nodes;
}

// The number of elements an XPath selects in a document of the registry; 0 on failure.
int countElements(unsigned domId, const char* xpath) {
    CXMLOutputFileGlue glue(domId, "project", nullptr);
    _NODE_INFO** nodes = nullptr;
    int count = 0;
    if (!glue.SelectNodes(xpath, &nodes, &count)) count = 0;
    freeNodeList(nodes, count);
    glue.Detach();
    return count;
}

}  // namespace

ProjectLoader::~ProjectLoader() {
    // The objects may hold things loaded from the document's folder; they go first.
    titleSource_.reset();
    source_.reset();
    if (referenceDomId_ != 0) merrowhost::releaseDocument(referenceDomId_);
}

GUID ProjectLoader::defaultTitleId(uint32_t position) {
    GUID id{0x4D4B5449, 0x544C, 0x4000, {0x80, 0x00, 0x00, 0x00, 0, 0, 0, 0}};
    id.Data4[4] = static_cast<uint8_t>(position >> 24);
    id.Data4[5] = static_cast<uint8_t>(position >> 16);
    id.Data4[6] = static_cast<uint8_t>(position >> 8);
    id.Data4[7] = static_cast<uint8_t>(position);
    return id;
}

bool ProjectLoader::readProjectFile(const fs::path& file, ProjectSettings* settings,
                                    std::string* error) {
    const std::string shown = file.string();
    settings->projectFile = shown;
    std::string bytes;
    if (!readWholeFile(file, shown, &bytes, error)) return false;
    if (bytes.size() > static_cast<size_t>(INT_MAX)) {
        *error = located(shown, 0, "too large");
        return false;
    }

    merrowhost::LibxmlErrorTrap trap;
    std::unique_ptr<xmlParserCtxt, ParserFree> context(xmlNewParserCtxt());
    if (!context) {
        *error = located(shown, 0, "out of memory");
        return false;
    }
    // No DTD loading, no entity expansion, no network: nothing outside the file is read.
    std::unique_ptr<xmlDoc, DocFree> doc(
        xmlCtxtReadMemory(context.get(), bytes.data(), static_cast<int>(bytes.size()),
                          shown.c_str(), nullptr, XML_PARSE_NONET));
    if (!doc || context->nsWellFormed == 0) {
        if (trap.hasError()) {
            const merrowhost::LibxmlErrorTrap::Error& found = trap.error();
            *error = shown + ":" + std::to_string(found.line) + ":" + std::to_string(found.column) +
                     ": " + found.message;
        } else {
            *error = located(shown, 0, "not well-formed XML");
        }
        return false;
    }

    const xmlNode* root = xmlDocGetRootElement(doc.get());
    if (root == nullptr || nodeName(root) != "project" || root->ns != nullptr) {
        *error = located(shown, root != nullptr ? lineOf(root) : 0,
                         "the document element must be <project> (without namespace)");
        return false;
    }
    settings->projectLine = lineOf(root);

    Attributes attributes(shown, root);
    if (!attributes.onlyKnown({"discFormat", "rootMenuTitle", "background", "backgroundImage",
                               "mediaKind", "defaultMediaValue"},
                              error)) {
        return false;
    }
    long long number = settings->discFormat;
    if (!readIntegerAttribute(attributes, "discFormat", INT32_MIN, INT32_MAX, &number, error)) {
        return false;
    }
    settings->discFormat = static_cast<int32_t>(number);
    number = settings->mediaKind;
    if (!readIntegerAttribute(attributes, "mediaKind", INT32_MIN, INT32_MAX, &number, error)) {
        return false;
    }
    settings->mediaKind = static_cast<int32_t>(number);
    number = settings->defaultMediaValue;
    if (!readIntegerAttribute(attributes, "defaultMediaValue", 0, UINT32_MAX, &number, error)) {
        return false;
    }
    settings->defaultMediaValue = static_cast<uint32_t>(number);
    if (!readBooleanAttribute(attributes, "rootMenuTitle", &settings->rootMenuTitle, error) ||
        !readBooleanAttribute(attributes, "background", &settings->background, error)) {
        return false;
    }
    settings->backgroundImage = attributes.get("backgroundImage").value_or("");

    std::set<std::string> seen;
    for (const xmlNode* child = root->children; child != nullptr; child = child->next) {
        if (!isElement(child)) {
            if (!isBlankText(child)) {
                *error = located(shown, lineOf(child),
                                 "<project> holds text; only elements belong there");
                return false;
            }
            continue;
        }
        const std::string name = nodeName(child);
        if (name != "presentation" && name != "backgroundMedia" && name != "titles") {
            *error = located(shown, lineOf(child),
                             "unexpected " + tagOf(name) +
                                 "; <project> holds <presentation>, <backgroundMedia> and "
                                 "<titles>");
            return false;
        }
        if (!seen.insert(name).second) {
            *error = located(shown, lineOf(child), "a second " + tagOf(name));
            return false;
        }
        if (name == "presentation") {
            settings->presentationLine = lineOf(child);
            if (!readFileAttribute(shown, child, &settings->presentationFile, error)) return false;
        } else if (name == "backgroundMedia") {
            settings->backgroundMediaLine = lineOf(child);
            std::string media;
            if (!readFileAttribute(shown, child, &media, error)) return false;
            settings->backgroundMediaFile = media;
        } else {
            settings->titles.emplace();
            if (!readTitles(shown, child, &*settings->titles, error)) return false;
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

bool ProjectLoader::load(const fs::path& folder, std::string* error) {
    folder_ = folder;
    std::error_code ec;
    const fs::file_status status = fs::status(folder, ec);
    if (status.type() == fs::file_type::not_found) {
        *error = located(folder.string(), 0, "no such project folder");
        return false;
    }
    if (status.type() != fs::file_type::directory) {
        *error = located(folder.string(), 0, "is not a folder");
        return false;
    }
    const fs::path absolute = fs::absolute(folder, ec).lexically_normal();
    merrowhost::setBaseFolder(absolute.string());

    if (!readProjectFile(folder / kProjectFile, &settings_, error)) return false;

    source_ = std::make_unique<merrowhost::ProjectSourceObject>();
    source_->setDiscFormat(settings_.discFormat);
    SAVEDATA record{};
    std::snprintf(record.projectName, sizeof record.projectName, "%s",
                  absolute.filename().string().c_str());
    record.revision = 1;
    source_->setRecord(&record);
    source_->setRootTitleSwitch(settings_.rootMenuTitle);
    source_->setBackgroundSwitch(settings_.background);
    source_->setMediaKind(settings_.mediaKind);
    source_->setDefaultItemValue(static_cast<intptr_t>(settings_.defaultMediaValue));
    if (!settings_.backgroundImage.empty()) {
        const std::string resolved = merrowhost::resolvePath(settings_.backgroundImage);
        if (!fs::is_regular_file(resolved, ec)) {
            *error = located(settings_.projectFile, settings_.projectLine,
                             "backgroundImage \"" + settings_.backgroundImage + "\": no such file");
            return false;
        }
        std::wstring wide;
        if (!widen(resolved, &wide)) {
            *error = located(settings_.projectFile, settings_.projectLine,
                             "backgroundImage is not UTF-8 text");
            return false;
        }
        source_->setBackgroundPath(wide);
    }

    if (!loadReferenceDocument(error) || !loadBackgroundMedia(error)) return false;
    buildTitleSource();
    return true;
}

bool ProjectLoader::loadReferenceDocument(std::string* error) {
    const std::string resolved = merrowhost::resolvePath(settings_.presentationFile);
    std::error_code ec;
    if (!fs::is_regular_file(resolved, ec)) {
        *error = located(settings_.projectFile, settings_.presentationLine,
                         "presentation file \"" + settings_.presentationFile +
                             "\": " + (fs::exists(resolved, ec) ? "not a file" : "no such file"));
        return false;
    }
    merrowhost::DocumentLoadError loadError;
    // Messages name the document as the project folder and project.xml name it.
    const fs::path shown = folder_ / settings_.presentationFile;
    std::string bytes;
    if (!readWholeFile(resolved, shown.string(), &bytes, error)) return false;
    referenceDomId_ = merrowhost::loadDocumentString(bytes, shown.string(), &loadError);
    if (referenceDomId_ == 0) {
        *error = loadError.text();
        return false;
    }
    source_->setPresentationDomId(referenceDomId_);
    return true;
}

bool ProjectLoader::loadBackgroundMedia(std::string* error) {
    if (!settings_.backgroundMediaFile) return true;
    const std::string& named = *settings_.backgroundMediaFile;
    const std::string resolved = merrowhost::resolvePath(named);
    std::error_code ec;
    if (!fs::is_regular_file(resolved, ec)) {
        *error = located(settings_.projectFile, settings_.backgroundMediaLine,
                         "background media \"" + named + "\": no such file");
        return false;
    }
    CDVDBuf colour;
    uint8_t* alpha = nullptr;
    if (!colour.Create(resolved.c_str(), nullptr, &alpha)) {
        *error = located(settings_.projectFile, settings_.backgroundMediaLine,
                         "background media \"" + named + "\": " + colour.lastError());
        return false;
    }
    int width = 0;
    int height = 0;
    int bits = 0;
    colour.GetWHU(&width, &height, &bits);
    CDVDBuf alphaPlane;
    if (alpha != nullptr) alphaPlane.Adopt(alpha, 8, width, height);

    CzfServiceObject* object =
        CzfObjectFactory::zfCreateObject(&merrowhost::kClassImageTrack, nullptr);
    auto* track = dynamic_cast<merrowhost::ImageTrackObject*>(object);
    if (track == nullptr) {
        CzfObjectFactory::zfFreeObject(object);
        *error = located(settings_.projectFile, settings_.backgroundMediaLine,
                         "background media: the host could not make an image track");
        return false;
    }
    // The track takes both buffers.
    track->zfSetImageData(merrowhost::ImageTrackObject::kModeBuffers, colour.Detach(),
                          alphaPlane.Detach(), 0, nullptr);
    SAVEDATA* record = nullptr;
    CzfDiscTemplateSettings settings;
    source_->settings().zfReadSettings(&settings, nullptr);
    record = settings.zfGetVIOSaveData();
    if (record != nullptr) track->zfSetProjectRecord(record, nullptr);
    track->zfSetSize(width, height, 0, nullptr);
    track->zfSetOption(1, 0, nullptr);
    source_->setItemMedia(0, track);
    return true;
}

void ProjectLoader::buildTitleSource() {
    std::vector<merrowhost::TitleSourceObject::Title> titles;
    if (settings_.titles) {
        for (const ProjectTitle& title : *settings_.titles) {
            titles.push_back({title.isUserTitle, title.id});
        }
    } else {
        // One user title per title of the reference document's first titles list.
        const int count = countElements(referenceDomId_, "(//NS:titlesInfo)[1]/NS:titleInfo");
        for (int i = 1; i <= count; ++i) {
            titles.push_back({true, defaultTitleId(static_cast<uint32_t>(i))});
        }
    }
    titleSource_ = std::make_unique<merrowhost::TitleSourceObject>(titles);
}

}  // namespace merrowcli
