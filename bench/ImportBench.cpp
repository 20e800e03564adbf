// import-bench N WORK_DIR MERROWKIT [ARGS...]: measures `merrowkit import` on a collection of N
// photos of 4000x3000 and a few short videos.
//
// The collection (WORK_DIR/photos-N) is made once and kept: JPEGs at quality 85 of a cheap
// photo-like pattern (a gradient, a few soft patches and a grain; 24 distinct pictures, each
// photo a copy of one with EXIF of its own, so that making 2,000 takes a minute), with EXIF
// DateTimeOriginal;
// a new content every two to four photos (the next one taken hours or days later), every tenth
// photo stored sideways (orientation 6), and three videos of two seconds. The same N gives the
// same files.
//
// The collection is read once first (as the floor's photos are), then the import runs as a
// child process (MERROWKIT import COLLECTION -o WORK_DIR/import-N -q
// ARGS...); its wall time, CPU time (user + system) and peak resident memory come from wait4's
// resource usage. Then the floor is measured in the same run: libjpeg-turbo decoding the photos
// the import has to draw (the first photo of each content, as its plan says), each at the
// smallest DCT scale (1/2, 1/4, 1/8) that still gives at least twice the largest thumbnail it
// is drawn to, spread over two threads.
//
// Last the import runs again on the same collection into the same project folder, as a user
// imports an unchanged folder a second time: it finds the first run's cache there. Its wall
// time, CPU time and peak memory are printed with their ratios to the first run's.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
// jpeglib.h needs FILE declared first.
#include <jpeglib.h>

#include <exiv2/exiv2.hpp>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "bench/PhotoPattern.h"
#include "cli/import/ArtPlan.h"
#include "cli/import/Calendar.h"
#include "cli/import/Design.h"
#include "cli/import/ImportCommand.h"
#include "cli/import/MediaReader.h"
#include "samples/tools/MediaMaker.h"

