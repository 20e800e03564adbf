#include "cli/import/Digest.h"

#include <new>

extern "C" {
#include <libavutil/hash.h>
}

namespace merrowcli::import {

Digest::Digest() {
    if (av_hash_alloc(&context_, "MURMUR3") < 0 || context_ == nullptr) throw std::bad_alloc();
    av_hash_init(context_);
}

Digest::~Digest() {
    av_hash_freep(&context_);
}

void Digest::add(std::string_view bytes) {
    av_hash_update(context_, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

std::string Digest::hex() {
    char text[AV_HASH_MAX_SIZE * 2 + 1] = {};
    av_hash_final_hex(context_, reinterpret_cast<uint8_t*>(text), sizeof text);
    av_hash_init(context_);
    return text;
}

std::string Digest::of(std::string_view bytes) {
    Digest digest;
    digest.add(bytes);
    return digest.hex();
}

}  // namespace merrowcli::import
