#pragma once
// The files of an imported project folder, as text: the reference document (the design's
// layout, the navigation data, the titles and the picture providers), project.xml (the disc
// settings and the titles) and slideshow.xml (every photo in slideshow order, for the host
// that makes the slideshow). The same calendar always gives the same bytes.

#include <filesystem>
#include <string>

#include "cli/import/ArtPlan.h"
#include "cli/import/Calendar.h"
#include "cli/import/Design.h"

namespace merrowcli::import {

constexpr const char* kPresentationFile = "presentation.xml";
constexpr const char* kProjectFile = "project.xml";
constexpr const char* kSlideshowFile = "slideshow.xml";
constexpr int kSecondsPerPhoto = 3;

std::string presentationXml(const Calendar& calendar, const Design& design, const ArtPlan& art);
// mediaFolder: where the titles' videos are, as project.xml records it (relative to the
// project folder, or absolute); each title's video is recorded relative to it.
std::string projectXml(const Calendar& calendar, const std::string& mediaFolder);

// The media folder as project.xml records it: relative to the project folder when both are
// below the same top folder (both made absolute, symbolic links resolved as far as they
// exist), else absolute.
std::string recordedMediaFolder(const std::filesystem::path& mediaFolder,
                                const std::filesystem::path& projectFolder);
std::string slideshowXml(const Calendar& calendar);

// The identifier of the title made from the video at this path (relative to the media
// folder): a name-based UUID (version 5, SHA-1) in a namespace of merrowkit's own, written
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in capitals.
std::string titleGuid(const std::string& relativePath);

}  // namespace merrowcli::import
