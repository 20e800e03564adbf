#pragma once
// Writes the three outputs of a build into a folder: the new presentation document
// (AppPresentation.xml), one RGBA PNG per image track (tracks/ID.png, named by the track's
// object identifier) and the title description (title.xml).

#include <filesystem>
#include <string>
#include <vector>

#include "cli/core/WrittenTracks.h"

class CzfServiceObject;

namespace merrowhost {
class ImageTrackObject;
}

namespace merrowcli {

class OutputWriter {
public:
    explicit OutputWriter(std::filesystem::path folder);

    // The image tracks a title shows: those registered with its presentation object, in order,
    // then the media of its clip chain that are image tracks (the background). Each once.
    static std::vector<merrowhost::ImageTrackObject*> titleTracks(CzfServiceObject* title);

    // AppPresentation.xml: the document of the host registry, as SaveXMLFile writes it.
    bool writeDocument(unsigned domId, std::string* error) const;
    // tracks/ID.png for each track (the folder is made even when there is none); written, when
    // given, receives the bytes of each file by its name.
    bool writeTracks(const std::vector<merrowhost::ImageTrackObject*>& tracks, std::string* error,
                     WrittenTracks* written = nullptr) const;
    bool writeTitle(const std::string& text, std::string* error) const;

private:
    std::filesystem::path folder_;
};

}  // namespace merrowcli
