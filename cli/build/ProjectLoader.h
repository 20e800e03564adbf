#pragma once
// Reads a project folder: project.xml (its settings, with the line of every problem), the
// reference document it names, and the optional background media; and builds the host's
// source and title-source objects from them. The loader owns what it made: the objects, and
// the reference document in the host's registry, which it releases when it goes away.
//
// Relative paths in project.xml and in the reference document are resolved against the
// project folder: load() sets it as the host's base folder (merrowhost::setBaseFolder).

#include <filesystem>
#include <memory>
#include <string>

#include "cli/build/ProjectSettings.h"
#include "host/title/ProjectSourceObject.h"
#include "host/title/TitleSourceObject.h"

namespace merrowcli {

class ProjectLoader {
public:
    static constexpr const char* kProjectFile = "project.xml";

    ProjectLoader() = default;
    ~ProjectLoader();
    ProjectLoader(const ProjectLoader&) = delete;
    ProjectLoader& operator=(const ProjectLoader&) = delete;

    // Loads the project in folder (as the user named it; messages use that form) and builds the
    // host objects. False with *error as above.
    bool load(const std::filesystem::path& folder, std::string* error);

    const ProjectSettings& settings() const { return settings_; }
    merrowhost::ProjectSourceObject* source() const { return source_.get(); }
    merrowhost::TitleSourceObject* titleSource() const { return titleSource_.get(); }
    unsigned referenceDomId() const { return referenceDomId_; }
    // The reference document as messages name it (the project folder as named, then the path
    // project.xml gives).
    std::string referenceShown() const { return (folder_ / settings_.presentationFile).string(); }

private:
    bool loadReferenceDocument(std::string* error);
    bool loadBackgroundMedia(std::string* error);
    void buildTitleSource();

    std::filesystem::path folder_;
    ProjectSettings settings_;
    std::unique_ptr<merrowhost::ProjectSourceObject> source_;
    std::unique_ptr<merrowhost::TitleSourceObject> titleSource_;
    unsigned referenceDomId_ = 0;
};

}  // namespace merrowcli
