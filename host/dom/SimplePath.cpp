#include "host/dom/SimplePath.h"

#include <libxml/tree.h>

#include <cstring>
#include <unordered_map>
#include <unordered_set>

#include "host/dom/ElementIndex.h"

namespace merrowhost {
namespace {

bool startsName(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool continuesName(char c) {
    return startsName(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

// Reads an ASCII NCName at text[*at]; names with other characters are left to libxml2.
bool readName(std::string_view text, size_t* at, std::string* name) {
    size_t i = *at;
    if (i >= text.size() || !startsName(text[i])) return false;
    while (i < text.size() && continuesName(text[i])) ++i;
    name->assign(text.substr(*at, i - *at));
    *at = i;
    return true;
}

bool readPredicate(std::string_view text, size_t* at, PathPredicate* predicate) {
    size_t i = *at;
    if (i >= text.size() || text[i] != '[') return false;
    ++i;
    if (text.substr(i, 7) == "last()]") {
        predicate->kind = PathPredicate::Kind::Last;
        *at = i + 7;
        return true;
    }
    if (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        long position = 0;
        size_t digits = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            // Larger numbers are rare enough to leave to libxml2's own arithmetic.
            if (++digits > 9) return false;
            position = position * 10 + (text[i] - '0');
            ++i;
        }
        if (i >= text.size() || text[i] != ']') return false;
        predicate->kind = PathPredicate::Kind::Position;
        predicate->position = position;
        *at = i + 1;
        return true;
    }
    if (i >= text.size() || text[i] != '@') return false;
    ++i;
    if (!readName(text, &i, &predicate->name)) return false;
    if (i >= text.size() || text[i] != '=') return false;
    ++i;
    if (i >= text.size() || (text[i] != '"' && text[i] != '\'')) return false;
    const char quote = text[i++];
    const size_t end = text.find(quote, i);
    if (end == std::string_view::npos) return false;
    predicate->value.assign(text.substr(i, end - i));
    i = end + 1;
    if (i >= text.size() || text[i] != ']') return false;
    predicate->kind = PathPredicate::Kind::Attribute;
    *at = i + 1;
    return true;
}

bool readStep(std::string_view text, size_t* at, PathStep* step) {
    size_t i = *at;
    if (text.substr(i, 3) == "NS:") {
        step->prefixed = true;
        i += 3;
    }
    if (i < text.size() && text[i] == '*') {
        step->anyName = true;
        ++i;
    } else if (!readName(text, &i, &step->name)) {
        return false;
    }
    // "NS::name" or another prefix is an axis or a foreign prefix, not a plain name.
    if (i < text.size() && text[i] == ':') return false;
    while (i < text.size() && text[i] == '[') {
        PathPredicate predicate;
        if (!readPredicate(text, &i, &predicate)) return false;
        step->predicates.push_back(std::move(predicate));
    }
    *at = i;
    return true;
}

bool isIdPredicate(const PathPredicate& predicate) {
    return predicate.kind == PathPredicate::Kind::Attribute && predicate.name == "id";
}

// True when the element's attribute without namespace has exactly that value.
bool attributeIs(xmlNodePtr element, const std::string& name, const std::string& value) {
    xmlChar* text = xmlGetNoNsProp(element, BAD_CAST name.c_str());
    if (text == nullptr) return false;
    const bool same = value == reinterpret_cast<const char*>(text);
    xmlFree(text);
    return same;
}

class Walker {
public:
    Walker(xmlDocPtr doc, const ElementIndex& index) : index_(index) {
        xmlNodePtr root = xmlDocGetRootElement(doc);
        if (root != nullptr && root->ns != nullptr && root->ns->href != nullptr &&
            root->ns->href[0] != '\0') {
            href_ = reinterpret_cast<const char*>(root->ns->href);
        }
    }

    bool matches(xmlNodePtr node, const PathStep& step) const {
        if (node->type != XML_ELEMENT_NODE) return false;
        // "*" takes every element; "NS:*" those of the prefix's namespace, and every element
        // where the prefix is dropped (a document element without namespace).
        if (step.anyName && (!step.prefixed || href_ == nullptr)) return true;
        if (!step.anyName &&
            std::strcmp(reinterpret_cast<const char*>(node->name), step.name.c_str()) != 0) {
            return false;
        }
        const char* wanted = step.prefixed ? href_ : nullptr;
        const char* has = (node->ns != nullptr && node->ns->href != nullptr)
                              ? reinterpret_cast<const char*>(node->ns->href)
                              : nullptr;
        if (has != nullptr && has[0] == '\0') has = nullptr;
        if (wanted == nullptr || has == nullptr) return wanted == has;
        return std::strcmp(wanted, has) == 0;
    }

    // The step's elements below each context element, in document order when the context
    // elements are (child steps keep that: contexts of one step never contain one another).
    std::vector<xmlNodePtr> childStep(const std::vector<xmlNodePtr>& contexts,
                                      const PathStep& step) const {
        std::vector<xmlNodePtr> out;
        if (!step.predicates.empty() && isIdPredicate(step.predicates.front())) {
            std::unordered_map<xmlNodePtr, std::vector<xmlNodePtr>> byParent;
            for (xmlNodePtr candidate : index_.elementsWithId(step.predicates.front().value)) {
                if (matches(candidate, step)) byParent[candidate->parent].push_back(candidate);
            }
            for (xmlNodePtr context : contexts) {
                const auto found = byParent.find(context);
                if (found == byParent.end()) continue;
                std::vector<xmlNodePtr> siblings = std::move(found->second);
                sortInDocumentOrder(&siblings);
                append(&out, filter(std::move(siblings), step, 1));
            }
            return out;
        }
        for (xmlNodePtr context : contexts) append(&out, children(context, step));
        return out;
    }

    // "//" then the step: every element of the document that the step names, its predicates
    // counted among the children of each parent.
    std::vector<xmlNodePtr> anyDescendantStep(const PathStep& step, bool* nested) const {
        std::vector<xmlNodePtr> candidates;
        size_t first = 0;
        if (!step.predicates.empty() && isIdPredicate(step.predicates.front())) {
            for (xmlNodePtr candidate : index_.elementsWithId(step.predicates.front().value)) {
                if (matches(candidate, step)) candidates.push_back(candidate);
            }
            sortInDocumentOrder(&candidates);
            first = 1;
        } else {
            for (xmlNodePtr candidate : index_.elementsNamed(step.name)) {
                if (matches(candidate, step)) candidates.push_back(candidate);
            }
        }
        // The predicates count among the children of each parent; the candidates are in
        // document order, and what they keep stays in it.
        std::unordered_map<xmlNodePtr, std::vector<xmlNodePtr>> byParent;
        for (xmlNodePtr candidate : candidates) byParent[candidate->parent].push_back(candidate);
        std::unordered_set<xmlNodePtr> kept;
        for (auto& group : byParent) {
            for (xmlNodePtr element : filter(std::move(group.second), step, first)) {
                kept.insert(element);
            }
        }
        std::vector<xmlNodePtr> out;
        for (xmlNodePtr candidate : candidates) {
            if (kept.count(candidate) != 0) out.push_back(candidate);
        }
        // Child steps from elements that contain one another leave document order.
        *nested = false;
        for (xmlNodePtr element : out) {
            for (xmlNodePtr up = element->parent; up != nullptr && !*nested; up = up->parent) {
                *nested = kept.count(up) != 0;
            }
            if (*nested) break;
        }
        return out;
    }

private:
    static void append(std::vector<xmlNodePtr>* out, const std::vector<xmlNodePtr>& more) {
        out->insert(out->end(), more.begin(), more.end());
    }

    std::vector<xmlNodePtr> children(xmlNodePtr context, const PathStep& step) const {
        std::vector<xmlNodePtr> found;
        // [last()] alone: the last match, found from the end.
        if (step.predicates.size() == 1 && step.predicates[0].kind == PathPredicate::Kind::Last) {
            for (xmlNodePtr child = context->last; child != nullptr; child = child->prev) {
                if (matches(child, step)) {
                    found.push_back(child);
                    break;
                }
            }
            return found;
        }
        // [N] first: stop at the N-th match.
        long wanted = -1;
        if (!step.predicates.empty() && step.predicates[0].kind == PathPredicate::Kind::Position) {
            wanted = step.predicates[0].position;
            if (wanted < 1) return found;
        }
        long seen = 0;
        for (xmlNodePtr child = context->children; child != nullptr; child = child->next) {
            if (!matches(child, step)) continue;
            ++seen;
            if (wanted < 0) {
                found.push_back(child);
            } else if (seen == wanted) {
                found.push_back(child);
                break;
            }
        }
        return filter(std::move(found), step, wanted < 0 ? 0 : 1);
    }

    // Applies the step's predicates from the first-th on, each to what the earlier left.
    static std::vector<xmlNodePtr> filter(std::vector<xmlNodePtr> elements, const PathStep& step,
                                          size_t first) {
        for (size_t p = first; p < step.predicates.size() && !elements.empty(); ++p) {
            const PathPredicate& predicate = step.predicates[p];
            switch (predicate.kind) {
                case PathPredicate::Kind::Last:
                    elements = {elements.back()};
                    break;
                case PathPredicate::Kind::Position:
                    if (predicate.position < 1 ||
                        static_cast<size_t>(predicate.position) > elements.size()) {
                        elements.clear();
                    } else {
                        elements = {elements[static_cast<size_t>(predicate.position) - 1]};
                    }
                    break;
                case PathPredicate::Kind::Attribute: {
                    std::vector<xmlNodePtr> kept;
                    for (xmlNodePtr element : elements) {
                        if (attributeIs(element, predicate.name, predicate.value)) {
                            kept.push_back(element);
                        }
                    }
                    elements = std::move(kept);
                    break;
                }
            }
        }
        return elements;
    }

    const ElementIndex& index_;
    const char* href_ = nullptr;
};

}  // namespace

std::optional<SimplePath> parseSimplePath(std::string_view text) {
    SimplePath path;
    size_t i = 0;
    if (text.substr(0, 2) == "//") {
        path.start = SimplePath::Start::AnyDescendant;
        i = 2;
    } else if (text.substr(0, 1) == "/") {
        path.start = SimplePath::Start::Document;
        i = 1;
    } else if (text == ".") {
        return path;
    } else if (text.substr(0, 2) == "./") {
        i = 2;
    }
    while (true) {
        PathStep step;
        if (!readStep(text, &i, &step)) return std::nullopt;
        path.steps.push_back(std::move(step));
        if (i == text.size()) break;
        if (text[i] != '/' || (i + 1 < text.size() && text[i + 1] == '/')) return std::nullopt;
        ++i;
    }
    if (path.start == SimplePath::Start::AnyDescendant && path.steps.front().anyName) {
        return std::nullopt;
    }
    return path;
}

std::vector<xmlNodePtr> evaluateSimplePath(const SimplePath& path, xmlDocPtr doc,
                                           const ElementIndex& index) {
    std::vector<xmlNodePtr> current;
    xmlNodePtr root = xmlDocGetRootElement(doc);
    if (root == nullptr) return current;
    Walker walker(doc, index);
    size_t next = 0;
    bool nested = false;
    switch (path.start) {
        case SimplePath::Start::DocumentElement:
            current.push_back(root);
            break;
        case SimplePath::Start::Document: {
            // The document element is the document's only element child, so a first step's
            // predicates count among one element.
            const PathStep& first = path.steps.front();
            if (walker.matches(root, first)) current.push_back(root);
            for (const PathPredicate& predicate : first.predicates) {
                if (predicate.kind == PathPredicate::Kind::Position && predicate.position != 1) {
                    current.clear();
                } else if (predicate.kind == PathPredicate::Kind::Attribute &&
                           !attributeIs(root, predicate.name, predicate.value)) {
                    current.clear();
                }
            }
            next = 1;
            break;
        }
        case SimplePath::Start::AnyDescendant:
            current = walker.anyDescendantStep(path.steps.front(), &nested);
            next = 1;
            break;
    }
    for (size_t s = next; s < path.steps.size() && !current.empty(); ++s) {
        current = walker.childStep(current, path.steps[s]);
    }
    if (nested) sortInDocumentOrder(&current);
    return current;
}

}  // namespace merrowhost
