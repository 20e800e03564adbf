#include "cli/disc/ClipWriter.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/display.h>
#include <libavutil/error.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <system_error>

namespace merrowcli::disc {

namespace fs = std::filesystem;

namespace {

// Blu-ray's PIDs: the program map, the primary video (which carries the PCR) and the first
// primary audio stream.
constexpr int kPmtPid = 0x100;
constexpr int kVideoPid = 0x1011;
constexpr int kAudioPid = 0x1100;
constexpr int kSourcePacket = 192;

// Bumped whenever a change of this file changes the clips it writes, so that the clip cache
// never hands out a clip of an earlier conversion (part of ClipSettings::key()).
// 1: the first; 2: the last frame held for its length before the rate change.
constexpr int kConverterRevision = 2;

std::string averror(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

struct CodecFree {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameFree {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFree {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct GraphFree {
    void operator()(AVFilterGraph* g) const { avfilter_graph_free(&g); }
};
struct DictFree {
    AVDictionary* dict = nullptr;
    ~DictFree() { av_dict_free(&dict); }
};
using Codec = std::unique_ptr<AVCodecContext, CodecFree>;
using Frame = std::unique_ptr<AVFrame, FrameFree>;
using Packet = std::unique_ptr<AVPacket, PacketFree>;
using Graph = std::unique_ptr<AVFilterGraph, GraphFree>;

struct Input {
    AVFormatContext* context = nullptr;
    ~Input() { avformat_close_input(&context); }
};

struct Output {
    AVFormatContext* context = nullptr;
    ~Output() {
        if (context == nullptr) return;
        if (context->pb != nullptr) avio_closep(&context->pb);
        avformat_free_context(context);
    }
};

// The clockwise turn that shows a stream's picture upright, from its display matrix.
int rotationOf(const AVStream* stream) {
    size_t size = 0;
    const uint8_t* matrix = av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (matrix == nullptr || size < 9 * sizeof(int32_t)) return 0;
    double theta = -std::round(av_display_rotation_get(reinterpret_cast<const int32_t*>(matrix)));
    theta -= 360 * std::floor(theta / 360 + 0.9 / 360);
    const int quarter = static_cast<int>(std::lround(theta / 90)) % 4;
    return quarter * 90;
}

VideoFacts videoFactsOf(const AVStream* stream) {
    const AVCodecParameters* p = stream->codecpar;
    VideoFacts facts;
    facts.codec = avcodec_get_name(p->codec_id);
    facts.profile = p->profile;
    facts.level = p->level;
    facts.width = p->width;
    facts.height = p->height;
    AVRational rate = stream->avg_frame_rate;
    if (rate.num <= 0 || rate.den <= 0) rate = stream->r_frame_rate;
    facts.rate = {rate.num, rate.den};
    facts.interlaced = p->field_order != AV_FIELD_UNKNOWN && p->field_order != AV_FIELD_PROGRESSIVE;
    facts.rotation = rotationOf(stream);
    const AVRational sar = p->sample_aspect_ratio;
    facts.squarePixels = sar.num == 0 || sar.num == sar.den;
    return facts;
}

AudioFacts audioFactsOf(const AVStream* stream) {
    AudioFacts facts;
    facts.codec = avcodec_get_name(stream->codecpar->codec_id);
    facts.sampleRate = stream->codecpar->sample_rate;
    return facts;
}

bool openInput(const fs::path& video, Input* input, int* videoIndex, int* audioIndex,
               std::string* error) {
    av_log_set_level(AV_LOG_QUIET);
    int status = avformat_open_input(&input->context, video.c_str(), nullptr, nullptr);
    if (status >= 0) status = avformat_find_stream_info(input->context, nullptr);
    if (status < 0) {
        *error = video.string() + ": cannot be read as a video: " + averror(status);
        return false;
    }
    *videoIndex = av_find_best_stream(input->context, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (*videoIndex < 0) {
        *error = video.string() + ": has no video stream";
        return false;
    }
    *audioIndex =
        av_find_best_stream(input->context, AVMEDIA_TYPE_AUDIO, -1, *videoIndex, nullptr, 0);
    if (*audioIndex < 0) *audioIndex = -1;
    return true;
}

// One stream of the clip: copied packet by packet, or decoded, filtered and encoded.
struct Lane {
    int input = -1;
    AVStream* in = nullptr;
    AVStream* out = nullptr;
    bool copy = true;
    int64_t origin = 0;  // the clip's time 0 in the input stream's time base
    Codec decoder;
    Codec encoder;
    Graph graph;
    AVFilterContext* source = nullptr;
    AVFilterContext* sink = nullptr;
};

class ClipJob {
public:
    ClipJob(const fs::path& video, const fs::path& clip, const ClipSettings& settings,
            ClipReport* report, std::string* error)
        : video_(video), clip_(clip), settings_(settings), report_(report), error_(error) {}

    bool run(const std::function<void(double)>& progress);

private:
    bool fail(const std::string& problem) {
        *error_ = problem;
        return false;
    }
    bool failAv(const std::string& what, int status) {
        return fail(video_.string() + ": " + what + ": " + averror(status));
    }
    bool openDecoder(Lane* lane);
    bool openVideoEncoder(Lane* lane);
    bool openAudioEncoder(Lane* lane);
    bool buildVideoGraph(Lane* lane, const AVFrame* first);
    bool buildAudioGraph(Lane* lane, const AVFrame* first);
    bool openOutput();
    bool process(Lane* lane, AVPacket* packet);        // packet null: flush
    bool filterAndEncode(Lane* lane, AVFrame* frame);  // frame null: flush
    bool drainEncoder(Lane* lane);
    bool write(Lane* lane, AVPacket* packet, AVRational from);

    const fs::path& video_;
    const fs::path& clip_;
    const ClipSettings& settings_;
    ClipReport* report_;
    std::string* error_;
    Input input_;
    Output output_;
    Lane video_lane_;
    Lane audio_lane_;
    FrameRate rate_;
    Frame frame_{av_frame_alloc()};
    Frame filtered_{av_frame_alloc()};
    Packet encoded_{av_packet_alloc()};
};

bool ClipJob::openDecoder(Lane* lane) {
    const AVCodec* codec = avcodec_find_decoder(lane->in->codecpar->codec_id);
    if (codec == nullptr) {
        return fail(video_.string() + ": no decoder for its " +
                    avcodec_get_name(lane->in->codecpar->codec_id) + " stream");
    }
    lane->decoder.reset(avcodec_alloc_context3(codec));
    if (!lane->decoder) throw std::bad_alloc();
    int status = avcodec_parameters_to_context(lane->decoder.get(), lane->in->codecpar);
    lane->decoder->pkt_timebase = lane->in->time_base;
    lane->decoder->thread_count = 0;  // as many as the machine has
    lane->decoder->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    if (status >= 0) status = avcodec_open2(lane->decoder.get(), codec, nullptr);
    if (status < 0) return failAv("cannot decode it", status);
    return true;
}

bool ClipJob::openVideoEncoder(Lane* lane) {
    const AVCodec* codec = avcodec_find_encoder_by_name("libx264");
    if (codec == nullptr) return fail("libavcodec has no libx264 encoder");
    lane->encoder.reset(avcodec_alloc_context3(codec));
    if (!lane->encoder) throw std::bad_alloc();
    DictFree options;
    configureClipEncoder(lane->encoder.get(), &options.dict, rate_, settings_);
    const int status = avcodec_open2(lane->encoder.get(), codec, &options.dict);
    if (status < 0) return failAv("cannot open libx264 for it", status);
    return true;
}

bool ClipJob::openAudioEncoder(Lane* lane) {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_AC3);
    if (codec == nullptr) return fail("libavcodec has no AC-3 encoder");
    lane->encoder.reset(avcodec_alloc_context3(codec));
    if (!lane->encoder) throw std::bad_alloc();
    AVCodecContext* c = lane->encoder.get();
    c->sample_fmt = AV_SAMPLE_FMT_FLTP;
    c->sample_rate = 48000;
    av_channel_layout_default(&c->ch_layout, 2);
    c->bit_rate = static_cast<int64_t>(settings_.audioKbps) * 1000;
    c->time_base = {1, 48000};
    c->flags |= AV_CODEC_FLAG_BITEXACT;
    const int status = avcodec_open2(c, codec, nullptr);
    if (status < 0) return failAv("cannot open the AC-3 encoder for it", status);
    return true;
}

// Builds "buffer -> description -> buffersink" for a lane.
bool buildGraph(Lane* lane, const char* sourceName, const std::string& sourceArgs,
                const char* sinkName, const std::string& description, std::string* problem) {
    lane->graph.reset(avfilter_graph_alloc());
    if (!lane->graph) throw std::bad_alloc();
    AVFilterGraph* graph = lane->graph.get();
    int status = avfilter_graph_create_filter(&lane->source, avfilter_get_by_name(sourceName), "in",
                                              sourceArgs.c_str(), nullptr, graph);
    if (status >= 0) {
        status = avfilter_graph_create_filter(&lane->sink, avfilter_get_by_name(sinkName), "out",
                                              nullptr, nullptr, graph);
    }
    AVFilterInOut* outputs = avfilter_inout_alloc();
    AVFilterInOut* inputs = avfilter_inout_alloc();
    if (outputs == nullptr || inputs == nullptr) {
        avfilter_inout_free(&outputs);
        avfilter_inout_free(&inputs);
        throw std::bad_alloc();
    }
    outputs->name = av_strdup("in");
    outputs->filter_ctx = lane->source;
    inputs->name = av_strdup("out");
    inputs->filter_ctx = lane->sink;
    if (status >= 0) {
        status = avfilter_graph_parse_ptr(graph, description.c_str(), &inputs, &outputs, nullptr);
    }
    avfilter_inout_free(&outputs);
    avfilter_inout_free(&inputs);
    if (status >= 0) status = avfilter_graph_config(graph, nullptr);
    if (status < 0) {
        *problem = "cannot set up the filters \"" + description + "\": " + averror(status);
        return false;
    }
    return true;
}

bool ClipJob::buildVideoGraph(Lane* lane, const AVFrame* first) {
    const AVRational tb = lane->in->time_base;
    AVRational sar = first->sample_aspect_ratio;
    if (sar.num <= 0 || sar.den <= 0) sar = {1, 1};
    const std::string args =
        "video_size=" + std::to_string(first->width) + "x" + std::to_string(first->height) +
        ":pix_fmt=" + std::to_string(first->format) + ":time_base=" + std::to_string(tb.num) + "/" +
        std::to_string(tb.den) + ":pixel_aspect=" + std::to_string(sar.num) + "/" +
        std::to_string(sar.den) + ":frame_rate=" + std::to_string(report_->video.rate.num) + "/" +
        std::to_string(report_->video.rate.den);
    std::string chain;
    switch (report_->video.rotation) {
        case 90:
            chain = "transpose=clock,";
            break;
        case 180:
            chain = "hflip,vflip,";
            break;
        case 270:
            chain = "transpose=cclock,";
            break;
        default:
            break;
    }
    // Square pixels first, then fitted into the frame (never cropped) with black bars.
    if (sar.num != sar.den) chain += "scale=w='trunc(iw*sar/2)*2':h=ih,setsar=1,";
    const std::string w = std::to_string(kClipWidth);
    const std::string h = std::to_string(kClipHeight);
    // The last frame lasts a frame too: without it the rate change ends the clip short.
    const FrameRate source = report_->video.rate;
    char lastFrame[32];
    std::snprintf(lastFrame, sizeof lastFrame, "%.6f", source.num > 0 ? 1 / source.value() : 0.04);
    chain += "scale=" + w + ":" + h +
             ":force_original_aspect_ratio=decrease:force_divisible_by=2:flags=bicubic"
             ":out_color_matrix=bt709:out_range=tv,format=yuv420p,"
             "pad=" +
             w + ":" + h +
             ":(ow-iw)/2:(oh-ih)/2:color=black,setsar=1,"
             "tpad=stop_mode=clone:stop_duration=" +
             std::string(lastFrame) + ",fps=fps=" + std::to_string(rate_.num) + "/" +
             std::to_string(rate_.den) + ":round=near";
    std::string problem;
    if (!buildGraph(lane, "buffer", args, "buffersink", chain, &problem)) {
        return fail(video_.string() + ": " + problem);
    }
    return true;
}

bool ClipJob::buildAudioGraph(Lane* lane, const AVFrame* first) {
    const AVRational tb = lane->in->time_base;
    char layout[128] = {};
    if (first->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || first->ch_layout.nb_channels == 0) {
        AVChannelLayout fallback;
        av_channel_layout_default(&fallback, std::max(1, first->ch_layout.nb_channels));
        av_channel_layout_describe(&fallback, layout, sizeof layout);
    } else {
        av_channel_layout_describe(&first->ch_layout, layout, sizeof layout);
    }
    const std::string args = "time_base=" + std::to_string(tb.num) + "/" + std::to_string(tb.den) +
                             ":sample_rate=" + std::to_string(first->sample_rate) + ":sample_fmt=" +
                             av_get_sample_fmt_name(static_cast<AVSampleFormat>(first->format)) +
                             ":channel_layout=" + layout;
    std::string problem;
    if (!buildGraph(lane, "abuffer", args, "abuffersink",
                    "aresample=48000,aformat=sample_fmts=fltp:sample_rates=48000:"
                    "channel_layouts=stereo",
                    &problem)) {
        return fail(video_.string() + ": " + problem);
    }
    av_buffersink_set_frame_size(lane->sink, static_cast<unsigned>(lane->encoder->frame_size));
    return true;
}

bool ClipJob::openOutput() {
    int status = avformat_alloc_output_context2(&output_.context, nullptr, "mpegts", nullptr);
    if (status < 0) return failAv("cannot make an MPEG transport stream", status);
    output_.context->flags |= AVFMT_FLAG_BITEXACT;
    for (Lane* lane : {&video_lane_, &audio_lane_}) {
        if (lane->input < 0) continue;
        lane->out = avformat_new_stream(output_.context, nullptr);
        if (lane->out == nullptr) throw std::bad_alloc();
        lane->out->id = lane == &video_lane_ ? kVideoPid : kAudioPid;
        if (lane->copy) {
            status = avcodec_parameters_copy(lane->out->codecpar, lane->in->codecpar);
            lane->out->codecpar->codec_tag = 0;
            lane->out->time_base = lane->in->time_base;
        } else {
            status = avcodec_parameters_from_context(lane->out->codecpar, lane->encoder.get());
            lane->out->time_base = lane->encoder->time_base;
        }
        if (status < 0) return failAv("cannot describe its clip's streams", status);
    }
    status = avio_open(&output_.context->pb, clip_.c_str(), AVIO_FLAG_WRITE);
    if (status < 0) {
        return fail(clip_.string() + ": cannot be written: " + averror(status));
    }
    DictFree options;
    av_dict_set(&options.dict, "mpegts_m2ts_mode", "1", 0);
    av_dict_set_int(&options.dict, "mpegts_pmt_start_pid", kPmtPid, 0);
    status = avformat_write_header(output_.context, &options.dict);
    if (status < 0) return failAv("cannot start its clip", status);
    return true;
}

bool ClipJob::write(Lane* lane, AVPacket* packet, AVRational from) {
    packet->stream_index = lane->out->index;
    av_packet_rescale_ts(packet, from, lane->out->time_base);
    packet->pos = -1;
    const int status = av_interleaved_write_frame(output_.context, packet);
    if (status < 0) return fail(clip_.string() + ": cannot be written: " + averror(status));
    return true;
}

bool ClipJob::drainEncoder(Lane* lane) {
    for (;;) {
        const int status = avcodec_receive_packet(lane->encoder.get(), encoded_.get());
        if (status == AVERROR(EAGAIN) || status == AVERROR_EOF) return true;
        if (status < 0) return failAv("cannot encode it", status);
        if (!write(lane, encoded_.get(), lane->encoder->time_base)) return false;
    }
}

bool ClipJob::filterAndEncode(Lane* lane, AVFrame* frame) {
    const bool isVideo = lane == &video_lane_;
    if (frame != nullptr && !lane->graph) {
        if (!(isVideo ? buildVideoGraph(lane, frame) : buildAudioGraph(lane, frame))) {
            return false;
        }
    }
    if (!lane->graph) return true;  // flushing a lane that never had a frame
    if (frame != nullptr) {
        const int64_t when = frame->best_effort_timestamp;
        frame->pts = when == AV_NOPTS_VALUE ? AV_NOPTS_VALUE : when - lane->origin;
    }
    int status = av_buffersrc_add_frame_flags(lane->source, frame, AV_BUFFERSRC_FLAG_KEEP_REF);
    if (status < 0) return failAv("cannot filter it", status);
    const AVRational sinkBase = av_buffersink_get_time_base(lane->sink);
    for (;;) {
        status = av_buffersink_get_frame(lane->sink, filtered_.get());
        if (status == AVERROR(EAGAIN)) return true;
        if (status == AVERROR_EOF) break;
        if (status < 0) return failAv("cannot filter it", status);
        AVFrame* out = filtered_.get();
        out->pts = av_rescale_q(out->pts, sinkBase, lane->encoder->time_base);
        if (isVideo) {
            // The encoder places key frames itself: the source's frame types mean nothing here.
            out->pict_type = AV_PICTURE_TYPE_NONE;
            ++report_->framesEncoded;
        }
        status = avcodec_send_frame(lane->encoder.get(), out);
        av_frame_unref(out);
        if (status < 0) return failAv("cannot encode it", status);
        if (!drainEncoder(lane)) return false;
    }
    // The filters are flushed: so is the encoder.
    status = avcodec_send_frame(lane->encoder.get(), nullptr);
    if (status < 0 && status != AVERROR_EOF) return failAv("cannot encode it", status);
    return drainEncoder(lane);
}

bool ClipJob::process(Lane* lane, AVPacket* packet) {
    if (lane->copy) {
        if (packet == nullptr) return true;
        if (packet->pts != AV_NOPTS_VALUE) packet->pts -= lane->origin;
        if (packet->dts != AV_NOPTS_VALUE) packet->dts -= lane->origin;
        return write(lane, packet, lane->in->time_base);
    }
    int status = avcodec_send_packet(lane->decoder.get(), packet);
    // A damaged packet costs a frame, not the clip.
    if (status == AVERROR_INVALIDDATA) return true;
    if (status < 0 && status != AVERROR_EOF) return failAv("cannot decode it", status);
    for (;;) {
        status = avcodec_receive_frame(lane->decoder.get(), frame_.get());
        if (status == AVERROR(EAGAIN)) return true;
        if (status == AVERROR_EOF) return filterAndEncode(lane, nullptr);
        if (status == AVERROR_INVALIDDATA) continue;
        if (status < 0) return failAv("cannot decode it", status);
        const bool ok = filterAndEncode(lane, frame_.get());
        av_frame_unref(frame_.get());
        if (!ok) return false;
    }
}

bool ClipJob::run(const std::function<void(double)>& progress) {
    int videoIndex = -1;
    int audioIndex = -1;
    if (!openInput(video_, &input_, &videoIndex, &audioIndex, error_)) return false;
    AVFormatContext* in = input_.context;
    video_lane_.input = videoIndex;
    video_lane_.in = in->streams[videoIndex];
    report_->video = videoFactsOf(video_lane_.in);
    video_lane_.copy = videoConforms(report_->video);
    if (audioIndex >= 0) {
        audio_lane_.input = audioIndex;
        audio_lane_.in = in->streams[audioIndex];
        report_->audio = audioFactsOf(audio_lane_.in);
        audio_lane_.copy = audioConforms(report_->audio);
    }
    report_->videoCopied = video_lane_.copy;
    report_->audioCopied = audio_lane_.copy;
    if (report_->video.rate.num <= 0) report_->video.rate = {25, 1};
    rate_ = convertedRate(report_->video.rate);

    // Time 0 of the clip is the video's first frame; the audio keeps its place against it.
    int64_t originUs = 0;
    if (video_lane_.in->start_time != AV_NOPTS_VALUE) {
        originUs =
            av_rescale_q(video_lane_.in->start_time, video_lane_.in->time_base, AV_TIME_BASE_Q);
    }
    for (Lane* lane : {&video_lane_, &audio_lane_}) {
        if (lane->input < 0) continue;
        lane->origin = av_rescale_q(originUs, AV_TIME_BASE_Q, lane->in->time_base);
        if (lane->copy) continue;
        if (!openDecoder(lane)) return false;
        if (!(lane == &video_lane_ ? openVideoEncoder(lane) : openAudioEncoder(lane))) {
            return false;
        }
    }
    if (!openOutput()) return false;

    const double duration = in->duration > 0 ? static_cast<double>(in->duration) / 1e6 : 0;
    Packet packet(av_packet_alloc());
    if (!packet) throw std::bad_alloc();
    for (;;) {
        const int status = av_read_frame(in, packet.get());
        if (status == AVERROR_EOF) break;
        if (status < 0) return failAv("cannot be read", status);
        Lane* lane = packet->stream_index == video_lane_.input   ? &video_lane_
                     : packet->stream_index == audio_lane_.input ? &audio_lane_
                                                                 : nullptr;
        if (lane != nullptr) {
            if (lane == &video_lane_ && duration > 0 && packet->pts != AV_NOPTS_VALUE && progress) {
                const double at =
                    static_cast<double>(packet->pts - lane->origin) * av_q2d(lane->in->time_base);
                progress(std::clamp(at / duration, 0.0, 1.0));
            }
            if (!process(lane, packet.get())) return false;
        }
        av_packet_unref(packet.get());
    }
    for (Lane* lane : {&video_lane_, &audio_lane_}) {
        if (lane->input >= 0 && !process(lane, nullptr)) return false;
    }
    const int status = av_write_trailer(output_.context);
    if (status < 0) return fail(clip_.string() + ": cannot be written: " + averror(status));
    avio_closep(&output_.context->pb);
    if (progress) progress(1.0);
    return true;
}

}  // namespace

void configureClipEncoder(AVCodecContext* c, AVDictionary** options, FrameRate rate,
                          const ClipSettings& settings) {
    c->width = kClipWidth;
    c->height = kClipHeight;
    c->pix_fmt = AV_PIX_FMT_YUV420P;
    c->time_base = {rate.den, rate.num};
    c->framerate = {rate.num, rate.den};
    c->sample_aspect_ratio = {1, 1};
    c->color_primaries = AVCOL_PRI_BT709;
    c->color_trc = AVCOL_TRC_BT709;
    c->colorspace = AVCOL_SPC_BT709;
    c->color_range = AVCOL_RANGE_MPEG;
    c->level = 41;
    c->gop_size = static_cast<int>(std::floor(rate.value()));  // a key frame every second
    c->rc_max_rate = static_cast<int64_t>(settings.maxRateKbps) * 1000;
    c->rc_buffer_size = settings.bufferKbits * 1000;
    c->thread_count = settings.encoderThreads;
    av_dict_set(options, "preset", settings.preset.c_str(), 0);
    av_dict_set(options, "profile", "high", 0);
    av_dict_set(options, "crf", std::to_string(settings.crf).c_str(), 0);
    std::string params = "bluray-compat=1:level=4.1:slices=4:aud=1:nal-hrd=vbr:open-gop=0";
    // 25 and 29.97 progressive frames are carried as 1080i.
    if (carriedAsInterlaced(rate)) params += ":fake-interlaced=1:pic-struct=1";
    av_dict_set(options, "x264-params", params.c_str(), 0);
}

std::string ClipSettings::key() const {
    return "revision=" + std::to_string(kConverterRevision) + " preset=" + preset +
           " crf=" + std::to_string(crf) + " maxrate=" + std::to_string(maxRateKbps) +
           " bufsize=" + std::to_string(bufferKbits) + " audio=" + std::to_string(audioKbps) +
           " threads=" + std::to_string(encoderThreads) +
           " avcodec=" + std::to_string(avcodec_version()) +
           " avformat=" + std::to_string(avformat_version()) +
           " avfilter=" + std::to_string(avfilter_version()) +
           " swscale=" + std::to_string(swscale_version());
}

bool probeVideo(const fs::path& video, VideoFacts* videoFacts, AudioFacts* audioFacts,
                std::string* error) {
    Input input;
    int videoIndex = -1;
    int audioIndex = -1;
    if (!openInput(video, &input, &videoIndex, &audioIndex, error)) return false;
    *videoFacts = videoFactsOf(input.context->streams[videoIndex]);
    *audioFacts = audioIndex >= 0 ? audioFactsOf(input.context->streams[audioIndex]) : AudioFacts{};
    return true;
}

bool padToAlignedUnits(const fs::path& clip, std::string* error) {
    std::error_code ec;
    const auto size = static_cast<int64_t>(fs::file_size(clip, ec));
    if (ec || size % kSourcePacket != 0 || size == 0) {
        *error = clip.string() + ": is not a whole number of 192-byte source packets";
        return false;
    }
    if (size % kAlignedUnit == 0) return true;
    std::fstream file(clip, std::ios::in | std::ios::out | std::ios::binary);
    char header[4] = {};
    file.seekg(size - kSourcePacket);
    file.read(header, 4);
    std::string padding;
    for (int64_t at = size; at % kAlignedUnit != 0; at += kSourcePacket) {
        padding.append(header, 4);
        padding.append("\x47\x1f\xff\x10", 4);
        padding.append(184, '\xff');
    }
    file.seekp(size);
    file.write(padding.data(), static_cast<std::streamsize>(padding.size()));
    file.close();
    if (!file) {
        *error = clip.string() + ": cannot be written";
        return false;
    }
    return true;
}

bool writeClip(const fs::path& video, const fs::path& clip, const ClipSettings& settings,
               const std::function<void(double)>& progress, ClipReport* report,
               std::string* error) {
    {
        ClipJob job(video, clip, settings, report, error);
        if (!job.run(progress)) return false;
    }
    return padToAlignedUnits(clip, error);
}

}  // namespace merrowcli::disc
