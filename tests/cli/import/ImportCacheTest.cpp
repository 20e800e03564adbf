// End-to-end runs of `merrowkit import` into a project folder that holds a previous import and
// its cache: what is taken from the cache (the -v note counts it), what is read and drawn
// again, and that the project is byte for byte the one an import without the cache writes.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "samples/tools/MediaMaker.h"
#include "support/CliTestSupport.h"

namespace {

namespace fs = std::filesystem;
namespace media = merrowtest::media;
using clitest::CommandResult;
using clitest::readFile;
using clitest::runMerrowkit;

const std::string kXmpHead =
    "<x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF "
    "xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'><rdf:Description "
    "xmlns:exif='http://ns.adobe.com/exif/1.0/' ";
const std::string kXmpTail = "/></rdf:RDF></x:xmpmeta>";

std::string sidecar(const std::string& date) {
    return kXmpHead + "exif:DateTimeOriginal='" + date + "'" + kXmpTail;
}

// How many files and thumbnails the -v note says were taken from the cache, of how many.
struct Taken {
    int files = -1;
    int ofFiles = -1;
    int thumbnails = -1;
    int ofThumbnails = -1;
    bool operator==(const Taken&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Taken& t) {
    return out << t.files << " of " << t.ofFiles << " files, " << t.thumbnails << " of "
               << t.ofThumbnails << " thumbnails";
}

Taken takenFrom(const CommandResult& run) {
    static const std::regex kNote(
        R"(: (\d+) of (\d+) files and (\d+) of (\d+) thumbnails taken from the previous import)");
    std::smatch match;
    Taken taken;
    if (std::regex_search(run.err, match, kNote)) {
        taken = {std::stoi(match[1]), std::stoi(match[2]), std::stoi(match[3]),
                 std::stoi(match[4])};
    }
    return taken;
}

// The messages without the cache's own notes, and with the project folder's name put as
// PROJECT: what any import of the same media says.
std::string messagesOf(const CommandResult& run, const fs::path& project) {
    std::string kept;
    for (const std::string& line : clitest::linesOf(run.err + run.out)) {
        if (line.find(".merrowkit-import-cache: ") != std::string::npos) continue;
        kept += line + "\n";
    }
    for (size_t at = kept.find(project.string()); at != std::string::npos;
         at = kept.find(project.string())) {
        kept.replace(at, project.string().size(), "PROJECT");
    }
    return kept;
}

// The slideshow's date of a photo.
std::string dateOf(const fs::path& project, const std::string& photo) {
    return clitest::attributeOf(project / "slideshow.xml", "//photo[@file='" + photo + "']",
                                "date");
}

// The media of each test, made anew in its own folder: (TZ=UTC)
//   a.jpg        2024-05-01 10:00 by EXIF
//   b.jpg        2024-05-01 10:30 by EXIF, stored sideways (orientation 6)
//   sub/c.png    2024-05-02 12:00 by its modification time
//   d.jpg        EXIF 2024-05-03, its sidecar d.jpg.xmp 2024-06-01 09:00
//   e.jpg        2024-05-04 by EXIF; a broken sidecar e.jpg.xmp
//   broken.jpg   not a JPEG (skipped)
//   party.mp4    2024-05-05 11:00, two chapters (when ffmpeg is there)
class ImportCache : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(in() / "sub");
        media::makeJpeg(in() / "a.jpg", 96, 64, {media::Pattern::Kind::Scene, 0x406080, 1},
                        {"2024:05:01 10:00:00", "", "", 0});
        media::makeJpeg(in() / "b.jpg", 64, 96, {media::Pattern::Kind::Corners, 0x204020},
                        {"2024:05:01 10:30:00", "", "", 6});
        media::makePng(in() / "sub/c.png", 80, 60, {media::Pattern::Kind::Scene, 0x6080c0, 2});
        media::setModificationTime(in() / "sub/c.png", utc(2024, 5, 2, 12, 0));
        media::makeJpeg(in() / "d.jpg", 96, 64, {media::Pattern::Kind::Scene, 0x80a040, 3},
                        {"2024:05:03 08:00:00", "", "", 0});
        clitest::writeFile(in() / "d.jpg.xmp", sidecar("2024-06-01T09:00:00"));
        media::makeJpeg(in() / "e.jpg", 96, 64, {media::Pattern::Kind::Scene, 0xa04080, 4},
                        {"2024:05:04 08:00:00", "", "", 0});
        clitest::writeFile(in() / "e.jpg.xmp", "<x:xmpmeta xmlns:x='adobe:ns:meta/'>");
        clitest::writeFile(in() / "broken.jpg", "not a photo\n");
        files_ = 6;
        if (media::canMakeVideos()) {
            media::VideoRecipe party;
            party.seconds = 2;
            party.colours = {0x20c020, 0xc020c0};
            party.chapters = {{0, "Arrival"}, {1, "The cake"}};
            party.creationTime = "2024-05-05T11:00:00Z";
            media::makeVideo(in() / "party.mp4", party);
            ++files_;
        }
    }

