#include "samples/tools/MediaMaker.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <libheif/heif.h>

#include <exiv2/exiv2.hpp>
#pragma GCC diagnostic pop

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

#include "cli/import/art/PngFile.h"
#include "host/pictures/JpegWriter.h"

namespace merrowtest::media {

namespace fs = std::filesystem;
using merrowcli::import::Picture;

namespace {

[[noreturn]] void fail(const fs::path& file, const std::string& why) {
    throw std::runtime_error(file.string() + ": " + why);
}

void put(Picture& picture, int x, int y, std::uint32_t rgb) {
    std::uint8_t* pixel = &picture.rgba[(static_cast<size_t>(y) * picture.width + x) * 4];
    pixel[0] = static_cast<std::uint8_t>(rgb >> 16);
    pixel[1] = static_cast<std::uint8_t>(rgb >> 8);
    pixel[2] = static_cast<std::uint8_t>(rgb);
    pixel[3] = 255;
}

std::uint32_t mix(std::uint32_t a, std::uint32_t b, double t) {
    std::uint32_t result = 0;
    for (int shift = 16; shift >= 0; shift -= 8) {
        const double from = (a >> shift) & 0xff;
        const double to = (b >> shift) & 0xff;
        result |= static_cast<std::uint32_t>(std::lround(from + (to - from) * t)) << shift;
    }
    return result;
}

// A small deterministic generator for the scene's placement (the same seed, the same scene).
unsigned nextRandom(unsigned& state) {
    state = state * 1103515245u + 12345u;
    return (state >> 16) & 0x7fff;
}

void drawScene(Picture& picture, const Pattern& pattern) {
    const int w = picture.width;
    const int h = picture.height;
    unsigned state = pattern.seed * 2654435761u + 1;
    const double sunX = w * (0.15 + 0.7 * (nextRandom(state) % 1000) / 1000.0);
    const double sunY = h * (0.12 + 0.25 * (nextRandom(state) % 1000) / 1000.0);
    const double sunR = std::min(w, h) * (0.06 + 0.06 * (nextRandom(state) % 1000) / 1000.0);
    const double phase = (nextRandom(state) % 1000) / 1000.0 * 6.283;
    const double waves = 1.0 + (nextRandom(state) % 3);
    const std::uint32_t hill = mix(0x3f7a3a, pattern.colour, 0.25);
    const std::uint32_t farHill = mix(0x6a9a5a, pattern.colour, 0.35);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double u = static_cast<double>(x) / w;
            const double v = static_cast<double>(y) / h;
            std::uint32_t rgb = mix(pattern.colour, 0xf4f0e0, v);
            const double far = 0.55 + 0.06 * std::sin(u * 6.283 * waves + phase);
            const double near = 0.72 + 0.05 * std::sin(u * 6.283 * (waves + 1) - phase);
            if (v > far) rgb = mix(farHill, 0x2a4a2a, (v - far) * 1.5);
            if (v > near) rgb = mix(hill, 0x1e3a1e, (v - near) * 2.0);
            const double dx = x - sunX;
            const double dy = y - sunY;
            if (v < far && dx * dx + dy * dy < sunR * sunR) rgb = 0xfff6d0;
            put(picture, x, y, rgb);
        }
    }
}

// The EXIF fields as libexiv2 keys.
Exiv2::ExifData exifDataOf(const ExifFields& exif) {
    Exiv2::ExifData data;
    if (!exif.dateTimeOriginal.empty()) data["Exif.Photo.DateTimeOriginal"] = exif.dateTimeOriginal;
    if (!exif.dateTimeDigitized.empty()) {
        data["Exif.Photo.DateTimeDigitized"] = exif.dateTimeDigitized;
    }
    if (!exif.dateTime.empty()) data["Exif.Image.DateTime"] = exif.dateTime;
    if (exif.orientation != 0) {
        data["Exif.Image.Orientation"] = static_cast<std::uint16_t>(exif.orientation);
    }
    return data;
}

void writeExif(const fs::path& file, const ExifFields& exif) {
    if (exif.dateTimeOriginal.empty() && exif.dateTimeDigitized.empty() && exif.dateTime.empty() &&
        exif.orientation == 0) {
        return;
    }
    try {
        auto image = Exiv2::ImageFactory::open(file.string());
        image->readMetadata();
        image->setExifData(exifDataOf(exif));
        image->writeMetadata();
    } catch (const Exiv2::AnyError& error) {
        fail(file, std::string("cannot write EXIF: ") + error.what());
    }
}

std::string hexColour(std::uint32_t rgb) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%06x", rgb & 0xffffffu);
    return text;
}

// ffmpeg's metadata file escapes '=', ';', '#', '\' and newlines with a backslash.
std::string metadataValue(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '=' || c == ';' || c == '#' || c == '\\' || c == '\n') out += '\\';
        out += c;
    }
    return out;
}

