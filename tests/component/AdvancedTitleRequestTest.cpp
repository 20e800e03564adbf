#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>

#include "ServiceTestSupport.h"
#include "component/BDJAdvancedTitleCreator.h"
#include "document/NodeList.h"
#include "host/dom/DocumentRegistry.h"
#include "host/dom/XmlOutputFileGlue.h"
#include "host/objects/ServiceObject.h"
#include "host/title/AdvancedTitleObject.h"
#include "host/title/ClipListObject.h"
#include "host/title/ClipObject.h"
#include "host/title/ImageTrackObject.h"
#include "host/title/MediaHolderObject.h"
#include "host/title/PresentationObject.h"
#include "host/title/ProjectSourceObject.h"
#include "host/title/ScopedClassOverride.h"
#include "host/title/TitleSourceObject.h"
#include "merrowkit/Services.h"

namespace {

namespace fs = std::filesystem;

using merrowhost::AdvancedTitleObject;
using merrowhost::ClipObject;
using merrowhost::ImageTrackObject;
using merrowhost::MediaHolderObject;
using merrowhost::PresentationObject;
using servicetest::LoggedEvents;
using servicetest::ObjectPtr;

constexpr GUID kUserTitle = {0x0a0b0c0d, 0x0102, 0x0304, {1, 2, 3, 4, 5, 6, 7, 8}};

// A media object that tells when it is freed.
class WatchedMedia : public CzfServiceObject {
public:
    explicit WatchedMedia(bool* freed) : freed_(freed) {}
    ~WatchedMedia() override { *freed_ = true; }

private:
    bool* freed_;
};

// A presentation object that tells when it is freed.
class WatchedPresentation : public PresentationObject {
public:
    explicit WatchedPresentation(bool* freed) : freed_(freed) {}
    ~WatchedPresentation() override { *freed_ = true; }

private:
    bool* freed_;
};

struct HostFault {};

// A source whose background switch throws.
template <typename Exception>
class ThrowingSource : public merrowhost::ProjectSourceObject {
public:
    bool zfGetBackgroundSwitch(bool*, CzfErrorInfo*) override { throw Exception(); }
};

// The text widened character by character; only for ASCII text.
std::wstring widenAscii(const std::string& text) {
    std::wstring wide;
    for (char c : text) {
        EXPECT_GE(static_cast<signed char>(c), 0) << text;
        wide += static_cast<wchar_t>(c);
    }
    return wide;
}

std::string programFile(const char* name) {
    return std::string(MERROWKIT_TEST_DATA) +
           "/program/Content/Menu Template/HD Popup/16x9/BD Calendar/" + name;
}

class AdvancedTitleRequestTest : public ::testing::Test {
protected:
    void SetUp() override {
        merrowhost::DocumentLoadError error;
        referenceDom_ = merrowhost::loadDocumentString("<root xmlns=\"urn:merrow:design\"/>",
                                                       "design.xml", &error);
        ASSERT_NE(referenceDom_, 0u) << error.text();
        prepare(source_);
        titles_.addTitle(true, kUserTitle);
        record_ = servicetest::staleRecord();
    }
    void TearDown() override {
        title_.reset();
        for (unsigned dom : newDocuments_) merrowhost::releaseDocument(dom);
        merrowhost::releaseDocument(referenceDom_);
    }

    void prepare(merrowhost::ProjectSourceObject& source) {
        source.setPresentationDomId(referenceDom_);
        source.setDiscFormat(10);
        SAVEDATA record{};
        std::strcpy(record.projectName, "Holidays");
        record.revision = 3;
        source.setRecord(&record);
    }

    // Runs the request; the title returned is kept for the test and freed after it.
    bool request(CzfServiceObject* source) {
        CzfServiceObject* out = reinterpret_cast<CzfServiceObject*>(&record_);
        const bool ok = service_.zfCreateBDJAdvancedTitle(&out, source, &titles_, &record_);
        title_.reset(out);
        outWasSet_ = out != reinterpret_cast<CzfServiceObject*>(&record_);
        if (PresentationObject* presentation = presentationObject()) {
            newDocuments_.push_back(presentation->boundDomId());
        }
        return ok;
    }
    bool request() { return request(&source_); }

