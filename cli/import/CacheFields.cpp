#include "cli/import/CacheFields.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace merrowcli::import {

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;  // lower case is never written, so it is not read
}

bool plain(unsigned char c) {
    return c > ' ' && c <= '~' && c != '%' && c != '-';
}

}  // namespace

void FieldWriter::separate() {
    if (!line_.empty()) line_ += ' ';
}

FieldWriter& FieldWriter::word(std::string_view word) {
    separate();
    line_ += word;
    return *this;
}

FieldWriter& FieldWriter::text(std::string_view value) {
    separate();
    if (value.empty()) {
        line_ += '-';
        return *this;
    }
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (plain(byte)) {
            line_ += c;
        } else {
            line_ += '%';
            line_ += kDigits[byte >> 4];
            line_ += kDigits[byte & 15];
        }
    }
    return *this;
}

FieldWriter& FieldWriter::number(long long value) {
    separate();
    line_ += std::to_string(value);
    return *this;
}

FieldWriter& FieldWriter::real(double value) {
    std::uint64_t bits = 0;
    static_assert(sizeof bits == sizeof value);
    std::memcpy(&bits, &value, sizeof bits);
    separate();
    for (int shift = 60; shift >= 0; shift -= 4) line_ += kDigits[(bits >> shift) & 15];
    return *this;
}

bool FieldReader::next(std::string_view* token) {
    if (!good_) return false;
    if (!first_) {
        if (rest_.empty() || rest_.front() != ' ') return good_ = false;
        rest_.remove_prefix(1);
    }
    first_ = false;
    const size_t end = rest_.find(' ');
    *token = rest_.substr(0, end);
    rest_.remove_prefix(token->size());
    if (token->empty()) return good_ = false;
    return true;
}

bool FieldReader::word(std::string_view expected) {
    std::string_view token;
    if (!next(&token)) return false;
    if (token != expected) return good_ = false;
    return true;
}

bool FieldReader::text(std::string* value) {
    std::string_view token;
    if (!next(&token)) return false;
    value->clear();
    if (token == "-") return true;
    for (size_t at = 0; at < token.size(); ++at) {
        const auto byte = static_cast<unsigned char>(token[at]);
        if (plain(byte)) {
            value->push_back(token[at]);
            continue;
        }
        if (byte != '%' || token.size() - at < 3) return good_ = false;
        const int high = hexValue(token[at + 1]);
        const int low = hexValue(token[at + 2]);
        if (high < 0 || low < 0) return good_ = false;
        const auto decoded = static_cast<unsigned char>(high * 16 + low);
        // Each byte has one spelling: a byte that is written plain is never escaped.
        if (plain(decoded)) return good_ = false;
        value->push_back(static_cast<char>(decoded));
        at += 2;
    }
    return true;
}

bool FieldReader::number(long long lowest, long long highest, long long* value) {
    std::string_view token;
    if (!next(&token)) return false;
    // One spelling per number: no '+', no leading zero, no "-0".
    const bool negative = token.front() == '-';
    const std::string_view digits = negative ? token.substr(1) : token;
    if (digits.empty() || (digits.front() == '0' && (digits.size() > 1 || negative))) {
        return good_ = false;
    }
    long long parsed = 0;
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), parsed);
    if (error != std::errc() || end != token.data() + token.size() || parsed < lowest ||
        parsed > highest) {
        return good_ = false;
    }
    *value = parsed;
    return true;
}

bool FieldReader::real(double* value) {
    std::string_view token;
    if (!next(&token)) return false;
    if (token.size() != 16) return good_ = false;
    std::uint64_t bits = 0;
    for (const char c : token) {
        const int digit = hexValue(c);
        if (digit < 0) return good_ = false;
        bits = bits << 4 | static_cast<std::uint64_t>(digit);
    }
    double parsed = 0;
    std::memcpy(&parsed, &bits, sizeof parsed);
    if (!std::isfinite(parsed)) return good_ = false;
    *value = parsed;
    return true;
}

}  // namespace merrowcli::import
