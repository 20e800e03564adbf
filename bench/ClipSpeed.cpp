// clip-speed MERROWKIT WORK_DIR: how fast `merrowkit disc` makes its clips, against what it
// cannot go below, in one run on the same machine:
//   - converting a 10 s 1080p30 video (ffmpeg's testsrc2 with moving noise) against libx264
//     through libavcodec encoding the same frames alone (decoded and filtered beforehand, held
//     in memory) with the same settings;
//   - copying a conforming 10 s 1080p23.976 video against a plain copy of the file;
//   - a second `merrowkit disc` of the same project (its clips from the cache) against the
//     first (an empty cache).
// Prints wall and CPU seconds of each and the ratios. Needs the ffmpeg program for the sources.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavformat/avformat.h>
}

#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/CpuSeconds.h"
#include "cli/disc/ClipWriter.h"

namespace fs = std::filesystem;
using merrowcli::disc::ClipReport;
using merrowcli::disc::ClipSettings;

namespace {

struct Timing {
    double wall = 0;
    double cpu = 0;  // this process and its waited-for children
};

double childCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

template <typename F>
Timing timed(F&& work) {
    const auto start = std::chrono::steady_clock::now();
    const double cpu = cpuSeconds() + childCpuSeconds();
    work();
    Timing t;
    t.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    t.cpu = cpuSeconds() + childCpuSeconds() - cpu;
    return t;
}

[[noreturn]] void die(const std::string& problem) {
    std::fprintf(stderr, "clip-speed: %s\n", problem.c_str());
    std::exit(1);
}

void run(const std::string& command) {
    if (std::system(command.c_str()) != 0) die("failed: " + command);
}

// Decodes the video and puts its frames through the clip's filters (1920x1080 yuv420p at
// 29.97), keeping them in memory.
std::vector<AVFrame*> filteredFrames(const fs::path& video) {
    AVFormatContext* in = nullptr;
    if (avformat_open_input(&in, video.c_str(), nullptr, nullptr) < 0 ||
        avformat_find_stream_info(in, nullptr) < 0) {
        die(video.string() + ": cannot be read");
    }
    const int index = av_find_best_stream(in, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    AVStream* stream = in->streams[index];
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    AVCodecContext* decoder = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(decoder, stream->codecpar);
    decoder->thread_count = 0;
    avcodec_open2(decoder, codec, nullptr);
    AVFilterGraph* graph = avfilter_graph_alloc();
    AVFilterContext* source = nullptr;
    AVFilterContext* sink = nullptr;
    const std::string args = "video_size=1920x1080:pix_fmt=" + std::to_string(decoder->pix_fmt) +
                             ":time_base=" + std::to_string(stream->time_base.num) + "/" +
                             std::to_string(stream->time_base.den) + ":pixel_aspect=1/1";
    avfilter_graph_create_filter(&source, avfilter_get_by_name("buffer"), "in", args.c_str(),
                                 nullptr, graph);
    avfilter_graph_create_filter(&sink, avfilter_get_by_name("buffersink"), "out", nullptr, nullptr,
                                 graph);
    AVFilterInOut* outputs = avfilter_inout_alloc();
    AVFilterInOut* inputs = avfilter_inout_alloc();
    outputs->name = av_strdup("in");
    outputs->filter_ctx = source;
    inputs->name = av_strdup("out");
    inputs->filter_ctx = sink;
    if (avfilter_graph_parse_ptr(graph, "format=yuv420p,fps=fps=30000/1001", &inputs, &outputs,
                                 nullptr) < 0 ||
        avfilter_graph_config(graph, nullptr) < 0) {
        die("cannot set up the filters");
    }
    avfilter_inout_free(&inputs);
    avfilter_inout_free(&outputs);
    std::vector<AVFrame*> frames;
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    // Every frame the filters have ready, kept for the encoder.
    const auto takeFiltered = [&] {
        for (;;) {
            AVFrame* out = av_frame_alloc();
            if (av_buffersink_get_frame(sink, out) < 0) {
                av_frame_free(&out);
                break;
            }
            out->pict_type = AV_PICTURE_TYPE_NONE;
            frames.push_back(out);
        }
    };
    const auto drain = [&] {
        while (avcodec_receive_frame(decoder, frame) >= 0) {
            if (av_buffersrc_add_frame(source, frame) < 0) die("cannot filter a frame");
            takeFiltered();
        }
    };
    while (av_read_frame(in, packet) >= 0) {
        if (packet->stream_index == index) {
            avcodec_send_packet(decoder, packet);
            drain();
        }
        av_packet_unref(packet);
    }
    avcodec_send_packet(decoder, nullptr);
    drain();
    if (av_buffersrc_add_frame(source, nullptr) < 0) die("cannot flush the filters");
    takeFiltered();
    av_frame_free(&frame);
    av_packet_free(&packet);
    avfilter_graph_free(&graph);
    avcodec_free_context(&decoder);
    avformat_close_input(&in);
    return frames;
}

// libx264 alone, set up as the clips' encoder, on frames in memory. Returns the bytes made.
int64_t encodeAlone(const std::vector<AVFrame*>& frames) {
    const AVCodec* codec = avcodec_find_encoder_by_name("libx264");
    AVCodecContext* encoder = avcodec_alloc_context3(codec);
    AVDictionary* options = nullptr;
    merrowcli::disc::configureClipEncoder(encoder, &options, {30000, 1001}, ClipSettings());
    if (avcodec_open2(encoder, codec, &options) < 0) die("cannot open libx264");
    av_dict_free(&options);
    AVPacket* packet = av_packet_alloc();
    int64_t bytes = 0;
    const auto drain = [&] {
        while (avcodec_receive_packet(encoder, packet) >= 0) {
            bytes += packet->size;
            av_packet_unref(packet);
        }
    };
    int64_t pts = 0;
    for (AVFrame* frame : frames) {
        frame->pts = pts++;
        avcodec_send_frame(encoder, frame);
        drain();
    }
    avcodec_send_frame(encoder, nullptr);
    drain();
    av_packet_free(&packet);
    avcodec_free_context(&encoder);
    return bytes;
}

void print(const char* what, const Timing& t) {
    std::printf("%-44s wall %7.2f s  cpu %7.2f s  (%.2f cores)\n", what, t.wall, t.cpu,
                t.wall > 0 ? t.cpu / t.wall : 0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: clip-speed MERROWKIT WORK_DIR\n");
        return 2;
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each result as soon as it is measured
    const std::string merrowkit = argv[1];
    const fs::path work = fs::absolute(argv[2]);
    fs::create_directories(work / "media");
    const fs::path noisy = work / "media/noisy.mp4";
    const fs::path camera = work / "media/camera.m2ts";
    if (!fs::exists(noisy)) {
        run("ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=size=1920x1080:rate=30:duration=10 "
            "-vf noise=alls=12:allf=t -c:v libx264 -preset ultrafast -crf 16 '" +
            noisy.string() + "'");
    }
    if (!fs::exists(camera)) {
        run("ffmpeg -nostdin -v error -y -f lavfi -i "
            "testsrc2=size=1920x1080:rate=24000/1001:duration=10 "
            "-f lavfi -i sine=sample_rate=48000:duration=10 -vf noise=alls=12:allf=t "
            "-c:v libx264 -preset veryfast "
            "-profile:v high -level 4.1 -pix_fmt yuv420p -x264-params bluray-compat=1 -c:a ac3 "
            "-f mpegts '" +
            camera.string() + "'");
    }
    std::printf("clip-speed: %d cores; libx264 preset %s, %d threads\n",
                static_cast<int>(std::thread::hardware_concurrency()),
                ClipSettings().preset.c_str(), ClipSettings().encoderThreads);

    // Converting against the encoder alone.
    ClipReport report;
    std::string error;
    fs::remove(work / "converted.m2ts");
    const Timing convert = timed([&] {
        if (!merrowcli::disc::writeClip(noisy, work / "converted.m2ts", ClipSettings(), {}, &report,
                                        &error)) {
            die(error);
        }
    });
    std::vector<AVFrame*> frames = filteredFrames(noisy);
    int64_t bytes = 0;
    const Timing alone = timed([&] { bytes = encodeAlone(frames); });
    for (AVFrame* frame : frames) av_frame_free(&frame);
    std::printf(
        "converting 10 s of 1080p30 (%lld frames encoded; the encoder alone %zu frames, "
        "%lld bytes)\n",
        static_cast<long long>(report.framesEncoded), frames.size(), static_cast<long long>(bytes));
    print("  writeClip (decode, filter, encode, mux)", convert);
    print("  libx264 alone on the same frames", alone);
    std::printf("  ratio (wall): %.2f\n", convert.wall / alone.wall);

    // Copying against a plain file copy.
    fs::remove(work / "copied.m2ts");
    fs::remove(work / "plain-copy.m2ts");
    const Timing copy = timed([&] {
        if (!merrowcli::disc::writeClip(camera, work / "copied.m2ts", ClipSettings(), {}, &report,
                                        &error)) {
            die(error);
        }
    });
    if (!report.videoCopied) die(camera.string() + ": was not copied");
    const Timing plain = timed([&] { fs::copy_file(camera, work / "plain-copy.m2ts"); });
    std::printf("copying a conforming 10 s 1080p23.976 video (%lld bytes)\n",
                static_cast<long long>(fs::file_size(camera)));
    print("  writeClip (remux)", copy);
    print("  a plain copy of the file", plain);
    std::printf("  ratio (wall): %.1f\n", copy.wall / plain.wall);

    // A disc, then the same disc again with the clips in the cache.
    const fs::path project = work / "project";
    fs::remove_all(project);
    fs::create_directories(project);
    const fs::path sample = fs::path(MERROWKIT_SOURCE_DIR) / "samples/calendar";
    fs::copy(sample, project, fs::copy_options::recursive);
    std::ofstream(project / "project.xml")
        << "<project media=\"../media\">\n  <presentation file=\"presentation.xml\"/>\n"
           "  <titles>\n    <title video=\"noisy.mp4\"/>\n    <title video=\"camera.m2ts\"/>\n"
           "  </titles>\n</project>\n";
    fs::remove_all(work / "cache");
    const std::string disc = "XDG_CACHE_HOME='" + (work / "cache").string() + "' '" + merrowkit +
                             "' disc '" + project.string() + "' -q -o '" +
                             (work / "disc").string() + "'";
    const Timing first = timed([&] { run(disc); });
    const Timing second = timed([&] { run(disc); });
    std::printf("merrowkit disc of a project with both videos\n");
    print("  first (empty cache)", first);
    print("  second (clips from the cache)", second);
    std::printf("  second / first (wall): %.3f\n", second.wall / first.wall);
    return 0;
}
