#include "bdmv/PlaylistFile.h"

#include <algorithm>

#include "bdmv/ByteWriter.h"

namespace merrowbdmv {

namespace {

// The header (type, version, three start addresses) is followed by reserved bytes up to the
// AppInfoPlayList block at byte 40.
constexpr size_t kAppInfoOffset = 40;
constexpr uint32_t kPlaybackSequential = 1;
constexpr uint32_t kConnectionNotSeamless = 1;
constexpr uint32_t kStreamEntryLength = 9;
constexpr uint32_t kStreamAttributesLength = 5;
constexpr uint32_t kStreamOfThePlayItem = 1;
constexpr uint32_t kMarkEntry = 1;

void writeStream(ByteWriter& out, const ClipStream& stream) {
    out.u8(kStreamEntryLength);
    const size_t entry = out.size();
    out.u8(kStreamOfThePlayItem);
    out.u16(stream.pid);
    out.padTo(entry + kStreamEntryLength);
    out.u8(kStreamAttributesLength);
    const size_t attributes = out.size();
    out.u8(stream.codingType);
    out.u8(static_cast<uint32_t>(stream.format & 0xf) << 4 | (stream.rate & 0xf));
    if (!stream.isVideo()) out.text(stream.language, 3);
    out.padTo(attributes + kStreamAttributesLength);
}

// The stream number table: which streams a player may select while the play item plays, the
// video streams before the audio streams.
void writeStreamTable(ByteWriter& out, const std::vector<ClipStream>& streams) {
    const auto videoCount = std::count_if(streams.begin(), streams.end(),
                                          [](const ClipStream& s) { return s.isVideo(); });
    const size_t length = out.size();
    out.u16(0);
    out.u16(0);
    out.u8(static_cast<uint32_t>(videoCount));
    out.u8(static_cast<uint32_t>(streams.size() - videoCount));
    out.zeros(5);  // no graphics, secondary or picture-in-picture streams
    out.zeros(5);
    for (const ClipStream& stream : streams)
        if (stream.isVideo()) writeStream(out, stream);
    for (const ClipStream& stream : streams)
        if (!stream.isVideo()) writeStream(out, stream);
    out.putU16At(length, static_cast<uint32_t>(out.size() - length - 2));
}

bool fits(const Playlist& playlist) {
    if (playlist.clipName.size() != 5 || playlist.out90k <= playlist.in90k ||
        playlist.streams.size() > 32 || playlist.entryMarks90k.size() > 0xffff) {
        return false;
    }
    if (std::none_of(playlist.streams.begin(), playlist.streams.end(),
                     [](const ClipStream& s) { return s.isVideo(); })) {
        return false;
    }
    if (!std::is_sorted(playlist.entryMarks90k.begin(), playlist.entryMarks90k.end())) return false;
    return std::all_of(
        playlist.entryMarks90k.begin(), playlist.entryMarks90k.end(),
        [&](int64_t mark) { return mark >= playlist.in90k && mark < playlist.out90k; });
}

}  // namespace

std::vector<uint8_t> encodePlaylist(const Playlist& playlist) {
    if (!fits(playlist)) return {};
    ByteWriter out;
    out.text("MPLS0200", 8);
    const size_t addresses = out.size();
    out.zeros(3 * 4);  // play list, marks, extension: patched below
    out.padTo(kAppInfoOffset);

    size_t length = out.beginLength32();
    out.u8(0);
    out.u8(kPlaybackSequential);
    out.u16(0);
    out.zeros(8);  // every user operation allowed
    out.u16(0);    // no random access, no audio mixing
    out.endLength32(length);

    out.putU32At(addresses, static_cast<uint32_t>(out.size()));
    length = out.beginLength32();
    out.u16(0);
    out.u16(1);  // one play item
    out.u16(0);  // no sub paths
    const size_t item = out.size();
    out.u16(0);
    out.text(playlist.clipName, 5);
    out.text("M2TS", 4);
    out.u16(kConnectionNotSeamless);  // 11 reserved bits, no multi-angle, the connection
    out.u8(0);                        // the clip's first STC sequence
    out.u32(ticks45k(playlist.in90k));
    out.u32(ticks45k(playlist.out90k));
    out.zeros(8);  // every user operation allowed
    out.u8(0);     // random access allowed
    out.u8(0);     // no still at the end
    out.u16(0);
    writeStreamTable(out, playlist.streams);
    out.putU16At(item, static_cast<uint32_t>(out.size() - item - 2));
    out.endLength32(length);

    out.putU32At(addresses + 4, static_cast<uint32_t>(out.size()));
    length = out.beginLength32();
    out.u16(static_cast<uint32_t>(playlist.entryMarks90k.size()));
    for (int64_t mark : playlist.entryMarks90k) {
        out.u8(0);
        out.u8(kMarkEntry);
        out.u16(0);  // the play item
        out.u32(ticks45k(mark));
        out.u16(0xffff);  // no elementary stream named
        out.u32(0);       // no duration
    }
    out.endLength32(length);
    return out.take();
}

}  // namespace merrowbdmv