    static std::time_t utc(int year, int month, int day, int hour, int minute) {
        struct tm parts {};
        parts.tm_year = year - 1900;
        parts.tm_mon = month - 1;
        parts.tm_mday = day;
        parts.tm_hour = hour;
        parts.tm_min = minute;
        return timegm(&parts);
    }

    fs::path in() const { return folder_.path() / "media"; }
    fs::path project(const std::string& name = "project") const { return folder_.path() / name; }

    CommandResult import(const fs::path& target, std::vector<std::string> extra = {},
                         const std::string& zone = "UTC") const {
        std::vector<std::string> args = {"import", in().string(), "-o", target.string(), "-v"};
        args.insert(args.end(), extra.begin(), extra.end());
        return runMerrowkit(args, folder_.path(), {"TZ=" + zone});
    }

    // An import of the same media into a fresh folder beside the project, without the cache:
    // what the project must be.
    std::map<std::string, std::string> fresh(const std::string& zone = "UTC") const {
        const fs::path other = project("fresh");
        fs::remove_all(other);
        const CommandResult run = import(other, {"--no-cache"}, zone);
        EXPECT_EQ(run.status, 0) << run.err;
        return clitest::folderContents(other);
    }

    int thumbnails(const fs::path& target) const {
        int count = 0;
        for (const auto& entry : fs::directory_iterator(target / "art" / "media")) {
            const std::string name = entry.path().filename().string();
            count += name.size() < 9 || name.compare(name.size() - 9, 9, "_text.png") != 0;
        }
        return count;
    }

    clitest::TemporaryFolder folder_;
    int files_ = 0;
};

// Writes other bytes of the same length into the file and puts its modification time back,
// to the nanosecond: the cache cannot tell, so the file must not be read.
void replaceKeepingStamp(const fs::path& file) {
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    // Each its own bytes, so that no two become duplicates.
    std::string bytes(static_cast<size_t>(info.st_size), 'x');
    bytes.replace(0, std::min(bytes.size(), file.string().size()), file.string(), 0,
                  std::min(bytes.size(), file.string().size()));
    clitest::writeFile(file, bytes);
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
}

TEST_F(ImportCache, AnUnchangedFolderIsTakenWholeFromTheCache) {
    const CommandResult first = import(project());
    ASSERT_EQ(first.status, 0) << first.err;
    const int drawn = thumbnails(project());
    EXPECT_EQ(takenFrom(first), (Taken{0, files_, 0, drawn}));
    EXPECT_TRUE(fs::is_regular_file(project() / ".merrowkit-import-cache"));
    const auto written = clitest::folderContents(project());

    // Every media file is now other bytes of the same size and time: had any been read or
    // drawn, the import would skip it or draw it otherwise.
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(in())) {
        if (entry.is_regular_file()) replaceKeepingStamp(entry.path());
    }
    const CommandResult second = import(project());
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(takenFrom(second), (Taken{files_, files_, drawn, drawn}));
    EXPECT_EQ(clitest::folderContents(project()), written);
    EXPECT_EQ(messagesOf(second, project()), messagesOf(first, project()));
}

