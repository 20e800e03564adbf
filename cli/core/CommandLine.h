#pragma once
// The `merrowkit` program's command line: finds the subcommand, lets it declare and parse its
// arguments, answers help and version, and turns bad usage into one message and status 2.
//
//   merrowkit COMMAND [ARGUMENTS]      run a command
//   merrowkit help [COMMAND]           the program's or a command's help
//   merrowkit --help | --version

#include <memory>
#include <string>
#include <vector>

#include "cli/core/Command.h"

namespace merrowcli {

class CommandLine {
public:
    static constexpr int kUsageError = 2;

    void add(std::unique_ptr<Command> command);

    // Runs the program on its arguments (without the program name) and gives the exit status.
    int run(const std::vector<std::string>& args);

    // The program's help: the usage line of every command, then the common options.
    std::string helpText() const;

private:
    Command* find(const std::string& name) const;
    int runCommand(Command& command, const std::vector<std::string>& args);
    int help(const std::vector<std::string>& args);
    int usageError(const std::string& problem, const std::string& seeAlso) const;

    std::vector<std::unique_ptr<Command>> commands_;
};

// "merrowkit 0.1.0"
std::string versionLine();

}  // namespace merrowcli
