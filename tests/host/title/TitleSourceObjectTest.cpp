// The title source: walking its titles with the cookie, and what each title answers.

#include <gtest/gtest.h>

#include <vector>

#include "host/objects/HostInterfaces.h"
#include "host/objects/ServiceObject.h"
#include "host/title/TitleSourceObject.h"

namespace {

GUID titleGuid(uint8_t last) {
    return GUID{0x11112222, 0x3333, 0x4444, {0x55, 0x66, 0, 0, 0, 0, 0, last}};
}

bool isUserTitle(CzfServiceObject* item, bool* out) {
    return item->zfIsKindOf(&merrowhost::kCategoryUserTitle, merrowhost::kKindUserTitle, out,
                            nullptr);
}

}  // namespace

TEST(TitleSourceObject, WalksEveryTitleInOrderWithTheCookie) {
    merrowhost::TitleSourceObject source(
        {{true, titleGuid(1)}, {false, titleGuid(2)}, {true, titleGuid(3)}});
    auto* titles = zfQuery<SzfTitleCollection>(&source, merrowhost::kIidTitleCollection, nullptr);
    ASSERT_NE(titles, nullptr);

    std::vector<GUID> ids;
    uint32_t cookie = 77;
    for (CzfServiceObject* item = titles->zfGetFirstTitle(&cookie, nullptr); item != nullptr;
         item = titles->zfGetNextTitle(&cookie, nullptr)) {
        GUID id{};
        ASSERT_TRUE(zfQuery<SzfObjectIdentifier>(item, merrowhost::kIidObjectIdentifier, nullptr)
                        ->zfGetObjectID(&id, nullptr));
        ids.push_back(id);
    }
    ASSERT_EQ(ids.size(), 3u);
    EXPECT_TRUE(ids[0] == titleGuid(1));
    EXPECT_TRUE(ids[1] == titleGuid(2));
    EXPECT_TRUE(ids[2] == titleGuid(3));
    // Past the end stays past the end.
    EXPECT_EQ(titles->zfGetNextTitle(&cookie, nullptr), nullptr);

    // A new walk starts from the first title whatever the cookie held.
    cookie = 2;
    EXPECT_EQ(titles->zfGetFirstTitle(&cookie, nullptr), source.item(0));
    EXPECT_EQ(titles->zfGetNextTitle(&cookie, nullptr), source.item(1));
    EXPECT_EQ(titles->zfGetFirstTitle(nullptr, nullptr), nullptr);
}

TEST(TitleSourceObject, OnlyUserTitlesAnswerTheUserTitleKind) {
    merrowhost::TitleSourceObject source({{true, titleGuid(1)}, {false, titleGuid(2)}});
    bool out = false;
    EXPECT_TRUE(isUserTitle(source.item(0), &out));
    EXPECT_TRUE(out);
    out = true;
    EXPECT_FALSE(isUserTitle(source.item(1), &out));
    EXPECT_FALSE(out);

    // Another kind number or category is not the user-title kind.
    out = true;
    EXPECT_FALSE(source.item(0)->zfIsKindOf(&merrowhost::kCategoryUserTitle, 221, &out, nullptr));
    EXPECT_FALSE(out);
    EXPECT_FALSE(source.item(0)->zfIsKindOf(&merrowhost::kIidTitleCollection, 222, &out, nullptr));
    EXPECT_FALSE(source.item(0)->zfIsKindOf(nullptr, 222, &out, nullptr));
    EXPECT_TRUE(source.item(0)->zfIsKindOf(&merrowhost::kCategoryUserTitle, 222, nullptr, nullptr));
}

TEST(TitleSourceObject, EmptyOrWithheldCollectionGivesNoTitles) {
    merrowhost::TitleSourceObject empty;
    uint32_t cookie = 0;
    EXPECT_EQ(empty.zfGetFirstTitle(&cookie, nullptr), nullptr);

    merrowhost::TitleSourceObject withheld({{true, titleGuid(1)}});
    withheld.withoutInterface(merrowhost::kIidTitleCollection);
    EXPECT_EQ(zfQuery<SzfTitleCollection>(&withheld, merrowhost::kIidTitleCollection, nullptr),
              nullptr);
}
