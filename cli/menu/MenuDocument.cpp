#include "cli/menu/MenuDocument.h"

#include <libxml/tree.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace merrowcli::menu {

MenuDocument::MenuDocument(const xmlNode* root) {
    if (root != nullptr) add(root, -1);
}

int MenuDocument::add(const xmlNode* element, int parent) {
    const int n = static_cast<int>(nodes_.size());
    nodes_.emplace_back();
    nodes_.back().name = reinterpret_cast<const char*>(element->name);
    nodes_.back().parent = parent;
    for (const xmlAttr* a = element->properties; a != nullptr; a = a->next) {
        xmlChar* value = xmlNodeGetContent(reinterpret_cast<const xmlNode*>(a));
        nodes_.back().attributes.emplace_back(
            reinterpret_cast<const char*>(a->name),
            value != nullptr ? reinterpret_cast<const char*>(value) : "");
        xmlFree(value);
    }
    if (const std::string* id = attribute(n, "id")) byId_[*id].push_back(n);
    for (const xmlNode* c = element->children; c != nullptr; c = c->next) {
        if (c->type != XML_ELEMENT_NODE) continue;
        const int added = add(c, n);
        nodes_[static_cast<size_t>(n)].children.push_back(added);
    }
    return n;
}

const std::string* MenuDocument::attribute(int n, const char* name) const {
    if (n < 0) return nullptr;
    for (const auto& [key, value] : node(n).attributes) {
        if (key == name) return &value;
    }
    return nullptr;
}

std::string MenuDocument::text(int n, const char* name) const {
    const std::string* value = attribute(n, name);
    return value != nullptr ? *value : std::string();
}

double MenuDocument::number(int n, const char* name, double fallback) const {
    const std::string* value = attribute(n, name);
    if (value == nullptr) return fallback;
    size_t begin = value->find_first_not_of(" \t\r\n");
    if (begin == std::string::npos) return 0;  // an empty value reads as 0
    const size_t end = value->find_last_not_of(" \t\r\n") + 1;
    const std::string trimmed = value->substr(begin, end - begin);
    char* stop = nullptr;
    const double parsed = std::strtod(trimmed.c_str(), &stop);
    if (stop != trimmed.c_str() + trimmed.size() || !std::isfinite(parsed)) return fallback;
    return parsed;
}

int MenuDocument::find(const std::string& id) const {
    const auto found = byId_.find(id);
    return found == byId_.end() ? -1 : found->second.front();
}

int MenuDocument::child(int n, const char* name) const {
    if (n < 0) return -1;
    for (const int c : node(n).children) {
        if (node(c).name == name) return c;
    }
    return -1;
}

std::vector<int> MenuDocument::descendants(int n, const char* name) const {
    std::vector<int> out;
    if (n < 0) return out;
    // Elements are numbered in document order, and a subtree's elements follow its root.
    for (int c : node(n).children) {
        if (node(c).name == name) out.push_back(c);
        const std::vector<int> below = descendants(c, name);
        out.insert(out.end(), below.begin(), below.end());
    }
    return out;
}

bool MenuDocument::isInside(int n, int ancestor) const {
    for (int up = n; up >= 0; up = node(up).parent) {
        if (up == ancestor) return true;
    }
    return false;
}

std::optional<SceneName> sceneName(const std::string& id) {
    const size_t last = id.rfind('_');
    if (last == std::string::npos || last + 1 == id.size() || last == 0) return std::nullopt;
    for (size_t i = last + 1; i < id.size(); ++i) {
        if (id[i] < '0' || id[i] > '9') return std::nullopt;
    }
    const size_t before = id.rfind('_', last - 1);
    if (before == std::string::npos || before == 0) return std::nullopt;
    const std::string kind = id.substr(before + 1, last - before - 1);
    static const char* const kKinds[] = {
        "SCENE", "TEXT", "TITLEDECORATION", "TITLENUMBER", "PHOTODECORATION", "PHOTONUMBER"};
    bool known = false;
    for (const char* k : kKinds) known = known || kind == k;
    if (!known) return std::nullopt;
    SceneName scene;
    scene.prefix = id.substr(0, before);
    scene.kind = kind;
    // Leading zeros are allowed; a number too long for an int is no scene.
    const std::string digits = id.substr(last + 1);
    if (digits.size() > 9) return std::nullopt;
    scene.number = std::atoi(digits.c_str());
    return scene;
}

}  // namespace merrowcli::menu
