// The application-framework stand-ins: the file finder, the module state and the program path.

#include "host/framework/AppFramework.h"

#include <dirent.h>
#include <dlfcn.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <set>

namespace {

bool isDots(const std::string& name) {
    return name == "." || name == "..";
}

// The folders whose entries a listing of folder shows (see CFileFind).
std::vector<std::string> listedFolders(const std::string& folder);

// Only '*' and '?' are wildcards in a finder pattern; every other character stands for itself.
std::string toGlob(const std::string& pattern) {
    std::string glob;
    for (char c : pattern) {
        if (c == '[' || c == ']' || c == '\\') glob += '\\';
        glob += c;
    }
    return glob;
}

bool matchesAll(const std::string& pattern) {
    return pattern == "*.*" || pattern == "*";
}

// "." first, then "..", then every other name in byte order.
bool entryBefore(const std::string& a, const std::string& b) {
    const int rankA = a == "." ? 0 : a == ".." ? 1 : 2;
    const int rankB = b == "." ? 0 : b == ".." ? 1 : 2;
    if (rankA != rankB) return rankA < rankB;
    return a < b;
}

}  // namespace

bool CFileFind::FindFile(const char* pattern) {
    Close();
    const std::string text = pattern != nullptr ? pattern : "*.*";
    const size_t slash = text.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : text.substr(0, slash + 1);
    const std::string namePattern = slash == std::string::npos ? text : text.substr(slash + 1);
    if (namePattern.empty()) return false;

    const bool all = matchesAll(namePattern);
    const std::string glob = toGlob(namePattern);
    std::vector<Entry> found;
    std::set<std::string> seen;
    for (const std::string& listed : listedFolders(folder)) {
        DIR* dir = opendir(listed.empty() ? "." : listed.c_str());
        if (dir == nullptr) continue;
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (!all && fnmatch(glob.c_str(), name.c_str(), 0) != 0) continue;
            // The first folder that has a name hides the same name in later ones.
            if (seen.insert(name).second) found.push_back(Entry{name, listed, false});
        }
        closedir(dir);
    }

    std::sort(found.begin(), found.end(),
              [](const Entry& a, const Entry& b) { return entryBefore(a.name, b.name); });
    for (Entry& entry : found) {
        struct stat info {};
        const std::string path = entry.folder + entry.name;
        entry.directory = stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    }
    entries_ = std::move(found);
    return !entries_.empty();
}

bool CFileFind::FindNextFile() {
    if (next_ >= entries_.size()) {
        current_ = nullptr;
        return false;
    }
    current_ = &entries_[next_];
    ++next_;
    return next_ < entries_.size();
}

CString CFileFind::GetFileName() const {
    return current_ ? CString(current_->name) : CString();
}

CString CFileFind::GetFilePath() const {
    return current_ ? CString(current_->folder + current_->name) : CString();
}

CString CFileFind::GetRoot() const {
    return current_ ? CString(current_->folder) : CString();
}

bool CFileFind::IsDirectory() const {
    return current_ != nullptr && current_->directory;
}

bool CFileFind::IsDots() const {
    return current_ != nullptr && isDots(current_->name);
}

void CFileFind::Close() {
    entries_.clear();
    next_ = 0;
    current_ = nullptr;
}

AFX_MODULE_STATE* AfxGetModuleState() {
    static AFX_MODULE_STATE state;
    return &state;
}

namespace {

std::mutex& programPathMutex() {
    static std::mutex mutex;
    return mutex;
}

std::string& programPathOverride() {
    static std::string path;
    return path;
}

}  // namespace

namespace merrowhost {

std::string runningExecutable() {
    std::string path(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0) return std::string();
    path.resize(static_cast<size_t>(length));
    return path;
}

}  // namespace merrowhost

uint32_t GetModuleFileNameA(HINSTANCE, char* buffer, uint32_t size) {
    if (buffer == nullptr || size == 0) return 0;
    std::string path;
    {
        std::lock_guard<std::mutex> lock(programPathMutex());
        path = programPathOverride();
    }
    if (path.empty()) path = merrowhost::runningExecutable();
    // A path that does not fit is cut to size - 1 characters and the result is size.
    if (path.size() >= size) {
        std::memcpy(buffer, path.data(), size - 1);
        buffer[size - 1] = '\0';
        return size;
    }
    std::memcpy(buffer, path.data(), path.size());
    buffer[path.size()] = '\0';
    return static_cast<uint32_t>(path.size());
}

namespace {

constexpr const char* kTemplateTree = "Content/";

std::string& installedRootOverride() {
    static std::string folder;
    return folder;
}

std::string withSeparator(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

// The installed data folder, found from the file this library was loaded from.
std::string installedTemplateRoot() {
    {
        std::lock_guard<std::mutex> lock(programPathMutex());
        if (!installedRootOverride().empty()) return installedRootOverride();
    }
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&merrowhost::templateRoots), &info) == 0 ||
        info.dli_fname == nullptr || info.dli_fname[0] != '/') {
        return std::string();
    }
    const std::filesystem::path library(info.dli_fname);
    return withSeparator(
        (library.parent_path() / MERROWHOST_DATADIR_FROM_LIBDIR).lexically_normal().string());
}

std::string programFolder() {
    char buffer[4096];
    const uint32_t length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer) return std::string();
    const std::string path(buffer, length);
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::vector<std::string> listedFolders(const std::string& folder) {
    const std::string program = programFolder();
    const std::string tree = program + kTemplateTree;
    if (program.empty() || folder.compare(0, tree.size(), tree) != 0) return {folder};
    const std::string inside = folder.substr(program.size());
    std::vector<std::string> folders;
    for (const std::string& root : merrowhost::templateRoots()) folders.push_back(root + inside);
    return folders;
}

}  // namespace

namespace merrowhost {

void setProgramPath(const std::string& path) {
    std::lock_guard<std::mutex> lock(programPathMutex());
    programPathOverride() = path;
}

std::vector<std::string> templateRoots() {
    std::vector<std::string> candidates{programFolder()};
    if (const char* named = std::getenv(kTemplateDirVariable); named != nullptr && *named != 0) {
        candidates.push_back(withSeparator(named));
    }
    candidates.push_back(installedTemplateRoot());
    std::vector<std::string> roots;
    for (const std::string& candidate : candidates) {
        if (candidate.empty()) continue;
        const std::string normal =
            withSeparator(std::filesystem::path(candidate).lexically_normal().string());
        if (std::find(roots.begin(), roots.end(), normal) == roots.end()) roots.push_back(normal);
    }
    return roots;
}

void setInstalledTemplateRoot(const std::string& folder) {
    std::lock_guard<std::mutex> lock(programPathMutex());
    installedRootOverride() = folder.empty() ? std::string() : withSeparator(folder);
}

}  // namespace merrowhost
