#include "host/framework/ReadConfinement.h"

#include <stdlib.h>

#include <cerrno>
#include <memory>

namespace merrowhost {

namespace {

struct Confinement {
    bool on = false;
    std::vector<std::string> folders;  // real paths
};

Confinement& confinement() {
    static Confinement setting;
    return setting;
}

struct FreeDeleter {
    void operator()(char* text) const { free(text); }
};

// The real location of path; empty when it cannot be resolved (errno tells why).
std::string realLocation(const std::string& path) {
    std::unique_ptr<char, FreeDeleter> real(realpath(path.c_str(), nullptr));
    return real ? std::string(real.get()) : std::string();
}

bool inside(const std::string& location, const std::string& folder) {
    if (folder == "/") return true;
    return location.compare(0, folder.size(), folder) == 0 &&
           (location.size() == folder.size() || location[folder.size()] == '/');
}

}  // namespace

void confineReads(const std::vector<std::string>& folders) {
    Confinement& setting = confinement();
    setting.on = true;
    setting.folders.clear();
    for (const std::string& folder : folders) {
        const std::string real = realLocation(folder);
        if (!real.empty()) setting.folders.push_back(real);
    }
}

void unconfineReads() {
    confinement() = Confinement();
}

bool readsConfined() {
    return confinement().on;
}

bool readAllowed(const std::string& path) {
    const Confinement& setting = confinement();
    if (!setting.on) return true;
    errno = 0;
    const std::string location = realLocation(path);
    if (location.empty()) return errno == ENOENT || errno == ENOTDIR;
    for (const std::string& folder : setting.folders) {
        if (inside(location, folder)) return true;
    }
    return false;
}

}  // namespace merrowhost
