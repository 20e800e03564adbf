#include "cli/import/ArtWriter.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "cli/core/ParallelJobs.h"
#include "cli/import/PictureReuse.h"
#include "cli/import/art/PhotoReader.h"
#include "cli/import/art/PngFile.h"
#include "cli/import/art/TextPicture.h"
#include "cli/import/art/Thumbnail.h"
#include "cli/import/art/VideoFrame.h"

namespace merrowcli::import {

namespace fs = std::filesystem;

namespace {

// A mid-grey opaque picture, drawn where a photo or frame cannot be read.
Picture blank(int width, int height) {
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.rgba.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0x60);
    for (size_t at = 3; at < picture.rgba.size(); at += 4) picture.rgba[at] = 0xff;
    return picture;
}

// A photo is read at no less than twice the largest thumbnail drawn from it (in each side), so
// that the area filter still has pixels to average.
std::optional<Picture> readSource(const Calendar& calendar, const fs::path& mediaFolder,
                                  size_t item, double seconds, Size largest, std::string& error) {
    const MediaItem& media = calendar.media[item];
    const fs::path file = mediaFolder / media.path;
    return media.kind == MediaKind::kPhoto
               ? readPhoto(file, media.orientation, error, 2 * largest.width, 2 * largest.height)
               : readVideoFrame(file, seconds, error);
}

Size largestOf(const std::vector<const ThumbnailJob*>& jobs) {
    Size largest{0, 0};
    for (const ThumbnailJob* job : jobs) {
        largest.width = std::max(largest.width, job->size.width);
        largest.height = std::max(largest.height, job->size.height);
    }
    return largest;
}

// The bytes written go into *written when it is given.
bool write(const Picture& picture, const fs::path& projectFolder, const std::string& file,
           ArtResult* result, std::vector<uint8_t>* written = nullptr) {
    const fs::path path = projectFolder / file;
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    std::string error;
    if (!writePng(picture, path, error, written)) {
        result->error = error;
        return false;
    }
    ++result->written;
    return true;
}

}  // namespace

ArtResult drawArt(const Calendar& calendar, const ArtPlan& plan, const fs::path& mediaFolder,
                  const fs::path& projectFolder, int workers, const ArtProgress& progress,
                  const ArtCache& cache) {
    ArtResult result;
    const int total = static_cast<int>(plan.thumbnails.size() + plan.texts.size());
    // The jobs of each source picture (a photo, or a video at one moment), so that every
    // source is decoded once.
    std::map<std::pair<size_t, double>, std::vector<const ThumbnailJob*>> bySource;
    for (const ThumbnailJob& job : plan.thumbnails) {
        bySource[{job.item, job.seconds}].push_back(&job);
    }
    std::vector<std::pair<std::pair<size_t, double>, std::vector<const ThumbnailJob*>>> sources(
        bySource.begin(), bySource.end());
    // Each source is drawn on a worker into files of its own and a result of its own; the
    // results are merged in source order, so the outcome does not depend on the workers.
    std::vector<ArtResult> drawn(sources.size());
    std::atomic<int> done{0};
    runJobs(
        sources.size(), workers,
        [&](size_t index) {
            // Named one by one: the lambda below takes them, which clang 14 does not allow of
            // structured bindings.
            const std::pair<size_t, double>& source = sources[index].first;
            const std::vector<const ThumbnailJob*>& jobs = sources[index].second;
            ArtResult& own = drawn[index];
            const MediaItem& media = calendar.media[source.first];
            const Size largest = largestOf(jobs);
            const auto stamp = cache.stamps.find(media.path);
            const bool keyed = stamp != cache.stamps.end();
            // The source is read only when a thumbnail of it is not in the cache.
            bool read = false;
            bool ownSource = false;  // the picture is the source's own, not a fallback or blank
            std::optional<Picture> picture;
            const auto readOnce = [&] {
                if (read) return;
                read = true;
                std::string error;
                picture =
                    readSource(calendar, mediaFolder, source.first, source.second, largest, error);
                ownSource = picture.has_value();
                if (!picture) own.problems.push_back(media.path + ": cannot draw: " + error);
                // A photo that cannot be drawn gives way to the next of its content that can.
                for (const size_t next : jobs.front()->fallbacks) {
                    if (picture) break;
                    std::string ignored;
                    picture = readSource(calendar, mediaFolder, next, 0.0, largest, ignored);
                }
            };
            for (const ThumbnailJob* job : jobs) {
                std::optional<Picture> thumbnail;
                for (const bool focused : {false, true}) {
                    const std::string& file = focused ? job->highlightFile : job->file;
                    const PictureKey key{media.path,    keyed ? stamp->second : FileStamp{},
                                         source.second, largest,
                                         job->size,     focused};
                    if (keyed && cache.previous != nullptr) {
                        if (std::optional<PictureRecord> record = reusePicture(
                                *cache.previous, cache.previousProject, key, projectFolder, file)) {
                            own.kept.push_back(std::move(*record));
                            ++own.written;
                            ++own.reused;
                            continue;
                        }
                    }
                    readOnce();
                    if (!thumbnail) {
                        thumbnail = picture ? fillTo(*picture, job->size.width, job->size.height)
                                            : blank(job->size.width, job->size.height);
                    }
                    std::vector<uint8_t> bytes;
                    if (!write(focused ? highlighted(*thumbnail) : *thumbnail, projectFolder, file,
                               &own, &bytes)) {
                        return;
                    }
                    if (!keyed || !ownSource) continue;
                    if (std::optional<PictureRecord> record = recordPicture(key, file, bytes)) {
                        own.kept.push_back(std::move(*record));
                    }
                }
                ++done;
            }
        },
        [&](size_t) {
            if (progress) progress(done.load(), total);
        });
    for (ArtResult& own : drawn) {
        result.written += own.written;
        result.reused += own.reused;
        for (PictureRecord& record : own.kept) result.kept.push_back(std::move(record));
        for (std::string& problem : own.problems) result.problems.push_back(std::move(problem));
        if (!own.error.empty()) {
            result.error = own.error;
            return result;
        }
    }
    for (const TextJob& job : plan.texts) {
        if (!write(textPicture(job.text, job.size.width, job.size.height), projectFolder, job.file,
                   &result)) {
            return result;
        }
        if (progress) progress(++done, total);
    }
    return result;
}

}  // namespace merrowcli::import
