#include "cli/import/CacheFile.h"

#include <climits>
#include <utility>

#include "cli/import/CacheFields.h"

namespace merrowcli::import {

namespace {

constexpr const char* kMagic = "merrowkit-import-cache";
constexpr long long kLargestSize = LLONG_MAX;
// Around a modification time any 64-bit count of nanoseconds is possible.
constexpr long long kLargestTime = LLONG_MAX;

void writeStamp(FieldWriter& line, const FileStamp& stamp) {
    line.number(stamp.size).number(stamp.modified);
}

bool readStamp(FieldReader& line, long long smallestSize, FileStamp* stamp) {
    return line.number(smallestSize, kLargestSize, &stamp->size) &&
           line.number(LLONG_MIN, kLargestTime, &stamp->modified);
}

bool readInt(FieldReader& line, int lowest, int highest, int* value) {
    long long read = 0;
    if (!line.number(lowest, highest, &read)) return false;
    *value = static_cast<int>(read);
    return true;
}

std::string mediaLine(const MediaRecord& record) {
    FieldWriter line;
    line.word("file").text(record.key.path);
    writeStamp(line, record.key.file);
    line.text(record.key.sidecar);
    writeStamp(line, record.key.sidecarStamp);
    if (!record.item) {
        line.word("skipped").text(record.reason);
        return line.line();
    }
    const MediaItem& item = *record.item;
    const LocalTime& t = item.taken;
    line.word("item").number(t.year).number(t.month).number(t.day).number(t.hour);
    line.number(t.minute).number(t.second);
    line.number(item.utcSeconds ? 1 : 0).number(item.utcSeconds.value_or(0));
    line.number(item.microseconds).number(static_cast<int>(item.dateSource));
    line.text(item.sidecarProblem).number(item.orientation).real(item.duration);
    line.number(static_cast<long long>(item.chaptersLeftOut));
    line.number(static_cast<long long>(item.chapters.size()));
    for (const Chapter& chapter : item.chapters) line.real(chapter.start).text(chapter.title);
    return line.line();
}

bool readMediaLine(FieldReader& line, MediaRecord* record) {
    MediaKey& key = record->key;
    if (!line.text(&key.path) || !readStamp(line, 0, &key.file) || !line.text(&key.sidecar) ||
        !readStamp(line, -1, &key.sidecarStamp)) {
        return false;
    }
    std::string kind;
    if (!line.text(&kind)) return false;
    if (kind == "skipped") return line.text(&record->reason);
    if (kind != "item") return false;
    MediaItem item;
    LocalTime& t = item.taken;
    long long hasUtc = 0;
    long long utc = 0;
    int source = 0;
    long long leftOut = 0;
    long long chapters = 0;
    if (!readInt(line, 1, 9999, &t.year) || !readInt(line, 1, 12, &t.month) ||
        !readInt(line, 1, 31, &t.day) || !readInt(line, 0, 23, &t.hour) ||
        !readInt(line, 0, 59, &t.minute) || !readInt(line, 0, 60, &t.second) ||
        !line.number(0, 1, &hasUtc) || !line.number(LLONG_MIN, LLONG_MAX, &utc) ||
        !readInt(line, 0, 999999, &item.microseconds) || !readInt(line, 0, 4, &source) ||
        !line.text(&item.sidecarProblem) || !readInt(line, 0, 8, &item.orientation) ||
        !line.real(&item.duration) || !line.number(0, UINT_MAX, &leftOut) ||
        !line.number(0, static_cast<long long>(kMaxChapters), &chapters)) {
        return false;
    }
    if (hasUtc == 1) {
        item.utcSeconds = utc;
    } else if (utc != 0) {
        return false;
    }
    item.dateSource = static_cast<DateSource>(source);
    item.chaptersLeftOut = static_cast<size_t>(leftOut);
    item.chapters.resize(static_cast<size_t>(chapters));
    for (Chapter& chapter : item.chapters) {
        if (!line.real(&chapter.start) || !line.text(&chapter.title)) return false;
    }
    record->item = std::move(item);
    return true;
}

std::string duplicateLine(const DuplicateRecord& record) {
    FieldWriter line;
    line.word("duplicate").text(record.path);
    writeStamp(line, record.file);
    return line.line();
}

bool readDuplicateLine(FieldReader& line, DuplicateRecord* record) {
    return line.text(&record->path) && readStamp(line, 0, &record->file);
}

std::string pictureLine(const PictureRecord& record) {
    const PictureKey& key = record.key;
    FieldWriter line;
    line.word("picture").text(key.path);
    writeStamp(line, key.file);
    line.real(key.seconds).number(key.read.width).number(key.read.height);
    line.number(key.size.width).number(key.size.height);
    line.word(key.highlighted ? "highlighted" : "plain");
    line.text(record.file).number(record.bytes).text(record.digest);
    return line.line();
}

bool readPictureLine(FieldReader& line, PictureRecord* record) {
    PictureKey& key = record->key;
    std::string variant;
    if (!line.text(&key.path) || !readStamp(line, 0, &key.file) || !line.real(&key.seconds) ||
        !readInt(line, 1, INT_MAX, &key.read.width) ||
        !readInt(line, 1, INT_MAX, &key.read.height) ||
        !readInt(line, 1, INT_MAX, &key.size.width) ||
        !readInt(line, 1, INT_MAX, &key.size.height) || !line.text(&variant) ||
        !line.text(&record->file) || !line.number(1, kLargestCachedPicture, &record->bytes) ||
        !line.text(&record->digest)) {
        return false;
    }
    if (variant != "plain" && variant != "highlighted") return false;
    key.highlighted = variant == "highlighted";
    return true;
}

// The next line of text from *at, without its line end; false at the end, or for a last line
// without one (a file cut short).
bool nextLine(std::string_view text, size_t* at, std::string_view* line) {
    if (*at >= text.size()) return false;
    const size_t end = text.find('\n', *at);
    if (end == std::string_view::npos) return false;
    *line = text.substr(*at, end - *at);
    *at = end + 1;
    return true;
}

}  // namespace

std::string cacheText(const ImportCache& cache) {
    const CacheContext& context = cache.context();
    std::string text = FieldWriter()
                           .word(kMagic)
                           .number(kCacheFormat)
                           .word("reading")
                           .number(context.readingRevision)
                           .word("drawing")
                           .number(context.drawingRevision)
                           .line();
    text += FieldWriter().word("reading-libraries").text(context.readingLibraries).line();
    text += FieldWriter().word("drawing-libraries").text(context.drawingLibraries).line();
    text += FieldWriter().word("zone").text(context.zone).line();
    text += FieldWriter().word("media").text(context.mediaFolder).line();
    for (const MediaRecord& record : cache.media()) text += mediaLine(record);
    for (const DuplicateRecord& record : cache.duplicates()) text += duplicateLine(record);
    for (const PictureRecord& record : cache.pictures()) text += pictureLine(record);
    text += FieldWriter()
                .word("end")
                .number(static_cast<long long>(cache.media().size()))
                .number(static_cast<long long>(cache.duplicates().size()))
                .number(static_cast<long long>(cache.pictures().size()))
                .line();
    return text;
}

bool readCacheText(std::string_view text, ImportCache* cache, std::string* problem) {
    size_t at = 0;
    std::string_view line;
    long long format = 0;
    CacheContext context;
    {
        long long reading = 0;
        long long drawing = 0;
        if (!nextLine(text, &at, &line)) {
            *problem = "it is empty or cut short";
            return false;
        }
        FieldReader first(line);
        if (!first.word(kMagic) || !first.number(0, INT_MAX, &format)) {
            *problem = "it is not an import cache";
            return false;
        }
        if (format != kCacheFormat) {
            *problem = "it is of another version (" + std::to_string(format) + ")";
            return false;
        }
        if (!first.word("reading") || !first.number(0, INT_MAX, &reading) ||
            !first.word("drawing") || !first.number(0, INT_MAX, &drawing) || !first.finished()) {
            *problem = "line 1 is bad";
            return false;
        }
        context.readingRevision = static_cast<int>(reading);
        context.drawingRevision = static_cast<int>(drawing);
    }
    size_t number = 1;
    for (const auto& [word, value] :
         {std::pair{"reading-libraries", &context.readingLibraries},
          std::pair{"drawing-libraries", &context.drawingLibraries},
          std::pair{"zone", &context.zone}, std::pair{"media", &context.mediaFolder}}) {
        ++number;
        if (!nextLine(text, &at, &line)) {
            *problem = "it is cut short";
            return false;
        }
        FieldReader reader(line);
        if (!reader.word(word) || !reader.text(value) || !reader.finished()) {
            *problem = "line " + std::to_string(number) + " is bad";
            return false;
        }
    }
    *cache = ImportCache(std::move(context));
    while (true) {
        ++number;
        if (!nextLine(text, &at, &line)) {
            *problem = "it is cut short";
            return false;
        }
        const std::string bad = "line " + std::to_string(number) + " is bad";
        const size_t space = line.find(' ');
        const std::string_view kind = line.substr(0, space);
        FieldReader reader(line.substr(space == std::string_view::npos ? line.size() : space + 1));
        // The kinds of record come in the order they are written.
        if (kind == "file") {
            MediaRecord record;
            if (!cache->duplicates().empty() || !cache->pictures().empty() ||
                !readMediaLine(reader, &record) || !reader.finished() ||
                !cache->addMediaRecord(std::move(record))) {
                *problem = bad;
                return false;
            }
        } else if (kind == "duplicate") {
            DuplicateRecord record;
            if (!cache->pictures().empty() || !readDuplicateLine(reader, &record) ||
                !reader.finished() || !cache->addDuplicate(std::move(record))) {
                *problem = bad;
                return false;
            }
        } else if (kind == "picture") {
            PictureRecord record;
            if (!readPictureLine(reader, &record) || !reader.finished() ||
                !cache->addPicture(std::move(record))) {
                *problem = bad;
                return false;
            }
        } else if (kind == "end") {
            long long files = 0;
            long long duplicates = 0;
            long long pictures = 0;
            if (!reader.number(0, LLONG_MAX, &files) || !reader.number(0, LLONG_MAX, &duplicates) ||
                !reader.number(0, LLONG_MAX, &pictures) || !reader.finished() ||
                files != static_cast<long long>(cache->media().size()) ||
                duplicates != static_cast<long long>(cache->duplicates().size()) ||
                pictures != static_cast<long long>(cache->pictures().size()) || at != text.size()) {
                *problem = bad;
                return false;
            }
            return true;
        } else {
            *problem = bad;
            return false;
        }
    }
}

}  // namespace merrowcli::import
