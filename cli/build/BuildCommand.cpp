#include "cli/build/BuildCommand.h"

#include <cstdio>
#include <exception>
#include <memory>
#include <system_error>
#include <utility>

#include "cli/build/ComponentLoader.h"
#include "cli/build/InputLint.h"
#include "cli/build/OutputWriter.h"
#include "cli/build/PictureWarnings.h"
#include "cli/build/ProjectLoader.h"
#include "cli/build/TemplatePictures.h"
#include "cli/build/TitleDescription.h"
#include "cli/check/OutputCheck.h"
#include "cli/core/Messages.h"
#include "cli/core/OutputLayout.h"
#include "cli/core/ProgramPaths.h"
#include "cli/core/StagingFolder.h"
#include "cli/core/TestHook.h"
#include "cli/preview/PreviewPage.h"
#include "host/dom/DocumentRegistry.h"
#include "host/dom/XmlOutputFileGlue.h"
#include "host/framework/AppFramework.h"
#include "host/framework/Diagnostics.h"
#include "host/framework/ReadConfinement.h"
#include "host/objects/HostObject.h"
#include "host/objects/ServiceObject.h"
#include "host/pictures/PixelBudget.h"
#include "host/title/AdvancedTitleObject.h"
#include "host/title/PresentationObject.h"
#include "merrowkit/Services.h"

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

// Host objects made by the factory are freed through it.
struct ObjectFree {
    void operator()(CzfServiceObject* object) const { CzfObjectFactory::zfFreeObject(object); }
};
using OwnedObject = std::unique_ptr<CzfServiceObject, ObjectFree>;

// The build's check of its own output: each problem of the folder as a warning. written: the
// track files the build wrote, known to decode while they hold those bytes.
void warnAboutOutputProblems(const fs::path& folder, const std::string& shown,
                             const WrittenTracks& written) {
    const ReferenceReport report = checkOutputFolder(folder, shown, &written);
    if (!report.readable) {
        Messages::instance().warning(report.error);
        return;
    }
    for (const ReferenceProblem& problem : report.problems) {
        Messages::instance().warning(problem.file, problem.line, problem.problem);
    }
}

// Frees every document of the host's registry when the run ends, however it ends.
struct DocumentsRelease {
    ~DocumentsRelease() { merrowhost::releaseAllDocuments(); }
};

// Lets reads go anywhere again when the run ends, however it ends.
struct ReadsUnconfined {
    ~ReadsUnconfined() { merrowhost::unconfineReads(); }
};

bool isProjectFolder(const fs::path& folder) {
    std::error_code ec;
    return fs::is_regular_file(folder / ProjectLoader::kProjectFile, ec);
}

}  // namespace

BuildCommand::BuildCommand(BuildOptions options) : options_(std::move(options)) {}

std::string BuildCommand::description() const {
    return "Builds the BD-J calendar menu of a project folder (project.xml and the\n"
           "reference document it names) with the merrowkit component and writes\n"
           "OUT_DIR/AppPresentation.xml, OUT_DIR/tracks/*.png and OUT_DIR/title.xml.";
}

std::string BuildCommand::epilogue() const {
    return "Exit status: 0 built, 1 the component returned false (outputs written),\n"
           "2 bad usage or bad input (with --strict, also any warning).";
}

void BuildCommand::declare(ArgumentParser& parser) {
    parser.addOperand({"PROJECT_DIR", "the project folder (default: the shipped sample project)",
                       false, false, [this](const std::string& value, std::string* problem) {
                           if (value.empty()) {
                               *problem = "PROJECT_DIR is empty";
                               return false;
                           }
                           options_.projectFolder = value;
                           return true;
                       }});
    parser.addValueOption(
        "output", 'o', "OUT_DIR",
        "the output folder (default: ./merrowkit-out); it is\n"
        "replaced only when the new output is complete",
        [this](const std::string& value, std::string* problem) {
            if (options_.outputFolder) {
                *problem = "the output folder is given twice";
                return false;
            }
            if (value.empty()) {
                *problem = "OUT_DIR is empty";
                return false;
            }
            options_.outputFolder = value;
            return true;
        },
        "needs a folder");
    parser.addValueOption(
        "variant", 0, "VARIANT",
        "the component variant to load: current (libmerrowkit.so.0)\n"
        "or older (libmerrowkit-older.so.0)",
        [this](const std::string& value, std::string* problem) {
            if (value != "current" && value != "older") {
                *problem = "unknown variant '" + value + "' (current or older)";
                return false;
            }
            options_.variant = value;
            return true;
        },
        "needs current or older");
    parser.addFlag("allow-outside", 0,
                   "read pictures and documents outside the project folder\n"
                   "too (by default such paths are refused)",
                   [this] { options_.allowOutside = true; });
    parser.addFlag("strict", 0,
                   "treat warnings as bad input: stop with status 2 and\n"
                   "leave OUT_DIR untouched",
                   [this] { options_.strict = true; });
    parser.addFlag("preview", 0, "also write OUT_DIR/preview.html (see merrowkit help preview)",
                   [this] { options_.preview = true; });
}

