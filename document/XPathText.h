#pragma once
// Composing XPath text safely: literals are quoted so that no identifier can change which
// element a path selects.

#include <string>

namespace Merrow {

// The value as an XPath string literal: in double quotes; in apostrophes when it holds a double
// quote; as concat() of both kinds when it holds both.
std::string quoteXPathLiteral(const std::string& value);

// "[@name=" + literal + "]"
std::string attributePredicate(const char* name, const std::string& value);

// "[@id=" + literal + "]"
inline std::string idPredicate(const std::string& id) {
    return attributePredicate("id", id);
}

// "/" + prefix + ":" + name
std::string step(const char* prefix, const char* name);

// "//" + prefix + ":" + name: such an element anywhere in the document.
std::string anywhere(const char* prefix, const char* name);

}  // namespace Merrow
