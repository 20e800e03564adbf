#pragma once
// The host's documents: each parsed or created document gets an identifier from a counter that
// starts at 1 and never hands out the same number twice. The registry owns the documents and
// their id indexes; glue objects only name them. One lock guards the table and every access to
// a document.

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "host/dom/ElementIndex.h"

struct _xmlDoc;

namespace merrowhost {

class DocumentRegistry {
public:
    static DocumentRegistry& instance();

    // Takes ownership of the document; 0 (and the document freed) when it is null.
    unsigned add(_xmlDoc* doc);
    bool contains(unsigned domId) const;
    // Runs action on the document while holding the lock; false (action not run) for an unknown
    // identifier. The action must not call back into the registry.
    bool withDocument(unsigned domId, const std::function<void(_xmlDoc*)>& action);
    bool release(unsigned domId);
    void releaseAll();

    // Frees every document still held, at process exit.
    ~DocumentRegistry();
    DocumentRegistry(const DocumentRegistry&) = delete;
    DocumentRegistry& operator=(const DocumentRegistry&) = delete;

private:
    DocumentRegistry() = default;

    mutable std::mutex mutex_;
    struct Entry {
        _xmlDoc* doc = nullptr;
        std::unique_ptr<ElementIndex> index;
    };
    static void free(Entry* entry);

    std::map<unsigned, Entry> documents_;
    unsigned nextId_ = 1;
};

// The document as the host writes it to a file: UTF-8 with an XML declaration, indented.
// Empty for a null document or when libxml2 cannot serialise it.
std::string serializeDocument(_xmlDoc* doc);

// The registry as the host program, an embedder and the tests use it.
struct DocumentLoadError {
    std::string file;
    int line = 0;
    int column = 0;
    std::string message;
    // "FILE:LINE:COLUMN: message"; "FILE:LINE: message" without a column (a document refused
    // for its entities); "FILE: message" when no position is known (a file that cannot be
    // read).
    std::string text() const;
};

// Loads a presentation document into the registry. Returns its DOM identifier, or 0 with
// *error filled when the file cannot be read, is not well-formed XML, or its internal entities
// expand beyond kEntityExpansionLimit (host/dom/EntityExpansion.h).
unsigned loadDocumentFile(const std::string& path, DocumentLoadError* error);
unsigned loadDocumentString(const std::string& xml, const std::string& name,
                            DocumentLoadError* error);
// The document as SaveXMLFile writes it; empty for an unknown identifier.
std::string documentText(unsigned domId);
bool hasDocument(unsigned domId);
bool releaseDocument(unsigned domId);
void releaseAllDocuments();

// Runs op(doc) on a registry document under the lock and gives op's result. False when the
// identifier is 0 or unknown, or op fails or throws.
template <typename Op>
bool onRegistryDocument(unsigned domId, Op&& op) {
    if (domId == 0) return false;
    bool ok = false;
    try {
        DocumentRegistry::instance().withDocument(domId, [&](_xmlDoc* doc) { ok = op(doc); });
    } catch (...) {
        ok = false;
    }
    return ok;
}

}  // namespace merrowhost
