#pragma once
// EXIF's SubSecTime fields: the digits of a fraction of a second ("5" is .5 s, "05" .05 s), which
// order a burst of photos taken within one second.

#include <string>

namespace merrowcli::import {

// The fraction in microseconds (digits past the sixth dropped, blanks around them allowed); 0
// for an empty field or one that is not all digits.
int parseSubSeconds(const std::string& text);

}  // namespace merrowcli::import
