#include "bdmv/IndexFile.h"

#include "bdmv/ByteWriter.h"

namespace merrowbdmv {

namespace {

constexpr uint32_t kObjectTypeBdj = 2;
// The header (type, version, two start addresses) is followed by reserved bytes up to the
// AppInfoBDMV block at byte 40.
constexpr size_t kAppInfoOffset = 40;
constexpr uint32_t kAppInfoLength = 34;

// object_type (2 bits) and 30 reserved bits, then the BD-J object: playback type (2 bits),
// 14 reserved bits, the BDJO name and one reserved byte.
void writeBdjObject(ByteWriter& out, const BdjObjectRef& object, uint32_t accessType) {
    out.u32(kObjectTypeBdj << 30 | accessType << 28);
    out.u16(static_cast<uint32_t>(object.playbackType) << 14);
    out.text(object.name, 5);
    out.u8(0);
}

}  // namespace

std::vector<uint8_t> encodeIndex(const IndexFile& index) {
    ByteWriter out;
    out.text("INDX0200", 8);
    const size_t indexesStart = out.size();
    out.u32(0);  // indexes_start_address, patched below
    out.u32(0);  // extension_data_start_address: none
    out.padTo(kAppInfoOffset);
    out.u32(kAppInfoLength);
    // No 3D, no initial output mode preference; video format and frame rate left unset.
    out.u8(0);
    out.u8(0);
    out.zeros(32);  // user data

    out.putU32At(indexesStart, static_cast<uint32_t>(out.size()));
    const size_t length = out.beginLength32();
    writeBdjObject(out, index.firstPlay, 0);
    writeBdjObject(out, index.topMenu, 0);
    out.u16(static_cast<uint32_t>(index.titles.size()));
    for (const BdjObjectRef& title : index.titles) writeBdjObject(out, title, 0);
    out.endLength32(length);
    return out.take();
}

}  // namespace merrowbdmv
