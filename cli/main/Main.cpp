// merrowkit: the host program that runs the component on a project folder, and the tools
// around it. See CommandLine for the command line and each command for its arguments.

#include <malloc.h>

#include <memory>
#include <string>
#include <vector>

#include "cli/build/BuildCommand.h"
#include "cli/check/CheckCommand.h"
#include "cli/core/CommandLine.h"
#include "cli/import/ImportCommand.h"
#include "cli/preview/PreviewCommand.h"

int main(int argc, char** argv) {
    // A build allocates and frees thousands of picture buffers of a few hundred kilobytes to a
    // few megabytes. Kept in the heap instead of being mapped and unmapped one by one, and not
    // handed back to the system after each, they are not zeroed page by page by the kernel
    // again and again.
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    merrowcli::CommandLine commandLine;
    commandLine.add(std::make_unique<merrowcli::BuildCommand>());
    commandLine.add(std::make_unique<merrowcli::CheckCommand>());
    commandLine.add(std::make_unique<merrowcli::PreviewCommand>());
    commandLine.add(std::make_unique<merrowcli::ImportCommand>());
    return commandLine.run(std::vector<std::string>(argv + 1, argv + argc));
}
