#include "cli/core/ProgramPaths.h"

#include "host/framework/AppFramework.h"

namespace merrowcli {

namespace fs = std::filesystem;

fs::path programFolder() {
    const std::string program = merrowhost::runningExecutable();
    if (program.empty()) return {};
    return fs::path(program).parent_path();
}

fs::path installedDataFolder(const fs::path& programFolder) {
    return (programFolder / MERROWKIT_DATADIR_FROM_BINDIR).lexically_normal();
}

fs::path installedLibraryFolder(const fs::path& programFolder) {
    return (programFolder / MERROWKIT_LIBDIR_FROM_BINDIR).lexically_normal();
}

}  // namespace merrowcli
