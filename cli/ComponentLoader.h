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

    // The folder of the running program (from /proc/self/exe); empty when it cannot be read.
    static std::filesystem::path executableFolder();

    // The file name of the component library of a variant: "current" or "older".
    static std::string libraryName(const std::string& variant);

    // Loads the library and looks up gzf_CreateComponent. False with *error set (naming the
    // file) when either fails.
    bool load(const std::filesystem::path& library, std::string* error);

    gzf_CreateComponentFunction factory() const { return factory_; }

private:
    void* handle_ = nullptr;
    gzf_CreateComponentFunction factory_ = nullptr;
};

}  // namespace merrowcli
