#include "cli/check/DiscCheck.h"

#include <libbluray/bluray.h>
#include <libbluray/clpi_data.h>
#include <libbluray/log_control.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <system_error>

#include "bdmv/ClipScan.h"

namespace merrowcli {

namespace fs = std::filesystem;

namespace {

struct BlurayCloser {
    void operator()(BLURAY* bd) const { bd_close(bd); }
};
struct TitleInfoFree {
    void operator()(BLURAY_TITLE_INFO* info) const { bd_free_title_info(info); }
};
struct ClipInfoFree {
    void operator()(clpi_cl* clip) const { bd_free_clpi(clip); }
};

// libbluray logs what it cannot parse; the check says it in lines of its own.
void quiet(const char*) {}

// Where `merrowkit disc` puts the compiled menu (cli/disc/DiscImage.h).
constexpr const char* kMenuFile = "BDMV/JAR/00001/menu.bin";

std::string fiveDigits(unsigned number) {
    char name[16];
    std::snprintf(name, sizeof name, "%05u", number);
    return name;
}

std::string seconds(int64_t ticks90k) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f s", static_cast<double>(ticks90k) / 90000);
    return text;
}

std::string hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04x", value);
    return text;
}

bool rateIs(const merrowbdmv::ScannedStream& s, int num, int den) {
    return int64_t{s.frameRateNum} * den == int64_t{num} * s.frameRateDen;
}

std::string rateText(const merrowbdmv::ScannedStream& s) {
    char text[48];
    if (s.frameRateDen == 1) {
        std::snprintf(text, sizeof text, "%d", s.frameRateNum);
    } else {
        std::snprintf(text, sizeof text, "%.3f",
                      static_cast<double>(s.frameRateNum) / s.frameRateDen);
    }
    return std::string(text) + (s.interlaced ? "i" : "p");
}

// What keeps a player from playing a video stream; empty when it plays.
std::vector<std::string> videoFaults(const merrowbdmv::ScannedStream& s) {
    std::vector<std::string> faults;
    if (s.codec != "h264") return {"codec " + s.codec + " (H.264 is)"};
    if (s.profile != 100 && s.profile != 77)
        faults.push_back("profile " + std::to_string(s.profile) + " (High or Main is)");
    if (s.level <= 0 || s.level > 41) {
        faults.push_back("level " + std::to_string(s.level / 10) + "." +
                         std::to_string(s.level % 10) + " (at most 4.1 is)");
    }
    const bool film = !s.interlaced && (rateIs(s, 24000, 1001) || rateIs(s, 24, 1));
    bool formatAllowed = false;
    if (s.width == 1920 && s.height == 1080) {
        formatAllowed = film || (s.interlaced && (rateIs(s, 25, 1) || rateIs(s, 30000, 1001)));
    } else if (s.width == 1280 && s.height == 720) {
        formatAllowed = film || (!s.interlaced && (rateIs(s, 50, 1) || rateIs(s, 60000, 1001)));
    }
    if (!formatAllowed) {
        faults.push_back(std::to_string(s.width) + "x" + std::to_string(s.height) + " at " +
                         rateText(s) +
                         " (1920x1080 at 23.976p, 24p, 25i or 29.97i, or 1280x720 at 23.976p, "
                         "24p, 50p or 59.94p is)");
    }
    return faults;
}

std::vector<std::string> audioFaults(const merrowbdmv::ScannedStream& s) {
    std::vector<std::string> faults;
    if (s.codec != "ac3" && s.codec != "pcm_bluray")
        faults.push_back("codec " + s.codec + " (AC-3 or LPCM is)");
    if (s.sampleRate != 48000) faults.push_back(std::to_string(s.sampleRate) + " Hz (48000 Hz is)");
    return faults;
}

std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : ", ") + part;
    return text;
}

class DiscChecker {
public:
    DiscChecker(const fs::path& folder, const std::string& shown, DiscReport* report)
        : folder_(folder), shown_(shown), report_(report) {}

