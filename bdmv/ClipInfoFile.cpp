#include "bdmv/ClipInfoFile.h"

#include "bdmv/ByteWriter.h"

namespace merrowbdmv {

namespace {

// The header (type, version, five start addresses) is followed by reserved bytes up to the
// ClipInfo block at byte 40.
constexpr size_t kClipInfoOffset = 40;
constexpr uint32_t kClipStreamTypeAv = 1;
constexpr uint32_t kApplicationMovie = 1;
// The TS type info block: its validity flags and format identifier, then reserved bytes.
constexpr uint32_t kTsTypeInfoLength = 30;
// Each stream's coding attributes take a fixed block, zero-padded.
constexpr uint32_t kStreamAttributesLength = 21;
constexpr uint32_t kCpiTypeEpMap = 1;
constexpr uint32_t kEpStreamTypeVideo = 1;

void writeStreamAttributes(ByteWriter& out, const ClipStream& stream) {
    out.u16(stream.pid);
    out.u8(kStreamAttributesLength);
    const size_t start = out.size();
    out.u8(stream.codingType);
    out.u8(static_cast<uint32_t>(stream.format & 0xf) << 4 | (stream.rate & 0xf));
    if (stream.isVideo()) {
        // aspect (4 bits), 2 reserved, original-content flag, 1 reserved
        out.u8(static_cast<uint32_t>(stream.aspect & 0xf) << 4);
    } else {
        out.text(stream.language, 3);
    }
    out.padTo(start + kStreamAttributesLength);
}

// An entry point splits into a coarse part (the high PTS and packet bits, shared by a run of
// entries) and a fine part (the low bits): PTS bits 32..19 and 19..9, packet bits 31..17 and
// 16..0.
uint32_t coarsePts(int64_t pts90k) {
    return static_cast<uint32_t>(pts90k >> 19) & 0x3fff;
}
uint32_t finePts(int64_t pts90k) {
    return static_cast<uint32_t>(pts90k >> 9) & 0x7ff;
}

void writeEpMap(ByteWriter& out, uint16_t pid, const std::vector<EntryPoint>& points) {
    // Which entries start a coarse run: the first, and each whose high bits differ.
    std::vector<size_t> coarse;
    for (size_t i = 0; i < points.size(); ++i) {
        if (i == 0 || coarsePts(points[i].pts90k) != coarsePts(points[i - 1].pts90k) ||
            points[i].sourcePacket >> 17 != points[i - 1].sourcePacket >> 17) {
            coarse.push_back(i);
        }
    }
    const size_t epMapStart = out.size();
    out.u8(0);
    out.u8(1);  // one stream
    out.u16(pid);
    // 10 reserved bits, the stream type (4), the coarse count (16) and the fine count (18).
    const uint64_t counts = static_cast<uint64_t>(kEpStreamTypeVideo) << 34 |
                            static_cast<uint64_t>(coarse.size()) << 18 | points.size();
    out.u16(static_cast<uint32_t>(counts >> 32));
    out.u32(static_cast<uint32_t>(counts));
    const size_t streamStartField = out.size();
    out.u32(0);
    out.putU32At(streamStartField, static_cast<uint32_t>(out.size() - epMapStart));

    const size_t streamStart = out.size();
    const size_t fineStartField = out.size();
    out.u32(0);
    for (size_t index : coarse) {
        out.u32(static_cast<uint32_t>(index) << 14 | coarsePts(points[index].pts90k));
        out.u32(points[index].sourcePacket);
    }
    out.putU32At(fineStartField, static_cast<uint32_t>(out.size() - streamStart));
    for (const EntryPoint& point : points) {
        // No angle change point; the I-frame's end class is not measured (players seek by the
        // start alone), written as the smallest class.
        out.u32(1u << 28 | finePts(point.pts90k) << 17 | (point.sourcePacket & 0x1ffff));
    }
}

bool fits(const ClipInfo& clip) {
    if (clip.streams.empty() || clip.streams.size() > 255 || !clip.streams.front().isVideo()) {
        return false;
    }
    for (size_t i = 1; i < clip.entryPoints.size(); ++i) {
        if (clip.entryPoints[i].pts90k <= clip.entryPoints[i - 1].pts90k ||
            clip.entryPoints[i].sourcePacket <= clip.entryPoints[i - 1].sourcePacket) {
            return false;
        }
    }
    return clip.entryPoints.size() < (1u << 18) &&
           clip.presentationStart90k <= clip.presentationEnd90k;
}

}  // namespace

std::vector<uint8_t> encodeClipInfo(const ClipInfo& clip) {
    if (!fits(clip)) return {};
    ByteWriter out;
    out.text("HDMV0200", 8);
    const size_t addresses = out.size();
    out.zeros(5 * 4);  // sequence, program, CPI, clip mark, extension: patched below
    out.padTo(kClipInfoOffset);

    size_t length = out.beginLength32();
    out.u16(0);
    out.u8(kClipStreamTypeAv);
    out.u8(kApplicationMovie);
    out.u32(0);  // no ATC delta
    out.u32(clip.recordingRate);
    out.u32(clip.sourcePackets);
    out.zeros(128);
    out.u16(kTsTypeInfoLength);
    out.u8(0x80);
    out.text("HDMV", 4);
    out.zeros(kTsTypeInfoLength - 5);
    out.endLength32(length);

    // One ATC sequence holding one STC sequence, both from the clip's first packet.
    out.putU32At(addresses, static_cast<uint32_t>(out.size()));
    length = out.beginLength32();
    out.u8(0);
    out.u8(1);
    out.u32(0);
    out.u8(1);
    out.u8(0);
    out.u16(clip.pcrPid);
    out.u32(0);
    out.u32(ticks45k(clip.presentationStart90k));
    out.u32(ticks45k(clip.presentationEnd90k));
    out.endLength32(length);

    // One program over the whole clip.
    out.putU32At(addresses + 4, static_cast<uint32_t>(out.size()));
    length = out.beginLength32();
    out.u8(0);
    out.u8(1);
    out.u32(0);
    out.u16(clip.programMapPid);
    out.u8(static_cast<uint32_t>(clip.streams.size()));
    out.u8(0);
    for (const ClipStream& stream : clip.streams) writeStreamAttributes(out, stream);
    out.endLength32(length);

    out.putU32At(addresses + 8, static_cast<uint32_t>(out.size()));
    length = out.beginLength32();
    out.u16(kCpiTypeEpMap);
    writeEpMap(out, clip.streams.front().pid, clip.entryPoints);
    out.endLength32(length);

    // No clip marks; no extension data.
    out.putU32At(addresses + 12, static_cast<uint32_t>(out.size()));
    out.u32(0);
    return out.take();
}

}  // namespace merrowbdmv
