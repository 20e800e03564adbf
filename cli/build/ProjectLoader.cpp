#include "cli/build/ProjectLoader.h"

#include <libxml/tree.h>

#include <cstdint>
#include <cstdio>
#include <system_error>
#include <vector>

#include "cli/build/ProjectFile.h"
#include "cli/core/InputFile.h"
#include "cli/core/TextValues.h"
#include "host/dom/DocumentRegistry.h"
#include "host/dom/XPathEvaluator.h"
#include "host/dom/XmlOutputFileGlue.h"
#include "host/framework/ProjectFolder.h"
#include "host/framework/ReadConfinement.h"
#include "host/objects/ServiceObject.h"
#include "host/title/ImageTrackFile.h"

namespace merrowcli {

namespace fs = std::filesystem;

namespace {

// The number of elements an XPath selects in a document of the registry; 0 on failure.
int countElements(unsigned domId, const char* xpath) {
    int count = 0;
    merrowhost::onRegistryDocument(domId, [&](xmlDoc* doc) {
        std::vector<xmlNode*> elements;
        if (!merrowhost::XPathEvaluator(doc).selectElements(xpath, &elements)) return false;
        count = static_cast<int>(elements.size());
        return true;
    });
    return count;
}

// " (--allow-outside reads it)" after the problem of a file outside the project folder.
std::string outsideProblem() {
    return std::string(merrowhost::kOutsideProblem) + " (--allow-outside reads it)";
}

}  // namespace

ProjectLoader::~ProjectLoader() {
    // The objects may hold things loaded from the document's folder; they go first.
    titleSource_.reset();
    source_.reset();
    if (referenceDomId_ != 0) merrowhost::releaseDocument(referenceDomId_);
}

bool ProjectLoader::load(const fs::path& folder, std::string* error) {
    folder_ = folder;
    std::error_code ec;
    const fs::file_status status = fs::status(folder, ec);
    if (status.type() == fs::file_type::not_found) {
        *error = located(folder.string(), 0, "no such project folder");
        return false;
    }
    if (status.type() != fs::file_type::directory) {
        *error = located(folder.string(), 0, "is not a folder");
        return false;
    }
    const fs::path absolute = fs::absolute(folder, ec).lexically_normal();
    merrowhost::setBaseFolder(absolute.string());

    if (!readProjectFile(folder / kProjectFile, &settings_, error)) return false;

    source_ = std::make_unique<merrowhost::ProjectSourceObject>();
    source_->setDiscFormat(settings_.discFormat);
    SAVEDATA record{};
    std::snprintf(record.projectName, sizeof record.projectName, "%s",
                  absolute.filename().string().c_str());
    record.revision = 1;
    source_->setRecord(&record);
    source_->setRootTitleSwitch(settings_.rootMenuTitle);
    source_->setBackgroundSwitch(settings_.background);
    source_->setMediaKind(settings_.mediaKind);
    source_->setDefaultItemValue(static_cast<intptr_t>(settings_.defaultMediaValue));
    if (!settings_.backgroundImage.empty()) {
        const std::string resolved = merrowhost::resolvePath(settings_.backgroundImage);
        if (!merrowhost::readAllowed(resolved)) {
            *error = located(
                settings_.projectFile, settings_.backgroundImageLine,
                "backgroundImage \"" + settings_.backgroundImage + "\": " + outsideProblem());
            return false;
        }
        if (!fs::is_regular_file(resolved, ec)) {
            *error = located(settings_.projectFile, settings_.backgroundImageLine,
                             "backgroundImage \"" + settings_.backgroundImage + "\": no such file");
            return false;
        }
        std::wstring wide;
        if (!widen(resolved, &wide)) {
            *error = located(settings_.projectFile, settings_.backgroundImageLine,
                             "backgroundImage is not UTF-8 text");
            return false;
        }
        source_->setBackgroundPath(wide);
    }

    if (!loadReferenceDocument(error) || !loadBackgroundMedia(error)) return false;
    buildTitleSource();
    return true;
}

bool ProjectLoader::loadReferenceDocument(std::string* error) {
    const std::string resolved = merrowhost::resolvePath(settings_.presentationFile);
    std::error_code ec;
    if (!merrowhost::readAllowed(resolved)) {
        *error = located(
            settings_.projectFile, settings_.presentationLine,
            "presentation file \"" + settings_.presentationFile + "\": " + outsideProblem());
        return false;
    }
    if (!fs::is_regular_file(resolved, ec)) {
        *error = located(settings_.projectFile, settings_.presentationLine,
                         "presentation file \"" + settings_.presentationFile +
                             "\": " + (fs::exists(resolved, ec) ? "not a file" : "no such file"));
        return false;
    }
    merrowhost::DocumentLoadError loadError;
    // Messages name the document as the project folder and project.xml name it.
    const fs::path shown = folder_ / settings_.presentationFile;
    std::string bytes;
    if (!readInputFile(resolved, shown.string(), &bytes, error)) return false;
    referenceDomId_ = merrowhost::loadDocumentString(bytes, shown.string(), &loadError);
    if (referenceDomId_ == 0) {
        *error = loadError.text();
        return false;
    }
    source_->setPresentationDomId(referenceDomId_);
    return true;
}

bool ProjectLoader::loadBackgroundMedia(std::string* error) {
    if (!settings_.backgroundMediaFile) return true;
    const std::string& named = *settings_.backgroundMediaFile;
    const std::string resolved = merrowhost::resolvePath(named);
    std::error_code ec;
    if (!merrowhost::readAllowed(resolved)) {
        *error = located(settings_.projectFile, settings_.backgroundMediaLine,
                         "background media \"" + named + "\": " + outsideProblem());
        return false;
    }
    if (!fs::is_regular_file(resolved, ec)) {
        *error = located(settings_.projectFile, settings_.backgroundMediaLine,
                         "background media \"" + named + "\": no such file");
        return false;
    }
    CzfDiscTemplateSettings settings;
    source_->settings().zfReadSettings(&settings, nullptr);
    std::string problem;
    std::unique_ptr<merrowhost::ImageTrackObject> track =
        merrowhost::loadImageTrackFile(resolved, settings.zfGetVIOSaveData(), &problem);
    if (!track) {
        *error = located(settings_.projectFile, settings_.backgroundMediaLine,
                         "background media \"" + named + "\": " + problem);
        return false;
    }
    source_->setItemMedia(0, track.release());
    return true;
}

void ProjectLoader::buildTitleSource() {
    std::vector<merrowhost::TitleSourceObject::Title> titles;
    if (settings_.titles) {
        for (const ProjectTitle& title : *settings_.titles) {
            titles.push_back({title.isUserTitle, title.id});
        }
    } else {
        // One user title per title of the reference document's first titles list.
        const int count = countElements(referenceDomId_, "(//NS:titlesInfo)[1]/NS:titleInfo");
        for (int i = 1; i <= count; ++i) {
            titles.push_back({true, defaultTitleId(static_cast<uint32_t>(i))});
        }
    }
    titleSource_ = std::make_unique<merrowhost::TitleSourceObject>(titles);
}

}  // namespace merrowcli
