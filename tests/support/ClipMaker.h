#pragma once
// Makes small Blu-ray clips for the tests with the ffmpeg program: H.264 through libx264 with
// its Blu-ray constraints, AC-3 audio, muxed as m2ts (192-byte source packets) and padded to a
// whole number of 6144-byte aligned units, as a clip on a disc is.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace merrowtest {

struct ClipRecipe {
    int width = 1280;
    int height = 720;
    std::string rate = "24000/1001";
    double seconds = 2;
    // Frames from one I-frame to the next; scene cuts add none.
    int keyint = 12;
    std::string profile = "high";
    std::string level = "4.1";
    bool audio = true;
    // Interlaced, top field first (the rate counts frames: 25 is 25i).
    bool interlaced = false;
};

inline bool canMakeClips() {
    return std::system("ffmpeg -hide_banner -encoders 2>/dev/null | grep -q libx264") == 0;
}

// False when ffmpeg fails (its log is left beside the file).
inline bool makeClip(const std::filesystem::path& file, const ClipRecipe& recipe) {
    std::filesystem::create_directories(file.parent_path());
    const std::string size = std::to_string(recipe.width) + "x" + std::to_string(recipe.height);
    std::string command =
        "ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=" + size + ":rate=" + recipe.rate;
    if (recipe.audio) command += " -f lavfi -i sine=frequency=440:sample_rate=48000";
    command += " -t " + std::to_string(recipe.seconds) +
               " -c:v libx264 -preset superfast -pix_fmt yuv420p -profile:v " + recipe.profile +
               " -level " + recipe.level +
               " -x264opts bluray-compat=1:keyint=" + std::to_string(recipe.keyint) +
               ":min-keyint=" + std::to_string(recipe.keyint) +
               ":scenecut=0:vbv-maxrate=15000:vbv-bufsize=15000";
    if (recipe.interlaced) command += ":tff=1 -flags +ildct+ilme";
    if (recipe.audio) command += " -c:a ac3 -b:a 192k";
    command +=
        " -f mpegts -mpegts_m2ts_mode 1 '" + file.string() + "' 2>'" + file.string() + ".log'";
    if (std::system(command.c_str()) != 0) return false;
    // Null packets (PID 0x1fff) fill the last aligned unit.
    std::string null(192, '\xff');
    null.replace(0, 8, std::string("\0\0\0\0\x47\x1f\xff\x10", 8));
    std::ofstream out(file, std::ios::binary | std::ios::app);
    const auto written = std::filesystem::file_size(file);
    for (auto at = written; at % 6144 != 0; at += 192) out << null;
    std::filesystem::remove(file.string() + ".log");
    return true;
}

}  // namespace merrowtest
