#include "cli/core/NameText.h"

#include <cstdint>

namespace merrowcli {

namespace {

void appendHex(std::string* out, const char* lead, unsigned char byte) {
    static const char kDigits[] = "0123456789ABCDEF";
    out->append(lead);
    out->push_back(kDigits[byte >> 4]);
    out->push_back(kDigits[byte & 0x0f]);
}

}  // namespace

size_t utf8SequenceLength(std::string_view text, size_t at) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) return 1;
    size_t length = 0;
    std::uint32_t code = 0;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
        code = lead & 0x1f;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        code = lead & 0x0f;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > text.size()) return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xc0) != 0x80) return 0;
        code = (code << 6) | (byte(at + i) & 0x3f);
    }
    if ((length == 3 && code < 0x800) || (length == 4 && code < 0x10000) || code > 0x10ffff ||
        (code >= 0xd800 && code <= 0xdfff)) {
        return 0;
    }
    return length;
}

std::string percentEncodedName(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (size_t at = 0; at < name.size();) {
        const auto byte = static_cast<unsigned char>(name[at]);
        const size_t length = utf8SequenceLength(name, at);
        if (length == 0 || byte < 0x20 || byte == 0x7f || byte == '%') {
            appendHex(&out, "%", byte);
            ++at;
        } else {
            out.append(name.substr(at, length));
            at += length;
        }
    }
    return out;
}

std::string escapedForTerminal(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        const auto byte = static_cast<unsigned char>(text[at]);
        const size_t length = utf8SequenceLength(text, at);
        // U+0080..U+009F are C2 80..C2 9F in UTF-8.
        const bool c1 =
            length == 2 && byte == 0xc2 && static_cast<unsigned char>(text[at + 1]) < 0xa0;
        if (length == 0 || byte < 0x20 || byte == 0x7f || c1) {
            const size_t count = c1 ? 2 : 1;
            for (size_t i = 0; i < count; ++i) {
                appendHex(&out, "\\x", static_cast<unsigned char>(text[at + i]));
            }
            at += count;
        } else {
            out.append(text.substr(at, length));
            at += length;
        }
    }
    return out;
}

}  // namespace merrowcli
