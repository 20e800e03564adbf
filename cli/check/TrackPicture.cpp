#include "cli/check/TrackPicture.h"

#include <png.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace merrowcli {

namespace fs = std::filesystem;

std::string trackPictureProblem(const fs::path& file) {
    std::error_code ec;
    if (!fs::exists(file, ec)) return "missing";
    if (!fs::is_regular_file(file, ec)) return "not a regular file";
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, file.c_str()) == 0) {
        const std::string reason = image.message;
        png_image_free(&image);
        return "not a PNG picture (" + reason + ")";
    }
    image.format = PNG_FORMAT_RGBA;
    if (image.width == 0 || image.height == 0 || image.width > 16384 || image.height > 16384) {
        png_image_free(&image);
        return "has an unusable size";
    }
    // Pictures of more than 64 MiB are decoded one at a time, however many threads check.
    static std::mutex large;
    std::unique_lock<std::mutex> oneAtATime(large, std::defer_lock);
    if (PNG_IMAGE_SIZE(image) > (size_t{64} << 20)) oneAtATime.lock();
    std::vector<png_byte> pixels(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) == 0) {
        const std::string reason = image.message;
        png_image_free(&image);
        return "does not decode (" + reason + ")";
    }
    return {};
}

std::vector<std::string> trackPictureProblems(const std::vector<fs::path>& files, int threads) {
    std::vector<std::string> problems(files.size());
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t at = next++; at < files.size(); at = next++) {
            try {
                problems[at] = trackPictureProblem(files[at]);
            } catch (...) {
                problems[at] = "cannot be checked (out of memory)";
            }
        }
    };
    std::vector<std::thread> helpers;
    const size_t extra = static_cast<size_t>(std::max(threads, 1) - 1);
    try {
        while (helpers.size() < std::min(extra, files.size())) helpers.emplace_back(work);
    } catch (const std::system_error&) {
        // Fewer threads than asked for: the ones started and this one share the files.
    }
    work();
    for (std::thread& helper : helpers) helper.join();
    return problems;
}

}  // namespace merrowcli