// Where the previous project's pictures cannot be linked to their new names, their bytes are
// copied: the same project.
TEST_F(ImportCache, PicturesAreCopiedWhereTheyCannotBeLinked) {
    ASSERT_EQ(import(project()).status, 0);
    const auto written = clitest::folderContents(project());
    const CommandResult copied =
        runMerrowkit({"import", in().string(), "-o", project().string(), "-v"}, folder_.path(),
                     {"TZ=UTC", "MERROWKIT_TEST_NO_LINK=1"});
    ASSERT_EQ(copied.status, 0) << copied.err;
    EXPECT_EQ(takenFrom(copied),
              (Taken{files_, files_, thumbnails(project()), thumbnails(project())}));
    EXPECT_EQ(clitest::folderContents(project()), written);
}

TEST_F(ImportCache, WithoutTheCacheTheProjectIsTheSame) {
    ASSERT_EQ(import(project()).status, 0);
    const CommandResult cached = import(project(), {"-j", "1"});
    ASSERT_EQ(cached.status, 0) << cached.err;
    const auto withCache = clitest::folderContents(project());
    const CommandResult uncached = import(project(), {"--no-cache", "-j", "3"});
    ASSERT_EQ(uncached.status, 0) << uncached.err;
    EXPECT_NE(uncached.err.find(".merrowkit-import-cache: not read (--no-cache)"),
              std::string::npos)
        << uncached.err;
    EXPECT_EQ(takenFrom(uncached).files, 0);
    EXPECT_EQ(takenFrom(uncached).thumbnails, 0);
    // The cache file too: what it records does not depend on what was taken from it.
    EXPECT_EQ(clitest::folderContents(project()), withCache);
    EXPECT_EQ(messagesOf(cached, project()), messagesOf(uncached, project()));
    EXPECT_EQ(withCache, fresh());
}

TEST_F(ImportCache, AFileWithAnotherModificationTimeIsReadAgain) {
    ASSERT_EQ(import(project()).status, 0);
    EXPECT_EQ(dateOf(project(), "sub/c.png"), "2024-05-02");
    media::setModificationTime(in() / "sub/c.png", utc(2024, 7, 9, 12, 0));
    const CommandResult again = import(project());
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(dateOf(project(), "sub/c.png"), "2024-07-09");
    const Taken taken = takenFrom(again);
    EXPECT_EQ(taken.files, files_ - 1);
    // Its thumbnails (its content's, day's and month's, plain and highlighted) are drawn again.
    EXPECT_EQ(taken.thumbnails, taken.ofThumbnails - 6);
    EXPECT_EQ(clitest::folderContents(project()), fresh());
}

TEST_F(ImportCache, AChangedSidecarIsReadAgainThoughItsFileIsNot) {
    ASSERT_EQ(import(project()).status, 0);
    EXPECT_EQ(dateOf(project(), "d.jpg"), "2024-06-01");
    EXPECT_EQ(dateOf(project(), "a.jpg"), "2024-05-01");
    // The same length, another day; d.jpg itself is untouched.
    clitest::writeFile(in() / "d.jpg.xmp", sidecar("2024-06-02T09:00:00"));
    // a.jpg gets a sidecar of the second name tried.
    clitest::writeFile(in() / "a.xmp", sidecar("2022-01-01T09:00:00"));
    const CommandResult again = import(project());
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(dateOf(project(), "d.jpg"), "2024-06-02");
    EXPECT_EQ(dateOf(project(), "a.jpg"), "2022-01-01");
    EXPECT_EQ(takenFrom(again).files, files_ - 2);
    EXPECT_EQ(clitest::folderContents(project()), fresh());

    // A sidecar taken away: the file's own date again.
    fs::remove(in() / "a.xmp");
    ASSERT_EQ(import(project()).status, 0);
    EXPECT_EQ(dateOf(project(), "a.jpg"), "2024-05-01");
}

