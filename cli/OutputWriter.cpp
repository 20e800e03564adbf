#include "cli/OutputWriter.h"

#include <algorithm>
#include <fstream>
#include <system_error>
#include <utility>

#include "cli/StagingFolder.h"
#include "cli/TestHook.h"
#include "cli/TitleDescription.h"
#include "host/dom/XmlOutputFileGlue.h"
#include "host/pictures/PngWriter.h"
#include "host/title/AdvancedTitleObject.h"
#include "host/title/ClipListObject.h"
#include "host/title/ClipObject.h"
#include "host/title/ImageTrackObject.h"
#include "host/title/MediaHolderObject.h"
#include "host/title/PresentationObject.h"

namespace merrowcli {

namespace fs = std::filesystem;

namespace {

// An identifier that can serve as a file name in the tracks folder.
bool usableFileName(const std::string& id) {
    return !id.empty() && id != "." && id != ".." && id.find('/') == std::string::npos &&
           id.find('\0') == std::string::npos;
}

}  // namespace

OutputWriter::OutputWriter(fs::path folder) : folder_(std::move(folder)) {}

std::vector<merrowhost::ImageTrackObject*> OutputWriter::titleTracks(CzfServiceObject* title) {
    std::vector<merrowhost::ImageTrackObject*> tracks;
    auto* titleObject = dynamic_cast<merrowhost::AdvancedTitleObject*>(title);
    if (titleObject == nullptr) return tracks;
    if (const merrowhost::PresentationObject* presentation = titleObject->presentationObject()) {
        tracks = presentation->tracks();
    }
    if (const merrowhost::ClipListObject* list = titleObject->clipListObject()) {
        for (size_t i = 0; i < list->size(); ++i) {
            const merrowhost::ClipObject* clip = list->clipAt(i);
            const merrowhost::MediaHolderObject* holder =
                clip != nullptr ? clip->mediaHolderObject() : nullptr;
            auto* media =
                holder != nullptr
                    ? dynamic_cast<merrowhost::ImageTrackObject*>(holder->placement().media())
                    : nullptr;
            if (media != nullptr &&
                std::find(tracks.begin(), tracks.end(), media) == tracks.end()) {
                tracks.push_back(media);
            }
        }
    }
    return tracks;
}

bool OutputWriter::writeDocument(unsigned domId, std::string* error) const {
    const fs::path file = folder_ / StagingFolder::kDocumentFile;
    CXMLOutputFileGlue glue;
    if (!glue.Attach(domId, nullptr)) {
        *error = "the presentation's document " + std::to_string(domId) + " is not in the host";
        return false;
    }
    const bool saved = glue.SaveXMLFile(file.c_str());
    glue.Detach();
    if (!saved) {
        *error = file.string() + ": cannot write the document";
        return false;
    }
    return true;
}

bool OutputWriter::writeTracks(const std::vector<merrowhost::ImageTrackObject*>& tracks,
                               std::string* error) const {
    const fs::path folder = folder_ / StagingFolder::kTracksFolder;
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        *error = folder.string() + ": cannot make the folder: " + ec.message();
        return false;
    }
    for (merrowhost::ImageTrackObject* track : tracks) {
        const std::string id = TitleDescription::objectId(track);
        if (!usableFileName(id)) {
            *error = "an image track has the identifier \"" + id + "\", which is no file name";
            return false;
        }
        const fs::path file = folder / (id + ".png");
        if (fs::exists(file, ec)) {
            *error = file.string() + ": two image tracks share the identifier " + id;
            return false;
        }
        const std::vector<uint8_t> pixels = track->rgba();
        if (pixels.empty()) {
            *error = "image track " + id + " holds no picture (" + std::to_string(track->width()) +
                     " x " + std::to_string(track->height()) + ")";
            return false;
        }
        std::string reason;
        if (!merrowhost::writeRgbaPng(file.string(), track->width(), track->height(), pixels.data(),
                                      &reason)) {
            *error = file.string() + ": " + reason;
            return false;
        }
        killedAtForTest("track");
    }
    return true;
}

bool OutputWriter::writeTitle(const std::string& text, std::string* error) const {
    const fs::path file = folder_ / StagingFolder::kTitleFile;
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
        *error = file.string() + ": cannot write";
        return false;
    }
    return true;
}

}  // namespace merrowcli
