#include "cli/build/BuildRun.h"

#include <utility>

#include "cli/build/InputLint.h"
#include "cli/build/OutputWriter.h"
#include "cli/build/PictureWarnings.h"
#include "cli/build/TemplatePictures.h"
#include "cli/build/TitleDescription.h"
#include "cli/check/OutputCheck.h"
#include "cli/core/Messages.h"
#include "cli/core/OutputLayout.h"
#include "cli/core/TestHook.h"
#include "cli/preview/PreviewPage.h"
#include "host/dom/DocumentRegistry.h"
#include "host/framework/Diagnostics.h"
#include "host/objects/ServiceObject.h"
#include "host/pictures/PixelBudget.h"
#include "host/title/AdvancedTitleObject.h"
#include "host/title/ImageTrackEncoder.h"
#include "host/title/PresentationObject.h"
#include "host/title/TrackSpool.h"

namespace merrowcli {

namespace fs = std::filesystem;

namespace {

void report(const std::string& message) {
    Messages::instance().error(message);
}

std::string guidText(const GUID* id) {
    return id != nullptr ? TitleDescription::guidText(*id) : std::string("none");
}

std::string recordText(const CzfErrorInfo& record) {
    return "error record: category " + guidText(record.errorCategory) + ", code " +
           std::to_string(record.errorCode) + ", severity " + std::to_string(record.severity) +
           ", source " + guidText(record.source) + ", method " +
           std::to_string(record.methodNumber) + ", location " + std::to_string(record.location);
}

std::string plural(size_t count, const char* one) {
    return std::to_string(count) + " " + one + (count == 1 ? "" : "s");
}

}  // namespace

void BuildRun::ObjectFree::operator()(CzfServiceObject* object) const {
    CzfObjectFactory::zfFreeObject(object);
}

BuildRun::BuildRun(const BuildOptions& options) : options_(options), request_(options) {}

bool BuildRun::prepareOutputFolder() {
    std::string error;
    named_ = options_.outputFolder.value_or(fs::path(BuildCommand::kDefaultOutputFolder));
    target_ = StagingFolder::normaliseTarget(named_);
    if (target_.empty()) {
        report(named_.string() + ": cannot be used as the output folder");
        return false;
    }
    fs::path restored;
    if (!StagingFolder::recover(target_, &restored, &error)) {
        report(error);
        return false;
    }
    if (!restored.empty()) {
        Messages::instance().note("put back the previous output " + restored.string() +
                                  " left by a run that did not finish");
    }
    // Looked at before it is checked: whatever appears there later is kept (StagingFolder::commit).
    seen_ = FolderSnapshot::take(target_);
    if (!StagingFolder::checkTarget(target_, &error)) {
        report(error);
        return false;
    }
    return true;
}

bool BuildRun::findProject() {
    projectFolder_ = options_.projectFolder.value_or(BuildCommand::sampleProjectFolder());
    if (projectFolder_.empty()) {
        report("no PROJECT_DIR given and the sample project (samples/calendar) was not found");
        return false;
    }
    return true;
}

bool BuildRun::loadComponent() {
    library_ = ComponentLoader::libraryPath(options_.variant);
    Messages::instance().note("loading the component " + library_.string());
    std::string error;
    if (!component_.load(library_, &error)) {
        report(error);
        return false;
    }
    return true;
}

bool BuildRun::readProject() {
    request_.confineReads(projectFolder_);
    Messages::instance().note("reading the project " + projectFolder_.string());
    std::string error;
    if (!project_.load(projectFolder_, &error)) {
        report(error);
        return false;
    }
    warnMissingTemplatePictures(projectFolder_, project_);
    // Mistakes in the reference document that the component would pass over silently.
    merrowhost::onRegistryDocument(project_.referenceDomId(), [&](_xmlDoc* doc) {
        for (const ReferenceWarning& warning : checkReferenceDocument(doc)) {
            Messages::instance().warning(project_.referenceShown(), warning.line, warning.problem);
        }
        return true;
    });
    return true;
}

bool BuildRun::createTitle() {
    CzfErrorInfo setupRecord;
    CzfServiceObject* creatorObject = nullptr;
    if (!component_.factory()(&merrowkit::kClsidAdvancedTitleCreator, &creatorObject,
                              &setupRecord) ||
        creatorObject == nullptr) {
        report(library_.string() + ": the component made no advanced title creator; " +
               recordText(setupRecord));
        return false;
    }
    creator_.reset(creatorObject);
    void* interface = nullptr;
    if (!creator_->zfQueryService(&merrowkit::kIidCreateBDJAdvancedTitleMethod, &interface,
                                  &setupRecord) ||
        interface == nullptr) {
        report(library_.string() + ": the advanced title creator has no creation method; " +
               recordText(setupRecord));
        return false;
    }
    // The staging folder is made now: the tracks are written into it as they are encoded.
    std::string error;
    staging_ = std::make_unique<StagingFolder>();
    staging_->expect(std::move(seen_));
    if (!staging_->create(target_, &error)) {
        report(error);
        return false;
    }
    killedAtForTest("staging");
    const fs::path spoolFolder = staging_->path() / kSpoolFolder;
    std::error_code ec;
    fs::create_directory(spoolFolder, ec);
    if (ec) {
        report(spoolFolder.string() + ": cannot make the folder: " + ec.message());
        return false;
    }
    spool_ = std::make_shared<merrowhost::TrackSpool>(spoolFolder.string());
    Messages::instance().note("creating the advanced title");
    CzfServiceObject* titleObject = nullptr;
    PictureWarnings pictureWarnings;
    {
        const merrowhost::ScopedDiagnosticSink sink(&pictureWarnings);
        const merrowhost::TrackSpoolScope spoolScope(spool_);
        result_ =
            static_cast<SzfCreateBDJAdvancedTitle_Method*>(interface)->zfCreateBDJAdvancedTitle(
                &titleObject, project_.source(), project_.titleSource(), &record_);
    }
    title_.reset(titleObject);
    pictureWarnings.write(project_.referenceDomId(), project_.referenceShown());
    killedAtForTest("created");
    return true;
}

bool BuildRun::checkLimits() const {
    if (merrowhost::pixelBudgetExceeded()) {
        report("the pictures of " + project_.referenceShown() + " need more than " +
               std::to_string(merrowhost::pixelBudgetLimit()) +
               " bytes of decoded and rendered pixels, the limit of one build; nothing written");
        return false;
    }
    const int count = Messages::instance().warningCount();
    if (options_.strict && count > 0) {
        report(plural(static_cast<size_t>(count), "warning") + " and --strict: nothing written");
        return false;
    }
    return true;
}

bool BuildRun::writeOutputs() {
    std::string error;
    StagingFolder& staging = *staging_;
    const OutputWriter writer(staging.path());
    auto* titleHost = dynamic_cast<merrowhost::AdvancedTitleObject*>(title_.get());
    const merrowhost::PresentationObject* presentation =
        titleHost != nullptr ? titleHost->presentationObject() : nullptr;
    if (presentation != nullptr && presentation->isBound()) {
        if (!writer.writeDocument(presentation->boundDomId(), &error)) {
            report(error);
            return false;
        }
        documentFile_ = OutputLayout::kDocumentFile;
    }
    tracks_ = OutputWriter::titleTracks(title_.get());
    Messages::instance().note("writing the document, " + std::to_string(tracks_.size()) +
                              " tracks and the title into " + staging.path().string());
    const TitleDescription description(result_, project_.settings().discFormat, title_.get(),
                                       record_, documentFile_);
    preview_ = options_.preview && !documentFile_.empty();
    if (!writer.writeTracks(tracks_, &error, &written_) || !removeSpool(presentation, &error) ||
        !writer.writeTitle(description.text(), &error) ||
        (preview_ && !preview::writePreview(staging.path(), named_.string(),
                                            staging.path() / OutputLayout::kPreviewFile, &error)) ||
        !staging.commit(&error)) {
        report(error);
        return false;
    }
    if (!staging.warning().empty()) Messages::instance().warning(staging.warning());
    return true;
}

bool BuildRun::removeSpool(const merrowhost::PresentationObject* presentation, std::string* error) {
    // Encodings of tracks that are not written may still be under way: they finish first.
    if (presentation != nullptr && presentation->encoder() != nullptr) {
        presentation->encoder()->drain();
    }
    const fs::path folder = staging_->path() / kSpoolFolder;
    std::error_code ec;
    fs::remove_all(folder, ec);
    if (ec) {
        *error = folder.string() + ": cannot remove the folder: " + ec.message();
        return false;
    }
    return true;
}

void BuildRun::checkOwnOutput() const {
    if (documentFile_.empty()) return;
    const ReferenceReport report = checkOutputFolder(target_, named_.string(), &written_);
    if (!report.readable) {
        Messages::instance().warning(report.error);
        return;
    }
    for (const ReferenceProblem& problem : report.problems) {
        Messages::instance().warning(problem.file, problem.line, problem.problem);
    }
}

int BuildRun::summarise() const {
    const std::string summary = projectFolder_.string() + " -> " + named_.string() + ": " +
                                (documentFile_.empty() ? "no document" : documentFile_) + ", " +
                                plural(tracks_.size(), "track") + ", " + OutputLayout::kTitleFile +
                                (preview_ ? std::string(", ") + OutputLayout::kPreviewFile : "");
    if (!result_) {
        report("the component did not create the advanced title for " +
               project_.settings().projectFile + " (discFormat " +
               std::to_string(project_.settings().discFormat) + "); " + recordText(record_));
        Messages::instance().summary("built with errors: " + summary);
        return BuildCommand::kServiceFailed;
    }
    Messages::instance().summary("built " + summary);
    return BuildCommand::kSucceeded;
}

}  // namespace merrowcli
