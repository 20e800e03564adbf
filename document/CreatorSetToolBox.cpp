#include "document/CreatorSetToolBox.h"

#include <vector>

#include "document/NodeList.h"
#include "host/framework/FileCheck.h"

std::string CreatorSetToolBox::m_fullpath;

namespace {

// Folder trees deeper than this are not searched; it also ends the walk through a folder link
// that leads back to one of its own parents.
constexpr int kMaxSearchDepth = 32;

void findFileBelow(CString& found, const CString& folder, const char* name, int depth) {
    if (depth > kMaxSearchDepth) return;
    CFileFind finder;
    bool more = finder.FindFile((folder + "*.*").GetString());
    while (more) {
        more = finder.FindNextFile();
        if (finder.IsDots()) continue;
        const CString entry = finder.GetFileName();
        if (entry.str() == name) {
            // A match directly in this folder ends this folder's search.
            found = finder.GetFilePath();
            break;
        }
        if (finder.IsDirectory()) {
            // A match in a sub-folder does not end the search: a later match replaces it.
            findFileBelow(found, folder + entry + "/", name, depth + 1);
        }
    }
    finder.Close();
}

}  // namespace

const std::string& CreatorSetToolBox::fullPath() {
    if (m_fullpath.empty()) {
        // The path may be longer than any fixed buffer: grow until it fits.
        std::vector<char> buffer(260);
        for (;;) {
            const uint32_t size = static_cast<uint32_t>(buffer.size());
            const uint32_t length = GetModuleFileNameA(
                AfxGetModuleState()->m_hCurrentInstanceHandle, buffer.data(), size);
            if (length < size) {
                m_fullpath.assign(buffer.data(), length);
                break;
            }
            buffer.resize(buffer.size() * 2);
        }
    }
    return m_fullpath;
}

std::string CreatorSetToolBox::getModulePath() {
    const std::string& path = fullPath();
    const size_t slash = path.rfind(kSeparator);
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string CreatorSetToolBox::getModuleFileDriverPath() {
    fullPath();
    return std::string(1, kSeparator);
}

CString CreatorSetToolBox::getContentTemplatePath(const char* sub) {
    CFileFind finder;
    CString root;
    if (finder.FindFile(fullPath().c_str())) {
        finder.FindNextFile();
        root = finder.GetRoot();
    } else {
        root = getModulePath();
    }
    finder.Close();
    return root + sub;
}

void CreatorSetToolBox::findFile(CString& found, CString& folder, const char* name) {
    if (name == nullptr) return;
    findFileBelow(found, folder, name, 0);
}

std::string CreatorSetToolBox::imagePathProcess(const char* file) {
    if (file == nullptr) return std::string();
    if (IsFileExist(file, nullptr, nullptr)) return file;
    for (const char* sub : {kCalendarTemplateFolder, kApplicationTemplateFolder}) {
        CString found;
        CString folder = getContentTemplatePath(sub);
        findFile(found, folder, file);
        if (!found.IsEmpty() && IsFileExist(found, nullptr, nullptr)) return found.str();
    }
    return std::string();
}

bool CreatorSetToolBox::isElementExist(CXMLOutputFileGlue& doc, std::string xpath) {
    Merrow::NodeList nodes(doc, xpath);
    return nodes.ok() && nodes.size() > 0;
}

void CreatorSetToolBox::freeNodeInfo(_NODE_INFO*** nodes, int count) {
    if (nodes == nullptr || *nodes == nullptr) return;
    _NODE_INFO** list = *nodes;
    for (int i = 0; i < count; ++i) {
        if (list[i] == nullptr) continue;
        delete[] list[i]->id;
        list[i]->id = nullptr;
        delete[] list[i]->name;
        list[i]->name = nullptr;
        delete list[i];
        list[i] = nullptr;
    }
    delete[] list;
    *nodes = nullptr;
}
