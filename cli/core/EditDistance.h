#pragma once
// How far a word is from another, for "did you mean" suggestions: the optimal string alignment
// distance (insertions, deletions, substitutions and swaps of two neighbours), so that "biuld" is
// one edit from "build".

#include <cstddef>
#include <string>

namespace merrowcli {

enum class LetterCase { kCounted, kIgnored };

size_t editDistance(const std::string& a, const std::string& b, LetterCase letterCase);

}  // namespace merrowcli
