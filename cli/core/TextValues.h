#pragma once
// The value forms of the command's input files: whole numbers, truth values, 128-bit
// identifiers, UTF-8 text turned into wide strings, and text written into markup.

#include <string>

#include "host/objects/Guid.h"

namespace merrowcli {

// A whole decimal number within [low, high]: an optional sign, then digits only.
bool parseInteger(const std::string& text, long long low, long long high, long long* out);
// "true" or "1", "false" or "0".
bool parseBoolean(const std::string& text, bool* out);
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", the braces optional, hex digits in either case.
bool parseGuid(std::string text, GUID* out);
// Text with &, <, > and " written as entities, for an XML attribute or HTML text.
std::string markupText(const std::string& text);
// A number of at least two digits, with a leading zero below 10 ("07", "12", "123").
std::string twoDigits(int value);
// A year with four digits, leading zeros below 1000 ("0005", "2023").
std::string fourDigits(int value);
// UTF-8 text as a wide string of code points; false for text that is not UTF-8.
bool widen(const std::string& text, std::wstring* out);

}  // namespace merrowcli