    AdvancedTitleObject* title() const { return dynamic_cast<AdvancedTitleObject*>(title_.get()); }
    PresentationObject* presentationObject() const {
        return title() != nullptr ? title()->presentationObject() : nullptr;
    }
    // The one clip of the title's clip list, or null.
    ClipObject* backgroundClip() const {
        if (title() == nullptr || title()->clipListObject() == nullptr) return nullptr;
        if (title()->clipListObject()->size() != 1) return nullptr;
        return title()->clipListObject()->clipAt(0);
    }
    MediaHolderObject* backgroundHolder() const {
        return backgroundClip() != nullptr ? backgroundClip()->mediaHolderObject() : nullptr;
    }
    // The image track the background clip shows, or null.
    ImageTrackObject* backgroundTrack() const {
        if (backgroundHolder() == nullptr) return nullptr;
        return dynamic_cast<ImageTrackObject*>(backgroundHolder()->placement().media());
    }
    void expectRequestRecordClean() {
        ASSERT_NE(record_.source, nullptr);
        EXPECT_TRUE(*record_.source == merrowkit::kClsidAdvancedTitleCreator);
        EXPECT_EQ(record_.severity, 0);
    }

    CzfBDJAdvancedTitleCreator service_;
    merrowhost::ProjectSourceObject source_;
    merrowhost::TitleSourceObject titles_;
    CzfErrorInfo record_;
    ObjectPtr title_;
    bool outWasSet_ = false;
    unsigned referenceDom_ = 0;
    std::vector<unsigned> newDocuments_;
};

TEST_F(AdvancedTitleRequestTest, DiscFormats10And15GiveATitleWithPresentation) {
    for (zfDiscFormat format : {10, 15}) {
        SCOPED_TRACE(format);
        source_.setDiscFormat(format);
        LoggedEvents logged;
        ASSERT_TRUE(request());
        expectRequestRecordClean();
        EXPECT_EQ(logged.count(), 0u);

        ASSERT_NE(title(), nullptr);
        EXPECT_EQ(title()->settings().applyCount(), 1);
        EXPECT_EQ(title()->settings().discFormat(), format);
        ASSERT_NE(title()->settings().record(), nullptr);
        EXPECT_STREQ(title()->settings().record()->projectName, "Holidays");
        // The background switch is off: no clip list.
        EXPECT_EQ(title()->clipList(), nullptr);
        EXPECT_EQ(title()->clipListSets(), 0);

        PresentationObject* presentation = presentationObject();
        ASSERT_NE(presentation, nullptr);
        EXPECT_EQ(presentation->settings().discFormat(), format);
        ASSERT_TRUE(presentation->isBound());
        // The creator ran with the request's title source.
        CXMLOutputFileGlue doc(presentation->boundDomId(), "new", nullptr);
        Merrow::NodeList listed(doc, "/NS:root/NS:titlelist/NS:title");
        ASSERT_EQ(listed.size(), 1);
        EXPECT_STREQ(listed.id(0), "UserTitle_1");
    }
}

TEST_F(AdvancedTitleRequestTest, OtherDiscFormatsFailButStillHandBackTheTitle) {
    source_.setDiscFormat(11);
    source_.setBackgroundSwitch(true);
    EXPECT_FALSE(request());
    ASSERT_NE(title(), nullptr);
    EXPECT_EQ(title()->settings().applyCount(), 0);
    EXPECT_EQ(title()->clipList(), nullptr);
    EXPECT_FALSE(title()->presentationWasSet());
    EXPECT_EQ(record_.severity, 0);
}

TEST_F(AdvancedTitleRequestTest, NoSourceGivesNoTitle) {
    LoggedEvents logged;
    EXPECT_FALSE(request(nullptr));
    EXPECT_TRUE(outWasSet_);
    EXPECT_EQ(title_, nullptr);
    expectRequestRecordClean();
    EXPECT_EQ(logged.count(), 0u);
}

TEST_F(AdvancedTitleRequestTest, NoOutParameterIsReportedAndNothingIsMade) {
    LoggedEvents logged;
    merrowhost::ScopedClassOverride watched(merrowhost::kClassAdvancedTitle, [&]() {
        ADD_FAILURE() << "a title was made without a place to return it";
        return new AdvancedTitleObject;
    });
    EXPECT_FALSE(service_.zfCreateBDJAdvancedTitle(nullptr, &source_, &titles_, &record_));
    servicetest::expectReport(
        record_, {merrowkit::kClsidAdvancedTitleCreator, 0, merrowkit::kErrorNullArgument, 2, 38});
    EXPECT_EQ(logged.count(), 1u);
}

TEST_F(AdvancedTitleRequestTest, ATitleThatCannotBeMadeFailsThroughTheRequestRecord) {
    merrowhost::ScopedClassDisabled noTitle(merrowhost::kClassAdvancedTitle);
    LoggedEvents logged;
    EXPECT_FALSE(request());
    EXPECT_TRUE(outWasSet_);
    EXPECT_EQ(title_, nullptr);
    // The factory reported into the request's record; the request itself logs nothing.
    EXPECT_EQ(record_.errorCode, 7);
    EXPECT_EQ(logged.count(), 0u);
}

TEST_F(AdvancedTitleRequestTest, SettingsThatCannotBeAppliedFailBeforeAnythingIsBuilt) {
    merrowhost::ScopedClassOverride refusing(merrowhost::kClassAdvancedTitle, [] {
        auto* refusingTitle = new AdvancedTitleObject;
        refusingTitle->settings().setApplyFails(true);
        return refusingTitle;
    });
    source_.setBackgroundSwitch(true);
    EXPECT_FALSE(request());
    ASSERT_NE(title(), nullptr);
    EXPECT_EQ(title()->clipList(), nullptr);
    EXPECT_FALSE(title()->presentationWasSet());
}

TEST_F(AdvancedTitleRequestTest, ATitleWithoutPresentationInterfaceFailsAndThePresentationIsFreed) {
    merrowhost::ScopedClassOverride noPresentationInterface(merrowhost::kClassAdvancedTitle, [] {
        auto* bareTitle = new AdvancedTitleObject;
        bareTitle->withoutInterface(merrowhost::kIidTitlePresentation);
        return bareTitle;
    });
    bool presentationFreed = false;
    merrowhost::ScopedClassOverride watched(merrowhost::kClassPresentation, [&] {
        return new WatchedPresentation(&presentationFreed);
    });
    EXPECT_FALSE(request());
    ASSERT_NE(title(), nullptr);
    EXPECT_FALSE(title()->presentationWasSet());
    EXPECT_TRUE(presentationFreed);
}

TEST_F(AdvancedTitleRequestTest, FirstMediaItemOfKind1Or2GivesThatClipClass) {
    for (int kind : {1, 2}) {
        SCOPED_TRACE(kind);
        bool mediaFreed = false;
        auto* media = new WatchedMedia(&mediaFreed);
        source_.setBackgroundSwitch(true);
        source_.setMediaKind(kind);
        source_.setItemMedia(0, media);
        ASSERT_TRUE(request());

        ClipObject* clip = backgroundClip();
        ASSERT_NE(clip, nullptr);
        EXPECT_EQ(clip->kind(), kind);
        EXPECT_EQ(clip->owner(), title_.get());
        // No default item: no clip value.
        EXPECT_FALSE(clip->hasValue(0));

        MediaHolderObject* holder = backgroundHolder();
        ASSERT_NE(holder, nullptr);
        EXPECT_TRUE(holder->hasTimeValue());
        EXPECT_EQ(holder->timeValue(), 20000000);
        ASSERT_NE(holder->record(), nullptr);
        EXPECT_STREQ(holder->record()->projectName, "Holidays");
        EXPECT_EQ(holder->placement().media(), media);
        EXPECT_TRUE(holder->placement().hasPlacement());
        EXPECT_EQ(holder->placement().placementFirst(), 2);
        EXPECT_EQ(holder->placement().placementSecond(), 2);
        EXPECT_TRUE(holder->placement().hasOption());
        EXPECT_EQ(holder->placement().option(), 1);
        // The presentation is attached as well.
        EXPECT_NE(presentationObject(), nullptr);

        EXPECT_FALSE(mediaFreed);
        title_.reset();
        EXPECT_TRUE(mediaFreed);
    }
}

TEST_F(AdvancedTitleRequestTest, OtherMediaKindsMakeNoClipAndLoseNothing) {
    bool mediaFreed = false;
    source_.setBackgroundSwitch(true);
    source_.setMediaKind(3);
    source_.setItemMedia(0, new WatchedMedia(&mediaFreed));
    EXPECT_TRUE(request());
    ASSERT_NE(title(), nullptr);
    EXPECT_EQ(title()->clipList(), nullptr);
    // The holder made for the media had no clip to go to: it was freed with its media.
    EXPECT_TRUE(mediaFreed);
}

TEST_F(AdvancedTitleRequestTest, MediaThatFindsNoHolderIsFreed) {
    merrowhost::ScopedClassDisabled noHolder(merrowhost::kClassMediaHolder);
    bool mediaFreed = false;
    source_.setBackgroundSwitch(true);
    source_.setMediaKind(1);
    source_.setItemMedia(0, new WatchedMedia(&mediaFreed));
    EXPECT_TRUE(request());
    EXPECT_TRUE(mediaFreed);
    ClipObject* clip = backgroundClip();
    ASSERT_NE(clip, nullptr);
    EXPECT_EQ(clip->mediaHolder(), nullptr);
}

TEST_F(AdvancedTitleRequestTest, WithoutFirstItemOrPathTheDefaultPictureBecomesAnImageClip) {
    source_.setBackgroundSwitch(true);
    // The kind the source reports does not apply to a picture made here.
    source_.setMediaKind(1);
    source_.setBackgroundPath(L"");
    ASSERT_TRUE(request());
    EXPECT_EQ(source_.backgroundPathReads(), 1);

    ClipObject* clip = backgroundClip();
    ASSERT_NE(clip, nullptr);
    EXPECT_EQ(clip->kind(), 2);
    ImageTrackObject* track = backgroundTrack();
    ASSERT_NE(track, nullptr);
    // Background.jpg of the calendar template folder is 64 x 36.
    EXPECT_EQ(track->width(), 64);
    EXPECT_EQ(track->height(), 36);
    ASSERT_NE(track->record(), nullptr);
    EXPECT_STREQ(track->record()->projectName, "Holidays");
    // The track belongs to the clip chain, not to the presentation.
    ASSERT_NE(presentationObject(), nullptr);
    for (ImageTrackObject* registered : presentationObject()->tracks()) {
        EXPECT_NE(registered, track);
    }

    // A source that names no path at all gets the same picture.
    source_.clearBackgroundPath();
    ASSERT_TRUE(request());
    ASSERT_NE(backgroundTrack(), nullptr);
    EXPECT_EQ(backgroundTrack()->width(), 64);
    EXPECT_EQ(backgroundTrack()->height(), 36);
}

TEST_F(AdvancedTitleRequestTest, TheSourcesBackgroundPathIsUsedWhateverItsLength) {
    // Folders with names outside ASCII, longer together than any fixed-size path buffer.
    const std::string base =
        fs::temp_directory_path().string() + "/merrowkit-request-" + std::to_string(::getpid());
    std::string narrow = base;
    std::wstring wide = widenAscii(base);
    for (int level = 0; level < 6; ++level) {
        narrow += "/" + std::string(200, static_cast<char>('a' + level));
        wide += L"/" + std::wstring(200, static_cast<wchar_t>(L'a' + level));
    }
    narrow += "/\xc3\xa9t\xc3\xa9 \xe2\x82\xac/Fond.png";
    wide += L"/\u00e9t\u00e9 \u20ac/Fond.png";
    ASSERT_GT(wide.size(), 1031u);

    std::error_code failed;
    fs::create_directories(fs::path(narrow).parent_path(), failed);
    if (failed) GTEST_SKIP() << "cannot make the folders: " << failed.message();
    fs::copy_file(programFile("Numbers_S1.png"), narrow, failed);
    ASSERT_FALSE(failed) << failed.message();

    source_.setBackgroundSwitch(true);
    source_.setBackgroundPath(wide);
    const bool ok = request();
    fs::remove_all(base, failed);

    ASSERT_TRUE(ok);
    ImageTrackObject* track = backgroundTrack();
    ASSERT_NE(track, nullptr);
    // Numbers_S1.png is 200 x 28.
    EXPECT_EQ(track->width(), 200);
    EXPECT_EQ(track->height(), 28);
}

TEST_F(AdvancedTitleRequestTest, APictureThatCannotBeMadeLeavesAClipWithoutHolder) {
    merrowhost::ScopedClassDisabled noTrack(merrowhost::kClassImageTrack);
    source_.setBackgroundSwitch(true);
    ASSERT_TRUE(request());
    ClipObject* clip = backgroundClip();
    ASSERT_NE(clip, nullptr);
    EXPECT_EQ(clip->kind(), 2);
    EXPECT_EQ(clip->mediaHolder(), nullptr);
}

TEST_F(AdvancedTitleRequestTest, ANonZeroDefaultItemValueBecomesTheClipValue) {
    source_.setBackgroundSwitch(true);
    source_.setDefaultItemValue(0x5eed);
    ASSERT_TRUE(request());
    ASSERT_NE(backgroundClip(), nullptr);
    EXPECT_EQ(backgroundClip()->values(), (std::map<int, uint32_t>{{0, 0x5eedu}}));

    source_.setDefaultItemValue(0);
    ASSERT_TRUE(request());
    ASSERT_NE(backgroundClip(), nullptr);
    EXPECT_TRUE(backgroundClip()->values().empty());
}

TEST_F(AdvancedTitleRequestTest, FailuresThrownByTheHostAreReportedNotThrown) {
    struct Case {
        std::unique_ptr<merrowhost::ProjectSourceObject> source;
        int code;
    };
    Case cases[] = {
        {std::make_unique<ThrowingSource<HostFault>>(), merrowkit::kErrorUnexpected},
        {std::make_unique<ThrowingSource<std::bad_alloc>>(), merrowkit::kErrorOutOfMemory},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.code);
        prepare(*c.source);
        LoggedEvents logged;
        record_ = servicetest::staleRecord();
        EXPECT_FALSE(request(c.source.get()));
        // The title made before the failure is still handed back.
        EXPECT_NE(title(), nullptr);
        servicetest::expectReport(record_,
                                  {merrowkit::kClsidAdvancedTitleCreator, 0, c.code, 2, 38});
        EXPECT_EQ(logged.count(), 1u);
        title_.reset();
    }
}

}  // namespace
