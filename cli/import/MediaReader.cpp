#include "cli/import/MediaReader.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <exception>
#include <exiv2/exiv2.hpp>
#include <system_error>
#include <tuple>
#include <utility>

#include "cli/core/RunStamp.h"
#include "cli/import/FileNameDate.h"
#include "cli/import/PassedOver.h"
#include "cli/import/Sidecar.h"
#include "cli/import/SubSeconds.h"
#include "cli/import/TimeOffset.h"
#include "cli/import/art/HeifFile.h"
#include "cli/import/art/VideoInput.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/log.h>
}

namespace merrowcli::import {

namespace fs = std::filesystem;

namespace {

std::string lowerExtension(const fs::path& file) {
    std::string extension = file.extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

std::optional<MediaKind> kindOf(const fs::path& file) {
    const std::string extension = lowerExtension(file);
    if (extension == ".jpg" || extension == ".jpeg" || extension == ".png" ||
        extension == ".heic" || extension == ".heif") {
        return MediaKind::kPhoto;
    }
    if (extension == ".mp4" || extension == ".mov" || extension == ".m2ts" || extension == ".mts" ||
        extension == ".mkv" || extension == ".avi") {
        return MediaKind::kVideo;
    }
    return std::nullopt;
}

// True when folder carries a mark of merrowkit's: a project an import wrote (its marker file),
// or a folder a run is writing or left (its stamp). Their pictures are merrowkit's own, never
// media.
bool markedByMerrowkit(const fs::path& folder) {
    struct stat info {};
    for (const char* mark : {kImportMarkerFile, kRunStampFile}) {
        if (lstat((folder / mark).c_str(), &info) == 0) return true;
    }
    return false;
}

void listFolder(const fs::path& root, const fs::path& folder, const std::string& prefix,
                std::vector<MediaFile>* files, std::vector<SkippedFile>* skipped) {
    if (markedByMerrowkit(folder)) return;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) {
        skipped->push_back({prefix.empty() ? std::string(".") : prefix, ec.message()});
        return;
    }
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        const fs::directory_entry& entry = *it;
        const std::string name = entry.path().filename().string();
        if (isPassedOver(name)) continue;
        const std::string relative = prefix.empty() ? name : prefix + "/" + name;
        std::error_code typeError;
        const fs::file_type type = entry.symlink_status(typeError).type();
        if (typeError) {
            // For one, a path longer than PATH_MAX: it may be a folder of media, so it is named.
            skipped->push_back({relative, typeError.message()});
            continue;
        }
        if (type == fs::file_type::directory) {
            listFolder(root, entry.path(), relative, files, skipped);
        } else if (type == fs::file_type::regular) {
            if (const std::optional<MediaKind> kind = kindOf(entry.path())) {
                files->push_back({relative, *kind});
            }
        }
    }
    if (ec) skipped->push_back({prefix.empty() ? std::string(".") : prefix, ec.message()});
}

// The modification time of a file in local time.
std::optional<LocalTime> modificationTime(const fs::path& file, std::string* reason) {
    struct stat info {};
    if (stat(file.c_str(), &info) != 0) {
        *reason = "cannot read its modification time";
        return std::nullopt;
    }
    return localTimeOf(info.st_mtime);
}

// Sets item's date: a sidecar's first, then embedded (the file's own, of kind embeddedSource),
// then a date in its name, then its modification time.
bool settleDate(const fs::path& file, const std::optional<LocalTime>& embedded,
                DateSource embeddedSource, MediaItem* item, std::string* reason) {
    std::optional<long long> sidecarInstant;
    std::optional<LocalTime> taken = sidecarDate(file, &sidecarInstant, &item->sidecarProblem);
    item->dateSource = DateSource::kSidecar;
    if (taken) {
        item->utcSeconds = sidecarInstant;
        item->microseconds = 0;
    }
    if (!taken && embedded) {
        taken = embedded;
        item->dateSource = embeddedSource;
    }
    if (!taken && (taken = dateFromFileName(file.filename().string()))) {
        item->dateSource = DateSource::kFileName;
    }
    if (!taken && (taken = modificationTime(file, reason))) {
        item->dateSource = DateSource::kFileTime;
    }
    if (!taken) return false;
    // The embedded date's instant and fraction belong to it alone.
    if (item->dateSource != embeddedSource && item->dateSource != DateSource::kSidecar) {
        item->utcSeconds.reset();
        item->microseconds = 0;
    }
    item->taken = *taken;
    return true;
}

void muteExiv2() {
    static const bool muted = [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        return true;
    }();
    (void)muted;
}

// The date EXIF gives (with its fraction of a second and its offset into item) and the
// orientation.
std::optional<LocalTime> readExif(const Exiv2::ExifData& exif, MediaItem* item) {
    std::optional<LocalTime> taken;
    // Each date with the fields of its fraction of a second and its offset.
    for (const auto& [key, subSecKey, offsetKey] :
         {std::tuple{"Exif.Photo.DateTimeOriginal", "Exif.Photo.SubSecTimeOriginal",
                     "Exif.Photo.OffsetTimeOriginal"},
          std::tuple{"Exif.Photo.DateTimeDigitized", "Exif.Photo.SubSecTimeDigitized",
                     "Exif.Photo.OffsetTimeDigitized"},
          std::tuple{"Exif.Image.DateTime", "Exif.Photo.SubSecTime", "Exif.Photo.OffsetTime"}}) {
        const auto found = exif.findKey(Exiv2::ExifKey(key));
        if (found == exif.end()) continue;
        taken = parseExifTime(found->toString());
        if (!taken) continue;
        const auto subSec = exif.findKey(Exiv2::ExifKey(subSecKey));
        if (subSec != exif.end()) item->microseconds = parseSubSeconds(subSec->toString());
        const auto offset = exif.findKey(Exiv2::ExifKey(offsetKey));
        if (offset != exif.end()) {
            if (const std::optional<int> seconds = parseTimeOffset(offset->toString())) {
                item->utcSeconds = instantOf(*taken, seconds);
            }
        }
        break;
    }
    const auto orientation = exif.findKey(Exiv2::ExifKey("Exif.Image.Orientation"));
    if (orientation != exif.end() && orientation->count() > 0) {
        const long value = orientation->toLong();
        item->orientation = value >= 1 && value <= 8 ? static_cast<int>(value) : 0;
    }
    return taken;
}

bool readPhoto(const fs::path& file, MediaItem* item, std::string* reason) {
    muteExiv2();
    std::optional<LocalTime> taken;
    try {
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(file.string());
        if (image.get() == nullptr) {
            *reason = "not a photo libexiv2 can read";
            return false;
        }
        image->readMetadata();
        const int type = image->imageType();
        if (type != Exiv2::ImageType::jpeg && type != Exiv2::ImageType::png) {
            *reason = "neither a JPEG nor a PNG file";
            return false;
        }
        taken = readExif(image->exifData(), item);
    } catch (const std::exception& e) {
        *reason = e.what();
        return false;
    }
    return settleDate(file, taken, DateSource::kExif, item, reason);
}

// A HEIC/HEIF photo: its EXIF block as libheif gives it, read with libexiv2. libheif turns the
// picture by the file's own transformations, so the orientation recorded is "as shown".
bool readHeifPhoto(const fs::path& file, MediaItem* item, std::string* reason) {
    muteExiv2();
    const std::optional<std::string> block = readHeifExif(file, reason);
    if (!block) return false;
    std::optional<LocalTime> taken;
    if (!block->empty()) {
        try {
            Exiv2::ExifData exif;
            Exiv2::ExifParser::decode(exif, reinterpret_cast<const Exiv2::byte*>(block->data()),
                                      static_cast<std::uint32_t>(block->size()));
            taken = readExif(exif, item);
        } catch (const std::exception&) {
            // A broken EXIF block is as good as none: the picture may still be shown.
            taken.reset();
            item->utcSeconds.reset();
            item->microseconds = 0;
        }
    }
    item->orientation = 0;
    return settleDate(file, taken, DateSource::kExif, item, reason);
}

bool readVideo(const fs::path& file, MediaItem* item, std::string* reason) {
    av_log_set_level(AV_LOG_QUIET);
    VideoInput input;
    if (!input.open(file, reason)) return false;
    const AVFormatContext* context = input.context();
    const int stream = av_find_best_stream(input.context(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (stream < 0) {
        *reason = "it holds no video stream";
        return false;
    }
    const AVStream* video = context->streams[stream];
    if (context->duration != AV_NOPTS_VALUE && context->duration > 0) {
        item->duration = static_cast<double>(context->duration) / AV_TIME_BASE;
    } else if (video->duration != AV_NOPTS_VALUE && video->duration > 0) {
        item->duration = static_cast<double>(video->duration) * av_q2d(video->time_base);
    }
    for (unsigned i = 0; i < context->nb_chapters; ++i) {
        const AVChapter* chapter = context->chapters[i];
        Chapter entry;
        entry.start = static_cast<double>(chapter->start) * av_q2d(chapter->time_base);
        if (const AVDictionaryEntry* title = av_dict_get(chapter->metadata, "title", nullptr, 0)) {
            entry.title = title->value;
        }
        item->chapters.push_back(entry);
    }
    std::stable_sort(item->chapters.begin(), item->chapters.end(),
                     [](const Chapter& a, const Chapter& b) { return a.start < b.start; });
    if (item->chapters.size() > kMaxChapters) {
        item->chaptersLeftOut = item->chapters.size() - kMaxChapters;
        item->chapters.resize(kMaxChapters);
    }

    // QuickTime's creationdate (a phone's: the wall clock where it was taken, with its offset)
    // before the container's creation_time (UTC, shown in the local time of TZ).
    std::optional<LocalTime> taken;
    if (const AVDictionaryEntry* local =
            av_dict_get(context->metadata, "com.apple.quicktime.creationdate", nullptr, 0)) {
        taken = parseQuickTimeDate(local->value, &item->utcSeconds);
    }
    const AVDictionaryEntry* created = av_dict_get(context->metadata, "creation_time", nullptr, 0);
    if (created == nullptr) created = av_dict_get(video->metadata, "creation_time", nullptr, 0);
    if (!taken && created != nullptr) {
        taken = parseCreationTime(created->value, &item->utcSeconds);
    }
    return settleDate(file, taken, DateSource::kContainer, item, reason);
}

}  // namespace

std::vector<MediaFile> listMedia(const fs::path& folder, std::vector<SkippedFile>* skipped) {
    std::vector<MediaFile> files;
    listFolder(folder, folder, "", &files, skipped);
    std::sort(files.begin(), files.end(),
              [](const MediaFile& a, const MediaFile& b) { return a.path < b.path; });
    return files;
}

std::optional<MediaItem> readMedia(const fs::path& folder, const MediaFile& file,
                                   std::string* reason) {
    MediaItem item;
    item.path = file.path;
    item.kind = file.kind;
    const fs::path path = folder / file.path;
    bool read = false;
    if (file.kind == MediaKind::kVideo) {
        read = readVideo(path, &item, reason);
    } else if (const std::string extension = lowerExtension(path);
               extension == ".heic" || extension == ".heif") {
        read = readHeifPhoto(path, &item, reason);
    } else {
        read = readPhoto(path, &item, reason);
    }
    if (!read) {
        *reason = reasonWithoutPath(*reason, path.string());
        return std::nullopt;
    }
    return item;
}

std::optional<LocalTime> parseExifTime(const std::string& text) {
    LocalTime time;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%4d:%2d:%2d %2d:%2d:%2d%c", &time.year, &time.month, &time.day,
                    &time.hour, &time.minute, &time.second, &tail) < 6) {
        return std::nullopt;
    }
    if (tail != 0 && tail != ' ' && tail != '\0') return std::nullopt;
    // A date before 1971 is a camera whose clock was never set: as good as none.
    if (!isValidTime(time) || time.year < 1971) return std::nullopt;
    return time;
}

