#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "creator/CreatorTestSupport.h"
#include "host/objects/GlobalApi.h"
#include "host/title/AdvancedTitleObject.h"
#include "host/title/ProjectSourceObject.h"
#include "host/title/TitleSourceObject.h"

namespace {

using creatortest::attribute;
using creatortest::elements;
using creatortest::NewDocument;
using creatortest::SectionCreator;
using merrowhost::TitleSourceObject;

using Elements = std::vector<std::pair<std::string, std::string>>;

constexpr GUID kFirst = {
    0x11111111, 0x2222, 0x3333, {0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xaa, 0xbb}};
constexpr GUID kSecond = {
    0x01020304, 0x0506, 0x0708, {0x09, 0x0a, 0x0b, 0x0c, 0x0d, 0x0e, 0x0f, 0x10}};
constexpr GUID kThird = {0xcafef00d, 0xbeef, 0x4242, {0, 0, 0, 0, 0, 0, 0, 0x03}};
constexpr GUID kNotUser = {
    0xdddddddd, 0xdddd, 0xdddd, {0xdd, 0xdd, 0xdd, 0xdd, 0xdd, 0xdd, 0xdd, 0xdd}};

const std::string kFirstText = "{11111111-2222-3333-4455-66778899AABB}";
const std::string kSecondText = "{01020304-0506-0708-090A-0B0C0D0E0F10}";
const std::string kThirdText = "{CAFEF00D-BEEF-4242-0000-000000000003}";

std::string guidText(const GUID& id) {
    std::unique_ptr<char[]> text(CzfGlobalAPI::zfConvertToString2(id));
    return text.get();
}

std::string titlePath(const std::string& name) {
    return "/NS:root/NS:titlelist/NS:title[@id=\"" + name + "\"]";
}

class TitleListSectionTest : public ::testing::Test {
protected:
    // The attributes written for one title, in the order they appear in the document.
    void expectTitle(const std::string& name, const std::string& titleNo,
                     const std::string& nextTitleNo) {
        SCOPED_TRACE(name);
        const std::string path = titlePath(name);
        EXPECT_EQ(attribute(doc_.glue(), path, "titleNo"), titleNo);
        EXPECT_EQ(attribute(doc_.glue(), path, "nextTitleNo"), nextTitleNo);
        EXPECT_EQ(attribute(doc_.glue(), path, "videoWidth"), "1920");
        EXPECT_EQ(attribute(doc_.glue(), path, "videoHeight"), "1080");
        const std::string element = "<title id=\"" + name + "\" titleNo=\"" + titleNo +
                                    "\" nextTitleNo=\"" + nextTitleNo +
                                    "\" videoWidth=\"1920\" videoHeight=\"1080\"/>";
        EXPECT_NE(doc_.text().find(element), std::string::npos) << doc_.text();
    }
    Elements writtenTitles() { return elements(doc_.glue(), "/NS:root/NS:titlelist/NS:*"); }

