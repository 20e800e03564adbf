#include "cli/core/CommandLine.h"

#include <cstdio>
#include <utility>

#include "cli/core/Messages.h"

namespace merrowcli {

namespace {

void print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

bool isGlobalFlag(const std::string& arg) {
    return arg == "-q" || arg == "--quiet" || arg == "-v" || arg == "--verbose";
}

}  // namespace

std::string versionLine() {
    return std::string("merrowkit ") + MERROWKIT_VERSION;
}

void CommandLine::add(std::unique_ptr<Command> command) {
    commands_.push_back(std::move(command));
}

Command* CommandLine::find(const std::string& name) const {
    for (const auto& command : commands_) {
        if (name == command->name()) return command.get();
    }
    return nullptr;
}

int CommandLine::usageError(const std::string& problem, const std::string& seeAlso) const {
    Messages::instance().error(problem + " (see " + seeAlso + ")");
    return kUsageError;
}

std::string CommandLine::helpText() const {
    std::string text;
    const char* lead = "usage: ";
    for (const auto& command : commands_) {
        text +=
            std::string(lead) + "merrowkit " + command->name() + " " + command->synopsis() + "\n";
        lead = "       ";
    }
    text += std::string(lead) + "merrowkit help [COMMAND]\n";
    text += "       merrowkit --help | --version\n\nCommands:\n";
    for (const auto& command : commands_) {
        std::string name = command->name();
        name.resize(10, ' ');
        text += "  " + name + command->summary() + "\n";
    }
    text +=
        "  help      show the help of a command\n"
        "\n"
        "Every command takes -h/--help, --version, -q/--quiet (only errors and warnings) and\n"
        "-v/--verbose (also what it is doing). 'merrowkit help COMMAND' shows a command's\n"
        "options.\n"
        "\n"
        "Exit status: 0 success, 1 the command ran and found or met a failure, 2 bad usage or\n"
        "bad input.\n";
    return text;
}

int CommandLine::help(const std::vector<std::string>& args) {
    if (args.empty()) {
        print(helpText());
        return 0;
    }
    if (args.size() > 1) return usageError("help takes one COMMAND", "merrowkit --help");
    Command* command = find(args[0]);
    if (command == nullptr) {
        return usageError("unknown command '" + args[0] + "'", "merrowkit --help");
    }
    ArgumentParser parser(command->name(), command->synopsis(), command->description());
    command->declare(parser);
    parser.setEpilogue(command->epilogue());
    print(parser.helpText());
    return 0;
}

int CommandLine::runCommand(Command& command, const std::vector<std::string>& args) {
    ArgumentParser parser(command.name(), command.synopsis(), command.description());
    command.declare(parser);
    parser.setEpilogue(command.epilogue());
    switch (parser.parse(args)) {
        case ArgumentParser::Outcome::kHelp:
            print(parser.helpText());
            return 0;
        case ArgumentParser::Outcome::kVersion:
            print(versionLine() + "\n");
            return 0;
        case ArgumentParser::Outcome::kError:
            return usageError(parser.problem(), std::string("merrowkit help ") + command.name());
        case ArgumentParser::Outcome::kRun:
            break;
    }
    Messages& messages = Messages::instance();
    messages.setVerbosity(parser.verbosity() < 0   ? Messages::Verbosity::kQuiet
                          : parser.verbosity() > 0 ? Messages::Verbosity::kVerbose
                                                   : Messages::Verbosity::kNormal);
    return command.run();
}

int CommandLine::run(const std::vector<std::string>& args) {
    // -q and -v may also stand before the command; they are handed on to it.
    std::vector<std::string> globalFlags;
    size_t at = 0;
    while (at < args.size() && isGlobalFlag(args[at])) globalFlags.push_back(args[at++]);
    if (at == args.size()) return usageError("no command given", "merrowkit --help");

    const std::string& first = args[at];
    if (first == "--help" || first == "-h") {
        print(helpText());
        return 0;
    }
    if (first == "--version") {
        print(versionLine() + "\n");
        return 0;
    }
    std::vector<std::string> rest(globalFlags);
    rest.insert(rest.end(), args.begin() + static_cast<long>(at) + 1, args.end());
    if (first == "help") {
        return help(std::vector<std::string>(args.begin() + static_cast<long>(at) + 1, args.end()));
    }
    Command* command = find(first);
    if (command != nullptr) return runCommand(*command, rest);

    if (!first.empty() && first[0] == '-') {
        return usageError("unknown option '" + first + "' before the command", "merrowkit --help");
    }
    std::vector<std::string> names{"help"};
    for (const auto& candidate : commands_) names.push_back(candidate->name());
    const std::string suggestion = ArgumentParser::nearest(first, names);
    return usageError("unknown command '" + first + "'" +
                          (suggestion.empty() ? "" : "; did you mean '" + suggestion + "'?"),
                      "merrowkit --help");
}

}  // namespace merrowcli