TEST_F(ImportCache, OnlyTheFilesAddedAreRead) {
    ASSERT_EQ(import(project()).status, 0);
    media::makeJpeg(in() / "sub/f.jpg", 96, 64, {media::Pattern::Kind::Scene, 0x202080, 5},
                    {"2024:05:01 10:40:00", "", "", 0});
    media::makeJpeg(in() / "g.jpg", 96, 64, {media::Pattern::Kind::Scene, 0x208020, 6},
                    {"2025:01:01 10:00:00", "", "", 0});
    const CommandResult again = import(project());
    ASSERT_EQ(again.status, 0) << again.err;
    const Taken taken = takenFrom(again);
    EXPECT_EQ(taken.files, files_);
    EXPECT_EQ(taken.ofFiles, files_ + 2);
    // f.jpg joins a's content (its thumbnails are still a's); g.jpg is a new year, month, day
    // and content: 4 thumbnails, each plain and highlighted.
    EXPECT_EQ(taken.thumbnails, taken.ofThumbnails - 8);
    EXPECT_EQ(clitest::folderContents(project()), fresh());
}

TEST_F(ImportCache, AnEditedOrMissingPictureOfTheOldProjectIsDrawnAgain) {
    ASSERT_EQ(import(project()).status, 0);
    const auto written = clitest::folderContents(project());
    const fs::path content = project() / "art/media/Content_2024_05_04_1.png";
    std::string bytes = readFile(content);
    bytes[bytes.size() / 2] ^= 1;  // within the pixels: still a PNG of its size
    clitest::writeFile(content, bytes);
    fs::remove(project() / "art/media/Content_2024_05_04_1_hl.png");
    const CommandResult again = import(project());
    ASSERT_EQ(again.status, 0) << again.err;
    const Taken taken = takenFrom(again);
    EXPECT_EQ(taken.files, files_);
    EXPECT_EQ(taken.thumbnails, taken.ofThumbnails - 2);
    EXPECT_EQ(clitest::folderContents(project()), written);
}

TEST_F(ImportCache, ABrokenOrOldCacheIsNotUsed) {
    ASSERT_EQ(import(project()).status, 0);
    const auto written = clitest::folderContents(project());
    const fs::path cache = project() / ".merrowkit-import-cache";
    const std::string text = readFile(cache);
    struct Case {
        const char* what;
        std::string text;
        const char* note;
    };
    const Case cases[] = {
        {"cut short", text.substr(0, text.size() - 10), "not used: it is cut short"},
        {"of another version", "merrowkit-import-cache 0" + text.substr(text.find(' ', 23)),
         "not used: it is of another version (0)"},
        {"not a cache", "\x89PNG\r\n", "not used: it is not an import cache"},
        {"empty", "", "not used: it is empty or cut short"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        clitest::writeFile(cache, c.text);
        const CommandResult run = import(project());
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.err.find(project().string() + "/.merrowkit-import-cache: " + c.note + "\n"),
                  std::string::npos)
            << run.err;
        EXPECT_EQ(takenFrom(run), (Taken{0, files_, 0, thumbnails(project())}));
        EXPECT_EQ(clitest::folderContents(project()), written);
    }
}

TEST_F(ImportCache, AnotherTimeZoneReadsEveryFileAgain) {
    ASSERT_EQ(import(project()).status, 0);
    // Thirteen hours east of UTC, written as POSIX TZ: the photo dated by its modification
    // time (12:00 UTC) moves to the next day; the EXIF dates stay.
    const std::string east = "XYZ-13";
    const CommandResult again = import(project(), {}, east);
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_NE(again.err.find(".merrowkit-import-cache: every file is read again: the time zone "
                             "changed\n"),
              std::string::npos)
        << again.err;
    const Taken taken = takenFrom(again);
    EXPECT_EQ(taken.files, 0);
    EXPECT_EQ(dateOf(project(), "sub/c.png"), "2024-05-03");
    // The pictures do not depend on the zone: those of the same sources are taken.
    EXPECT_GT(taken.thumbnails, 0);
    EXPECT_EQ(clitest::folderContents(project()), fresh(east));
}

