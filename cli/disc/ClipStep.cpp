#include "cli/disc/ClipStep.h"

#include <cstdio>

#include "cli/core/Messages.h"
#include "cli/core/ProgressLine.h"
#include "cli/disc/ClipWriter.h"

namespace merrowcli::disc {

namespace fs = std::filesystem;

std::string clipFileName(int number) {
    char name[32];
    std::snprintf(name, sizeof name, "%05d.m2ts", number);
    return name;
}

bool writeTitleClipFiles(const std::vector<TitleClip>& titles, const fs::path& streamFolder,
                         const ClipCache& cache, ClipCounts* counts, std::string* error) {
    const ClipSettings settings;
    const std::string settingsKey = settings.key();
    ProgressLine progress;
    int done = 0;
    for (const TitleClip& title : titles) {
        ++done;
        const fs::path clip = streamFolder / clipFileName(title.number);
        const std::string shown = title.video.string();
        std::string key;
        if (cache.enabled()) {
            if (!ClipCache::keyOf(title.video, settingsKey, &key, error)) return false;
            if (cache.fetch(key, clip)) {
                ++counts->fromCache;
                Messages::instance().note(shown + ": clip " + clipFileName(title.number) +
                                          " from the cache");
                continue;
            }
        }
        const std::string what = "clip " + std::to_string(done) + "/" +
                                 std::to_string(titles.size()) + " (" +
                                 title.video.filename().string() + ")";
        ClipReport report;
        const bool written = writeClip(
            title.video, clip, settings,
            [&progress, &what](double fraction) {
                progress.show(what + " " + std::to_string(static_cast<int>(fraction * 100)) + "%");
            },
            &report, error);
        progress.clear();
        if (!written) return false;
        if (report.videoCopied) {
            ++counts->copied;
        } else {
            ++counts->converted;
        }
        Messages::instance().note(
            shown + ": clip " + clipFileName(title.number) + ": video " + describe(report.video) +
            (report.videoCopied
                 ? " copied"
                 : " converted (" + std::to_string(report.framesEncoded) + " frames encoded)") +
            ", audio " +
            (report.audio.codec.empty()
                 ? std::string("none")
                 : report.audio.codec + (report.audioCopied ? " copied" : " converted")));
        if (cache.enabled()) {
            std::string problem;
            if (!cache.keep(key, clip, &problem)) Messages::instance().warning(problem);
        }
    }
    return true;
}

}  // namespace merrowcli::disc
