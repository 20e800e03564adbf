#include "cli/core/ArgumentParser.h"

#include <getopt.h>

#include <algorithm>
#include <utility>

namespace merrowcli {

namespace {

// getopt_long answers a long option with this plus its index.
constexpr int kLongBase = 1000;

std::string dashed(const std::string& longName) {
    return "--" + longName;
}

// The option as typed, without a "=value" part.
std::string typedName(const char* argument) {
    std::string text = argument != nullptr ? argument : "";
    const size_t equals = text.find('=');
    if (text.rfind("--", 0) == 0 && equals != std::string::npos) text.resize(equals);
    return text;
}

// Edits between two words: insertions, deletions, substitutions and swaps of two neighbours
// (the optimal string alignment distance), so that "biuld" is one edit from "build".
size_t editDistance(const std::string& a, const std::string& b) {
    std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
    for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
    for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
            }
        }
    }
    return d[a.size()][b.size()];
}

}  // namespace

ArgumentParser::ArgumentParser(std::string command, std::string synopsis, std::string description)
    : command_(std::move(command)),
      synopsis_(std::move(synopsis)),
      description_(std::move(description)) {
    // The options every command takes. Help and version are answered by parse() itself.
    addFlag("help", 'h', "show this help and exit", {});
    addFlag("version", 0, "show the version and exit", {});
    addFlag("quiet", 'q', "print only errors and warnings (no summary)",
            [this] { verbosity_ = -1; });
    addFlag("verbose", 'v', "also print what the command is doing", [this] { verbosity_ = 1; });
}

void ArgumentParser::addOption(Option option) {
    if (option.missingValue.empty() && !option.valueName.empty()) {
        option.missingValue = "needs " + option.valueName;
    }
    options_.push_back(std::move(option));
}

void ArgumentParser::addFlag(const std::string& longName, char shortName, const std::string& help,
                             FlagHandler onFlag) {
    Option option;
    option.longName = longName;
    option.shortName = shortName;
    option.help = help;
    option.onFlag = std::move(onFlag);
    addOption(std::move(option));
}

void ArgumentParser::addValueOption(const std::string& longName, char shortName,
                                    const std::string& valueName, const std::string& help,
                                    ValueHandler onValue, const std::string& missingValue) {
    Option option;
    option.longName = longName;
    option.shortName = shortName;
    option.valueName = valueName;
    option.help = help;
    option.missingValue = missingValue;
    option.onValue = std::move(onValue);
    addOption(std::move(option));
}

ArgumentParser::Operand ArgumentParser::folderOperand(
    const char* name, const char* help, std::optional<std::filesystem::path>& target) {
    const std::string operandName = name;
    return {operandName, help, true, false,
            [operandName, &target](const std::string& value, std::string* problem) {
                if (value.empty()) {
                    *problem = operandName + " is empty";
                    return false;
                }
                target = value;
                return true;
            }};
}

void ArgumentParser::addOperand(Operand operand) {
    operands_.push_back(std::move(operand));
}

std::vector<std::string> ArgumentParser::longOptionNames() const {
    std::vector<std::string> names;
    for (const Option& option : options_) names.push_back(dashed(option.longName));
    return names;
}

std::string ArgumentParser::nearest(const std::string& word,
                                    const std::vector<std::string>& candidates) {
    std::string best;
    size_t bestDistance = std::string::npos;
    for (const std::string& candidate : candidates) {
        const size_t distance = editDistance(word, candidate);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = candidate;
        }
    }
    // Close enough to be a slip of the keyboard: a third of the word, at most three edits.
    const size_t allowed = std::clamp<size_t>(word.size() / 3, 1, 3);
    return bestDistance <= allowed ? best : std::string();
}

std::string ArgumentParser::unknownOptionProblem(const std::string& argument) const {
    if (argument.rfind("--", 0) == 0) {
        std::vector<std::string> matches;
        for (const Option& option : options_) {
            if (dashed(option.longName).rfind(argument, 0) == 0) {
                matches.push_back(dashed(option.longName));
            }
        }
        if (matches.size() > 1) {
            std::string list;
            for (const std::string& match : matches) list += (list.empty() ? "" : ", ") + match;
            return "ambiguous option '" + argument + "' (" + list + ")";
        }
        const std::string suggestion = nearest(argument, longOptionNames());
        if (!suggestion.empty()) {
            return "unknown option '" + argument + "'; did you mean '" + suggestion + "'?";
        }
    }
    return "unknown option '" + argument + "'";
}

bool ArgumentParser::takeOperand(const std::string& value) {
    for (size_t i = 0; i < operands_.size(); ++i) {
        Operand& operand = operands_[i];
        if (operandCounts_[i] > 0 && !operand.repeated) {
            if (i + 1 < operands_.size()) continue;
            problem_ = "more than one " + operand.name + " ('" + firstOperands_[i] + "' and '" +
                       value + "')";
            return false;
        }
        if (operandCounts_[i]++ == 0) firstOperands_[i] = value;
        std::string problem;
        if (operand.onValue && !operand.onValue(value, &problem)) {
            problem_ = problem;
            return false;
        }
        return true;
    }
    problem_ = "unexpected argument '" + value + "'";
    return false;
}

