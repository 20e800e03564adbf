#include "bdmv/MovieObjectFile.h"

#include "bdmv/ByteWriter.h"

namespace merrowbdmv {

std::vector<uint8_t> encodeEmptyMovieObjects() {
    ByteWriter out;
    out.text("MOBJ0200", 8);
    out.u32(0);  // extension_data_start_address: none
    out.padTo(40);
    const size_t length = out.beginLength32();
    out.u32(0);  // reserved
    out.u16(0);  // number_of_mobjs
    out.endLength32(length);
    return out.take();
}

}  // namespace merrowbdmv