int run(const std::vector<std::string>& arguments, const fs::path& log) {
    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        std::FILE* out = std::freopen(log.c_str(), "w", stderr);
        (void)out;
        std::vector<char*> argv;
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    if (waitpid(child, &status, 0) < 0) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

Picture makePicture(int width, int height, const Pattern& pattern) {
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.rgba.assign(static_cast<size_t>(width) * height * 4, 255);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) put(picture, x, y, pattern.colour);
    }
    switch (pattern.kind) {
        case Pattern::Kind::Solid:
            break;
        case Pattern::Kind::Corners: {
            const int side = std::max(1, std::min(width, height) / 8);
            for (int y = 0; y < side; ++y) {
                for (int x = 0; x < side; ++x) {
                    put(picture, x, y, kTopLeft);
                    put(picture, width - 1 - x, y, kTopRight);
                    put(picture, x, height - 1 - y, kBottomLeft);
                    put(picture, width - 1 - x, height - 1 - y, kBottomRight);
                }
            }
            break;
        }
        case Pattern::Kind::Stripes:
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) put(picture, x, y, x % 2 == 0 ? 0 : 0xffffff);
            }
            break;
        case Pattern::Kind::Scene:
            drawScene(picture, pattern);
            break;
    }
    return picture;
}

void makeJpeg(const fs::path& file, const Picture& picture, const ExifFields& exif, int quality) {
    std::vector<std::uint8_t> rgb(static_cast<size_t>(picture.width) * picture.height * 3);
    for (size_t i = 0, n = rgb.size() / 3; i < n; ++i) {
        std::memcpy(&rgb[i * 3], &picture.rgba[i * 4], 3);
    }
    std::string error;
    if (!merrowhost::writeJpeg(fs::absolute(file).string(), picture.width, picture.height, 3,
                               rgb.data(), quality, &error)) {
        fail(file, error);
    }
    writeExif(file, exif);
}

void makeJpeg(const fs::path& file, int width, int height, const Pattern& pattern,
              const ExifFields& exif, int quality) {
    makeJpeg(file, makePicture(width, height, pattern), exif, quality);
}

void setExifText(const fs::path& file, const std::string& key, const std::string& value) {
    try {
        auto image = Exiv2::ImageFactory::open(file.string());
        image->readMetadata();
        Exiv2::ExifData data = image->exifData();
        data[key] = value;
        image->setExifData(data);
        image->writeMetadata();
    } catch (const Exiv2::AnyError& error) {
        fail(file, std::string("cannot write EXIF: ") + error.what());
    }
}

void makePng(const fs::path& file, int width, int height, const Pattern& pattern) {
    std::string error;
    if (!merrowcli::import::writePng(makePicture(width, height, pattern), file, error)) {
        throw std::runtime_error(error);
    }
}

void setModificationTime(const fs::path& file, std::time_t when) {
    const struct timespec times[2] = {{when, 0}, {when, 0}};
    if (utimensat(AT_FDCWD, file.c_str(), times, 0) != 0) fail(file, std::strerror(errno));
}

std::time_t localTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm parts{};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = hour;
    parts.tm_min = minute;
    parts.tm_sec = second;
    parts.tm_isdst = -1;
    return std::mktime(&parts);
}

bool canMakeVideos() {
    return std::system("ffmpeg -version >/dev/null 2>&1") == 0;
}

bool canMakeHeic() {
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    const heif_error error =
        heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder);
    if (encoder != nullptr) heif_encoder_release(encoder);
    heif_context_free(context);
    return error.code == heif_error_Ok;
}

void makeHeic(const fs::path& file, const Picture& picture, const ExifFields& exif, int transform) {
    const auto check = [&](const heif_error& error) {
        if (error.code != heif_error_Ok) fail(file, std::string("libheif: ") + error.message);
    };
    std::unique_ptr<heif_context, void (*)(heif_context*)> context(heif_context_alloc(),
                                                                   heif_context_free);
    heif_image* raw = nullptr;
    check(heif_image_create(picture.width, picture.height, heif_colorspace_RGB,
                            heif_chroma_interleaved_RGB, &raw));
    std::unique_ptr<heif_image, void (*)(const heif_image*)> image(raw, heif_image_release);
    check(heif_image_add_plane(image.get(), heif_channel_interleaved, picture.width, picture.height,
                               8));
    int stride = 0;
    std::uint8_t* plane = heif_image_get_plane(image.get(), heif_channel_interleaved, &stride);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            std::memcpy(plane + static_cast<size_t>(y) * stride + x * 3,
                        &picture.rgba[(static_cast<size_t>(y) * picture.width + x) * 4], 3);
        }
    }
    heif_encoder* rawEncoder = nullptr;
    check(heif_context_get_encoder_for_format(context.get(), heif_compression_HEVC, &rawEncoder));
    std::unique_ptr<heif_encoder, void (*)(heif_encoder*)> encoder(rawEncoder,
                                                                   heif_encoder_release);
    heif_encoder_set_logging_level(encoder.get(), 0);
    check(heif_encoder_set_lossy_quality(encoder.get(), 90));
    std::unique_ptr<heif_encoding_options, void (*)(heif_encoding_options*)> options(
        heif_encoding_options_alloc(), heif_encoding_options_free);
    options->image_orientation = static_cast<heif_orientation>(transform);
    heif_image_handle* handle = nullptr;
    check(heif_context_encode_image(context.get(), image.get(), encoder.get(), options.get(),
                                    &handle));
    const Exiv2::ExifData data = exifDataOf(exif);
    if (!data.empty()) {
        Exiv2::Blob blob;
        Exiv2::ExifParser::encode(blob, Exiv2::littleEndian, data);
        check(heif_context_add_exif_metadata(context.get(), handle, blob.data(),
                                             static_cast<int>(blob.size())));
    }
    heif_image_handle_release(handle);
    check(heif_context_write_to_file(context.get(), file.c_str()));
}