ArgumentParser::Outcome ArgumentParser::parse(const std::vector<std::string>& args) {
    problem_.clear();
    verbosity_ = 0;
    operandCounts_.assign(operands_.size(), 0);
    firstOperands_.assign(operands_.size(), std::string());

    std::vector<struct option> table;
    // ':' first: a missing value is answered with ':' rather than '?', and nothing is printed.
    std::string shortOptions = ":";
    for (size_t i = 0; i < options_.size(); ++i) {
        const Option& option = options_[i];
        const int hasValue = option.valueName.empty() ? no_argument : required_argument;
        table.push_back({option.longName.c_str(), hasValue, nullptr, kLongBase + int(i)});
        if (option.shortName != 0) {
            shortOptions += option.shortName;
            if (hasValue == required_argument) shortOptions += ':';
        }
    }
    table.push_back({nullptr, 0, nullptr, 0});

    std::vector<std::string> storage;
    storage.reserve(args.size() + 1);
    storage.push_back(command_);
    storage.insert(storage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& text : storage) argv.push_back(text.data());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(storage.size());

    opterr = 0;
    optind = 0;  // 0 makes glibc start afresh, also after an earlier parse
    for (;;) {
        int index = -1;
        const int answer =
            getopt_long(argc, argv.data(), shortOptions.c_str(), table.data(), &index);
        if (answer == -1) break;
        if (answer == '?') {
            if (optopt >= kLongBase) {
                // A known flag written with "=value".
                problem_ = typedName(argv[optind - 1]) + " takes no value";
            } else if (optopt != 0) {
                problem_ = unknownOptionProblem(std::string("-") + char(optopt));
            } else {
                problem_ = unknownOptionProblem(typedName(argv[optind - 1]));
            }
            return Outcome::kError;
        }
        if (answer == ':') {
            // glibc names the option by its code: the short letter, or kLongBase + index.
            const Option* option = nullptr;
            std::string typed;
            if (optopt >= kLongBase && optopt - kLongBase < int(options_.size())) {
                option = &options_[size_t(optopt - kLongBase)];
                typed = typedName(argv[optind - 1]);
            } else {
                typed = std::string("-") + char(optopt);
                for (const Option& candidate : options_) {
                    if (candidate.shortName == optopt) option = &candidate;
                }
            }
            problem_ = typed + " " + (option != nullptr ? option->missingValue : "needs a value");
            return Outcome::kError;
        }
        size_t which = options_.size();
        if (answer >= kLongBase) {
            which = static_cast<size_t>(answer - kLongBase);
        } else {
            for (size_t i = 0; i < options_.size(); ++i) {
                if (options_[i].shortName == answer) which = i;
            }
        }
        if (which >= options_.size()) {
            problem_ = "unknown option";
            return Outcome::kError;
        }
        const Option& option = options_[which];
        if (option.longName == "help") return Outcome::kHelp;
        if (option.longName == "version") return Outcome::kVersion;
        if (option.valueName.empty()) {
            if (option.onFlag) option.onFlag();
            continue;
        }
        std::string problem;
        if (option.onValue && !option.onValue(optarg != nullptr ? optarg : "", &problem)) {
            problem_ = problem;
            return Outcome::kError;
        }
    }
    // getopt_long has moved the operands behind the options in argv (not in storage).
    for (int i = optind; i < argc; ++i) {
        if (!takeOperand(argv[static_cast<size_t>(i)])) return Outcome::kError;
    }
    for (size_t i = 0; i < operands_.size(); ++i) {
        if (operands_[i].required && operandCounts_[i] == 0) {
            problem_ = operands_[i].name + " is missing";
            return Outcome::kError;
        }
    }
    return Outcome::kRun;
}

std::string ArgumentParser::usageLine() const {
    return "usage: merrowkit " + command_ + (synopsis_.empty() ? "" : " " + synopsis_);
}

std::string ArgumentParser::helpText() const {
    std::string text = usageLine() + "\n";
    if (!description_.empty()) text += "\n" + description_ + "\n";
    const auto column = [](std::string left, const std::string& help) {
        std::string out;
        size_t start = 0;
        bool first = true;
        do {
            const size_t end = help.find('\n', start);
            const std::string line = help.substr(start, end - start);
            std::string head = first ? left : std::string();
            if (head.size() >= 22) {
                out += "  " + head + "\n";
                head.clear();
            }
            head.resize(22, ' ');
            out += "  " + head + line + "\n";
            first = false;
            start = end == std::string::npos ? end : end + 1;
        } while (start != std::string::npos);
        return out;
    };
    if (!operands_.empty()) {
        text += "\n";
        for (const Operand& operand : operands_) text += column(operand.name, operand.help);
    }
    text += "\nOptions:\n";
    for (const Option& option : options_) {
        std::string left = option.shortName != 0 ? std::string("-") + option.shortName + ", "
                                                 : std::string("    ");
        left += dashed(option.longName);
        if (!option.valueName.empty()) left += " " + option.valueName;
        text += column(left, option.help);
    }
    if (!epilogue_.empty()) text += "\n" + epilogue_ + "\n";
    return text;
}

}  // namespace merrowcli
