#pragma once
// One line on stderr rewritten in place while long work goes on ("merrowkit: TEXT"); shown
// only when stderr is a terminal and the run is not quiet, and cleared when the work ends.

#include <string>

namespace merrowcli {

class ProgressLine {
public:
    ProgressLine();
    ~ProgressLine() { clear(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Rewrites the line; nothing is written when the text is the one already shown.
    void show(const std::string& text);
    void clear();

private:
    bool active_;
    bool shown_ = false;
    std::string text_;
};

}  // namespace merrowcli
