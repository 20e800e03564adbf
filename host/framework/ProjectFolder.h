#pragma once
// The folder against which the host resolves relative file paths (those of project.xml and of
// the reference document). Unset, relative paths are taken as they are.

#include <string>

namespace merrowhost {

void setBaseFolder(const std::string& folder);
const std::string& baseFolder();
// path unchanged when it is absolute, empty, or no base folder is set; else base/path.
std::string resolvePath(const std::string& path);

}  // namespace merrowhost
