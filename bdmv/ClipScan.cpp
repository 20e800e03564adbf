#include "bdmv/ClipScan.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
}

namespace merrowbdmv {

namespace fs = std::filesystem;

namespace {

struct InputCloser {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct PacketFree {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};

std::string avError(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

bool rateIs(const ScannedStream& s, int num, int den) {
    return static_cast<int64_t>(s.frameRateNum) * den == static_cast<int64_t>(num) * s.frameRateDen;
}

// The video format and frame rate codes; 0 where the stream has no code.
void codeVideo(ScannedStream& s, const AVCodecParameters& par) {
    if (par.codec_id != AV_CODEC_ID_H264) return;
    s.coding.codingType = kCodingH264;
    if (s.height == 1080) s.coding.format = s.interlaced ? kVideo1080i : kVideo1080p;
    if (s.height == 720 && !s.interlaced) s.coding.format = kVideo720p;
    // An interlaced stream counts frames: 25i is 25 frames (50 fields) a second.
    const struct {
        int num, den;
        uint8_t code;
    } rates[] = {{24000, 1001, kRate23976}, {24, 1, kRate24}, {25, 1, kRate25},
                 {30000, 1001, kRate2997},  {50, 1, kRate50}, {60000, 1001, kRate5994}};
    for (const auto& rate : rates)
        if (rateIs(s, rate.num, rate.den)) s.coding.rate = rate.code;
    const AVRational sar =
        par.sample_aspect_ratio.num > 0 ? par.sample_aspect_ratio : AVRational{1, 1};
    const double shown =
        static_cast<double>(s.width) * sar.num / (static_cast<double>(s.height) * sar.den);
    s.coding.aspect =
        std::abs(shown - 4.0 / 3.0) < std::abs(shown - 16.0 / 9.0) ? kAspect4x3 : kAspect16x9;
}

void codeAudio(ScannedStream& s, const AVCodecParameters& par) {
    if (par.codec_id == AV_CODEC_ID_AC3) s.coding.codingType = kCodingAc3;
    if (par.codec_id == AV_CODEC_ID_PCM_BLURAY) s.coding.codingType = kCodingLpcm;
    if (s.coding.codingType == 0) return;
    s.coding.format = s.channels == 1   ? kAudioMono
                      : s.channels == 2 ? kAudioStereo
                                        : kAudioMultiChannel;
    if (s.sampleRate == 48000) s.coding.rate = kAudio48kHz;
    s.coding.language = "und";
}

ScannedStream describe(const AVStream& stream) {
    const AVCodecParameters& par = *stream.codecpar;
    ScannedStream s;
    s.pid = static_cast<uint16_t>(stream.id);
    s.codec = avcodec_get_name(par.codec_id);
    s.coding.pid = s.pid;
    if (par.codec_type == AVMEDIA_TYPE_VIDEO) {
        s.video = true;
        s.profile = par.profile;
        s.level = par.level;
        s.width = par.width;
        s.height = par.height;
        AVRational rate =
            stream.avg_frame_rate.num > 0 ? stream.avg_frame_rate : stream.r_frame_rate;
        if (rate.num > 0) {
            av_reduce(&rate.num, &rate.den, rate.num, rate.den, std::numeric_limits<int>::max());
            s.frameRateNum = rate.num;
            s.frameRateDen = rate.den;
        }
        s.interlaced =
            par.field_order != AV_FIELD_PROGRESSIVE && par.field_order != AV_FIELD_UNKNOWN;
        codeVideo(s, par);
    } else if (par.codec_type == AVMEDIA_TYPE_AUDIO) {
        s.sampleRate = par.sample_rate;
        s.channels = par.ch_layout.nb_channels;
        codeAudio(s, par);
    }
    return s;
}

int64_t to90k(int64_t value, AVRational timeBase) {
    return av_rescale_q(value, timeBase, AVRational{1, 90000});
}

bool startsPes(std::istream& in, uint32_t sourcePacket, uint16_t pid) {
    in.clear();
    in.seekg(static_cast<std::streamoff>(sourcePacket) * kSourcePacketSize);
    unsigned char packet[8] = {};
    if (!in.read(reinterpret_cast<char*>(packet), sizeof packet)) return false;
    // A 4-byte arrival time stamp, then the transport packet: sync byte, the payload-start flag
    // and the PID.
    const unsigned packetPid = (packet[5] & 0x1f) << 8 | packet[6];
    return packet[4] == 0x47 && (packet[5] & 0x40) != 0 && packetPid == pid;
}

}  // namespace

bool packetStartsPes(const fs::path& file, uint32_t sourcePacket, uint16_t pid) {
    std::ifstream in(file, std::ios::binary);
    return startsPes(in, sourcePacket, pid);
}

bool scanClip(const fs::path& file, ClipScan* scan, std::string* error) {
    *scan = ClipScan();
    std::error_code ec;
    const uintmax_t size = fs::file_size(file, ec);
    if (ec || size % kSourcePacketSize != 0) {
        *error = file.string() + (ec ? ": cannot be read: " + ec.message()
                                     : ": is not a whole number of 192-byte source packets");
        return false;
    }
    scan->sourcePackets = static_cast<uint32_t>(size / kSourcePacketSize);

    AVFormatContext* raw = nullptr;
    const AVInputFormat* mpegts = av_find_input_format("mpegts");
    int status = avformat_open_input(&raw, file.c_str(), mpegts, nullptr);
    if (status < 0) {
        *error = file.string() + ": cannot be read as a transport stream: " + avError(status);
        return false;
    }
    std::unique_ptr<AVFormatContext, InputCloser> input(raw);
    status = avformat_find_stream_info(input.get(), nullptr);
    if (status < 0) {
        *error = file.string() + ": its streams cannot be read: " + avError(status);
        return false;
    }
    int videoIndex = -1;
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        scan->streams.push_back(describe(*input->streams[i]));
        if (videoIndex < 0 && scan->streams.back().video) videoIndex = static_cast<int>(i);
    }
    if (videoIndex < 0) {
        *error = file.string() + ": has no video stream";
        return false;
    }
    const AVStream& video = *input->streams[videoIndex];
    const uint16_t videoPid = scan->streams[videoIndex].pid;

