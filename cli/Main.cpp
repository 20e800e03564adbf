// merrowkit: the host program that runs the component on a project folder.
//
//   merrowkit build [PROJECT_DIR] [-o OUT_DIR] [--variant current|older]
//
// Exit status: 0 when the component created the title, 1 when it returned false (the outputs
// are written all the same), 2 for bad usage or bad input.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/BuildCommand.h"

namespace {

constexpr int kUsageError = merrowcli::BuildCommand::kCannotRun;

void printUsage(std::FILE* out) {
    std::fprintf(out,
                 "usage: merrowkit build [PROJECT_DIR] [-o OUT_DIR] [--variant current|older]\n"
                 "       merrowkit --help | --version\n"
                 "\n"
                 "Builds the BD-J calendar menu of a project folder (project.xml and the\n"
                 "reference document it names) with the merrowkit component and writes\n"
                 "OUT_DIR/AppPresentation.xml, OUT_DIR/tracks/*.png and OUT_DIR/title.xml.\n"
                 "\n"
                 "  PROJECT_DIR         the project folder (default: the shipped sample project)\n"
                 "  -o, --output DIR    the output folder (default: ./merrowkit-out); it is\n"
                 "                      replaced only when the new output is complete\n"
                 "  --variant VARIANT   the component variant to load: current (libmerrowkit.so)\n"
                 "                      or older (libmerrowkit-older.so)\n"
                 "  -h, --help          show this help\n"
                 "  --version           show the version\n"
                 "\n"
                 "Exit status: 0 built, 1 the component returned false (outputs written),\n"
                 "2 bad usage or bad input.\n");
}

int usageError(const std::string& message) {
    std::fprintf(stderr, "merrowkit: %s (see merrowkit --help)\n", message.c_str());
    return kUsageError;
}

bool startsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

// Parses the arguments after "build"; returns -1 when the build should run, else an exit status.
int parseBuildArguments(const std::vector<std::string>& args, merrowcli::BuildOptions* options) {
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (arg == "-h" || arg == "--help")) {
            printUsage(stdout);
            return 0;
        } else if (!optionsEnded && (arg == "-o" || arg == "--output")) {
            if (i + 1 >= args.size()) return usageError(arg + " needs a folder");
            if (options->outputFolder) return usageError("the output folder is given twice");
            if (args[i + 1].empty()) return usageError(arg + " needs a folder");
            options->outputFolder = args[++i];
        } else if (!optionsEnded && (startsWith(arg, "--output=") || startsWith(arg, "-o"))) {
            const std::string value = arg.substr(arg[1] == '-' ? 9 : 2);
            if (value.empty()) return usageError(arg + " needs a folder");
            if (options->outputFolder) return usageError("the output folder is given twice");
            options->outputFolder = value;
        } else if (!optionsEnded && (arg == "--variant" || startsWith(arg, "--variant="))) {
            std::string value;
            if (arg == "--variant") {
                if (i + 1 >= args.size()) return usageError("--variant needs current or older");
                value = args[++i];
            } else {
                value = arg.substr(10);
            }
            if (value != "current" && value != "older") {
                return usageError("unknown variant '" + value + "' (current or older)");
            }
            options->variant = value;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            return usageError("unknown option '" + arg + "'");
        } else {
            if (options->projectFolder) {
                return usageError("more than one PROJECT_DIR ('" +
                                  options->projectFolder->string() + "' and '" + arg + "')");
            }
            if (arg.empty()) return usageError("PROJECT_DIR is empty");
            options->projectFolder = arg;
        }
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        printUsage(stderr);
        return kUsageError;
    }
    const std::string& command = args[0];
    if (command == "--version") {
        std::printf("merrowkit %s\n", MERROWKIT_VERSION);
        return 0;
    }
    if (command == "--help" || command == "-h" || command == "help") {
        printUsage(stdout);
        return 0;
    }
    if (command != "build") {
        if (!command.empty() && command[0] == '-') {
            return usageError("unknown option '" + command + "'");
        }
        return usageError("unknown command '" + command + "'");
    }
    merrowcli::BuildOptions options;
    const int status =
        parseBuildArguments(std::vector<std::string>(args.begin() + 1, args.end()), &options);
    if (status >= 0) return status;
    return merrowcli::BuildCommand(std::move(options)).run();
}
