// Whether a path names an existing regular file; folders and missing paths do not count. A
// relative path is taken against the project folder, as the host's readers take it.

#include "host/framework/FileCheck.h"

#include <sys/stat.h>

#include <string>

#include "host/framework/ProjectFolder.h"

bool IsFileExist(const char* path, void*, void*) {
    if (path == nullptr || path[0] == '\0') return false;
    const std::string resolved = merrowhost::resolvePath(path);
    struct stat info {};
    return stat(resolved.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}