TEST_F(ImportCache, TheMediaFolderMayBeNamedAnotherWay) {
    // Named relative to the working folder first, then absolute: the same folder, the same
    // cache; the broken sidecar's note names it as this run names the folder.
    const CommandResult first = runMerrowkit({"import", "media", "-o", project().string(), "-v"},
                                             folder_.path(), {"TZ=UTC"});
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_NE(first.err.find(": media/e.jpg.xmp:"), std::string::npos) << first.err;
    const CommandResult second = import(project());
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(takenFrom(second).files, files_);
    const CommandResult uncached = import(project(), {"--no-cache"});
    ASSERT_EQ(uncached.status, 0) << uncached.err;
    EXPECT_NE(second.err.find((in() / "e.jpg.xmp").string() + ":"), std::string::npos)
        << second.err;
    EXPECT_EQ(messagesOf(second, project()), messagesOf(uncached, project()));
}

// Exact copies are compared again only where a file of their size was added, changed or
// removed; elsewhere the previous import's decision stands.
TEST_F(ImportCache, DuplicatesAreComparedAgainOnlyWhereTheirFilesChanged) {
    fs::copy_file(in() / "a.jpg", in() / "sub/a copy.jpg");
    fs::copy_file(in() / "a.jpg", in() / "z.jpg");
    const auto leftOut = [](const CommandResult& run) {
        static const std::regex kCount(R"(; (\d+) duplicates? left out)");
        std::smatch match;
        return std::regex_search(run.out, match, kCount) ? std::stoi(match[1]) : 0;
    };
    const CommandResult first = import(project());
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(leftOut(first), 2);

    // The first of the three gone: the next in byte order of the paths is kept.
    fs::remove(in() / "a.jpg");
    const CommandResult removed = import(project());
    ASSERT_EQ(removed.status, 0) << removed.err;
    EXPECT_EQ(leftOut(removed), 1);
    EXPECT_EQ(clitest::folderContents(project()), fresh());

    // The last one is now another photo of the same size.
    std::string bytes = readFile(in() / "z.jpg");
    bytes[bytes.size() - 3] ^= 0x10;
    clitest::writeFile(in() / "z.jpg", bytes);
    const CommandResult changed = import(project());
    ASSERT_EQ(changed.status, 0) << changed.err;
    EXPECT_EQ(leftOut(changed), 0);
    EXPECT_EQ(clitest::folderContents(project()), fresh());

    // Nothing changed (as far as sizes and times tell): nothing is compared.
    fs::copy_file(in() / "sub/a copy.jpg", in() / "sub/b copy.jpg");
    ASSERT_EQ(import(project()).status, 0);
    const auto written = clitest::folderContents(project());
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(in())) {
        if (entry.is_regular_file()) replaceKeepingStamp(entry.path());
    }
    const CommandResult again = import(project());
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(leftOut(again), 1);
    EXPECT_EQ(clitest::folderContents(project()), written);
}

TEST_F(ImportCache, AProjectWithItsCacheIsReplacedButNotOneWithOtherFiles) {
    ASSERT_EQ(import(project()).status, 0);
    ASSERT_TRUE(fs::is_regular_file(project() / ".merrowkit-import-cache"));
    clitest::writeFile(project() / "notes.txt", "mine");
    const CommandResult stray = import(project());
    EXPECT_EQ(stray.status, 2);
    EXPECT_NE(stray.err.find("notes.txt"), std::string::npos) << stray.err;
    EXPECT_EQ(readFile(project() / "notes.txt"), "mine");
    fs::remove(project() / "notes.txt");

    // Its cache's name on a folder is not the import's either.
    fs::remove(project() / ".merrowkit-import-cache");
    fs::create_directory(project() / ".merrowkit-import-cache");
    const CommandResult folder = import(project());
    EXPECT_EQ(folder.status, 2);
    EXPECT_NE(folder.err.find("'.merrowkit-import-cache'"), std::string::npos) << folder.err;
    EXPECT_TRUE(fs::is_directory(project() / ".merrowkit-import-cache"));
}

}  // namespace
