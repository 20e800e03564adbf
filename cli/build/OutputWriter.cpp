#include "cli/build/OutputWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <future>
#include <map>
#include <memory>
#include <system_error>
#include <utility>

#include "cli/build/TitleDescription.h"
#include "cli/core/OutputLayout.h"
#include "cli/core/StagingFolder.h"
#include "cli/core/TestHook.h"
#include "host/dom/XmlOutputFileGlue.h"
#include "host/framework/AtomicFileWriter.h"
#include "host/title/AdvancedTitleObject.h"
#include "host/title/ClipListObject.h"
#include "host/title/ClipObject.h"
#include "host/title/ImageTrackObject.h"
#include "host/title/MediaHolderObject.h"
#include "host/title/PresentationObject.h"
#include "host/title/TrackSpool.h"

namespace merrowcli {

namespace fs = std::filesystem;

namespace {

// An identifier that can serve as a file name in the tracks folder.
bool usableFileName(const std::string& id) {
    return !id.empty() && id != "." && id != ".." && id.find('/') == std::string::npos &&
           id.find('\0') == std::string::npos;
}

// Writes a file that must not exist yet. The staging folder is swapped in whole or not at all
// and synced once before that, so a track file needs neither a temporary name nor a sync.
bool writeNewFile(const fs::path& file, const std::vector<uint8_t>& bytes, std::string* error) {
    merrowhost::AtomicFileWriter writer;
    if (!writer.openNew(file.string())) {
        *error = file.string() + ": " +
                 (std::strcmp(writer.error(), std::strerror(EEXIST)) == 0
                      ? "two image tracks share the identifier " + file.stem().string()
                      : std::string(writer.error()));
        return false;
    }
    if (!writer.write(bytes.data(), bytes.size()) || !writer.commit()) {
        *error = file.string() + ": " + writer.error();
        return false;
    }
    return true;
}

struct EncodedTrack {
    std::shared_ptr<const std::vector<uint8_t>> png;
    std::string reason;
};

EncodedTrack encodedTrack(const merrowhost::ImageTrackObject* track) {
    EncodedTrack encoded;
    encoded.png = track->png(&encoded.reason);
    return encoded;
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
    const fs::path file = folder_ / OutputLayout::kDocumentFile;
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
                               std::string* error, WrittenTracks* written) const {
    const fs::path folder = folder_ / OutputLayout::kTracksFolder;
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        *error = folder.string() + ": cannot make the folder: " + ec.message();
        return false;
    }
    // Tracks the host did not encode as they were registered (the background) are encoded on
    // threads of their own meanwhile, instead of one after the other at their turn.
    std::map<const merrowhost::ImageTrackObject*, std::future<EncodedTrack>> early;
    for (merrowhost::ImageTrackObject* track : tracks) {
        if (track->encoding() || early.count(track) != 0) continue;
        try {
            early.emplace(track, std::async(std::launch::async, encodedTrack, track));
        } catch (...) {
            // No thread or no memory for it: encoded at its turn.
        }
    }
    // A spooled encoding is moved to its first track's name; tracks that share it get copies.
    std::map<const merrowhost::SpooledFile*, bool> placed;
    for (merrowhost::ImageTrackObject* track : tracks) {
        const std::string id = TitleDescription::objectId(track);
        if (!usableFileName(id)) {
            *error = "an image track has the identifier \"" + id + "\", which is no file name";
            return false;
        }
        const fs::path file = folder / (id + ".png");
        WrittenTrack done;
        const auto started = early.find(track);
        const std::shared_ptr<merrowhost::SpooledFile> spooled =
            started == early.end() ? track->spooledPng() : nullptr;
        if (spooled != nullptr && !placed[spooled.get()]) {
            if (!spooled->moveTo(file.string(), error)) {
                if (errno == EEXIST) {
                    *error = file.string() + ": two image tracks share the identifier " + id;
                }
                return false;
            }
            placed[spooled.get()] = true;
            done = {spooled->size(), spooled->digest()};
        } else {
            EncodedTrack encoded;
            if (started != early.end()) {
                encoded = started->second.get();
            } else if (spooled != nullptr) {
                auto bytes = std::make_shared<std::vector<uint8_t>>();
                if (!spooled->read(bytes.get(), error)) return false;
                encoded.png = std::move(bytes);
            } else {
                encoded = encodedTrack(track);
            }
            const std::shared_ptr<const std::vector<uint8_t>>& png = encoded.png;
            const std::string& reason = encoded.reason;
            if (png == nullptr) {
                *error = "image track " + id + " holds no picture (" +
                         std::to_string(track->width()) + " x " + std::to_string(track->height()) +
                         ")" + (reason.empty() || reason == "no picture" ? "" : ": " + reason);
                return false;
            }
            if (!writeNewFile(file, *png, error)) return false;
            done = {png->size(), merrowhost::contentDigest(png->data(), png->size())};
        }
        if (written != nullptr) (*written)[file.filename().string()] = done;
        killedAtForTest("track");
    }
    return true;
}

bool OutputWriter::writeTitle(const std::string& text, std::string* error) const {
    const fs::path file = folder_ / OutputLayout::kTitleFile;
    return merrowhost::writeWholeFile(file.string(), text.data(), text.size(),
                                      merrowhost::FileCreation::kNew, error);
}

}  // namespace merrowcli
