#pragma once
// File names are bytes: they need not be UTF-8 and may hold control characters. These turn a
// name into text that is safe where it goes: XML that stays well-formed and still names the
// file, and a terminal line that shows the name instead of acting on it.

#include <cstddef>
#include <string>
#include <string_view>

namespace merrowcli {

// The length of the well-formed UTF-8 sequence at text[at] (1 to 4; no overlong forms, no
// surrogates, nothing above U+10FFFF); 0 when none starts there.
size_t utf8SequenceLength(std::string_view text, size_t at);

// A file name for an XML attribute: every byte that is not part of well-formed UTF-8, every
// control character (below 0x20, and 0x7F) and '%' itself is written "%XX" (upper-case hex),
// so that decoding the escapes gives the name's bytes back.
std::string percentEncodedName(std::string_view name);

// A message for a terminal or a log: control characters (C0, DEL and the C1 range) and bytes
// that are not well-formed UTF-8 are written "\xHH", so that a file name cannot move the
// cursor, change colours or start a new line.
std::string escapedForTerminal(std::string_view text);

}  // namespace merrowcli