std::optional<LocalTime> parseCreationTime(const std::string& text,
                                           std::optional<long long>* utcSeconds) {
    struct tm parts {};
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%*[T ]%2d:%2d:%2d", &parts.tm_year, &parts.tm_mon,
                    &parts.tm_mday, &parts.tm_hour, &parts.tm_min, &parts.tm_sec) != 6) {
        return std::nullopt;
    }
    const LocalTime utc{parts.tm_year, parts.tm_mon, parts.tm_mday,
                        parts.tm_hour, parts.tm_min, parts.tm_sec};
    if (!isValidTime(utc) || utc.year < 1971) return std::nullopt;
    if (utcSeconds != nullptr) *utcSeconds = secondsOf(utc);
    return localTimeOf(static_cast<std::time_t>(secondsOf(utc)));
}

std::optional<LocalTime> parseQuickTimeDate(const std::string& text,
                                            std::optional<long long>* utcSeconds) {
    // The same as an XMP date but for its offset, which may be written "+hhmm".
    std::string written = text;
    const size_t sign = written.find_last_of("+-");
    if (sign != std::string::npos && sign > 10 && written.size() == sign + 5) {
        written.insert(sign + 3, ":");
    }
    return parseXmpDate(written, utcSeconds);
}

LocalTime localTimeOf(std::time_t moment) {
    tzset();
    struct tm parts {};
    localtime_r(&moment, &parts);
    return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
            parts.tm_hour,        parts.tm_min,     parts.tm_sec};
}

}  // namespace merrowcli::import
