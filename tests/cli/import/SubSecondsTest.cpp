// EXIF's SubSecTime fields read as microseconds.

#include <gtest/gtest.h>

#include "cli/import/SubSeconds.h"

namespace merrowcli::import {
namespace {

TEST(SubSeconds, DigitsAreAFractionOfASecond) {
    EXPECT_EQ(parseSubSeconds("5"), 500000);
    EXPECT_EQ(parseSubSeconds("05"), 50000);
    EXPECT_EQ(parseSubSeconds("35"), 350000);
    EXPECT_EQ(parseSubSeconds("123456789"), 123456);
    EXPECT_EQ(parseSubSeconds(" 42 "), 420000);
    EXPECT_EQ(parseSubSeconds(""), 0);
    EXPECT_EQ(parseSubSeconds("   "), 0);
    EXPECT_EQ(parseSubSeconds("-5"), 0);
    EXPECT_EQ(parseSubSeconds("1a"), 0);
}

}  // namespace
}  // namespace merrowcli::import
