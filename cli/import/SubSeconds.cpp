#include "cli/import/SubSeconds.h"

namespace merrowcli::import {

int parseSubSeconds(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return 0;
    const size_t last = text.find_last_not_of(' ');
    int microseconds = 0;
    int scale = 100000;
    for (size_t at = first; at <= last; ++at) {
        const char c = text[at];
        if (c < '0' || c > '9') return 0;
        microseconds += (c - '0') * scale;
        scale /= 10;
    }
    return microseconds;
}

}  // namespace merrowcli::import
