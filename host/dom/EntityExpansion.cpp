#include "host/dom/EntityExpansion.h"

#include <libxml/entities.h>
#include <libxml/tree.h>

#include <cstring>
#include <map>
#include <string>
#include <string_view>

namespace merrowhost {

namespace {

// libxml2 refuses entities nested deeper than this without XML_PARSE_HUGE; deeper is counted
// as over the limit.
constexpr int kMaxDepth = 40;

class ExpansionCounter {
public:
    ExpansionCounter(const xmlDoc* doc, size_t limit) : doc_(doc), limit_(limit) {}

    // The bytes the entity named name expands to, at most limit_ + 1.
    size_t entitySize(const xmlChar* name, int depth) {
        const std::string key(reinterpret_cast<const char*>(name));
        if (const auto known = sizes_.find(key); known != sizes_.end()) return known->second;
        if (depth > kMaxDepth) return limit_ + 1;
        xmlEntity* entity = xmlGetDocEntity(const_cast<xmlDoc*>(doc_), name);
        // An entity met again while it is being counted refers to itself: over the limit.
        sizes_[key] = limit_ + 1;
        size_t size = 0;
        if (entity == nullptr) {
            size = key.size() + 2;
        } else if (entity->etype == XML_INTERNAL_PREDEFINED_ENTITY) {
            size = 1;
        } else if (entity->content != nullptr) {
            size = textSize(reinterpret_cast<const char*>(entity->content), depth + 1);
        }
        sizes_[key] = size;
        return size;
    }

private:
    // The bytes an entity's replacement text expands to: character references count four
    // bytes (the most one character takes), entity references what their entity expands to.
    size_t textSize(const char* text, int depth) {
        size_t size = 0;
        const size_t length = std::strlen(text);
        for (size_t at = 0; at < length && size <= limit_; ++at) {
            const size_t end = text[at] == '&' ? std::string_view(text, length).find(';', at)
                                               : std::string_view::npos;
            if (end == std::string_view::npos) {
                ++size;
                continue;
            }
            if (text[at + 1] == '#') {
                size += 4;
            } else {
                const std::string name(text + at + 1, end - at - 1);
                size += entitySize(reinterpret_cast<const xmlChar*>(name.c_str()), depth);
            }
            at = end;
        }
        return size > limit_ ? limit_ + 1 : size;
    }

    const xmlDoc* doc_;
    size_t limit_;
    std::map<std::string, size_t> sizes_;
};

}  // namespace

bool entityExpansionWithin(const _xmlDoc* doc, size_t limit, int* line) {
    *line = 0;
    if (doc == nullptr || doc->intSubset == nullptr || doc->intSubset->entities == nullptr) {
        return true;
    }
    ExpansionCounter counter(doc, limit);
    size_t total = 0;
    const auto count = [&](const xmlNode* reference, const xmlNode* placed) {
        total += counter.entitySize(reference->name, 0);
        if (total <= limit) return true;
        *line = placed != nullptr ? static_cast<int>(xmlGetLineNo(placed)) : 0;
        return false;
    };
    // Every node in document order, without recursion (documents may nest deeply).
    const xmlNode* node = doc->children;
    while (node != nullptr) {
        if (node->type == XML_ENTITY_REF_NODE && !count(node, node->parent)) return false;
        if (node->type == XML_ELEMENT_NODE) {
            for (const xmlAttr* attribute = node->properties; attribute != nullptr;
                 attribute = attribute->next) {
                for (const xmlNode* part = attribute->children; part != nullptr;
                     part = part->next) {
                    if (part->type == XML_ENTITY_REF_NODE && !count(part, node)) return false;
                }
            }
        }
        if (node->type != XML_ENTITY_REF_NODE && node->type != XML_DTD_NODE &&
            node->children != nullptr) {
            node = node->children;
            continue;
        }
        while (node != nullptr && node->next == nullptr) {
            node = node->parent;
            if (node != nullptr && node->type == XML_DOCUMENT_NODE) node = nullptr;
        }
        if (node != nullptr) node = node->next;
    }
    return true;
}

}  // namespace merrowhost