namespace {

namespace fs = std::filesystem;
namespace media = merrowtest::media;

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
constexpr int kVideos = 3;
constexpr int kPictures = 24;  // distinct pictures among the photos
// Written into the collection when it is complete; a different text makes it again.
constexpr const char* kCollectionVersion = "photos 2\n";

using merrowbench::Random;

struct PhotoRecipe {
    std::string name;
    std::time_t taken = 0;
    int orientation = 0;
    uint32_t seed = 0;
};

std::string exifTime(std::time_t moment) {
    std::tm parts{};
    gmtime_r(&moment, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y:%m:%d %H:%M:%S", &parts);
    return text;
}

// The photos' names, times and seeds: two to four photos minutes apart, then hours or days
// later the next group.
std::vector<PhotoRecipe> recipes(int count) {
    std::vector<PhotoRecipe> photos;
    Random random(4000u * 3000u + static_cast<uint32_t>(count));
    std::time_t moment = 1420106400;  // 2015-01-01 10:00:00 UTC
    int left = 0;
    for (int i = 0; i < count; ++i) {
        if (left == 0) {
            left = 2 + random.below(3);
            moment += 3 * 3600 + random.below(5 * 24 * 3600);
        } else {
            moment += 60 + random.below(600);
        }
        --left;
        PhotoRecipe photo;
        char name[32];
        std::snprintf(name, sizeof name, "P%05d.jpg", i + 1);
        photo.name = name;
        photo.taken = moment;
        photo.orientation = i % 10 == 9 ? 6 : 1;
        photo.seed = random.next();
        photos.push_back(photo);
    }
    return photos;
}

// A photo-like picture: a gradient, five soft patches and a grain of +-12.
merrowcli::import::Picture photoPicture(uint32_t seed) {
    Random random(seed);
    merrowcli::import::Picture picture;
    picture.width = kWidth;
    picture.height = kHeight;
    picture.rgba.resize(static_cast<size_t>(kWidth) * kHeight * 4);
    merrowbench::PhotoPattern pattern;
    pattern.width = kWidth;
    pattern.height = kHeight;
    pattern.channels = 4;
    pattern.smallestPatch = 200;
    pattern.patchRange = 900;
    pattern.grain = 12;
    merrowbench::drawPhotoPattern(random, pattern, picture.rgba.data());
    return picture;
}

// Runs jobs 0..count-1 on two threads.
template <typename Job>
void onTwoThreads(int count, Job job) {
    std::atomic<int> next{0};
    auto work = [&] {
        for (int i = next++; i < count; i = next++) job(i);
    };
    std::thread other(work);
    work();
    other.join();
}

void makeCollection(const fs::path& folder, int count) {
    if (std::ifstream(folder / ".complete").good()) {
        std::ifstream in(folder / ".complete");
        std::string version((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (version == kCollectionVersion) return;
    }
    std::fprintf(stderr, "making %d photos in %s\n", count, folder.c_str());
    fs::remove_all(folder);
    fs::create_directories(folder);
    Exiv2::XmpParser::initialize();
    const std::vector<PhotoRecipe> photos = recipes(count);
    // A few distinct pictures, encoded once; each photo is a copy of one with EXIF of its own
    // (so no two files are the same bytes).
    const fs::path pictures = folder / ".pictures";
    fs::create_directories(pictures);
    std::atomic<bool> failed{false};
    onTwoThreads(kPictures, [&](int i) {
        try {
            media::makeJpeg(pictures / (std::to_string(i) + ".jpg"),
                            photoPicture(0x5eed0000u + static_cast<uint32_t>(i)), {}, 85);
        } catch (const std::exception& error) {
            std::fprintf(stderr, "import-bench: %s\n", error.what());
            failed = true;
        }
    });
    for (size_t i = 0; i < photos.size() && !failed; ++i) {
        const fs::path file = folder / photos[i].name;
        try {
            fs::copy_file(pictures / (std::to_string(photos[i].seed % kPictures) + ".jpg"), file);
            auto image = Exiv2::ImageFactory::open(file.string());
            image->readMetadata();
            Exiv2::ExifData exif;
            exif["Exif.Photo.DateTimeOriginal"] = exifTime(photos[i].taken);
            exif["Exif.Image.Orientation"] = static_cast<uint16_t>(photos[i].orientation);
            image->setExifData(exif);
            image->writeMetadata();
        } catch (const std::exception& error) {
            std::fprintf(stderr, "import-bench: %s: %s\n", file.c_str(), error.what());
            failed = true;
        }
    }
    fs::remove_all(pictures);
    if (failed) throw std::runtime_error("the collection could not be made");
    if (media::canMakeVideos()) {
        for (int v = 0; v < kVideos; ++v) {
            media::VideoRecipe recipe;
            recipe.width = 320;
            recipe.height = 240;
            recipe.seconds = 2;
            recipe.colours = {0x3070b0u + static_cast<uint32_t>(v) * 0x101010u, 0xc08040};
            recipe.chapters = {{0, "Start"}, {1, "Later"}};
            const std::time_t taken =
                photos[static_cast<size_t>(count * (v + 1) / (kVideos + 1))].taken + 1800;
            std::string when = exifTime(taken);
            when[4] = '-';
            when[7] = '-';
            when[10] = 'T';
            recipe.creationTime = when + "Z";
            media::makeVideo(folder / ("V" + std::to_string(v + 1) + ".mp4"), recipe);
        }
    } else {
        std::fprintf(stderr, "import-bench: no ffmpeg program: the collection has no videos\n");
    }
    std::ofstream(folder / ".complete") << kCollectionVersion;
}

double secondsOf(const timeval& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

struct ChildUsage {
    int status = -1;
    double wall = 0;
    double cpu = 0;
    long peakKb = 0;
};

ChildUsage runChild(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ChildUsage usage;
    const auto started = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execv(argv[0], argv.data());
        _exit(127);
    }
    rusage resources{};
    int status = 0;
    if (child < 0 || wait4(child, &status, 0, &resources) != child) return usage;
    usage.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    usage.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    usage.cpu = secondsOf(resources.ru_utime) + secondsOf(resources.ru_stime);
    usage.peakKb = resources.ru_maxrss;
    return usage;
}

// The largest denominator of 2, 4 and 8 whose scaled picture (upright) still covers twice the
// largest thumbnail; 1 when none does.
int scaleDenominator(int width, int height, int orientation, int thumbWidth, int thumbHeight) {
    if (orientation >= 5 && orientation <= 8) std::swap(width, height);
    for (const int denominator : {8, 4, 2}) {
        const int scaledWidth = (width + denominator - 1) / denominator;
        const int scaledHeight = (height + denominator - 1) / denominator;
        if (scaledWidth >= 2 * thumbWidth && scaledHeight >= 2 * thumbHeight) return denominator;
    }
    return 1;
}

struct JpegFailure {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void onJpegError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegFailure*>(info->err)->jump, 1);
}

// Decodes a JPEG at 1/denominator of its size; false when it cannot.
bool decodeScaled(const fs::path& file, int denominator) {
    std::FILE* in = std::fopen(file.c_str(), "rb");
    if (in == nullptr) return false;
    jpeg_decompress_struct info{};
    JpegFailure failure{};
    info.err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = onJpegError;
    std::vector<uint8_t> rows;
    if (setjmp(failure.jump) != 0) {
        jpeg_destroy_decompress(&info);
        std::fclose(in);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, in);
    jpeg_read_header(&info, TRUE);
    info.scale_num = 1;
    info.scale_denom = static_cast<unsigned>(denominator);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    rows.resize(static_cast<size_t>(info.output_width) * info.output_height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row =
            rows.data() + static_cast<size_t>(info.output_scanline) * info.output_width * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(in);
    return true;
}

struct Floor {
    int photos = 0;
    std::map<int, int> byScale;  // denominator, photos
    double seconds = 0;
};

// The photos the import draws and the sizes it draws them at, found as the import finds them.
Floor measureFloor(const fs::path& collection) {
    merrowcli::import::Design design;
    std::string error;
    if (!design.load(merrowcli::ImportCommand::defaultDesignFolder(), &error)) {
        throw std::runtime_error(error);
    }
    std::vector<merrowcli::import::SkippedFile> skipped;
    std::vector<merrowcli::import::MediaItem> items;
    for (const merrowcli::import::MediaFile& file :
         merrowcli::import::listMedia(collection, &skipped)) {
        std::string reason;
        if (auto item = merrowcli::import::readMedia(collection, file, &reason)) {
            items.push_back(std::move(*item));
        }
    }
    const merrowcli::import::Calendar calendar =
        merrowcli::import::makeCalendar(std::move(items), 2.0);
    const merrowcli::import::ArtPlan plan = merrowcli::import::planArt(calendar, design.sizes());
    std::map<size_t, std::pair<int, int>> largest;  // photo item, largest thumbnail
    for (const merrowcli::import::ThumbnailJob& job : plan.thumbnails) {
        if (calendar.media[job.item].kind != merrowcli::import::MediaKind::kPhoto) continue;
        auto& size = largest[job.item];
        size.first = std::max(size.first, job.size.width);
        size.second = std::max(size.second, job.size.height);
    }
    std::vector<std::pair<fs::path, int>> decodes;
    Floor floor;
    for (const auto& [item, size] : largest) {
        const merrowcli::import::MediaItem& photo = calendar.media[item];
        const int denominator =
            scaleDenominator(kWidth, kHeight, photo.orientation, size.first, size.second);
        decodes.emplace_back(collection / photo.path, denominator);
        ++floor.byScale[denominator];
    }
    floor.photos = static_cast<int>(decodes.size());
    // The files are read once first, so that the floor measures decoding, not the disk.
    for (const auto& decode : decodes) {
        std::ifstream in(decode.first, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
    }
    std::atomic<bool> failed{false};
    const auto started = std::chrono::steady_clock::now();
    onTwoThreads(static_cast<int>(decodes.size()), [&](int i) {
        if (!decodeScaled(decodes[static_cast<size_t>(i)].first,
                          decodes[static_cast<size_t>(i)].second))
            failed = true;
    });
    floor.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (failed) throw std::runtime_error("a photo could not be decoded for the floor");
    return floor;
}

// Reads every file of the collection once, so that the import, like the floor, measures the
// work on the files and not the disk they come from.
void readOnce(const fs::path& collection) {
    std::vector<char> buffer(1 << 20);
    for (const auto& entry : fs::recursive_directory_iterator(collection)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()))) {
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: import-bench N WORK_DIR MERROWKIT [ARGS...]\n");
        return 2;
    }
    const int count = std::atoi(argv[1]);
    if (count < 1 || count > 100000) {
        std::fprintf(stderr, "import-bench: N must be 1 to 100000\n");
        return 2;
    }
    const fs::path work = argv[2];
    const fs::path collection = work / ("photos-" + std::to_string(count));
    const fs::path project = work / ("import-" + std::to_string(count));
    try {
        makeCollection(collection, count);
        std::vector<std::string> arguments = {argv[3], "import",         collection.string(),
                                              "-o",    project.string(), "-q"};
        for (int i = 4; i < argc; ++i) arguments.emplace_back(argv[i]);
        readOnce(collection);
        const ChildUsage usage = runChild(arguments);
        if (usage.status != 0) {
            std::fprintf(stderr, "import-bench: the import ended with status %d\n", usage.status);
            return 1;
        }
        const ChildUsage again = runChild(arguments);
        if (again.status != 0) {
            std::fprintf(stderr, "import-bench: the second import ended with status %d\n",
                         again.status);
            return 1;
        }
        const Floor floor = measureFloor(collection);
        std::string scales;
        for (const auto& [denominator, photos] : floor.byScale) {
            if (!scales.empty()) scales += ",";
            scales += std::to_string(photos);
            scales += "@1/";
            scales += std::to_string(denominator);
        }
        std::printf("%-6s %-6s %8s %8s %8s %8s %8s %s\n", "photos", "import", "wall_s", "cpu_s",
                    "peak_MB", "floor_s", "wall/fl", "drawn");
        std::printf("%-6d %-6s %8.2f %8.2f %8ld %8.2f %8.2f %s\n", count, "first", usage.wall,
                    usage.cpu, usage.peakKb / 1024, floor.seconds, usage.wall / floor.seconds,
                    scales.c_str());
        std::printf("%-6d %-6s %8.2f %8.2f %8ld\n", count, "second", again.wall, again.cpu,
                    again.peakKb / 1024);
        std::printf("%-6d second/first: wall %.4f, cpu %.4f, peak %.2f\n", count,
                    again.wall / usage.wall, again.cpu / usage.cpu,
                    static_cast<double>(again.peakKb) / static_cast<double>(usage.peakKb));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "import-bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
