#include "cli/BuildCommand.h"

#include <cstdio>
#include <exception>
#include <memory>
#include <system_error>
#include <utility>

#include "cli/CheckCommand.h"
#include "cli/ComponentLoader.h"
#include "cli/Messages.h"
#include "cli/OutputWriter.h"
#include "cli/ProjectLoader.h"
#include "cli/StagingFolder.h"
#include "cli/TitleDescription.h"
#include "cli/preview/PreviewPage.h"
#include "host/dom/XmlOutputFileGlue.h"
#include "host/objects/HostObject.h"
#include "host/objects/ServiceObject.h"
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

// Frees every document of the host's registry when the run ends, however it ends.
struct DocumentsRelease {
    ~DocumentsRelease() { merrowhost::releaseAllDocuments(); }
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
           "2 bad usage or bad input.";
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
        "the component variant to load: current (libmerrowkit.so)\n"
        "or older (libmerrowkit-older.so)",
        [this](const std::string& value, std::string* problem) {
            if (value != "current" && value != "older") {
                *problem = "unknown variant '" + value + "' (current or older)";
                return false;
            }
            options_.variant = value;
            return true;
        },
        "needs current or older");
    parser.addFlag("preview", 0, "also write OUT_DIR/preview.html (see merrowkit help preview)",
                   [this] { options_.preview = true; });
}

fs::path BuildCommand::sampleProjectFolder() {
    const fs::path besideProgram = ComponentLoader::executableFolder() / "samples" / "calendar";
    if (isProjectFolder(besideProgram)) return besideProgram;
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

    const fs::path named = options_.outputFolder.value_or(fs::path(kDefaultOutputFolder));
    const fs::path target = StagingFolder::normaliseTarget(named);
    if (target.empty()) {
        report(named.string() + ": cannot be used as the output folder");
        return kCannotRun;
    }
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

    const fs::path library =
        ComponentLoader::executableFolder() / ComponentLoader::libraryName(options_.variant);
    Messages::instance().note("loading the component " + library.string());
    if (!component.load(library, &error)) {
        report(error);
        return kCannotRun;
    }

    // Identifiers count from 1 again, so that the same project gives the same files.
    merrowhost::resetObjectSerials();
    ProjectLoader project;
    Messages::instance().note("reading the project " + projectFolder.string());
    if (!project.load(projectFolder, &error)) {
        report(error);
        return kCannotRun;
    }

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
    const bool result =
        static_cast<SzfCreateBDJAdvancedTitle_Method*>(interface)->zfCreateBDJAdvancedTitle(
            &titleObject, project.source(), project.titleSource(), &record);
    const OwnedObject title(titleObject);

    StagingFolder staging;
    if (!staging.create(target, &error)) {
        report(error);
        return kCannotRun;
    }
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
        documentFile = StagingFolder::kDocumentFile;
    }
    const std::vector<merrowhost::ImageTrackObject*> tracks =
        OutputWriter::titleTracks(title.get());
    Messages::instance().note("writing the document, " + std::to_string(tracks.size()) +
                              " tracks and the title into " + staging.path().string());
    const TitleDescription description(result, project.settings().discFormat, title.get(), record,
                                       documentFile);
    const bool preview = options_.preview && !documentFile.empty();
    if (!writer.writeTracks(tracks, &error) || !writer.writeTitle(description.text(), &error) ||
        (preview && !preview::writePreview(staging.path(), named.string(),
                                           staging.path() / StagingFolder::kPreviewFile, &error)) ||
        !staging.commit(&error)) {
        report(error);
        return kCannotRun;
    }
    if (!staging.warning().empty()) Messages::instance().warning(staging.warning());
    if (!documentFile.empty()) CheckCommand::warnAboutProblems(target, named.string());

    const std::string summary = projectFolder.string() + " -> " + named.string() + ": " +
                                (documentFile.empty() ? "no document" : documentFile) + ", " +
                                std::to_string(tracks.size()) + " track" +
                                (tracks.size() == 1 ? "" : "s") + ", " + StagingFolder::kTitleFile +
                                (preview ? std::string(", ") + StagingFolder::kPreviewFile : "");
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
