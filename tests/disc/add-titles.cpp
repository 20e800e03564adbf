// Puts title clips onto a disc folder that `merrowkit disc` wrote, for the playback tests of a
// project whose videos the disc does not carry itself: each clip is copied to
// BDMV/STREAM/NNNNN.m2ts and the disc's own playlist step writes its clip information and
// playlist, with entry marks at the chapter starts given.
//
//   merrowkit-add-titles DISC_DIR N=CLIP.m2ts[:START,START,...]...   (starts in 90 kHz ticks)

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "cli/disc/PlaylistWriter.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s DISC_DIR N=CLIP.m2ts[:START,...]...\n", argv[0]);
        return 2;
    }
    const fs::path disc = argv[1];
    std::vector<merrowcli::disc::TitleClip> titles;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const size_t equals = arg.find('=');
        const size_t colon = arg.find(':', equals);
        merrowcli::disc::TitleClip title;
        title.number = std::atoi(arg.substr(0, equals).c_str());
        const std::string clip = arg.substr(equals + 1, colon - equals - 1);
        title.video = clip;
        if (equals == std::string::npos || title.number < 1 || title.number > 99999) {
            std::fprintf(stderr, "add-titles: bad title '%s'\n", arg.c_str());
            return 2;
        }
        for (size_t at = colon; at != std::string::npos && at + 1 < arg.size();) {
            const size_t comma = arg.find(',', at + 1);
            title.chapterStarts90k.push_back(
                std::atoll(arg.substr(at + 1, comma - at - 1).c_str()));
            at = comma;
        }
        char name[32];
        std::snprintf(name, sizeof name, "%05d.m2ts", title.number);
        std::error_code ec;
        fs::copy_file(clip, disc / "BDMV" / "STREAM" / name, fs::copy_options::overwrite_existing,
                      ec);
        if (ec) {
            std::fprintf(stderr, "add-titles: %s: %s\n", clip.c_str(), ec.message().c_str());
            return 1;
        }
        titles.push_back(title);
    }
    merrowcli::disc::PlaylistReport report;
    if (!merrowcli::disc::writePlaylists(disc, titles, &report)) {
        std::fprintf(stderr, "add-titles: %s\n", report.error.c_str());
        return 1;
    }
    for (const std::string& warning : report.warnings)
        std::fprintf(stderr, "%s\n", warning.c_str());
    return 0;
}
