// Fuzz target: the import's media reading. The first byte of the input picks the file's name
// (a photo .jpg, .png or .heic, a video .mp4, .mkv, .m2ts, .avi or .mov; the seeds' first bytes
// are the digits '0' to '7'); the rest is the file. It is read as
// the import reads a media file (its date, orientation, length and chapters) and, when that
// succeeds, drawn as the import draws it: the photo turned upright or the video's frame at a
// tenth of its length, as a thumbnail and its highlighted variant, and the first chapter's
// title as a text picture.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "cli/import/MediaReader.h"
#include "cli/import/art/PhotoReader.h"
#include "cli/import/art/TextPicture.h"
#include "cli/import/art/Thumbnail.h"
#include "cli/import/art/VideoFrame.h"
#include "fuzz/FuzzSupport.h"

namespace {

namespace import = merrowcli::import;

struct Name {
    const char* file;
    import::MediaKind kind;
};
constexpr Name kNames[] = {
    {"photo.jpg", import::MediaKind::kPhoto},  {"photo.png", import::MediaKind::kPhoto},
    {"video.mp4", import::MediaKind::kVideo},  {"video.mkv", import::MediaKind::kVideo},
    {"video.m2ts", import::MediaKind::kVideo}, {"video.avi", import::MediaKind::kVideo},
    {"photo.heic", import::MediaKind::kPhoto}, {"video.mov", import::MediaKind::kVideo},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const Name& name = kNames[data[0] % (sizeof kNames / sizeof kNames[0])];
    const auto folder = fuzzsupport::projectFolder() / "media";
    static const bool made = [&] {
        std::filesystem::create_directories(folder);
        return true;
    }();
    (void)made;
    fuzzsupport::writeBytes(folder / name.file, data + 1, size - 1);

    std::string reason;
    const std::optional<import::MediaItem> item =
        import::readMedia(folder, {name.file, name.kind}, &reason);
    if (!item) return 0;
    std::string error;
    const std::optional<import::Picture> picture =
        name.kind == import::MediaKind::kPhoto
            ? import::readPhoto(folder / name.file, item->orientation, error)
            : import::readVideoFrame(folder / name.file, item->duration / 10, error);
    if (picture) import::highlighted(import::fillTo(*picture, 64, 36));
    if (!item->chapters.empty())
        import::textPicture(item->chapters.front().title, 96, 24, 0xffffff);
    return 0;
}
