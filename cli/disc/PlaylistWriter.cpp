#include "cli/disc/PlaylistWriter.h"

#include <algorithm>
#include <cctype>
#include <system_error>

#include "bdmv/ClipInfoFile.h"
#include "bdmv/ClipScan.h"
#include "bdmv/DiscFolder.h"
#include "bdmv/PlaylistFile.h"

namespace merrowcli::disc {

namespace fs = std::filesystem;

namespace {

// The five-digit clip names of STREAM, sorted.
std::vector<std::string> clipNames(const fs::path& stream, std::string* error) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(stream, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& file = it->path();
        const std::string stem = file.stem().string();
        if (file.extension() == ".m2ts" && stem.size() == 5 &&
            std::all_of(stem.begin(), stem.end(), [](char c) { return std::isdigit(c) != 0; })) {
            names.push_back(stem);
        }
    }
    if (ec) *error = stream.string() + ": cannot be listed: " + ec.message();
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<int64_t> chaptersOf(int number, const std::vector<TitleClip>& titles) {
    for (const TitleClip& title : titles) {
        if (title.number == number && !title.chapterStarts90k.empty()) {
            return title.chapterStarts90k;
        }
    }
    return {0};
}

}  // namespace

bool writePlaylists(const fs::path& discRoot, const std::vector<TitleClip>& titles,
                    PlaylistReport* report) {
    const fs::path bdmv = discRoot / "BDMV";
    const std::vector<std::string> names = clipNames(bdmv / "STREAM", &report->error);
    if (!report->error.empty()) return false;
    for (const std::string& name : names) {
        const fs::path clipFile = bdmv / "STREAM" / (name + ".m2ts");
        merrowbdmv::ClipScan scan;
        if (!merrowbdmv::scanClip(clipFile, &scan, &report->error)) return false;
        const merrowbdmv::ClipInfo clip = merrowbdmv::clipInfoOf(scan);
        const fs::path clipInfoFile = fs::path("CLIPINF") / (name + ".clpi");
        const std::vector<uint8_t> clipBytes = merrowbdmv::encodeClipInfo(clip);
        if (clipBytes.empty()) {
            report->error = (bdmv / clipInfoFile).string() +
                            ": the clip does not fit the clip information (its first stream is "
                            "no H.264 video, or its I-frames are out of order)";
            return false;
        }

        merrowbdmv::Playlist playlist;
        playlist.clipName = name;
        playlist.in90k = scan.firstPts90k;
        playlist.out90k = scan.endPts90k;
        playlist.streams = clip.streams;
        const int number = std::stoi(name);
        const fs::path playlistFile = fs::path("PLAYLIST") / (name + ".mpls");
        for (int64_t start : chaptersOf(number, titles)) {
            const int64_t mark = playlist.in90k + std::max<int64_t>(start, 0);
            if (mark >= playlist.out90k) {
                report->warnings.push_back((bdmv / playlistFile).string() + ": chapter " +
                                           std::to_string(playlist.entryMarks90k.size() + 1) +
                                           " and those after it start past the end of " +
                                           clipFile.string() + " and are left out");
                break;
            }
            playlist.entryMarks90k.push_back(mark);
        }
        const std::vector<uint8_t> playlistBytes = merrowbdmv::encodePlaylist(playlist);
        if (playlistBytes.empty()) {
            report->error =
                (bdmv / playlistFile).string() +
                ": the playlist does not fit the format (its chapters are out of order)";
            return false;
        }
        if (!merrowbdmv::writeWithBackup(bdmv, clipInfoFile, clipBytes, &report->error) ||
            !merrowbdmv::writeWithBackup(bdmv, playlistFile, playlistBytes, &report->error)) {
            return false;
        }
        report->playlists.push_back({number, playlist.entryMarks90k.size(),
                                     playlist.out90k - playlist.in90k, clip.entryPoints.size()});
    }
    return true;
}

}  // namespace merrowcli::disc
