#pragma once
// CERTIFICATE/id.bdmv: the disc's organisation and disc identifiers, which a player uses to name
// the BD-J application's persistent storage. An unsigned disc needs no other certificate file.

#include <array>
#include <cstdint>
#include <vector>

namespace merrowbdmv {

struct DiscIdentity {
    uint32_t organisationId = 0;
    std::array<uint8_t, 16> discId{};
};

// The bytes of id.bdmv (version "0200").
std::vector<uint8_t> encodeId(const DiscIdentity& identity);

}  // namespace merrowbdmv