void makeVideo(const fs::path& file, const VideoRecipe& recipe) {
    if (recipe.colours.empty()) fail(file, "a video needs at least one colour");
    const fs::path metadata = fs::path(file.string() + ".ffmetadata");
    const fs::path log = fs::path(file.string() + ".log");
    {
        std::ofstream out(metadata, std::ios::binary);
        out << ";FFMETADATA1\n";
        for (size_t i = 0; i < recipe.chapters.size(); ++i) {
            const double end =
                i + 1 < recipe.chapters.size() ? recipe.chapters[i + 1].start : recipe.seconds;
            out << "[CHAPTER]\nTIMEBASE=1/1000\n"
                << "START=" << std::llround(recipe.chapters[i].start * 1000) << "\n"
                << "END=" << std::llround(end * 1000) << "\n";
            if (!recipe.chapters[i].title.empty()) {
                out << "title=" << metadataValue(recipe.chapters[i].title) << "\n";
            }
        }
        if (!out) fail(metadata, "cannot write");
    }

    // One colour source per part, joined end to end.
    const double part = recipe.seconds / recipe.colours.size();
    std::ostringstream graph;
    for (size_t i = 0; i < recipe.colours.size(); ++i) {
        graph << "color=c=" << hexColour(recipe.colours[i]) << ":s=" << recipe.width << "x"
              << recipe.height << ":r=" << recipe.framesPerSecond << ":d=" << part << "[p" << i
              << "];";
    }
    for (size_t i = 0; i < recipe.colours.size(); ++i) graph << "[p" << i << "]";
    graph << "concat=n=" << recipe.colours.size() << ":v=1:a=0";
    if (recipe.marker) {
        const int band = std::max(2, recipe.height / 6);
        graph << ",drawbox=x=0:y=0:w=" << recipe.width << ":h=" << band
              << ":t=fill:c=" << hexColour(*recipe.marker);
    }
    graph << ",format=yuv420p[v]";

    std::vector<std::string> arguments = {"ffmpeg",
                                          "-nostdin",
                                          "-hide_banner",
                                          "-loglevel",
                                          "error",
                                          "-y",
                                          "-f",
                                          "ffmetadata",
                                          "-i",
                                          metadata.string(),
                                          "-filter_complex",
                                          graph.str(),
                                          "-map",
                                          "[v]",
                                          "-map_metadata",
                                          "0",
                                          "-map_chapters",
                                          "0",
                                          "-c:v",
                                          recipe.codec,
                                          "-q:v",
                                          "4",
                                          "-g",
                                          std::to_string(recipe.keyFrameEvery),
                                          "-bf",
                                          "0",
                                          "-threads",
                                          "1",
                                          "-fflags",
                                          "+bitexact",
                                          "-flags:v",
                                          "+bitexact",
                                          "-t",
                                          std::to_string(recipe.seconds)};
    if (!recipe.creationTime.empty()) {
        arguments.push_back("-metadata");
        arguments.push_back("creation_time=" + recipe.creationTime);
    }
    // No key frame at a change of colour: key frames come only as keyFrameEvery says.
    if (recipe.codec == "libx264")
        arguments.insert(arguments.end(), {"-x264-params", "scenecut=0"});
    for (const auto& [key, value] : recipe.tags) {
        arguments.insert(arguments.end(), {"-metadata", key + "=" + value});
    }
    if (!recipe.tags.empty()) arguments.insert(arguments.end(), {"-movflags", "use_metadata_tags"});
    // ffmpeg 5.1 writes a display matrix from the "rotate" tag only when it copies the stream, so
    // a rotated video is encoded first and then copied with the tag.
    const fs::path encoded = recipe.rotate != 0
                                 ? fs::path(file.string() + ".unturned" + file.extension().string())
                                 : file;
    arguments.push_back(encoded.string());
    int status = run(arguments, log);
    if (status == 0 && recipe.rotate != 0) {
        status = run({"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y", "-i",
                      encoded.string(), "-c", "copy", "-map_metadata", "0", "-map_chapters", "0",
                      "-metadata:s:v:0", "rotate=" + std::to_string(recipe.rotate), "-fflags",
                      "+bitexact", file.string()},
                     log);
        std::error_code ignored;
        fs::remove(encoded, ignored);
    }
    std::string detail;
    {
        std::ifstream in(log);
        std::getline(in, detail, '\0');
    }
    std::error_code ignored;
    fs::remove(metadata, ignored);
    fs::remove(log, ignored);
    if (status != 0) {
        fail(file, "ffmpeg failed (" + std::to_string(status) + "): " + detail);
    }
}

}  // namespace merrowtest::media
