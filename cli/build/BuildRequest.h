#pragma once
// The process-wide settings of one build, owned while it runs and given back when it ends,
// however it ends: the strictness and warning count of the messages, the counter of object
// identifiers, the pixel budget, the confinement of reads, the project's base folder and the
// documents of the host's registry.

#include <string>
#include <vector>

#include "cli/build/BuildCommand.h"

namespace merrowcli {

class BuildRequest {
public:
    // Identifiers count from 1 again, so that the same project gives the same files; one budget
    // of decoded and rendered pixels for the whole build.
    explicit BuildRequest(const BuildOptions& options);
    ~BuildRequest();
    BuildRequest(const BuildRequest&) = delete;
    BuildRequest& operator=(const BuildRequest&) = delete;

    // Reads go only below the project folder and the template folders, unless the options allow
    // reads outside.
    void confineReads(const std::filesystem::path& projectFolder) const;

private:
    const BuildOptions& options_;
    bool strictBefore_;
    std::string baseFolderBefore_;
};

}  // namespace merrowcli
