#pragma once
// The photos of a project's slideshow on the disc: every photo that slideshow.xml lists (in its
// order) becomes BDMV/JAR/00001/slides/NNNNN.jpg (N from 0), turned upright by its recorded
// EXIF orientation and fitted into 1920 x 1080 with black bars, which the player shows as they
// are.

#include <filesystem>
#include <string>
#include <vector>

namespace merrowcli::disc {

inline constexpr int kSlideWidth = 1920;
inline constexpr int kSlideHeight = 1080;

struct SlidePhoto {
    std::filesystem::path file;  // resolved against the media folder
    int orientation = 1;
};

struct Slideshow {
    int secondsPerPhoto = 3;
    std::vector<SlidePhoto> photos;
};

// Reads PROJECT/slideshow.xml (none: an empty slideshow, true). Paths are percent-decoded and
// taken against the media folder that project.xml's `media` records (relative to the project
// folder), else against the project folder. False with *error, one line naming the file.
bool readSlideshow(const std::filesystem::path& projectFolder, Slideshow* slideshow,
                   std::string* error);

// The photo fitted: width x height R, G, B bytes, the picture centred at the largest size that
// fits, the rest black (a transparent pixel shows black too).
std::vector<uint8_t> fittedSlide(const std::vector<uint8_t>& rgba, int pictureWidth,
                                 int pictureHeight, int width, int height);

// Writes folder/NNNNN.jpg for every photo. A photo that cannot be read gives a warning naming
// it and a black slide, so that the frames keep their numbers. False with *error when a file
// cannot be written.
bool writeSlides(const Slideshow& slideshow, const std::filesystem::path& folder,
                 std::string* error);

}  // namespace merrowcli::disc
