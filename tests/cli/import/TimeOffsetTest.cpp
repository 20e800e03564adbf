// Offsets from UTC as cameras write them, and the real instant of a wall-clock time.

#include <gtest/gtest.h>

#include "ZoneScope.h"
#include "cli/import/TimeOffset.h"

namespace merrowcli::import {
namespace {

TEST(TimeOffset, OffsetsAsCamerasWriteThem) {
    EXPECT_EQ(parseTimeOffset("+02:00"), 7200);
    EXPECT_EQ(parseTimeOffset("-05:30"), -19800);
    EXPECT_EQ(parseTimeOffset("+0100"), 3600);
    EXPECT_EQ(parseTimeOffset("+00:00"), 0);
    for (const char* text : {"", "   ", "02:00", "+25:00", "+02:61", "+02:00x", "Z"}) {
        EXPECT_FALSE(parseTimeOffset(text)) << text;
    }
}

TEST(TimeOffset, TheInstantOfAWallClockTime) {
    const clitest::ZoneScope zone("Europe/Berlin");
    // With its offset, whatever TZ says.
    EXPECT_EQ(instantOf({2023, 10, 29, 2, 30, 0}, 7200), 1698539400LL);
    EXPECT_EQ(instantOf({2023, 10, 29, 2, 10, 0}, 3600), 1698541800LL);
    // Without: in TZ (summer time in Berlin, two hours ahead).
    EXPECT_EQ(instantOf({2023, 7, 1, 12, 0, 0}, std::nullopt), 1688205600LL);
}

}  // namespace
}  // namespace merrowcli::import
