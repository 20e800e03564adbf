#include "bdmv/IdFile.h"

#include "bdmv/ByteWriter.h"

namespace merrowbdmv {

std::vector<uint8_t> encodeId(const DiscIdentity& identity) {
    constexpr uint32_t kDataStart = 40;
    ByteWriter out;
    out.text("BDID0200", 8);
    out.u32(kDataStart);
    out.u32(0);  // no extension data
    out.padTo(kDataStart);
    out.u32(identity.organisationId);
    for (uint8_t byte : identity.discId) out.u8(byte);
    return out.take();
}

}  // namespace merrowbdmv
