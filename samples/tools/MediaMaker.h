#pragma once
// Makes photos and videos for the import's tests and for the sample media: JPEGs with EXIF dates
// and orientations (written with libexiv2), PNGs without EXIF, modification times, and short
// videos with chapters and a creation time (made with the ffmpeg program). Every function throws
// std::runtime_error naming the file when it cannot make it.

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/import/art/Picture.h"

namespace merrowtest::media {

// What a made picture shows.
struct Pattern {
    enum class Kind {
        Solid,    // colour everywhere
        Corners,  // colour, with a square block in each corner (an eighth of the shorter side
                  // wide): top left red, top right green, bottom left blue, bottom right white
        Stripes,  // one-pixel vertical stripes, black and white, starting with black
        Scene,    // a sky, hills and a sun; colour tints the sky and seed places the rest
    };
    Kind kind = Kind::Solid;
    std::uint32_t colour = 0x808080;  // 0xRRGGBB
    unsigned seed = 0;
};

// The corner blocks of Pattern::Kind::Corners.
constexpr std::uint32_t kTopLeft = 0xff0000;
constexpr std::uint32_t kTopRight = 0x00ff00;
constexpr std::uint32_t kBottomLeft = 0x0000ff;
constexpr std::uint32_t kBottomRight = 0xffffff;

// EXIF fields of a made JPEG; an empty date or a 0 orientation is not written. Dates are in
// EXIF's form "YYYY:MM:DD HH:MM:SS".
struct ExifFields {
    std::string dateTimeOriginal;
    std::string dateTimeDigitized;
    std::string dateTime;
    int orientation = 0;
};

// The pixels of a pattern (opaque).
merrowcli::import::Picture makePicture(int width, int height, const Pattern& pattern);

// A baseline JPEG of the pattern; EXIF is added only when a field is set.
void makeJpeg(const std::filesystem::path& file, int width, int height, const Pattern& pattern,
              const ExifFields& exif = {}, int quality = 90);
// A JPEG of the given pixels, stored as they are (the EXIF orientation only tells a viewer how to
// turn them).
void makeJpeg(const std::filesystem::path& file, const merrowcli::import::Picture& picture,
              const ExifFields& exif = {}, int quality = 90);
// Whether libheif has an encoder for HEIC (x265) on this machine.
bool canMakeHeic();
// A HEIC of the given pixels (HEVC, lossy, made with libheif's encoder), stored as they are; a
// transform of 2..8 (as EXIF's orientation values) is written as the file's own rotation and
// mirror (irot, imir) that a viewer applies. EXIF fields go into its EXIF block.
void makeHeic(const std::filesystem::path& file, const merrowcli::import::Picture& picture,
              const ExifFields& exif = {}, int transform = 1);
// Adds (or replaces) one EXIF text field of a made JPEG, such as "Exif.Photo.SubSecTimeOriginal"
// or "Exif.Photo.OffsetTimeOriginal", keeping the fields it has.
void setExifText(const std::filesystem::path& file, const std::string& key,
                 const std::string& value);
// An RGBA PNG of the pattern, with no EXIF and no time chunk.
void makePng(const std::filesystem::path& file, int width, int height, const Pattern& pattern);

// Sets the file's modification (and access) time, seconds since 1970 UTC.
void setModificationTime(const std::filesystem::path& file, std::time_t when);
// The seconds since 1970 UTC of a local date and time under the current TZ (mktime).
std::time_t localTime(int year, int month, int day, int hour, int minute, int second = 0);

struct Chapter {
    double start = 0;   // seconds
    std::string title;  // empty: no title written
};

struct VideoRecipe {
    int width = 160;
    int height = 120;
    int framesPerSecond = 10;
    double seconds = 3;
    // The video shows these colours one after another for equal parts of its length (at least
    // one); a frame is therefore flat in one colour.
    std::vector<std::uint32_t> colours = {0x2060c0};
    std::vector<Chapter> chapters;  // in start order; empty: no chapters written
    std::string creationTime;       // "2024-03-01T10:00:00Z"; empty: not written
    // Further tags of the file, written as metadata keys (a .mov's "com.apple.quicktime.*").
    std::vector<std::pair<std::string, std::string>> tags;
    // A band of this colour across the top of the stored frame (a sixth of its height).
    std::optional<std::uint32_t> marker;
    int keyFrameEvery = 5;        // frames from one key frame to the next
    std::string codec = "mpeg4";  // ffmpeg's encoder ("libx264": H.264, as camcorders write)
    // The stream's display rotation as ffmpeg's "rotate" tag gives it (0: no display matrix).
    int rotate = 0;
};

// Whether the ffmpeg program is on PATH (tests that need videos skip without it).
bool canMakeVideos();
// The video the recipe describes, in the container the file's extension names (.mp4, .mkv,
// .mov, ...), MPEG-4 part 2 with a key frame every keyFrameEvery frames, no audio, bit-exact flags
// set, so the same recipe gives the same bytes with the same ffmpeg.
void makeVideo(const std::filesystem::path& file, const VideoRecipe& recipe);

}  // namespace merrowtest::media