    void run(BLURAY* bd) {
        const uint32_t titles = bd_get_titles(bd, TITLES_ALL, 0);
        for (uint32_t i = 0; i < titles; ++i) {
            std::unique_ptr<BLURAY_TITLE_INFO, TitleInfoFree> info(bd_get_title_info(bd, i, 0));
            if (info) checkPlaylist(*info);
        }
        // A playlist the player could not read is not among its titles.
        std::error_code ec;
        std::vector<std::string> files;
        for (fs::directory_iterator it(folder_ / "BDMV/PLAYLIST", ec), end; !ec && it != end;
             it.increment(ec)) {
            if (it->path().extension() == ".mpls") files.push_back(it->path().stem().string());
        }
        std::sort(files.begin(), files.end());
        for (const std::string& name : files) {
            if (!read_.count(name)) {
                problem("BDMV/PLAYLIST/" + name + ".mpls",
                        "the player cannot read the playlist or its clips' information");
            }
        }
        checkMenuTitles();
    }

private:
    void problem(const std::string& inside, const std::string& text) {
        report_->problems.push_back({(fs::path(shown_) / inside).string(), text});
    }

    void checkPlaylist(const BLURAY_TITLE_INFO& title) {
        const std::string name = fiveDigits(title.playlist);
        const std::string playlist = "BDMV/PLAYLIST/" + name + ".mpls";
        read_.insert(name);
        ++report_->playlists;
        for (uint32_t c = 0; c < title.clip_count; ++c) {
            const std::string clip = title.clips[c].clip_id;
            const std::string stream = "BDMV/STREAM/" + clip + ".m2ts";
            if (!fs::is_regular_file(folder_ / stream)) {
                problem(playlist, "its clip " + stream + " is missing");
                continue;
            }
            checkClip(clip);
        }
        for (uint32_t m = 0; m < title.mark_count; ++m) {
            const BLURAY_TITLE_MARK& mark = title.marks[m];
            ++report_->marks;
            if (mark.clip_ref >= title.clip_count) {
                problem(playlist, "mark " + std::to_string(m + 1) + " names no clip");
                continue;
            }
            const BLURAY_CLIP_INFO& clip = title.clips[mark.clip_ref];
            // The mark on the clip's own time line, against the pictures the clip holds (or
            // the play item's span when the clip could not be read).
            const int64_t at = static_cast<int64_t>(clip.in_time + mark.start - clip.start_time);
            int64_t first = static_cast<int64_t>(clip.in_time);
            int64_t end = static_cast<int64_t>(clip.out_time);
            const auto scanned = extent_.find(clip.clip_id);
            if (scanned != extent_.end()) {
                first = std::max(first, scanned->second.first);
                end = std::min(end, scanned->second.second);
            }
            if (at < first || at >= end) {
                problem(playlist, "mark " + std::to_string(m + 1) + " at " +
                                      seconds(at - static_cast<int64_t>(clip.in_time)) +
                                      " is outside its clip " + clip.clip_id + ".m2ts (" +
                                      seconds(first - static_cast<int64_t>(clip.in_time)) + " to " +
                                      seconds(end - static_cast<int64_t>(clip.in_time)) + ")");
            }
        }
    }

    void checkClip(const std::string& clip) {
        if (!clips_.insert(clip).second) return;
        ++report_->clips;
        const std::string stream = "BDMV/STREAM/" + clip + ".m2ts";
        const std::string info = "BDMV/CLIPINF/" + clip + ".clpi";
        merrowbdmv::ClipScan scan;
        std::string error;
        if (!merrowbdmv::scanClip(folder_ / stream, &scan, &error)) {
            // The scan names the file by its path; the line names it as shown.
            const std::string prefix = (folder_ / stream).string() + ": ";
            problem(stream, error.rfind(prefix, 0) == 0 ? error.substr(prefix.size()) : error);
            return;
        }
        extent_[clip] = {scan.firstPts90k, scan.endPts90k};
        for (const merrowbdmv::ScannedStream& s : scan.streams) {
            const bool audio = !s.video && s.sampleRate > 0;
            if (!s.video && !audio) continue;
            ++report_->streams;
            const std::vector<std::string> faults = s.video ? videoFaults(s) : audioFaults(s);
            if (!faults.empty()) {
                problem(stream, std::string(s.video ? "video" : "audio") + " stream " + hex(s.pid) +
                                    " is not what a player accepts: " + joined(faults));
            }
        }
        std::unique_ptr<clpi_cl, ClipInfoFree> read(bd_read_clpi((folder_ / info).c_str()));
        if (!read) {
            problem(info, "cannot be read");
            return;
        }
        checkEntryPoints(info, stream, *read, scan);
    }

