// The distance behind "did you mean": insertions, deletions, substitutions and swaps of two
// neighbours count one edit each; letter case counts or not, as asked.

#include <gtest/gtest.h>

#include "cli/core/EditDistance.h"

namespace {

using merrowcli::editDistance;
using merrowcli::LetterCase;

TEST(EditDistance, EachKindOfEditCountsOne) {
    EXPECT_EQ(editDistance("build", "build", LetterCase::kCounted), 0u);
    EXPECT_EQ(editDistance("biuld", "build", LetterCase::kCounted), 1u);   // swap
    EXPECT_EQ(editDistance("buld", "build", LetterCase::kCounted), 1u);    // insertion
    EXPECT_EQ(editDistance("buiild", "build", LetterCase::kCounted), 1u);  // deletion
    EXPECT_EQ(editDistance("bwild", "build", LetterCase::kCounted), 1u);   // substitution
    EXPECT_EQ(editDistance("kitten", "sitting", LetterCase::kCounted), 3u);
    EXPECT_EQ(editDistance("", "abc", LetterCase::kCounted), 3u);
    EXPECT_EQ(editDistance("abc", "", LetterCase::kCounted), 3u);
}

TEST(EditDistance, LetterCaseCountsOnlyWhenAsked) {
    EXPECT_EQ(editDistance("FocusItem", "focusitem", LetterCase::kCounted), 2u);
    EXPECT_EQ(editDistance("FocusItem", "focusitem", LetterCase::kIgnored), 0u);
    EXPECT_EQ(editDistance("imageNromal", "IMAGENORMAL", LetterCase::kIgnored), 1u);
}

}  // namespace
