#include "cli/core/Messages.h"

#include <cctype>

#include "cli/core/NameText.h"

namespace merrowcli {

namespace {

constexpr const char* kPrefix = "merrowkit: ";

}  // namespace

Messages& Messages::instance() {
    static Messages messages(stdout, stderr);
    return messages;
}

bool Messages::namesPlace(const std::string& text) {
    // FILE is everything up to the first ':' that is followed by digits and another ':'.
    for (size_t colon = text.find(':'); colon != std::string::npos;
         colon = text.find(':', colon + 1)) {
        if (colon == 0) continue;
        size_t at = colon + 1;
        while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) ++at;
        if (at > colon + 1 && at < text.size() && text[at] == ':') return true;
    }
    return false;
}

std::string Messages::oneLine(const std::string& text) {
    std::string line;
    line.reserve(text.size());
    size_t at = 0;
    while (at < text.size()) {
        const char c = text[at];
        if (c != '\n' && c != '\r') {
            line.push_back(c);
            ++at;
            continue;
        }
        while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
        while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
        if (!line.empty() && at < text.size()) line += "; ";
    }
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
    return line;
}

void Messages::write(std::FILE* stream, const std::string& line) {
    // Names in messages are the user's bytes: they are shown, never acted on by the terminal.
    const std::string text = escapedForTerminal(oneLine(line)) + "\n";
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

void Messages::error(const std::string& text) {
    write(err_, namesPlace(text) ? text : kPrefix + text);
}

void Messages::warning(const std::string& file, int line, const std::string& problem) {
    ++warnings_;
    std::string text = file;
    if (line > 0) {
        text += ':';
        text += std::to_string(line);
    }
    text += ": warning: " + problem;
    write(err_, text);
}

void Messages::warning(const std::string& problem) {
    ++warnings_;
    write(err_, std::string(kPrefix) + "warning: " + problem);
}

void Messages::skipped(const std::string& file, const std::string& reason) {
    ++warnings_;
    write(err_, file + ": skipped: " + reason);
}

void Messages::note(const std::string& text) {
    if (verbosity_ == Verbosity::kVerbose) write(err_, kPrefix + text);
}

void Messages::summary(const std::string& text) {
    if (verbosity_ != Verbosity::kQuiet) write(out_, kPrefix + text);
}

}  // namespace merrowcli
