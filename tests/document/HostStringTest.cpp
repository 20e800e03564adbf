#include <gtest/gtest.h>

#include <cstring>

#include "document/HostString.h"

namespace {

// A string as the host hands it out: a new[] array.
char* hostCopy(const char* text) {
    char* copy = new char[std::strlen(text) + 1];
    std::strcpy(copy, text);
    return copy;
}

TEST(HostString, TakesWhatTheHostWroteAndReadsNullAsEmpty) {
    Merrow::HostString value;
    EXPECT_EQ(value.str(), "");
    *value.out() = hostCopy("imageNormal");
    EXPECT_EQ(value.str(), "imageNormal");
    // Reading again gives the same text; the string is freed once, by the holder.
    EXPECT_STREQ(value.get(), "imageNormal");
}

TEST(HostString, ReusedHolderFreesTheEarlierString) {
    // The sanitizer build reports the first string as lost if a second write drops it.
    Merrow::HostString value;
    *value.out() = hostCopy("first");
    *value.out() = hostCopy("second");
    EXPECT_EQ(value.str(), "second");
    *value.out() = hostCopy("third");
    EXPECT_EQ(value.str(), "third");
}

}  // namespace
