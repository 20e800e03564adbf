#include "cli/disc/ClipTitles.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/error.h>
}

#include <algorithm>
#include <system_error>

#include "cli/build/ProjectFile.h"
#include "cli/build/ProjectSettings.h"
#include "cli/core/Messages.h"

namespace merrowcli::disc {

namespace fs = std::filesystem;

namespace {

// A chapter menu of more scenes is no menu; the import keeps as many.
constexpr size_t kMaxChapters = 99;

std::string averror(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

}  // namespace

bool readChapterStarts(const fs::path& video, std::vector<int64_t>* starts, std::string* error) {
    starts->clear();
    av_log_set_level(AV_LOG_QUIET);
    AVFormatContext* context = nullptr;
    int status = avformat_open_input(&context, video.c_str(), nullptr, nullptr);
    if (status >= 0) status = avformat_find_stream_info(context, nullptr);
    if (status < 0) {
        avformat_close_input(&context);
        *error = video.string() + ": cannot be read as a video: " + averror(status);
        return false;
    }
    // Times count from the video's first frame, which is time 0 of its clip.
    int64_t origin = 0;
    const int stream = av_find_best_stream(context, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (stream >= 0 && context->streams[stream]->start_time != AV_NOPTS_VALUE) {
        origin = av_rescale_q(context->streams[stream]->start_time,
                              context->streams[stream]->time_base, {1, 90000});
    }
    for (unsigned i = 0; i < context->nb_chapters; ++i) {
        const AVChapter* chapter = context->chapters[i];
        starts->push_back(std::max<int64_t>(
            0, av_rescale_q(chapter->start, chapter->time_base, {1, 90000}) - origin));
    }
    avformat_close_input(&context);
    std::stable_sort(starts->begin(), starts->end());
    if (starts->size() > kMaxChapters) starts->resize(kMaxChapters);
    if (starts->empty()) starts->push_back(0);
    return true;
}

bool readTitleClips(const fs::path& projectFolder, std::vector<TitleClip>* titles,
                    std::string* error) {
    titles->clear();
    ProjectSettings settings;
    if (!readProjectFile(projectFolder / "project.xml", &settings, error)) return false;
    if (!settings.titles) {
        Messages::instance().warning(settings.projectFile, settings.projectLine,
                                     "the project lists no <titles>, so no title names a "
                                     "video; the disc will play none");
        return true;
    }
    int number = 0;
    for (const ProjectTitle& title : *settings.titles) {
        if (!title.isUserTitle) continue;
        ++number;
        if (title.video.empty()) {
            Messages::instance().warning(
                settings.projectFile, 0,
                "title " + std::to_string(number) + " has no video; the disc will not play it");
            continue;
        }
        TitleClip clip;
        clip.number = number;
        clip.video = titleVideoPath(projectFolder, settings, title);
        std::error_code ec;
        if (!fs::is_regular_file(clip.video, ec)) {
            *error = settings.projectFile + ":" + std::to_string(title.videoLine) +
                     ": the video of title " + std::to_string(number) + ", " + clip.video.string() +
                     ", " + (fs::exists(clip.video, ec) ? "is not a file" : "does not exist");
            return false;
        }
        if (!readChapterStarts(clip.video, &clip.chapterStarts90k, error)) return false;
        titles->push_back(std::move(clip));
    }
    return true;
}

}  // namespace merrowcli::disc
