// merrowkit: the host program that runs the component on a project folder, and the tools
// around it. See CommandLine for the command line and each command for its arguments.

#include <memory>
#include <string>
#include <vector>

#include "cli/BuildCommand.h"
#include "cli/CheckCommand.h"
#include "cli/CommandLine.h"
#include "cli/ImportCommand.h"
#include "cli/PreviewCommand.h"

int main(int argc, char** argv) {
    merrowcli::CommandLine commandLine;
    commandLine.add(std::make_unique<merrowcli::BuildCommand>());
    commandLine.add(std::make_unique<merrowcli::CheckCommand>());
    commandLine.add(std::make_unique<merrowcli::PreviewCommand>());
    commandLine.add(std::make_unique<merrowcli::ImportCommand>());
    commandLine.add(std::make_unique<merrowcli::ImportCommand>());
    return commandLine.run(std::vector<std::string>(argv + 1, argv + argc));
}
