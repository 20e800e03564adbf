#include "document/XPathText.h"

namespace Merrow {

std::string quoteXPathLiteral(const std::string& value) {
    const bool hasDouble = value.find('"') != std::string::npos;
    const bool hasSingle = value.find('\'') != std::string::npos;
    if (!hasDouble) return "\"" + value + "\"";
    if (!hasSingle) return "'" + value + "'";

    // Both quote kinds: XPath 1.0 has no escape, so split at the double quotes and join the
    // pieces with a literal double quote written in apostrophes.
    std::string result = "concat(";
    std::string piece;
    bool first = true;
    auto emit = [&](const std::string& literal) {
        if (!first) result += ", ";
        result += literal;
        first = false;
    };
    for (char c : value) {
        if (c == '"') {
            if (!piece.empty()) emit("\"" + piece + "\"");
            piece.clear();
            emit("'\"'");
        } else {
            piece += c;
        }
    }
    if (!piece.empty()) emit("\"" + piece + "\"");
    result += ")";
    return result;
}

std::string attributePredicate(const char* name, const std::string& value) {
    return std::string("[@") + name + "=" + quoteXPathLiteral(value) + "]";
}

std::string step(const char* prefix, const char* name) {
    return std::string("/") + prefix + ":" + name;
}

std::string anywhere(const char* prefix, const char* name) {
    return std::string("//") + prefix + ":" + name;
}

}  // namespace Merrow
