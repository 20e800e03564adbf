#include "host/framework/ProjectFolder.h"

namespace merrowhost {

namespace {
std::string& folderSetting() {
    static std::string folder;
    return folder;
}
}  // namespace

void setBaseFolder(const std::string& folder) {
    folderSetting() = folder;
}

const std::string& baseFolder() {
    return folderSetting();
}

std::string resolvePath(const std::string& path) {
    const std::string& base = folderSetting();
    if (path.empty() || path[0] == '/' || base.empty()) return path;
    return base.back() == '/' ? base + path : base + "/" + path;
}

}  // namespace merrowhost
