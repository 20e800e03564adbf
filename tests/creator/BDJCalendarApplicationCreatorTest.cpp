#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "creator/BDJCalendarApplicationCreator.h"
#include "creator/CreatorTestSupport.h"
#include "document/CreatorSetToolBox.h"
#include "host/dom/DocumentRegistry.h"
#include "host/objects/ServiceObject.h"
#include "host/title/AdvancedTitleObject.h"
#include "host/title/PresentationObject.h"
#include "host/title/ProjectSourceObject.h"
#include "host/title/TitleSourceObject.h"

namespace {

namespace fs = std::filesystem;

using creatortest::DocumentRelease;
using creatortest::elements;
using merrowhost::PresentationObject;

using Elements = std::vector<std::pair<std::string, std::string>>;

constexpr GUID kUserTitle = {0x0a0b0c0d, 0x0102, 0x0304, {1, 2, 3, 4, 5, 6, 7, 8}};

const char* const kReferenceXml =
    "<root xmlns=\"urn:merrow:design\"><layout><container id=\"YearPageLayout\"/></layout>"
    "</root>";

struct ObjectFree {
    void operator()(CzfServiceObject* object) const { CzfObjectFactory::zfFreeObject(object); }
};

// What a file held before a test, to tell whether the test wrote it.
std::optional<std::string> fileContent(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Creates the inspection switch file in the host program's folder and removes it again.
class InspectionSwitch {
public:
    InspectionSwitch() : path_(CreatorSetToolBox::getModulePath() + "merrowkit.ini") {
        std::ofstream(path_) << "";
    }
    ~InspectionSwitch() {
        std::error_code ignored;
        fs::remove(path_, ignored);
    }
    InspectionSwitch(const InspectionSwitch&) = delete;
    InspectionSwitch& operator=(const InspectionSwitch&) = delete;
    bool exists() const { return fs::exists(path_); }

private:
    fs::path path_;
};

class CalendarApplicationDriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        merrowhost::DocumentLoadError error;
        referenceDom_ = merrowhost::loadDocumentString(kReferenceXml, "design.xml", &error);
        ASSERT_NE(referenceDom_, 0u) << error.text();
        source_.setPresentationDomId(referenceDom_);
        source_.setDiscFormat(15);
        SAVEDATA record{};
        std::strcpy(record.projectName, "Holidays");
        record.revision = 7;
        source_.setRecord(&record);
        source_.setRootTitleSwitch(true);
        titles_.addTitle(true, kUserTitle);
    }
    void TearDown() override {
        if (newDom_ != 0) merrowhost::releaseDocument(newDom_);
        merrowhost::releaseDocument(referenceDom_);
    }

    // Runs the driver; the presentation object made is kept for the test and freed after it.
    bool run(CBDJCalendarApplicationCreator& creator) {
        CzfServiceObject* made = nullptr;
        const bool result = creator.createApplication(&made);
        presentation_.reset(made);
        if (PresentationObject* object = presentationObject()) newDom_ = object->boundDomId();
        return result;
    }
    PresentationObject* presentationObject() const {
        return dynamic_cast<PresentationObject*>(presentation_.get());
    }
    std::string newDocumentText() const { return merrowhost::documentText(newDom_); }

    merrowhost::ProjectSourceObject source_;
    merrowhost::AdvancedTitleObject title_;
    merrowhost::TitleSourceObject titles_;
    unsigned referenceDom_ = 0;
    unsigned newDom_ = 0;
    std::unique_ptr<CzfServiceObject, ObjectFree> presentation_;
};

TEST_F(CalendarApplicationDriverTest, BuildsThePresentationAndItsDocument) {
    CBDJCalendarApplicationCreator creator(&source_, &title_, &titles_);
    ASSERT_TRUE(run(creator));

    PresentationObject* presentation = presentationObject();
    ASSERT_NE(presentation, nullptr);
    EXPECT_EQ(presentation->settings().discFormat(), 15);
    ASSERT_NE(presentation->settings().record(), nullptr);
    EXPECT_STREQ(presentation->settings().record()->projectName, "Holidays");
    EXPECT_TRUE(presentation->isSetUp());
    EXPECT_EQ(presentation->setupFirst(), 0);
    EXPECT_EQ(presentation->setupSecond(), 0);

    // The new document stays in the host after the run, bound to the presentation object.
    ASSERT_TRUE(presentation->isBound());
    EXPECT_EQ(presentation->bindingReserved(), 0);
    ASSERT_NE(newDom_, referenceDom_);
    ASSERT_TRUE(merrowhost::hasDocument(newDom_));
    const std::string text = newDocumentText();
    EXPECT_NE(text.find("/BD-J/Calendar/0.1\""), std::string::npos) << text;
    // The reference document is only read, and outlives the run.
    EXPECT_EQ(merrowhost::documentText(referenceDom_).find("firstplay"), std::string::npos);
}

