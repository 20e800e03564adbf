#pragma once
// The arguments of one command, read with getopt_long in the GNU way: options and operands in
// any order, "--" ends the options, "--name=value" or "--name value", "-xVALUE" or "-x VALUE",
// short flags grouped ("-qv"), and a long option may be shortened to any unambiguous prefix.
//
// A command declares its options and operands with a handler each; parse() calls the handlers
// in the order the arguments come and stops at the first problem. Every command also takes
// -h/--help, --version, -q/--quiet and -v/--verbose. The help text is made from the
// declarations, so that it always lists what the command really takes.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace merrowcli {

class ArgumentParser {
public:
    // Handles one value; false with *problem set refuses it.
    using ValueHandler = std::function<bool(const std::string& value, std::string* problem)>;
    using FlagHandler = std::function<void()>;

    struct Option {
        std::string longName;      // without the dashes: "output"
        char shortName = 0;        // 'o', or 0 for none
        std::string valueName;     // "OUT_DIR"; empty for a flag
        std::string help;          // one or more lines for the option list
        std::string missingValue;  // the problem when the value is missing; empty: generic
        ValueHandler onValue;
        FlagHandler onFlag;
    };

    struct Operand {
        std::string name;  // "PROJECT_DIR"
        std::string help;
        bool required = false;
        bool repeated = false;
        ValueHandler onValue;
    };

    enum class Outcome {
        kRun,      // every argument was taken: run the command
        kHelp,     // -h/--help: print helpText() on stdout, status 0
        kVersion,  // --version: print the version on stdout, status 0
        kError,    // problem() says what is wrong: status 2
    };

    // command: the command's name ("build"); synopsis: what follows it in the usage line
    // ("[PROJECT_DIR] [-o OUT_DIR]"); description: a paragraph for the help text.
    ArgumentParser(std::string command, std::string synopsis, std::string description);

    void addOption(Option option);
    void addFlag(const std::string& longName, char shortName, const std::string& help,
                 FlagHandler onFlag);
    void addValueOption(const std::string& longName, char shortName, const std::string& valueName,
                        const std::string& help, ValueHandler onValue,
                        const std::string& missingValue = {});
    void addOperand(Operand operand);
    // A required folder operand that refuses an empty value ("NAME is empty") and sets target.
    static Operand folderOperand(const char* name, const char* help,
                                 std::optional<std::filesystem::path>& target);
    // Text for the end of the help (exit statuses, examples).
    void setEpilogue(std::string text) { epilogue_ = std::move(text); }

    // Parses the arguments that follow the command's name.
    Outcome parse(const std::vector<std::string>& args);
    const std::string& problem() const { return problem_; }

    // How -q and -v were given: -1 quiet, 0 neither, 1 verbose (the last one given wins).
    int verbosity() const { return verbosity_; }

    const std::string& command() const { return command_; }
    // "usage: merrowkit COMMAND SYNOPSIS"
    std::string usageLine() const;
    std::string helpText() const;

    // The long option names the command takes, with their dashes ("--output").
    std::vector<std::string> longOptionNames() const;

    // The candidate closest to word by edit distance, when it is close enough to be a likely
    // misspelling; empty otherwise.
    static std::string nearest(const std::string& word, const std::vector<std::string>& candidates);

private:
    bool takeOperand(const std::string& value);
    std::string unknownOptionProblem(const std::string& argument) const;

    std::string command_;
    std::string synopsis_;
    std::string description_;
    std::string epilogue_;
    std::vector<Option> options_;
    std::vector<Operand> operands_;
    std::vector<size_t> operandCounts_;
    std::vector<std::string> firstOperands_;
    std::string problem_;
    int verbosity_ = 0;
};

}  // namespace merrowcli
