#include "cli/check/TrackPicture.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "host/framework/RegularFile.h"
#include "host/pictures/PictureFile.h"
#include "host/pictures/PngReader.h"

namespace merrowcli {

namespace fs = std::filesystem;

namespace {

struct StreamClose {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The size a PNG file's header claims (the IHDR chunk follows the signature); 0 x 0 when the
// file is too short to say.
uint64_t claimedPixels(std::FILE* file) {
    unsigned char head[24] = {};
    const size_t got = std::fread(head, 1, sizeof head, file);
    std::rewind(file);
    if (got != sizeof head) return 0;
    const auto number = [&](int at) {
        return (uint64_t{head[at]} << 24) | (uint64_t{head[at + 1]} << 16) |
               (uint64_t{head[at + 2]} << 8) | uint64_t{head[at + 3]};
    };
    return number(16) * number(20);
}

}  // namespace

std::string trackPictureProblem(const fs::path& file) {
    std::error_code ec;
    if (!fs::exists(file, ec)) return "missing";
    merrowhost::RegularFile input;
    std::string reason;
    if (!input.open(file.string(), &reason)) return reason;
    std::unique_ptr<std::FILE, StreamClose> stream(input.releaseToStream());
    if (!stream) return "cannot be read";
    if (merrowhost::sniffPicture(stream.get()) != merrowhost::PictureKind::kPng) {
        return "not a PNG picture";
    }
    // Pictures of more than 64 MiB are decoded one at a time, however many threads check.
    static std::mutex large;
    std::unique_lock<std::mutex> oneAtATime(large, std::defer_lock);
    if (claimedPixels(stream.get()) * 4 > (uint64_t{64} << 20)) oneAtATime.lock();
    // The check counts no pixels against a budget: a folder of many tracks may take more
    // than one build's worth, one picture at a time.
    merrowhost::PictureRows rows;
    const bool decoded = merrowhost::readPng(stream.get(), {true, false}, &rows);
    rows.freeAll();
    if (!decoded) return std::string("does not decode (") + rows.message + ")";
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
