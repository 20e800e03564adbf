#include "cli/build/PictureWarnings.h"

#include <libxml/tree.h>

#include <algorithm>
#include <tuple>

#include "cli/core/Messages.h"
#include "host/dom/DocumentRegistry.h"
#include "host/framework/ProjectFolder.h"

namespace merrowcli {

namespace {

// The host's reason starts with the resolved path when it names one; the warning names the path
// as the document does, so that part is dropped.
std::string reasonOf(const merrowhost::PictureDiagnostic& diagnostic) {
    const std::string prefix = merrowhost::resolvePath(diagnostic.picture) + ": ";
    std::string reason = diagnostic.problem;
    if (reason.compare(0, prefix.size(), prefix) == 0) reason.erase(0, prefix.size());
    if (reason == "No such file or directory") reason = "no such file";
    return reason.empty() ? std::string("cannot be read") : reason;
}

// The elements, in document order, with an attribute whose value is picture.
void allNaming(const xmlNode* node, const std::string& picture,
               std::vector<const xmlNode*>* found) {
    for (; node != nullptr; node = node->next) {
        if (node->type != XML_ELEMENT_NODE) continue;
        for (const xmlAttr* a = node->properties; a != nullptr; a = a->next) {
            if (a->children != nullptr && a->children->type == XML_TEXT_NODE &&
                a->children->next == nullptr && a->children->content != nullptr &&
                picture == reinterpret_cast<const char*>(a->children->content)) {
                found->push_back(node);
                break;
            }
        }
        allNaming(node->children, picture, found);
    }
}

}  // namespace

void PictureWarnings::pictureNotUsed(const merrowhost::PictureDiagnostic& diagnostic) noexcept {
    try {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (const merrowhost::PictureDiagnostic& known : found_) {
            if (known.domId == diagnostic.domId && known.line == diagnostic.line &&
                known.elementId == diagnostic.elementId && known.picture == diagnostic.picture) {
                return;
            }
        }
        found_.push_back(diagnostic);
    } catch (...) {
        // A warning that cannot be kept is dropped; the build goes on.
    }
}

size_t PictureWarnings::size() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return found_.size();
}

void PictureWarnings::write(unsigned domId, const std::string& shown) const {
    std::vector<merrowhost::PictureDiagnostic> found;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        found = found_;
    }
    // Reports without an element: dropped when an element's report names the same picture,
    // else placed at the first element of the reference document that names the picture.
    std::vector<merrowhost::PictureDiagnostic> placed;
    std::vector<bool> leftOut;
    for (const merrowhost::PictureDiagnostic& diagnostic : found) {
        if (diagnostic.domId != 0) {
            placed.push_back(diagnostic);
            leftOut.push_back(false);
        }
    }
    const size_t withElement = placed.size();
    for (const merrowhost::PictureDiagnostic& diagnostic : found) {
        if (diagnostic.domId != 0) continue;
        merrowhost::onRegistryDocument(domId, [&](xmlDoc* doc) {
            std::vector<const xmlNode*> naming;
            allNaming(xmlDocGetRootElement(doc), diagnostic.picture, &naming);
            for (const xmlNode* element : naming) {
                merrowhost::PictureDiagnostic located = diagnostic;
                located.domId = domId;
                located.line = static_cast<int>(xmlGetLineNo(element));
                located.element = reinterpret_cast<const char*>(element->name);
                xmlChar* id = xmlGetNoNsProp(element, BAD_CAST "id");
                if (id != nullptr) {
                    located.elementId = reinterpret_cast<const char*>(id);
                    xmlFree(id);
                }
                const bool known =
                    std::any_of(placed.begin(), placed.begin() + withElement, [&](const auto& o) {
                        return o.domId == located.domId && o.line == located.line &&
                               o.elementId == located.elementId && o.picture == located.picture;
                    });
                if (known) continue;
                placed.push_back(located);
                leftOut.push_back(true);
            }
            return true;
        });
    }
    std::vector<size_t> order(placed.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return std::tie(placed[a].domId, placed[a].line, placed[a].picture) <
               std::tie(placed[b].domId, placed[b].line, placed[b].picture);
    });
    for (size_t i : order) {
        const merrowhost::PictureDiagnostic& diagnostic = placed[i];
        std::string element(1, '<');
        element.append(diagnostic.element);
        if (!diagnostic.elementId.empty()) element += " id=\"" + diagnostic.elementId + "\"";
        element += ">";
        const std::string problem =
            element + ": picture \"" + diagnostic.picture + "\": " + reasonOf(diagnostic) +
            (leftOut[i] ? "; it is not used" : "; the fallback picture is shown");
        if (diagnostic.domId == domId) {
            Messages::instance().warning(shown, diagnostic.line, problem);
        } else {
            Messages::instance().warning(problem);
        }
    }
}

}  // namespace merrowcli
