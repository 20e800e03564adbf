#pragma once
// Big-endian bytes, the order of every Blu-ray navigation file, with back-patched lengths.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace merrowbdmv {

class ByteWriter {
public:
    void u8(uint32_t value) { bytes_.push_back(static_cast<uint8_t>(value)); }
    void u16(uint32_t value) {
        u8(value >> 8);
        u8(value);
    }
    void u32(uint32_t value) {
        u16(value >> 16);
        u16(value);
    }
    // Exactly size bytes of text, cut or padded with zeros.
    void text(std::string_view value, size_t size) {
        for (size_t i = 0; i < size; ++i) u8(i < value.size() ? static_cast<uint8_t>(value[i]) : 0);
    }
    void zeros(size_t count) { bytes_.insert(bytes_.end(), count, 0); }
    void padTo(size_t offset) {
        if (bytes_.size() < offset) zeros(offset - bytes_.size());
    }
    void putU32At(size_t offset, uint32_t value) {
        for (int i = 0; i < 4; ++i)
            bytes_[offset + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
    }
    void putU16At(size_t offset, uint32_t value) {
        bytes_[offset] = static_cast<uint8_t>(value >> 8);
        bytes_[offset + 1] = static_cast<uint8_t>(value);
    }

    // A 32-bit length field counting the bytes that follow it up to the matching end.
    size_t beginLength32() {
        size_t at = bytes_.size();
        u32(0);
        return at;
    }
    void endLength32(size_t at) { putU32At(at, static_cast<uint32_t>(bytes_.size() - at - 4)); }

    size_t size() const { return bytes_.size(); }
    const std::vector<uint8_t>& bytes() const { return bytes_; }
    std::vector<uint8_t> take() { return std::move(bytes_); }

private:
    std::vector<uint8_t> bytes_;
};

}  // namespace merrowbdmv
