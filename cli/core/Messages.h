#pragma once
// The one message writer of the command. Every message is one line:
//   - on stderr, a problem with a place: "FILE:LINE: problem" or "FILE:LINE: warning: problem",
//     as compilers write them, so that editors can jump to the place;
//   - on stderr, any other message: "merrowkit: message";
//   - on stdout, the summary of a successful run: "merrowkit: message".
// -q drops the summary and the progress notes, -v adds progress notes; errors and warnings are
// always written. Under --strict a warning counts as bad input: the command that sees
// warningCount() > 0 stops with status 2.

#include <cstdio>
#include <string>

namespace merrowcli {

class Messages {
public:
    enum class Verbosity { kQuiet, kNormal, kVerbose };

    // The writer of the running program (stdout and stderr).
    static Messages& instance();

    Messages(std::FILE* out, std::FILE* err) : out_(out), err_(err) {}

    void setVerbosity(Verbosity verbosity) { verbosity_ = verbosity; }
    Verbosity verbosity() const { return verbosity_; }
    void setStrict(bool strict) { strict_ = strict; }
    bool strict() const { return strict_; }

    // An error. Text that already names a place ("FILE:LINE: ...") is written as it is;
    // anything else gets the "merrowkit: " prefix. Inner line breaks are joined with "; ".
    void error(const std::string& text);
    // A warning at a place: "FILE:LINE: warning: problem" ("FILE: warning: problem" when line
    // is 0 or less).
    void warning(const std::string& file, int line, const std::string& problem);
    // A warning without a place: "merrowkit: warning: problem".
    void warning(const std::string& problem);
    // A file left out of a run: "FILE: skipped: reason". Counts as a warning.
    void skipped(const std::string& file, const std::string& reason);
    // A progress note on stderr, written only with -v.
    void note(const std::string& text);
    // The summary of a run on stdout, dropped with -q.
    void summary(const std::string& text);

    int warningCount() const { return warnings_; }
    void resetWarningCount() { warnings_ = 0; }

    // True when text starts with "FILE:LINE:" (LINE a number), the form written unprefixed.
    static bool namesPlace(const std::string& text);
    // The text with every line break (and the blanks around it) replaced by "; ".
    static std::string oneLine(const std::string& text);

private:
    void write(std::FILE* stream, const std::string& line);

    std::FILE* out_;
    std::FILE* err_;
    Verbosity verbosity_ = Verbosity::kNormal;
    bool strict_ = false;
    int warnings_ = 0;
};

}  // namespace merrowcli