    merrowhost::ProjectSourceObject source_;
    merrowhost::AdvancedTitleObject title_;
    NewDocument doc_;
};

TEST_F(TitleListSectionTest, RootTitleThenUserTitlesLinkedInARing) {
    source_.setRootTitleSwitch(true);
    TitleSourceObject titles({{true, kFirst}, {true, kSecond}, {true, kThird}});
    SectionCreator creator(&source_, &title_, nullptr);

    EXPECT_TRUE(creator.addTitleListElement(doc_.glue(), &titles));

    EXPECT_EQ(elements(doc_.glue(), "/NS:root/NS:*"), (Elements{{"titlelist", "-"}}));
    EXPECT_EQ(writtenTitles(), (Elements{{"title", "RootMenuTitle"},
                                         {"title", "UserTitle_1"},
                                         {"title", "UserTitle_2"},
                                         {"title", "UserTitle_3"}}));
    const std::string root = guidText(title_.titleId());
    expectTitle("RootMenuTitle", root, root);
    expectTitle("UserTitle_1", kFirstText, kSecondText);
    expectTitle("UserTitle_2", kSecondText, kThirdText);
    expectTitle("UserTitle_3", kThirdText, root);

    ASSERT_EQ(creator.records().size(), 4u);
    EXPECT_TRUE(creator.records()[0].titleId == title_.titleId());
    EXPECT_TRUE(creator.records()[3].nextTitleId == title_.titleId());
}

TEST_F(TitleListSectionTest, ASingleUserTitleLeadsToItself) {
    TitleSourceObject titles({{true, kFirst}});
    SectionCreator creator(&source_, &title_, nullptr);

    EXPECT_TRUE(creator.addTitleListElement(doc_.glue(), &titles));

    EXPECT_EQ(writtenTitles(), (Elements{{"title", "UserTitle_1"}}));
    expectTitle("UserTitle_1", kFirstText, kFirstText);
}

TEST_F(TitleListSectionTest, TitlesThatAreNoUserTitlesTakeNoNumber) {
    TitleSourceObject titles({{true, kFirst}, {false, kNotUser}, {true, kThird}});
    SectionCreator creator(&source_, &title_, nullptr);

    EXPECT_TRUE(creator.addTitleListElement(doc_.glue(), &titles));

    EXPECT_EQ(writtenTitles(), (Elements{{"title", "UserTitle_1"}, {"title", "UserTitle_2"}}));
    expectTitle("UserTitle_1", kFirstText, kThirdText);
    expectTitle("UserTitle_2", kThirdText, kFirstText);
}

TEST_F(TitleListSectionTest, NoRootTitleAndNoUserTitlesGiveAnEmptyList) {
    TitleSourceObject titles({{false, kNotUser}});
    SectionCreator creator(&source_, &title_, nullptr);

    EXPECT_TRUE(creator.addTitleListElement(doc_.glue(), &titles));

    EXPECT_EQ(elements(doc_.glue(), "/NS:root/NS:*"), (Elements{{"titlelist", "-"}}));
    EXPECT_TRUE(writtenTitles().empty());
    EXPECT_TRUE(creator.records().empty());
}

TEST_F(TitleListSectionTest, ASourceWithoutTitleCollectionOrRootSwitchGivesNoEntries) {
    source_.setRootTitleSwitch(true);
    source_.withoutInterface(merrowhost::kIidRootTitleSwitch);
    TitleSourceObject titles({{true, kFirst}});
    titles.withoutInterface(merrowhost::kIidTitleCollection);
    SectionCreator creator(&source_, &title_, nullptr);

    EXPECT_TRUE(creator.addTitleListElement(doc_.glue(), &titles));
    EXPECT_TRUE(creator.addTitleListElement(doc_.glue(), nullptr));

    EXPECT_EQ(elements(doc_.glue(), "/NS:root/NS:*"),
              (Elements{{"titlelist", "-"}, {"titlelist", "-"}}));
    EXPECT_TRUE(writtenTitles().empty());
}

TEST_F(TitleListSectionTest, ASecondCallStartsFromAnEmptyList) {
    source_.setRootTitleSwitch(true);
    TitleSourceObject titles({{true, kFirst}, {true, kSecond}});
    SectionCreator creator(&source_, &title_, nullptr);
    NewDocument first;
    ASSERT_TRUE(creator.addTitleListElement(first.glue(), &titles));
    ASSERT_EQ(creator.records().size(), 3u);

    TitleSourceObject fewer({{true, kThird}});
    source_.setRootTitleSwitch(false);
    EXPECT_TRUE(creator.addTitleListElement(doc_.glue(), &fewer));

    ASSERT_EQ(creator.records().size(), 1u);
    EXPECT_EQ(creator.records()[0].name, "UserTitle_1");
    EXPECT_EQ(writtenTitles(), (Elements{{"title", "UserTitle_1"}}));
    expectTitle("UserTitle_1", kThirdText, kThirdText);
}

TEST_F(TitleListSectionTest, CopiesOfTheCreatorCarryItsTitleRecords) {
    source_.setRootTitleSwitch(true);
    TitleSourceObject titles({{true, kFirst}});
    SectionCreator creator(&source_, &title_, nullptr);
    ASSERT_TRUE(creator.addTitleListElement(doc_.glue(), &titles));

    SectionCreator copy(creator);
    ASSERT_EQ(copy.records().size(), 2u);
    EXPECT_EQ(copy.records()[1].name, "UserTitle_1");
    EXPECT_TRUE(copy.records()[1].titleId == kFirst);

    SectionCreator assigned(nullptr, nullptr, nullptr);
    assigned = creator;
    ASSERT_EQ(assigned.records().size(), 2u);
    EXPECT_TRUE(assigned.records()[0].titleId == title_.titleId());

    // The copy keeps the source and the title: a run on it finds the same titles.
    NewDocument again;
    EXPECT_TRUE(assigned.addTitleListElement(again.glue(), &titles));
    EXPECT_EQ(elements(again.glue(), "/NS:root/NS:titlelist/NS:*"),
              (Elements{{"title", "RootMenuTitle"}, {"title", "UserTitle_1"}}));
    EXPECT_NE(again.text().find(guidText(title_.titleId())), std::string::npos);
}

}  // namespace
