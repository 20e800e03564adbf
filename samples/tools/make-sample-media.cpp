// Makes the shipped sample media folder that the README's set-up run imports:
//
//   merrowkit_make_sample_media MEDIA_DIR
//
// removes MEDIA_DIR/2023 and MEDIA_DIR/2024 and writes into them 44 small JPEG photos (320x180
// drawn scenes, EXIF DateTimeOriginal, a few stored sideways or upside down with the EXIF
// orientation that turns them upright) and two 2-second videos with two titled chapters and a
// creation time (noon UTC, the same day in most time zones). The dates cross a year's end
// (2023-12-31 to 2024-01-01) and a leap day (2024-02-29). No modification times are used: git
// does not keep them. Nothing depends on clocks or randomness, so the same libjpeg, libexiv2
// and ffmpeg give the same bytes.

#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/import/art/PhotoReader.h"
#include "samples/tools/MediaMaker.h"

namespace {

namespace fs = std::filesystem;
namespace media = merrowtest::media;

struct Photo {
    const char* date;  // YYYY-MM-DD
    const char* time;  // HH:MM
    int orientation;   // 0: none written
};

// The outings of the two years; within a day, photos more than two hours apart start a new
// slideshow content.
const Photo kPhotos[] = {
    {"2023-03-18", "10:00", 0}, {"2023-03-18", "10:20", 0}, {"2023-03-18", "14:40", 6},
    {"2023-05-06", "09:15", 0}, {"2023-05-06", "09:50", 1}, {"2023-07-02", "15:30", 0},
    {"2023-07-14", "18:30", 0}, {"2023-07-14", "19:05", 0}, {"2023-07-14", "22:40", 8},
    {"2023-08-21", "11:00", 0}, {"2023-08-21", "11:45", 0}, {"2023-10-31", "17:30", 3},
    {"2023-10-31", "20:10", 0}, {"2023-12-24", "17:00", 0}, {"2023-12-24", "17:25", 6},
    {"2023-12-31", "22:00", 0}, {"2023-12-31", "23:10", 0}, {"2023-12-31", "23:50", 6},
    {"2024-01-01", "00:20", 0}, {"2024-01-01", "11:00", 0}, {"2024-02-14", "20:00", 0},
    {"2024-02-29", "08:30", 0}, {"2024-02-29", "09:10", 8}, {"2024-02-29", "15:00", 0},
    {"2024-02-29", "15:40", 0}, {"2024-04-13", "10:05", 0}, {"2024-04-13", "10:35", 0},
    {"2024-04-13", "16:20", 3}, {"2024-06-21", "05:50", 0}, {"2024-06-21", "06:10", 0},
    {"2024-06-21", "21:30", 0}, {"2024-08-03", "12:00", 6}, {"2024-08-03", "12:30", 0},
    {"2024-08-03", "13:15", 0}, {"2024-08-17", "10:00", 0}, {"2024-08-17", "10:40", 0},
    {"2024-09-15", "14:00", 0}, {"2024-09-15", "17:45", 0}, {"2024-11-28", "13:00", 0},
    {"2024-11-28", "13:40", 8}, {"2024-11-28", "19:00", 0}, {"2024-12-25", "09:00", 0},
    {"2024-12-25", "09:30", 0}, {"2024-12-25", "16:00", 0},
};

// The sky's tint by month: cool in winter, warm in summer.
const std::uint32_t kSky[12] = {0x7890b0, 0x8098b8, 0x70a0d0, 0x68a8e0, 0x60b0f0, 0x58b8ff,
                                0x50b0ff, 0x60a8f0, 0x80a0d0, 0xc09070, 0x9090a0, 0x6880a8};

// The stored pixels of a picture that the EXIF orientation turns back to `shown`.
merrowcli::import::Picture storedFor(const merrowcli::import::Picture& shown, int orientation) {
    // 6 (shown turned clockwise) is undone by 8 and the other way round; 3 undoes itself.
    const int inverse = orientation == 6 ? 8 : orientation == 8 ? 6 : orientation;
    return merrowcli::import::orientPicture(shown, inverse);
}

void makeMedia(const fs::path& folder) {
    for (const char* year : {"2023", "2024"}) {
        fs::remove_all(folder / year);
        fs::create_directories(folder / year);
    }
    unsigned seed = 1;
    for (const Photo& photo : kPhotos) {
        const std::string date = photo.date;
        const std::string time = photo.time;
        const int month = std::stoi(date.substr(5, 2));
        const fs::path file = folder / date.substr(0, 4) /
                              (date + "_" + time.substr(0, 2) + time.substr(3, 2) + ".jpg");
        const merrowcli::import::Picture shown =
            media::makePicture(320, 180, {media::Pattern::Kind::Scene, kSky[month - 1], seed++});
        media::ExifFields exif;
        exif.dateTimeOriginal = date.substr(0, 4) + ":" + date.substr(5, 2) + ":" +
                                date.substr(8, 2) + " " + time + ":00";
        exif.orientation = photo.orientation;
        media::makeJpeg(file, storedFor(shown, photo.orientation), exif, 80);
    }

    media::VideoRecipe fireworks;
    fireworks.width = 192;
    fireworks.height = 108;
    fireworks.framesPerSecond = 10;
    fireworks.seconds = 2;
    fireworks.colours = {0x101848, 0xd04080};
    fireworks.chapters = {{0, "Boats on the river"}, {1, "Fireworks"}};
    fireworks.creationTime = "2023-07-14T12:00:00Z";
    media::makeVideo(folder / "2023" / "2023-07-14_fireworks.mp4", fireworks);

    media::VideoRecipe party;
    party.width = 192;
    party.height = 108;
    party.framesPerSecond = 10;
    party.seconds = 2;
    party.colours = {0xe0b040, 0x40a060};
    party.chapters = {{0, "Candles"}, {1, "The leap-day cake"}};
    party.creationTime = "2024-02-29T12:00:00Z";
    media::makeVideo(folder / "2024" / "2024-02-29_party.mp4", party);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s MEDIA_DIR\n", argv[0]);
        return 2;
    }
    try {
        makeMedia(argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