std::vector<std::string> BuildCommand::readableFolders(const fs::path& projectFolder) {
    std::error_code ec;
    std::vector<std::string> folders = {fs::absolute(projectFolder, ec).lexically_normal().string(),
                                        (programFolder() / "Content").string()};
    // The template folders of every template root stay readable.
    for (const std::string& root : merrowhost::templateRoots()) {
        folders.push_back((fs::path(root) / "Content").string());
    }
    return folders;
}

fs::path BuildCommand::sampleProjectFolder() {
    const fs::path besideProgram = programFolder() / "samples" / "calendar";
    if (isProjectFolder(besideProgram)) return besideProgram;
    const fs::path installed = installedDataFolder(programFolder()) / "calendar";
    if (isProjectFolder(installed)) return installed;
#ifdef MERROWKIT_SAMPLE_PROJECT
    if (isProjectFolder(MERROWKIT_SAMPLE_PROJECT)) return fs::path(MERROWKIT_SAMPLE_PROJECT);
#endif
    return {};
}

int BuildCommand::run() {
    try {
        return runOrThrow();
    } catch (const std::exception& e) {
        report(e.what());
    } catch (...) {
        report("unexpected failure");
    }
    return kCannotRun;
}

int BuildCommand::runOrThrow() {
    // The component library goes last: everything it made is freed before it is unloaded.
    ComponentLoader component;
    DocumentsRelease documents;
    std::string error;
    Messages::instance().setStrict(options_.strict);
    Messages::instance().resetWarningCount();

    const fs::path named = options_.outputFolder.value_or(fs::path(kDefaultOutputFolder));
    const fs::path target = StagingFolder::normaliseTarget(named);
    if (target.empty()) {
        report(named.string() + ": cannot be used as the output folder");
        return kCannotRun;
    }
    fs::path restored;
    if (!StagingFolder::recover(target, &restored, &error)) {
        report(error);
        return kCannotRun;
    }
    if (!restored.empty()) {
        Messages::instance().note("put back the previous output " + restored.string() +
                                  " left by a run that did not finish");
    }
    // Looked at before it is checked: whatever appears there later is kept (StagingFolder::commit).
    FolderSnapshot seen = FolderSnapshot::take(target);
    if (!StagingFolder::checkTarget(target, &error)) {
        report(error);
        return kCannotRun;
    }

    fs::path projectFolder;
    if (options_.projectFolder) {
        projectFolder = *options_.projectFolder;
    } else {
        projectFolder = sampleProjectFolder();
        if (projectFolder.empty()) {
            report("no PROJECT_DIR given and the sample project (samples/calendar) was not found");
            return kCannotRun;
        }
    }

    const fs::path library = ComponentLoader::libraryPath(options_.variant);
    Messages::instance().note("loading the component " + library.string());
    if (!component.load(library, &error)) {
        report(error);
        return kCannotRun;
    }

    // Identifiers count from 1 again, so that the same project gives the same files.
    merrowhost::resetObjectSerials();
    // One budget of decoded and rendered pixels for the whole build.
    merrowhost::startPixelBudget(pixelBudgetForTest(merrowhost::kRequestPixelBytes));
    ReadsUnconfined unconfine;
    if (!options_.allowOutside) merrowhost::confineReads(readableFolders(projectFolder));
    ProjectLoader project;
    Messages::instance().note("reading the project " + projectFolder.string());
    if (!project.load(projectFolder, &error)) {
        report(error);
        return kCannotRun;
    }
    warnMissingTemplatePictures(projectFolder, project);

    // Mistakes in the reference document that the component would pass over silently.
    merrowhost::onRegistryDocument(project.referenceDomId(), [&](_xmlDoc* doc) {
        for (const ReferenceWarning& warning : checkReferenceDocument(doc)) {
            Messages::instance().warning(project.referenceShown(), warning.line, warning.problem);
        }
        return true;
    });

    CzfErrorInfo setupRecord;
    CzfServiceObject* creatorObject = nullptr;
    if (!component.factory()(&merrowkit::kClsidAdvancedTitleCreator, &creatorObject,
                             &setupRecord) ||
        creatorObject == nullptr) {
        report(library.string() + ": the component made no advanced title creator; " +
               recordText(setupRecord));
        return kCannotRun;
    }
    const OwnedObject creator(creatorObject);
    void* interface = nullptr;
    if (!creator->zfQueryService(&merrowkit::kIidCreateBDJAdvancedTitleMethod, &interface,
                                 &setupRecord) ||
        interface == nullptr) {
        report(library.string() + ": the advanced title creator has no creation method; " +
               recordText(setupRecord));
        return kCannotRun;
    }

    Messages::instance().note("creating the advanced title");
    CzfErrorInfo record;
    CzfServiceObject* titleObject = nullptr;
    PictureWarnings pictureWarnings;
    bool result = false;
    {
        const merrowhost::ScopedDiagnosticSink sink(&pictureWarnings);
        result =
            static_cast<SzfCreateBDJAdvancedTitle_Method*>(interface)->zfCreateBDJAdvancedTitle(
                &titleObject, project.source(), project.titleSource(), &record);
    }
    const OwnedObject title(titleObject);
    pictureWarnings.write(project.referenceDomId(), project.referenceShown());
    if (merrowhost::pixelBudgetExceeded()) {
        report("the pictures of " + project.referenceShown() + " need more than " +
               std::to_string(merrowhost::pixelBudgetLimit()) +
               " bytes of decoded and rendered pixels, the limit of one build; nothing written");
        return kCannotRun;
    }
    if (options_.strict && Messages::instance().warningCount() > 0) {
        const int count = Messages::instance().warningCount();
        report(std::to_string(count) + " warning" + (count == 1 ? "" : "s") +
               " and --strict: nothing written");
        return kCannotRun;
    }

    StagingFolder staging;
    staging.expect(std::move(seen));
    if (!staging.create(target, &error)) {
        report(error);
        return kCannotRun;
    }
    killedAtForTest("staging");
    const OutputWriter writer(staging.path());
    std::string documentFile;
    auto* titleHost = dynamic_cast<merrowhost::AdvancedTitleObject*>(title.get());
    const merrowhost::PresentationObject* presentation =
        titleHost != nullptr ? titleHost->presentationObject() : nullptr;
    if (presentation != nullptr && presentation->isBound()) {
        if (!writer.writeDocument(presentation->boundDomId(), &error)) {
            report(error);
            return kCannotRun;
        }
        documentFile = OutputLayout::kDocumentFile;
    }
    const std::vector<merrowhost::ImageTrackObject*> tracks =
        OutputWriter::titleTracks(title.get());
    Messages::instance().note("writing the document, " + std::to_string(tracks.size()) +
                              " tracks and the title into " + staging.path().string());
    const TitleDescription description(result, project.settings().discFormat, title.get(), record,
                                       documentFile);
    const bool preview = options_.preview && !documentFile.empty();
    WrittenTracks written;
    if (!writer.writeTracks(tracks, &error, &written) ||
        !writer.writeTitle(description.text(), &error) ||
        (preview && !preview::writePreview(staging.path(), named.string(),
                                           staging.path() / OutputLayout::kPreviewFile, &error)) ||
        !staging.commit(&error)) {
        report(error);
        return kCannotRun;
    }
    if (!staging.warning().empty()) Messages::instance().warning(staging.warning());
    if (!documentFile.empty()) warnAboutOutputProblems(target, named.string(), written);

    const std::string summary = projectFolder.string() + " -> " + named.string() + ": " +
                                (documentFile.empty() ? "no document" : documentFile) + ", " +
                                std::to_string(tracks.size()) + " track" +
                                (tracks.size() == 1 ? "" : "s") + ", " + OutputLayout::kTitleFile +
                                (preview ? std::string(", ") + OutputLayout::kPreviewFile : "");
    if (!result) {
        report("the component did not create the advanced title for " +
               project.settings().projectFile + " (discFormat " +
               std::to_string(project.settings().discFormat) + "); " + recordText(record));
        Messages::instance().summary("built with errors: " + summary);
        return kServiceFailed;
    }
    Messages::instance().summary("built " + summary);
    return kSucceeded;
}

}  // namespace merrowcli
