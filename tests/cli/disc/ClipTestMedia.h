#pragma once
// Videos for the disc's clip tests, made with the ffmpeg program from its test sources: small
// and short, so that converting them stays fast.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace cliptest {

inline bool haveFfmpeg() {
    return std::system("ffmpeg -version >/dev/null 2>&1 && ffprobe -version >/dev/null 2>&1") == 0;
}

// Runs ffmpeg with these arguments (after "-v error -y") writing file; true when it did.
inline bool ffmpeg(const std::string& arguments, const std::filesystem::path& file) {
    const std::string command = "ffmpeg -nostdin -v error -y " + arguments + " '" + file.string() +
                                "' 2>'" + file.string() + ".log'";
    if (std::system(command.c_str()) == 0) return true;
    std::ifstream log(file.string() + ".log");
    std::fprintf(stderr, "%s\n%s\n", command.c_str(),
                 std::string(std::istreambuf_iterator<char>(log), {}).c_str());
    return false;
}

// A chapters file for ffmpeg's -i ... -map_metadata: chapters starting at these
// milliseconds, each running to the next (the last to endMs).
inline std::filesystem::path chapterMetadata(const std::filesystem::path& file,
                                             const std::vector<int>& startsMs, int endMs) {
    std::ofstream out(file);
    out << ";FFMETADATA1\n";
    for (size_t i = 0; i < startsMs.size(); ++i) {
        out << "[CHAPTER]\nTIMEBASE=1/1000\nSTART=" << startsMs[i]
            << "\nEND=" << (i + 1 < startsMs.size() ? startsMs[i + 1] : endMs) << "\ntitle=Chapter "
            << i + 1 << "\n";
    }
    return file;
}

// The output of a shell command.
inline std::string commandOutput(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t n = 0;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

}  // namespace cliptest
