// The application-framework stand-ins: the file finder, the module state and the program path.

#include "host/framework/AppFramework.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace {

bool isDots(const std::string& name) {
    return name == "." || name == "..";
}

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
    folder_ = slash == std::string::npos ? std::string() : text.substr(0, slash + 1);
    const std::string namePattern = slash == std::string::npos ? text : text.substr(slash + 1);
    if (namePattern.empty()) return false;

    DIR* dir = opendir(folder_.empty() ? "." : folder_.c_str());
    if (dir == nullptr) return false;
    const bool all = matchesAll(namePattern);
    const std::string glob = toGlob(namePattern);
    std::vector<std::string> names;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (all || fnmatch(glob.c_str(), name.c_str(), 0) == 0) names.push_back(name);
    }
    closedir(dir);

    std::sort(names.begin(), names.end(), entryBefore);
    entries_.reserve(names.size());
    for (const std::string& name : names) {
        struct stat info {};
        const std::string path = folder_ + name;
        const bool directory = stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        entries_.push_back(Entry{name, directory});
    }
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
    return current_ ? CString(folder_ + current_->name) : CString();
}

CString CFileFind::GetRoot() const {
    return current_ ? CString(folder_) : CString();
}

bool CFileFind::IsDirectory() const {
    return current_ != nullptr && current_->directory;
}

bool CFileFind::IsDots() const {
    return current_ != nullptr && isDots(current_->name);
}

void CFileFind::Close() {
    folder_.clear();
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

std::string runningExecutable() {
    std::string path(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0) return std::string();
    path.resize(static_cast<size_t>(length));
    return path;
}

}  // namespace

uint32_t GetModuleFileNameA(HINSTANCE, char* buffer, uint32_t size) {
    if (buffer == nullptr || size == 0) return 0;
    std::string path;
    {
        std::lock_guard<std::mutex> lock(programPathMutex());
        path = programPathOverride();
    }
    if (path.empty()) path = runningExecutable();
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

namespace merrowhost {

void setProgramPath(const std::string& path) {
    std::lock_guard<std::mutex> lock(programPathMutex());
    programPathOverride() = path;
}

}  // namespace merrowhost
