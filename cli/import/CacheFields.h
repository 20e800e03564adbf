#pragma once
// The fields of a line of the import cache: tokens separated by one space. A text is written
// with every byte outside '!'..'~', and '%' and '-' themselves, as "%XX" (upper-case hex), the
// empty text as "-"; a whole number in decimal; a real number as the 16 hex digits of its
// IEEE 754 bits, so that it reads back exactly. The reader takes only what the writer writes:
// the cache file is input like any other and may be cut short or edited.

#include <cstdint>
#include <string>
#include <string_view>

namespace merrowcli::import {

class FieldWriter {
public:
    FieldWriter& word(std::string_view word);  // a fixed word of the format, written as it is
    FieldWriter& text(std::string_view value);
    FieldWriter& number(long long value);
    FieldWriter& real(double value);
    // The line, with its line end.
    std::string line() const { return line_ + "\n"; }

private:
    void separate();

    std::string line_;
};

// Reads the tokens of one line (without its line end) in order. Each reader returns false, and
// the line counts as bad from then on, when the next token is missing or not what is asked.
class FieldReader {
public:
    explicit FieldReader(std::string_view line) : rest_(line) {}

    bool word(std::string_view expected);
    bool text(std::string* value);
    bool number(long long lowest, long long highest, long long* value);
    bool real(double* value);  // a finite number only
    // True when every token was read and none was bad.
    bool finished() const { return good_ && rest_.empty(); }

private:
    bool next(std::string_view* token);

    std::string_view rest_;
    bool good_ = true;
    bool first_ = true;
};

}  // namespace merrowcli::import
