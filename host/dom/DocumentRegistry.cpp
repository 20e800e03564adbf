#include "host/dom/DocumentRegistry.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>

#include "host/dom/EntityExpansion.h"
#include "host/dom/LibxmlErrorTrap.h"
#include "host/dom/XmlOutputFileGlue.h"

namespace merrowhost {

DocumentRegistry& DocumentRegistry::instance() {
    static DocumentRegistry registry;
    return registry;
}

DocumentRegistry::~DocumentRegistry() {
    releaseAll();
}

unsigned DocumentRegistry::add(_xmlDoc* doc) {
    if (doc == nullptr) return 0;
    std::lock_guard<std::mutex> lock(mutex_);
    // The counter never wraps back onto identifiers handed out before.
    if (nextId_ == 0) {
        xmlFreeDoc(doc);
        return 0;
    }
    Entry entry;
    entry.doc = doc;
    try {
        entry.index = std::make_unique<ElementIndex>(doc);
    } catch (...) {
        xmlFreeDoc(doc);
        throw;
    }
    entry.index->attach();
    const unsigned id = nextId_++;
    documents_[id] = std::move(entry);
    return id;
}

bool DocumentRegistry::contains(unsigned domId) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return documents_.count(domId) != 0;
}

bool DocumentRegistry::withDocument(unsigned domId, const std::function<void(_xmlDoc*)>& action) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = documents_.find(domId);
    if (found == documents_.end()) return false;
    action(found->second.doc);
    return true;
}

void DocumentRegistry::free(Entry* entry) {
    if (entry->index) entry->index->detach();
    entry->index.reset();
    xmlFreeDoc(entry->doc);
    entry->doc = nullptr;
}

bool DocumentRegistry::release(unsigned domId) {
    Entry entry;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto found = documents_.find(domId);
        if (found == documents_.end()) return false;
        entry = std::move(found->second);
        documents_.erase(found);
    }
    free(&entry);
    return true;
}

void DocumentRegistry::releaseAll() {
    std::map<unsigned, Entry> documents;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        documents.swap(documents_);
    }
    for (auto& entry : documents) free(&entry.second);
}

std::string serializeDocument(_xmlDoc* doc) {
    if (doc == nullptr) return std::string();
    LibxmlErrorTrap trap;
    xmlChar* bytes = nullptr;
    int size = 0;
    xmlDocDumpFormatMemoryEnc(doc, &bytes, &size, "UTF-8", 1);
    if (bytes == nullptr) return std::string();
    std::string text;
    try {
        text.assign(reinterpret_cast<const char*>(bytes), size > 0 ? static_cast<size_t>(size) : 0);
    } catch (...) {
        xmlFree(bytes);
        throw;
    }
    xmlFree(bytes);
    return text;
}

namespace {

struct ParserContextDeleter {
    void operator()(xmlParserCtxtPtr context) const { xmlFreeParserCtxt(context); }
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

void setError(DocumentLoadError* error, const std::string& file, int line, int column,
              const std::string& message) {
    if (error == nullptr) return;
    error->file = file;
    error->line = line;
    error->column = column;
    error->message = message;
}

// Parses without loading a DTD or expanding entities, so that nothing outside the text is
// ever read, and without network access.
unsigned parseDocument(const char* data, size_t size, const std::string& name,
                       DocumentLoadError* error) {
    if (size > static_cast<size_t>(INT_MAX)) {
        setError(error, name, 0, 0, "document too large");
        return 0;
    }
    LibxmlErrorTrap trap;
    std::unique_ptr<xmlParserCtxt, ParserContextDeleter> context(xmlNewParserCtxt());
    if (!context) {
        setError(error, name, 0, 0, "out of memory");
        return 0;
    }
    xmlDocPtr doc =
        xmlCtxtReadMemory(context.get(), data != nullptr ? data : "", static_cast<int>(size),
                          name.c_str(), nullptr, XML_PARSE_NONET | XML_PARSE_NOBLANKS);
    // A document with namespace errors (an undeclared prefix, for one) is refused as well:
    // its element names could not be matched by namespace.
    if (doc != nullptr && (context->nsWellFormed == 0 || trap.stoppedParser())) {
        xmlFreeDoc(doc);
        doc = nullptr;
    }
    if (doc == nullptr) {
        if (trap.hasError()) {
            const LibxmlErrorTrap::Error& found = trap.error();
            setError(error, name, found.line, found.column, found.message);
        } else {
            setError(error, name, 0, 0, "not well-formed XML");
        }
        return 0;
    }
    int line = 0;
    if (!entityExpansionWithin(doc, kEntityExpansionLimit, &line)) {
        xmlFreeDoc(doc);
        setError(error, name, line, 0, kEntityExpansionProblem);
        return 0;
    }
    const unsigned id = DocumentRegistry::instance().add(doc);
    if (id == 0) setError(error, name, 0, 0, "no document identifier left");
    return id;
}

}  // namespace

std::string DocumentLoadError::text() const {
    if (line <= 0) return file + ": " + message;
    if (column <= 0) return file + ":" + std::to_string(line) + ": " + message;
    return file + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " + message;
}

unsigned loadDocumentFile(const std::string& path, DocumentLoadError* error) {
    try {
        errno = 0;
        std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
        if (!file) {
            setError(error, path, 0, 0, std::strerror(errno != 0 ? errno : ENOENT));
            return 0;
        }
        struct stat info {};
        if (fstat(fileno(file.get()), &info) == 0 && S_ISDIR(info.st_mode)) {
            setError(error, path, 0, 0, std::strerror(EISDIR));
            return 0;
        }
        std::string bytes;
        char buffer[65536];
        size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
            bytes.append(buffer, got);
        }
        if (std::ferror(file.get())) {
            setError(error, path, 0, 0, std::strerror(errno != 0 ? errno : EIO));
            return 0;
        }
        return parseDocument(bytes.data(), bytes.size(), path, error);
    } catch (...) {
        setError(error, path, 0, 0, "out of memory");
        return 0;
    }
}

unsigned loadDocumentString(const std::string& xml, const std::string& name,
                            DocumentLoadError* error) {
    try {
        return parseDocument(xml.data(), xml.size(), name, error);
    } catch (...) {
        setError(error, name, 0, 0, "out of memory");
        return 0;
    }
}

std::string documentText(unsigned domId) {
    std::string text;
    try {
        DocumentRegistry::instance().withDocument(
            domId, [&text](_xmlDoc* doc) { text = serializeDocument(doc); });
    } catch (...) {
        text.clear();
    }
    return text;
}

bool hasDocument(unsigned domId) {
    return DocumentRegistry::instance().contains(domId);
}

bool releaseDocument(unsigned domId) {
    return DocumentRegistry::instance().release(domId);
}

void releaseAllDocuments() {
    DocumentRegistry::instance().releaseAll();
}

}  // namespace merrowhost
