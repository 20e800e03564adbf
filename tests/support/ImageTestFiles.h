#pragma once
// Helpers for the picture tests: a temporary folder, whole-file reads and writes, and the PNG
// chunk checksum needed to forge a header.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/TempFolder.h"

namespace imagetest {

using TempFolder = merrowtest::TempFolder;

inline std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// CRC-32 as PNG chunks use it.
inline uint32_t crc32(const uint8_t* data, size_t size) {
    uint32_t crc = 0xffffffffu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xffffffffu;
}

inline void putBigEndian32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    bytes[at] = static_cast<uint8_t>(value >> 24);
    bytes[at + 1] = static_cast<uint8_t>(value >> 16);
    bytes[at + 2] = static_cast<uint8_t>(value >> 8);
    bytes[at + 3] = static_cast<uint8_t>(value);
}

// Makes a PNG file claim another size: rewrites the header chunk (always first, at byte 8) and
// its checksum, leaving the pixel data as it was.
inline void forgePngSize(std::vector<uint8_t>& png, uint32_t width, uint32_t height) {
    ASSERT_GT(png.size(), 33u);
    ASSERT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
    putBigEndian32(png, 16, width);
    putBigEndian32(png, 20, height);
    putBigEndian32(png, 29, crc32(png.data() + 12, 17));
}

// The byte offset of the first chunk of the given type, or 0.
inline size_t findPngChunk(const std::vector<uint8_t>& png, const std::string& type) {
    size_t at = 8;
    while (at + 12 <= png.size()) {
        const uint32_t length = (uint32_t{png[at]} << 24) | (uint32_t{png[at + 1]} << 16) |
                                (uint32_t{png[at + 2]} << 8) | png[at + 3];
        if (std::string(png.begin() + at + 4, png.begin() + at + 8) == type) return at;
        at += 12 + length;
    }
    return 0;
}

// Pseudo-random bytes from a fixed seed, for pictures that do not compress away.
inline std::vector<uint8_t> noise(size_t size, uint32_t seed) {
    std::vector<uint8_t> bytes(size);
    for (auto& byte : bytes) {
        seed = seed * 1664525u + 1013904223u;
        byte = static_cast<uint8_t>(seed >> 24);
    }
    return bytes;
}

}  // namespace imagetest
