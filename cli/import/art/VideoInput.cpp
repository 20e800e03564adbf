#include "cli/import/art/VideoInput.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/error.h>
}

#include <memory>

namespace merrowcli::import {

namespace {

std::string averror(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

struct DictionaryFree {
    void operator()(AVDictionary* options) const { av_dict_free(&options); }
};

}  // namespace

VideoInput::~VideoInput() {
    if (context_ != nullptr) avformat_close_input(&context_);
}

int VideoInput::interrupted(void* input) {
    return std::chrono::steady_clock::now() > static_cast<VideoInput*>(input)->deadline_ ? 1 : 0;
}

bool VideoInput::open(const std::filesystem::path& file, std::string* problem) {
    if (context_ != nullptr) avformat_close_input(&context_);
    AVFormatContext* opened = avformat_alloc_context();
    if (opened == nullptr) {
        *problem = "out of memory";
        return false;
    }
    deadline_ = std::chrono::steady_clock::now() + kDeadline;
    opened->interrupt_callback.callback = &VideoInput::interrupted;
    opened->interrupt_callback.opaque = this;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    av_dict_set(&options, "format_whitelist", kFormats, 0);
    std::unique_ptr<AVDictionary, DictionaryFree> owned(options);
    // A path with a colon must not be taken for a protocol: "file:" names the protocol.
    const std::string url = "file:" + std::filesystem::absolute(file).string();
    int status = avformat_open_input(&opened, url.c_str(), nullptr, &options);
    owned.release();
    owned.reset(options);
    if (status < 0) {  // avformat_open_input freed the context
        *problem = averror(status);
        return false;
    }
    context_ = opened;
    status = avformat_find_stream_info(context_, nullptr);
    if (status < 0) {
        *problem = averror(status);
        avformat_close_input(&context_);
        return false;
    }
    return true;
}

}  // namespace merrowcli::import
