#include "cli/import/art/VideoFrame.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <cmath>
#include <cstring>
#include <memory>
#include <new>

#include "cli/import/art/PhotoReader.h"
#include "cli/import/art/VideoInput.h"
#include "host/pictures/ImageLimits.h"

namespace merrowcli::import {

namespace {

struct DecoderFreer {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct PacketFreer {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct FrameFreer {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct ScalerFreer {
    void operator()(SwsContext* context) const { sws_freeContext(context); }
};

std::string averror(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// The frame's picture at its display aspect ratio: non-square pixels are widened or narrowed.
bool convert(const AVFrame& frame, AVRational sampleAspect, Picture& picture,
             std::string& problem) {
    int width = frame.width;
    const int height = frame.height;
    if (sampleAspect.num > 0 && sampleAspect.den > 0 && sampleAspect.num != sampleAspect.den) {
        width = static_cast<int>(
            std::lround(static_cast<double>(frame.width) * sampleAspect.num / sampleAspect.den));
    }
    if (!merrowhost::imageSizeAllowed(width, height)) {
        problem = "frame size out of range";
        return false;
    }
    std::unique_ptr<SwsContext, ScalerFreer> scaler(sws_getContext(
        frame.width, frame.height, static_cast<AVPixelFormat>(frame.format), width, height,
        AV_PIX_FMT_RGBA, SWS_AREA | SWS_ACCURATE_RND | SWS_BITEXACT | SWS_FULL_CHR_H_INT, nullptr,
        nullptr, nullptr));
    if (!scaler) {
        problem = "cannot convert the frame's pixel format";
        return false;
    }
    picture.width = width;
    picture.height = height;
    picture.rgba.assign(static_cast<size_t>(width) * height * 4, 0);
    std::uint8_t* target[4] = {picture.rgba.data(), nullptr, nullptr, nullptr};
    const int stride[4] = {width * 4, 0, 0, 0};
    sws_scale(scaler.get(), frame.data, frame.linesize, 0, frame.height, target, stride);
    return true;
}

// The EXIF orientation that shows the stream as its display matrix says (a phone's portrait
// video is stored sideways): 6 for a quarter turn clockwise, 3 for half a turn, 8 for a quarter
// turn anticlockwise, 1 for none or an angle that is no quarter turn.
int orientationOf(const AVStream& stream) {
    size_t size = 0;
    const std::uint8_t* data = av_stream_get_side_data(&stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (data == nullptr || size < 9 * sizeof(std::int32_t)) return 1;
    std::int32_t matrix[9];
    std::memcpy(matrix, data, sizeof matrix);
    // av_display_rotation_get gives the anticlockwise angle; the picture is turned clockwise by
    // its opposite, as ffmpeg's players do.
    const double angle = -av_display_rotation_get(matrix);
    if (std::isnan(angle)) return 1;
    const long quarters = std::lround(angle / 90.0);
    if (std::fabs(angle - 90.0 * static_cast<double>(quarters)) > 1.0) return 1;
    constexpr int kTurned[4] = {1, 6, 3, 8};
    return kTurned[((quarters % 4) + 4) % 4];
}

using Decoder = std::unique_ptr<AVCodecContext, DecoderFreer>;

// A decoder of the file's best video stream, on threads of its own; its index into *streamIndex.
Decoder openDecoder(AVFormatContext* input, int* streamIndex, std::string& problem) {
    const AVCodec* codec = nullptr;
    *streamIndex = av_find_best_stream(input, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    if (*streamIndex < 0 || codec == nullptr) {
        problem = *streamIndex == AVERROR_DECODER_NOT_FOUND ? "no decoder for its video"
                                                            : "no video stream";
        return nullptr;
    }
    Decoder decoder(avcodec_alloc_context3(codec));
    if (!decoder) {
        problem = "out of memory";
        return nullptr;
    }
    avcodec_parameters_to_context(decoder.get(), input->streams[*streamIndex]->codecpar);
    // As many threads as the decoder finds cores for: libavcodec's decoders give the same frames
    // whatever the number of threads, so the picture does not depend on it.
    decoder->thread_count = 0;
    decoder->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    const int code = avcodec_open2(decoder.get(), codec, nullptr);
    if (code < 0) {
        problem = averror(code);
        return nullptr;
    }
    return decoder;
}

// The wanted time in the stream's units, counted from the stream's first timestamp; the input
// is moved to the key frame at or before it, from where decoding goes on.
std::int64_t seekTo(AVFormatContext* input, int streamIndex, AVCodecContext* decoder,
                    double seconds) {
    const AVStream* stream = input->streams[streamIndex];
    const std::int64_t start = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
    const std::int64_t wanted =
        start + av_rescale_q(std::llround(std::max(0.0, seconds) * AV_TIME_BASE), AV_TIME_BASE_Q,
                             stream->time_base);
    if (wanted > start && av_seek_frame(input, streamIndex, wanted, AVSEEK_FLAG_BACKWARD) >= 0) {
        avcodec_flush_buffers(decoder);
    }
    return wanted;
}

// Decodes frames until one at or after the wanted time (or the last one) is in *last. False
// when no frame came out; *decodeProblem says why when the decoder said so.
bool decodeUntil(AVFormatContext* input, int streamIndex, AVCodecContext* decoder,
                 std::int64_t wanted, AVFrame* last, std::string* decodeProblem) {
    std::unique_ptr<AVPacket, PacketFreer> packet(av_packet_alloc());
    std::unique_ptr<AVFrame, FrameFreer> frame(av_frame_alloc());
    if (!packet || !frame) throw std::bad_alloc();
    bool haveLast = false;
    bool draining = false;
    while (true) {
        int code = avcodec_receive_frame(decoder, frame.get());
        if (code == 0) {
            const std::int64_t time = frame->best_effort_timestamp;
            av_frame_unref(last);
            av_frame_move_ref(last, frame.get());
            haveLast = true;
            if (time == AV_NOPTS_VALUE || time >= wanted) break;
            continue;
        }
        if (code == AVERROR_EOF) break;
        if (code != AVERROR(EAGAIN)) {
            *decodeProblem = averror(code);
            break;
        }
        if (draining) break;
        code = av_read_frame(input, packet.get());
        if (code < 0) {
            // The end of the file: what the decoder still holds comes out.
            draining = true;
            avcodec_send_packet(decoder, nullptr);
            continue;
        }
        if (packet->stream_index == streamIndex) {
            const int sent = avcodec_send_packet(decoder, packet.get());
            if (sent < 0 && sent != AVERROR(EAGAIN) && decodeProblem->empty()) {
                *decodeProblem = averror(sent);
            }
        }
        av_packet_unref(packet.get());
    }
    return haveLast;
}

bool decodeFrame(const std::filesystem::path& file, double seconds, Picture& picture,
                 std::string& problem) {
    VideoInput opened;
    if (!opened.open(file, &problem)) return false;
    AVFormatContext* input = opened.context();
    int streamIndex = -1;
    const Decoder decoder = openDecoder(input, &streamIndex, problem);
    if (!decoder) return false;
    const std::int64_t wanted = seekTo(input, streamIndex, decoder.get(), seconds);
    std::unique_ptr<AVFrame, FrameFreer> last(av_frame_alloc());
    if (!last) {
        problem = "out of memory";
        return false;
    }
    std::string decodeProblem;
    bool decoded =
        decodeUntil(input, streamIndex, decoder.get(), wanted, last.get(), &decodeProblem);
    if (!decoded) {
        // The seek may land where nothing decodes (an MPEG-TS has no index of its key frames,
        // and an H.264 decoder waits for one): from the start again, the frame at or after the
        // wanted time, else the last that decodes.
        const AVStream* stream = input->streams[streamIndex];
        const std::int64_t start = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
        if (avformat_seek_file(input, streamIndex, INT64_MIN, start, start, 0) >= 0) {
            avcodec_flush_buffers(decoder.get());
            decodeProblem.clear();
            decoded =
                decodeUntil(input, streamIndex, decoder.get(), wanted, last.get(), &decodeProblem);
        }
    }
    if (!decoded) {
        problem = decodeProblem.empty() ? "no frame could be decoded" : decodeProblem;
        return false;
    }
    const AVRational aspect =
        av_guess_sample_aspect_ratio(input, input->streams[streamIndex], last.get());
    if (!convert(*last, aspect, picture, problem)) return false;
    const int orientation = orientationOf(*input->streams[streamIndex]);
    if (orientation != 1) picture = orientPicture(picture, orientation);
    return true;
}

}  // namespace

std::optional<Picture> readVideoFrame(const std::filesystem::path& file, double seconds,
                                      std::string& error) {
    Picture picture;
    std::string problem;
    bool ok = false;
    try {
        ok = decodeFrame(file, seconds, picture, problem);
    } catch (const std::bad_alloc&) {
        problem = "out of memory";
    }
    if (!ok) {
        error = file.string() + ": " + problem;
        return std::nullopt;
    }
    return picture;
}

}  // namespace merrowcli::import
