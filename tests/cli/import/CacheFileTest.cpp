// The import cache's file: records read back exactly as written, and a file that was cut short
// or edited (bad numbers, bad escapes, values no import gives, paths out of the project) read
// as no cache at all rather than as wrong records.

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "cli/import/CacheFields.h"
#include "cli/import/CacheFile.h"
#include "cli/import/ImportCache.h"

namespace merrowcli::import {
namespace {

CacheContext context() {
    CacheContext context;
    context.readingLibraries = "exiv2 0.27.6 libxml2 2.9.14";
    context.drawingLibraries = "avcodec 3815012 png 10639";
    context.zone = "TZ=Europe/Berlin 0123456789abcdef0123456789abcdef";
    context.mediaFolder = "../my photos";
    return context;
}

MediaKey key(const std::string& path, long long size, long long modified) {
    MediaKey key;
    key.path = path;
    key.file = {size, modified};
    return key;
}

// Every kind of record, with the values that are hardest to write: texts with spaces, line
// ends, '%', '-', bytes that are not UTF-8, empty texts, negative and fractional numbers.
ImportCache sampleCache() {
    ImportCache cache(context());
    MediaRecord photo;
    photo.key = key("2023/IMG 0001 - copy%.jpg", 2048, 1700000000123456789LL);
    photo.key.sidecar = "IMG 0001 - copy%.jpg.xmp";
    photo.key.sidecarStamp = {311, -5};
    MediaItem item;
    item.taken = {2023, 12, 31, 23, 59, 60};
    item.utcSeconds = -86400;
    item.microseconds = 999999;
    item.dateSource = DateSource::kExif;
    item.sidecarProblem = "IMG 0001 - copy%.jpg.xmp:1:2: bad\nXML";
    item.orientation = 8;
    photo.item = item;
    EXPECT_TRUE(cache.addMediaRecord(photo));

    MediaRecord video;
    video.key = key("caf\xe9/\x01-.mp4", 0, 0);
    MediaItem clip;
    clip.kind = MediaKind::kVideo;
    clip.taken = {1971, 1, 1, 0, 0, 0};
    clip.dateSource = DateSource::kFileTime;
    clip.duration = 12.0 / 7.0;
    clip.chapters = {{0.0, ""}, {0.1, "The cake"}, {-1.5, "-"}, {1e300, "%41 caf\xe9\xff"}};
    video.item = clip;
    EXPECT_TRUE(cache.addMediaRecord(video));

    MediaRecord many;
    many.key = key("long.mkv", 5, 6);
    MediaItem chapters;
    chapters.kind = MediaKind::kVideo;
    chapters.chapters.resize(kMaxChapters, {2.5, "x"});
    chapters.chaptersLeftOut = 21;
    many.item = chapters;
    EXPECT_TRUE(cache.addMediaRecord(many));

    MediaRecord skipped;
    skipped.key = key("broken.jpg", 22, 33);
    skipped.reason = "not a photo libexiv2 can read: 100%";
    EXPECT_TRUE(cache.addMediaRecord(skipped));

    EXPECT_TRUE(cache.addDuplicate({"2023/IMG 0001 - copy% (2).jpg", {2048, 1}}));

    EXPECT_TRUE(cache.addPicture({{"2023/IMG 0001 - copy%.jpg",
                                   {2048, 1700000000123456789LL},
                                   0,
                                   {576, 324},
                                   {288, 162},
                                   false},
                                  "art/media/Content_2023_12_31_1.png",
                                  40000,
                                  "0123456789abcdef0123456789abcdef"}));
    EXPECT_TRUE(cache.addPicture({{"2023/IMG 0001 - copy%.jpg",
                                   {2048, 1700000000123456789LL},
                                   0,
                                   {576, 324},
                                   {288, 162},
                                   true},
                                  "art/media/Content_2023_12_31_1_hl.png",
                                  41000,
                                  "fedcba9876543210fedcba9876543210"}));
    EXPECT_TRUE(
        cache.addPicture({{"caf\xe9/\x01-.mp4", {0, 0}, 12.0 / 70.0, {320, 180}, {320, 180}, false},
                          "art/media/Year_1971.png",
                          1,
                          "00000000000000000000000000000000"}));
    return cache;
}

void expectSameItems(const MediaItem& a, const MediaItem& b) {
    EXPECT_EQ(a.taken, b.taken);
    EXPECT_EQ(a.utcSeconds, b.utcSeconds);
    EXPECT_EQ(a.microseconds, b.microseconds);
    EXPECT_EQ(a.dateSource, b.dateSource);
    EXPECT_EQ(a.sidecarProblem, b.sidecarProblem);
    EXPECT_EQ(a.orientation, b.orientation);
    EXPECT_EQ(a.duration, b.duration);  // exactly: the bits are kept
    EXPECT_EQ(a.chaptersLeftOut, b.chaptersLeftOut);
    ASSERT_EQ(a.chapters.size(), b.chapters.size());
    for (size_t i = 0; i < a.chapters.size(); ++i) {
        EXPECT_EQ(a.chapters[i].start, b.chapters[i].start) << i;
        EXPECT_EQ(a.chapters[i].title, b.chapters[i].title) << i;
    }
}

TEST(CacheFile, EveryRecordReadsBackExactly) {
    const ImportCache written = sampleCache();
    const std::string text = cacheText(written);
    ImportCache read;
    std::string problem;
    ASSERT_TRUE(readCacheText(text, &read, &problem)) << problem << "\n" << text;
    EXPECT_EQ(read.context(), written.context());
    ASSERT_EQ(read.media().size(), written.media().size());
    for (size_t i = 0; i < written.media().size(); ++i) {
        SCOPED_TRACE(written.media()[i].key.path);
        EXPECT_EQ(read.media()[i].key, written.media()[i].key);
        EXPECT_EQ(read.media()[i].reason, written.media()[i].reason);
        ASSERT_EQ(read.media()[i].item.has_value(), written.media()[i].item.has_value());
        if (written.media()[i].item)
            expectSameItems(*read.media()[i].item, *written.media()[i].item);
    }
    ASSERT_EQ(read.duplicates().size(), 1u);
    EXPECT_EQ(read.duplicates()[0].path, written.duplicates()[0].path);
    EXPECT_EQ(read.duplicates()[0].file, written.duplicates()[0].file);
    ASSERT_EQ(read.pictures().size(), written.pictures().size());
    for (size_t i = 0; i < written.pictures().size(); ++i) {
        EXPECT_EQ(read.pictures()[i].key, written.pictures()[i].key) << i;
        EXPECT_EQ(read.pictures()[i].file, written.pictures()[i].file) << i;
        EXPECT_EQ(read.pictures()[i].bytes, written.pictures()[i].bytes) << i;
        EXPECT_EQ(read.pictures()[i].digest, written.pictures()[i].digest) << i;
    }
    // One record a line: the texts' line ends and spaces are escaped.
    size_t lines = 0;
    for (const char c : text) lines += c == '\n' ? 1 : 0;
    EXPECT_EQ(lines, 5 + written.media().size() + written.duplicates().size() +
                         written.pictures().size() + 1);
    EXPECT_EQ(cacheText(read), text);
}

TEST(CacheFile, AFileCutShortAnywhereIsNoCache) {
    const std::string text = cacheText(sampleCache());
    for (size_t length = 0; length < text.size(); ++length) {
        ImportCache read;
        std::string problem;
        EXPECT_FALSE(readCacheText(text.substr(0, length), &read, &problem)) << "cut at " << length;
        EXPECT_FALSE(problem.empty());
    }
}

// The text with the first occurrence of `from` replaced by `to`.
std::string edited(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

TEST(CacheFile, AnEditedFieldMakesItNoCache) {
    const std::string text = cacheText(sampleCache());
    struct Edit {
        const char* what;
        std::string from;
        std::string to;
    };
    const std::vector<Edit> edits = {
        {"another format", "merrowkit-import-cache 1 ", "merrowkit-import-cache 2 "},
        {"not a cache", "merrowkit-import-cache", "merrowkit-import-cachf"},
        {"a size past 64 bits", " 2048 ", " 99999999999999999999 "},
        {"a negative size", " 2048 ", " -2048 "},
        {"a leading zero", " 2048 ", " 02048 "},
        {"a plus sign", " 2048 ", " +2048 "},
        {"month 13", " 2023 12 31 ", " 2023 13 31 "},
        {"the 31st of a 30-day month", " 2023 12 31 ", " 2023 11 31 "},
        {"year 0", " 2023 12 31 ", " 0 12 31 "},
        {"a date source past the last", " 999999 1 ", " 999999 5 "},
        {"orientation 9", "XML 8 ", "XML 9 "},
        {"an escape cut short", "copy%25.jpg ", "copy%2.jpg "},
        {"an escape of lower-case hex", "%0AXML", "%0aXML"},
        {"a plain byte escaped", "IMG%200001", "IMG%4D0001"},
        {"a byte that must be escaped written plain", "%20%2D%20", "%20-%20"},
        {"two spaces", "file 2023", "file  2023"},
        {"a space at the end", "\nend ", " \nend "},
        {"a NaN duration", "XML 8 0000000000000000", "XML 8 7FF8000000000000"},
        {"an infinite duration", "XML 8 0000000000000000", "XML 8 7FF0000000000000"},
        {"a negative duration", "XML 8 0000000000000000", "XML 8 BFF0000000000000"},
        {"a real number of 15 digits", "XML 8 0000000000000000", "XML 8 000000000000000"},
        {"a chapter count past 99", " 0 4 0000000000000000 - ", " 0 100 0000000000000000 - "},
        {"fewer chapters than counted", " 0 4 0000000000000000 - ", " 0 5 0000000000000000 - "},
        {"a huge chapter count", " 0 4 0000000000000000 - ", " 0 4294967296 0000000000000000 - "},
        {"chapters left out of a short list", " 21 99 4004000000000000 x ", " 21 98 "},
        {"an instant of the smallest number", " 23 59 60 1 -86400 ",
         " 23 59 60 1 -9223372036854775808 "},
        {"no UTC but a value", " 23 59 60 1 -86400 ", " 23 59 60 0 -86400 "},
        {"a picture file out of the project", "art/media/Year_1971.png",
         "art/media/../../../etc/x.png"},
        {"a picture file outside art/media", "art/media/Year_1971.png", "presentation.xml"},
        {"a picture of no bytes", "Year_1971.png 1 ", "Year_1971.png 0 "},
        {"a picture past the largest", "Year_1971.png 1 ", "Year_1971.png 67108865 "},
        {"a digest of the wrong length", "00000000000000000000000000000000",
         "0000000000000000000000000000000"},
        {"a digest in capitals", "fedcba9876543210fedcba9876543210",
         "FEDCBA9876543210FEDCBA9876543210"},
        {"a picture of width 0", " 576 324 288 162 ", " 576 324 0 162 "},
        {"a variant that is neither", " plain ", " plane "},
        {"a line of an unknown kind", "\nend ", "\nfiles 1\nend "},
        {"a count of files at the end that differs", "\nend 4 1 3\n", "\nend 5 1 3\n"},
        {"a count of duplicates at the end that differs", "\nend 4 1 3\n", "\nend 4 0 3\n"},
        {"a duplicate after a picture", "\nend 4 1 3\n", "\nduplicate new.jpg 1 2\nend 4 2 3\n"},
        {"a file after a duplicate", "\nduplicate ",
         "\nfile new.jpg 1 2 - -1 0 skipped -\nduplicate "},
        {"a duplicate of a file read", "\nduplicate 2023/IMG%200001%20%2D%20copy%25%20(2).jpg",
         "\nduplicate broken.jpg"},
        {"a duplicate of a negative size", "(2).jpg 2048 1\n", "(2).jpg -2048 1\n"},
        {"a count of pictures at the end that differs", "\nend 4 1 3\n", "\nend 4 1 2\n"},
        {"a record after the end", "\nend 4 1 3\n", "\nend 4 1 3\nend 4 1 3\n"},
        {"a file after a picture", "\nend 4 1 3\n",
         "\nfile new.jpg 1 2 - -1 0 skipped -\nend 5 1 3\n"},
        {"the same path twice", "file broken.jpg", "file long.mkv"},
        {"the same picture file twice", "Content_2023_12_31_1_hl.png", "Content_2023_12_31_1.png"},
        {"a sidecar name with a folder", "copy%25.jpg.xmp", "copy%25.jpg%2F.xmp"},
        {"a sidecar stamp without a sidecar", "file broken.jpg 22 33 - -1 0",
         "file broken.jpg 22 33 - 5 0"},
    };
    for (const Edit& edit : edits) {
        SCOPED_TRACE(edit.what);
        ImportCache read;
        std::string problem;
        EXPECT_FALSE(readCacheText(edited(text, edit.from, edit.to), &read, &problem));
        EXPECT_FALSE(problem.empty());
    }
    std::string problem;
    ImportCache read;
    EXPECT_FALSE(readCacheText(edited(text, "cache 1 ", "cache 7 "), &read, &problem));
    EXPECT_EQ(problem, "it is of another version (7)");
    EXPECT_TRUE(readCacheText(text, &read, &problem)) << problem;
}

// Random edits of a good file: the reader never fails in another way than by refusing, and
// whatever it takes is valid and written back is the text it was read from.
TEST(CacheFile, RandomEditsAreRefusedOrReadAsValidRecords) {
    const std::string text = cacheText(sampleCache());
    std::mt19937 random(20240229);
    int taken = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string changed = text;
        const int edits = 1 + static_cast<int>(random() % 3);
        for (int e = 0; e < edits && !changed.empty(); ++e) {
            const size_t at = random() % changed.size();
            switch (random() % 4) {
                case 0:
                    changed[at] = static_cast<char>(random() % 256);
                    break;
                case 1:
                    changed.erase(at, 1 + random() % 8);
                    break;
                case 2:
                    changed.insert(at, 1, "0123456789 -%\nAF"[random() % 16]);
                    break;
                default:
                    changed.insert(at, changed.substr(random() % changed.size(), random() % 40));
                    break;
            }
        }
        ImportCache read;
        std::string problem;
        if (!readCacheText(changed, &read, &problem)) {
            EXPECT_FALSE(problem.empty());
            continue;
        }
        ++taken;
        for (const MediaRecord& record : read.media()) {
            EXPECT_TRUE(isValidRecord(record)) << changed;
        }
        for (const PictureRecord& record : read.pictures()) {
            EXPECT_TRUE(isValidRecord(record)) << changed;
        }
        EXPECT_EQ(cacheText(read), changed);
    }
    // Some edits keep a valid file (a digit of a size, a letter of a title).
    EXPECT_GT(taken, 0);
}

TEST(CacheFile, OnlyThePartsWhoseContextIsUnchangedAreKept) {
    struct Change {
        const char* what;
        void (*apply)(CacheContext&);
        bool media;
        bool pictures;
    };
    const Change changes[] = {
        {"nothing", [](CacheContext&) {}, true, true},
        {"the zone", [](CacheContext& c) { c.zone += "x"; }, false, true},
        {"the reading code", [](CacheContext& c) { ++c.readingRevision; }, false, true},
        {"the reading libraries", [](CacheContext& c) { c.readingLibraries += "1"; }, false, true},
        {"the drawing code", [](CacheContext& c) { ++c.drawingRevision; }, true, false},
        {"the drawing libraries", [](CacheContext& c) { c.drawingLibraries += "1"; }, true, false},
        {"the media folder", [](CacheContext& c) { c.mediaFolder = "../other"; }, false, false},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.what);
        ImportCache cache = sampleCache();
        CacheContext now = context();
        change.apply(now);
        const std::vector<std::string> dropped = cache.keepWhatApplies(now);
        EXPECT_EQ(cache.media().empty(), !change.media);
        EXPECT_EQ(cache.pictures().empty(), !change.pictures);
        EXPECT_EQ(dropped.size(), (change.media ? 0u : 1u) + (change.pictures ? 0u : 1u));
    }
}

TEST(CacheFile, AFileIsFoundOnlyByItsWholeKey) {
    const ImportCache cache = sampleCache();
    const MediaRecord& kept = cache.media().front();
    const MediaFile file{kept.key.path, MediaKind::kPhoto};
    // The sidecar problem names the sidecar as this run names the media folder.
    const std::optional<MediaOutcome> found =
        cache.findMedia(kept.key, "/home/me/../me/photos", file);
    ASSERT_TRUE(found && found->item);
    EXPECT_EQ(found->item->path, kept.key.path);
    EXPECT_EQ(found->item->sidecarProblem,
              "/home/me/../me/photos/2023/IMG 0001 - copy%.jpg.xmp:1:2: bad\nXML");
    EXPECT_EQ(found->item->taken, kept.item->taken);

    std::vector<MediaKey> changed(6, kept.key);
    changed[0].file.size += 1;
    changed[1].file.modified += 1;  // a nanosecond
    changed[2].sidecar.clear();
    changed[3].sidecarStamp.size += 1;
    changed[4].sidecarStamp.modified += 1;
    changed[5].sidecar = "IMG 0001 - copy%.xmp";
    for (size_t i = 0; i < changed.size(); ++i) {
        EXPECT_FALSE(cache.findMedia(changed[i], "photos", file).has_value()) << i;
    }

    PictureKey picture = cache.pictures().front().key;
    EXPECT_EQ(cache.findPictures(picture).size(), 1u);
    picture.read.width += 2;  // a photo read at another scale
    EXPECT_TRUE(cache.findPictures(picture).empty());
}

TEST(CacheFile, TheFilesOfOneSizeAreThoseReadAndThoseLeftOut) {
    const ImportCache cache = sampleCache();
    const std::map<std::string, ComparedFile> files = cache.filesOfSize(2048);
    ASSERT_EQ(files.size(), 2u);
    EXPECT_FALSE(files.at("2023/IMG 0001 - copy%.jpg").duplicate);
    EXPECT_EQ(files.at("2023/IMG 0001 - copy%.jpg").file.modified, 1700000000123456789LL);
    EXPECT_TRUE(files.at("2023/IMG 0001 - copy% (2).jpg").duplicate);
    EXPECT_EQ(cache.filesOfSize(22).size(), 1u);
    EXPECT_TRUE(cache.filesOfSize(23).empty());
}

TEST(CacheFile, AnOutcomeIsRecordedWithItsSidecarProblemRelativeToItsFolder) {
    ImportCache cache(context());
    const MediaFile file{"sub/a.jpg", MediaKind::kPhoto};
    MediaOutcome outcome;
    outcome.item = MediaItem{};
    outcome.item->path = file.path;
    outcome.item->sidecarProblem = "media/sub/a.jpg.xmp: holds no date that can be read";
    ASSERT_TRUE(cache.addMedia(key("sub/a.jpg", 1, 2), outcome, "media", file));
    EXPECT_EQ(cache.media().front().item->sidecarProblem,
              "a.jpg.xmp: holds no date that can be read");
    // A problem that does not start with the sidecar's folder is not kept: it could not be
    // given back as it was.
    outcome.item->sidecarProblem = "elsewhere/a.jpg.xmp: holds no date";
    EXPECT_FALSE(
        cache.addMedia(key("sub/b.jpg", 1, 2), outcome, "media", {"sub/b.jpg", MediaKind::kPhoto}));
    // Nor is a date no import gives.
    outcome.item->sidecarProblem.clear();
    outcome.item->taken.month = 0;
    EXPECT_FALSE(
        cache.addMedia(key("sub/c.jpg", 1, 2), outcome, "media", {"sub/c.jpg", MediaKind::kPhoto}));
    EXPECT_EQ(cache.media().size(), 1u);
}

}  // namespace
}  // namespace merrowcli::import
