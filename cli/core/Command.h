#pragma once
// One subcommand of the `merrowkit` program (build, check, preview, import): it declares its
// arguments to the shared parser and then runs with what the parser took.

#include <string>

#include "cli/core/ArgumentParser.h"

namespace merrowcli {

class Command {
public:
    virtual ~Command() = default;

    virtual const char* name() const = 0;
    // What follows the name in the usage line: "[PROJECT_DIR] [-o OUT_DIR]".
    virtual const char* synopsis() const = 0;
    // One line for the list of commands.
    virtual const char* summary() const = 0;
    // The paragraph of the command's help, and what follows its options (exit statuses).
    virtual std::string description() const { return summary(); }
    virtual std::string epilogue() const { return {}; }

    // Declares the command's options and operands; the handlers fill the command's own fields.
    virtual void declare(ArgumentParser& parser) = 0;
    // Runs after a successful parse; returns the exit status.
    virtual int run() = 0;
};

}  // namespace merrowcli
