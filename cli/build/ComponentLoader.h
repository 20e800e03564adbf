#pragma once
// Loads the component library with dlopen and finds its exported factory, as the host
// application loads an extension component. The library stays loaded while the loader lives;
// every object the component made must be freed before the loader goes away.

#include <filesystem>
#include <string>

#include "merrowkit/Services.h"

namespace merrowcli {

class ComponentLoader {
public:
    ComponentLoader() = default;
    ~ComponentLoader();
    ComponentLoader(const ComponentLoader&) = delete;
    ComponentLoader& operator=(const ComponentLoader&) = delete;

    // The file name of the component library of a variant ("current" or "older"), by its
    // soname: "libmerrowkit.so.0", "libmerrowkit-older.so.0".
    static std::string libraryName(const std::string& variant);

    // Where the library of a variant is for a program in programFolder: beside the program
    // when it is there (the build tree, or a copy of the whole folder), else in the installed
    // library folder next to the program's (bin/../lib in the GNU layout).
    static std::filesystem::path libraryPath(const std::string& variant,
                                             const std::filesystem::path& programFolder);
    // The same for the running program.
    static std::filesystem::path libraryPath(const std::string& variant);

    // Loads the library and looks up gzf_CreateComponent. False with *error set (naming the
    // file) when either fails.
    bool load(const std::filesystem::path& library, std::string* error);

    gzf_CreateComponentFunction factory() const { return factory_; }

private:
    void* handle_ = nullptr;
    gzf_CreateComponentFunction factory_ = nullptr;
};

}  // namespace merrowcli