TEST_F(CalendarApplicationDriverTest, SectionsWriteInTheirOrder) {
    CBDJCalendarApplicationCreator creator(&source_, &title_, &titles_);
    ASSERT_TRUE(run(creator));
    CXMLOutputFileGlue doc(newDom_, "new", nullptr);

    const Elements children = elements(doc, "/NS:root/NS:*");
    ASSERT_GE(children.size(), 4u);
    EXPECT_EQ(children[0], (std::pair<std::string, std::string>{"firstplay", "-"}));
    EXPECT_EQ(children[1], (std::pair<std::string, std::string>{"titlelist", "-"}));
    EXPECT_EQ(children[2], (std::pair<std::string, std::string>{"resourcelist", "Resourcelist"}));
    EXPECT_EQ(children.back(), (std::pair<std::string, std::string>{"effect", "effect"}));

    const std::string text = newDocumentText();
    EXPECT_NE(text.find("<firstplay image=\"data\\Loading.png\" x=\"858\" y=\"484\"/>"),
              std::string::npos)
        << text;
    // The title list section got the creator's title source.
    EXPECT_EQ(elements(doc, "/NS:root/NS:titlelist/NS:*"),
              (Elements{{"title", "RootMenuTitle"}, {"title", "UserTitle_1"}}));
    EXPECT_EQ(elements(doc, "/NS:root/NS:effect/NS:*").size(), 12u);
}

TEST_F(CalendarApplicationDriverTest, RefusesAFilledPresentationSlotOrAMissingSource) {
    CBDJCalendarApplicationCreator creator(&source_, &title_, &titles_);
    ASSERT_TRUE(run(creator));
    CzfServiceObject* slot = presentation_.get();
    EXPECT_FALSE(creator.createApplication(&slot));
    EXPECT_EQ(slot, presentation_.get());
    // The document bound in the first run is the presentation's still.
    EXPECT_EQ(presentationObject()->boundDomId(), newDom_);

    CBDJCalendarApplicationCreator withoutSource(nullptr, &title_, &titles_);
    CzfServiceObject* empty = nullptr;
    EXPECT_FALSE(withoutSource.createApplication(&empty));
    EXPECT_EQ(empty, nullptr);
    EXPECT_FALSE(creator.createApplication(nullptr));
}

TEST_F(CalendarApplicationDriverTest, FailsWhenNoPresentationObjectCanBeMade) {
    merrowhost::ScopedClassDisabled noPresentation(merrowhost::kClassPresentation);
    CBDJCalendarApplicationCreator creator(&source_, &title_, &titles_);
    CzfServiceObject* made = nullptr;
    EXPECT_FALSE(creator.createApplication(&made));
    EXPECT_EQ(made, nullptr);
}

TEST_F(CalendarApplicationDriverTest, ASourceWithoutPresentationDocumentStillGetsAllSections) {
    source_.withoutInterface(merrowhost::kIidProjectPresentation);
    CBDJCalendarApplicationCreator creator(&source_, &title_, &titles_);
    ASSERT_TRUE(run(creator));
    ASSERT_NE(newDom_, 0u);
    CXMLOutputFileGlue doc(newDom_, "new", nullptr);
    const Elements children = elements(doc, "/NS:root/NS:*");
    ASSERT_GE(children.size(), 4u);
    EXPECT_EQ(children[0].first, "firstplay");
    EXPECT_EQ(children.back().first, "effect");
}

TEST_F(CalendarApplicationDriverTest, WritesNoInspectionFilesWithoutTheSwitchFile) {
    const fs::path module = CreatorSetToolBox::getModulePath();
    // The switch file may belong to a test running beside this one.
    if (fs::exists(module / "merrowkit.ini")) GTEST_SKIP() << "merrowkit.ini is present";
    const fs::path folder = fs::path(CreatorSetToolBox::getModuleFileDriverPath()) / "zztemp";
    const auto referenceBefore = fileContent(folder / "RefAppPresentation.xml");
    const auto newBefore = fileContent(folder / "AppPresentation.xml");

    CBDJCalendarApplicationCreator creator(&source_, &title_, &titles_);
    ASSERT_TRUE(run(creator));

    EXPECT_EQ(fileContent(folder / "RefAppPresentation.xml"), referenceBefore);
    EXPECT_EQ(fileContent(folder / "AppPresentation.xml"), newBefore);
}

TEST_F(CalendarApplicationDriverTest, TheSwitchFileAsksForBothDocumentsToBeWritten) {
    const fs::path folder = fs::path(CreatorSetToolBox::getModuleFileDriverPath()) / "zztemp";
    InspectionSwitch inspection;
    ASSERT_TRUE(inspection.exists());

    CBDJCalendarApplicationCreator creator(&source_, &title_, &titles_);
    // Without the folder at the drive root the saves fail quietly and the run goes on.
    ASSERT_TRUE(run(creator));
    EXPECT_TRUE(merrowhost::hasDocument(newDom_));

    // Where the folder exists (it is never made here), both documents land in it.
    if (fs::is_directory(folder)) {
        EXPECT_EQ(fileContent(folder / "AppPresentation.xml"), newDocumentText());
        EXPECT_EQ(fileContent(folder / "RefAppPresentation.xml"),
                  merrowhost::documentText(referenceDom_));
    }
}

}  // namespace