    void checkEntryPoints(const std::string& info, const std::string& stream, const clpi_cl& read,
                          const merrowbdmv::ClipScan& scan) {
        if (read.cpi.num_stream_pid < 1) {
            problem(info, "has no EP map");
            return;
        }
        std::map<uint32_t, int64_t> iFrames;
        for (const merrowbdmv::EntryPoint& frame : scan.keyFrames)
            iFrames[frame.sourcePacket] = frame.pts90k;
        const CLPI_EP_MAP_ENTRY& map = read.cpi.entry[0];
        int coarse = 0;
        for (int i = 0; i < map.num_ep_fine; ++i) {
            while (coarse + 1 < map.num_ep_coarse && map.coarse[coarse + 1].ref_ep_fine_id <= i)
                ++coarse;
            ++report_->entryPoints;
            if (map.num_ep_coarse == 0) break;
            const uint32_t packet = (map.coarse[coarse].spn_ep & ~0x1ffffu) + map.fine[i].spn_ep;
            // PTS bits 32..9, as the map keeps them.
            const int64_t pts = ((int64_t{map.coarse[coarse].pts_ep & ~1} << 18) +
                                 (int64_t{map.fine[i].pts_ep} << 8)) *
                                2;
            const auto frame = iFrames.find(packet);
            const std::string entry =
                "entry point " + std::to_string(i + 1) + " (packet " + std::to_string(packet) + ")";
            if (frame == iFrames.end()) {
                problem(info, entry + " does not point at an I-frame of " + stream);
            } else if ((frame->second & 0x1fffffe00) != pts) {
                problem(info, entry + " gives the time " + seconds(pts) +
                                  " but the I-frame there is at " + seconds(frame->second));
            }
        }
    }

    // The titles the menu offers, found by the status texts of its play actions
    // ("Play title UserTitle_N ...").
    void checkMenuTitles() {
        std::ifstream in(folder_ / kMenuFile, std::ios::binary);
        if (!in) return;
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        static const std::regex named("Play title UserTitle_([0-9]{1,5})");
        std::set<unsigned> offered;
        for (std::sregex_iterator it(bytes.begin(), bytes.end(), named), end; it != end; ++it)
            offered.insert(static_cast<unsigned>(std::stoul((*it)[1].str())));
        for (unsigned number : offered) {
            const std::string name = fiveDigits(number);
            if (!read_.count(name)) {
                problem(kMenuFile, "the menu plays UserTitle_" + std::to_string(number) +
                                       " but the disc has no playlist BDMV/PLAYLIST/" + name +
                                       ".mpls that a player can read");
            }
        }
    }

    fs::path folder_;
    std::string shown_;
    DiscReport* report_;
    std::set<std::string> read_;                                 // the playlists the player read
    std::set<std::string> clips_;                                // the clips checked
    std::map<std::string, std::pair<int64_t, int64_t>> extent_;  // each clip's pictures, 90 kHz
};

}  // namespace

bool looksLikeDisc(const fs::path& folder) {
    std::error_code ec;
    return fs::is_regular_file(folder / "BDMV" / "index.bdmv", ec);
}

DiscReport checkDisc(const fs::path& folder, const std::string& shown) {
    DiscReport report;
    bd_set_debug_handler(quiet);
    std::unique_ptr<BLURAY, BlurayCloser> bd(bd_open(folder.c_str(), nullptr));
    const BLURAY_DISC_INFO* info = bd ? bd_get_disc_info(bd.get()) : nullptr;
    if (!info || !info->bluray_detected) {
        report.error = shown + ": is no Blu-ray disc folder a player can open (BDMV/index.bdmv)";
        return report;
    }
    report.readable = true;
    DiscChecker(folder, shown, &report).run(bd.get());
    return report;
}

}  // namespace merrowcli