    std::unique_ptr<AVPacket, PacketFree> packet(av_packet_alloc());
    std::ifstream packets(file, std::ios::binary);
    int64_t first = std::numeric_limits<int64_t>::max();
    int64_t end = std::numeric_limits<int64_t>::min();
    while ((status = av_read_frame(input.get(), packet.get())) >= 0) {
        if (packet->stream_index == videoIndex && packet->pts != AV_NOPTS_VALUE) {
            const int64_t pts = to90k(packet->pts, video.time_base);
            first = std::min(first, pts);
            end =
                std::max(end, pts + std::max<int64_t>(to90k(packet->duration, video.time_base), 0));
            if ((packet->flags & AV_PKT_FLAG_KEY) != 0 && packet->pos >= 0) {
                if (packet->pos % kSourcePacketSize != 0 ||
                    !startsPes(packets, static_cast<uint32_t>(packet->pos / kSourcePacketSize),
                               videoPid)) {
                    *error = file.string() + ": the key frame at byte " +
                             std::to_string(packet->pos) +
                             " does not start a source packet of the video stream";
                    av_packet_unref(packet.get());
                    return false;
                }
                scan->keyFrames.push_back(
                    {pts, static_cast<uint32_t>(packet->pos / kSourcePacketSize)});
            }
        }
        av_packet_unref(packet.get());
    }
    if (status != AVERROR_EOF) {
        *error = file.string() + ": cannot be read to its end: " + avError(status);
        return false;
    }
    if (scan->keyFrames.empty()) {
        *error = file.string() + ": its video stream has no key frame";
        return false;
    }
    std::sort(
        scan->keyFrames.begin(), scan->keyFrames.end(),
        [](const EntryPoint& a, const EntryPoint& b) { return a.sourcePacket < b.sourcePacket; });
    scan->firstPts90k = first;
    scan->endPts90k = end;
    return true;
}

ClipInfo clipInfoOf(const ClipScan& scan) {
    ClipInfo clip;
    clip.sourcePackets = scan.sourcePackets;
    clip.presentationStart90k = scan.firstPts90k;
    clip.presentationEnd90k = scan.endPts90k;
    for (bool video : {true, false}) {
        for (const ScannedStream& s : scan.streams)
            if (s.video == video && s.coding.codingType != 0) clip.streams.push_back(s.coding);
    }
    if (!clip.streams.empty()) clip.pcrPid = clip.streams.front().pid;
    clip.entryPoints = scan.keyFrames;
    return clip;
}

}  // namespace merrowbdmv
