#include "cli/core/ProgressLine.h"

#include <unistd.h>

#include <cstdio>

#include "cli/core/Messages.h"

namespace merrowcli {

ProgressLine::ProgressLine()
    : active_(isatty(STDERR_FILENO) == 1 &&
              Messages::instance().verbosity() != Messages::Verbosity::kQuiet) {}

void ProgressLine::show(const std::string& text) {
    if (!active_ || (shown_ && text == text_)) return;
    text_ = text;
    std::fprintf(stderr, "\rmerrowkit: %s\033[K", text.c_str());
    std::fflush(stderr);
    shown_ = true;
}

void ProgressLine::clear() {
    if (!shown_) return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    shown_ = false;
    text_.clear();
}

}  // namespace merrowcli
