// Dates in the names phones and messengers give their files: every pattern, what follows the
// date, impossible dates, names that only look like one, and a Pixel's UTC name in local time.

#include <gtest/gtest.h>

#include <string>

#include "ZoneScope.h"
#include "cli/import/FileNameDate.h"

namespace merrowcli::import {
namespace {

TEST(FileNameDate, EveryPatternGivesItsLocalTime) {
    const clitest::ZoneScope zone("UTC");
    EXPECT_EQ(dateFromFileName("IMG_20230514_123456.jpg"), (LocalTime{2023, 5, 14, 12, 34, 56}));
    EXPECT_EQ(dateFromFileName("VID_20230514_123457.mp4"), (LocalTime{2023, 5, 14, 12, 34, 57}));
    EXPECT_EQ(dateFromFileName("img_20230514_123456_1.JPG"), (LocalTime{2023, 5, 14, 12, 34, 56}));
    EXPECT_EQ(dateFromFileName("PXL_20230514_123456789.jpg"), (LocalTime{2023, 5, 14, 12, 34, 56}));
    EXPECT_EQ(dateFromFileName("PXL_20230514_123456789.PORTRAIT.jpg"),
              (LocalTime{2023, 5, 14, 12, 34, 56}));
    EXPECT_EQ(dateFromFileName("IMG-20230514-WA0001.jpg"), (LocalTime{2023, 5, 14, 0, 0, 0}));
    EXPECT_EQ(dateFromFileName("VID-20230515-WA0004.mp4"), (LocalTime{2023, 5, 15, 0, 0, 0}));
    EXPECT_EQ(dateFromFileName("Screenshot_2023-05-14-12-34-56.png"),
              (LocalTime{2023, 5, 14, 12, 34, 56}));
    EXPECT_EQ(dateFromFileName("2023-05-14 12.34.56.jpg"), (LocalTime{2023, 5, 14, 12, 34, 56}));
    EXPECT_EQ(dateFromFileName("2024-02-29 23.59.59~2.jpg"), (LocalTime{2024, 2, 29, 23, 59, 59}));
}

TEST(FileNameDate, ImpossibleDatesAndLookalikesGiveNothing) {
    for (const char* name :
         {"IMG_20230230_123456.jpg", "IMG_20231301_123456.jpg", "IMG_20230514_246000.jpg",
          "IMG_19691231_235959.jpg", "IMG_00000000_000000.jpg", "IMG-20230229-WA0001.jpg",
          "Screenshot_2023-05-14-25-00-00.png", "2023-02-29 10.00.00.jpg", "IMG_1234.JPG",
          "IMG_20230514.jpg", "IMG-20230514-0001.jpg", "holiday IMG_20230514_123456.jpg",
          "2023-05-14.jpg", "DSC_0001.JPG", "VID_2023051_123456.mp4"}) {
        EXPECT_FALSE(dateFromFileName(name)) << name;
    }
}

TEST(FileNameDate, APixelNameIsUtcShownInLocalTime) {
    const clitest::ZoneScope zone("Europe/Berlin");
    // 23:30 UTC on 31 December is half past midnight of the new year in Berlin.
    EXPECT_EQ(dateFromFileName("PXL_20231231_233000123.jpg"), (LocalTime{2024, 1, 1, 0, 30, 0}));
    // Summer time: two hours ahead. The other patterns are local time already.
    EXPECT_EQ(dateFromFileName("PXL_20230514_103456000.mp4"), (LocalTime{2023, 5, 14, 12, 34, 56}));
    EXPECT_EQ(dateFromFileName("IMG_20230514_103456.jpg"), (LocalTime{2023, 5, 14, 10, 34, 56}));
}

}  // namespace
}  // namespace merrowcli::import
