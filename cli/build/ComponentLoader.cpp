#include "cli/build/ComponentLoader.h"

#include <dlfcn.h>

#include <string>
#include <system_error>

#include "cli/core/ProgramPaths.h"

namespace merrowcli {

namespace fs = std::filesystem;

ComponentLoader::~ComponentLoader() {
    if (handle_ != nullptr) dlclose(handle_);
}

std::string ComponentLoader::libraryName(const std::string& variant) {
    const std::string base = variant == "older" ? "libmerrowkit-older" : "libmerrowkit";
    return base + ".so." + MERROWKIT_SOVERSION;
}

fs::path ComponentLoader::libraryPath(const std::string& variant, const fs::path& programFolder) {
    const std::string name = libraryName(variant);
    const fs::path beside = programFolder / name;
    std::error_code ec;
    if (fs::exists(beside, ec)) return beside;
    // When neither is there, the load fails naming the installed place.
    return installedLibraryFolder(programFolder) / name;
}

fs::path ComponentLoader::libraryPath(const std::string& variant) {
    return libraryPath(variant, programFolder());
}

bool ComponentLoader::load(const fs::path& library, std::string* error) {
    if (handle_ != nullptr) {
        dlclose(handle_);
        handle_ = nullptr;
        factory_ = nullptr;
    }
    dlerror();
    handle_ = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* found = dlerror();
        std::string reason = found != nullptr ? found : "unknown reason";
        // dlerror names the file itself; the message names it once.
        const std::string named = library.string() + ": ";
        if (reason.compare(0, named.size(), named) == 0) reason.erase(0, named.size());
        *error = named + "cannot load the component: " + reason;
        return false;
    }
    void* symbol = dlsym(handle_, "gzf_CreateComponent");
    if (symbol == nullptr) {
        *error = library.string() + ": the component exports no gzf_CreateComponent";
        dlclose(handle_);
        handle_ = nullptr;
        return false;
    }
    factory_ = reinterpret_cast<gzf_CreateComponentFunction>(symbol);
    return true;
}

}  // namespace merrowcli
