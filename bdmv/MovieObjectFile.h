#pragma once
// BDMV/MovieObject.bdmv: the HDMV movie objects. A disc whose titles are all BD-J has none, but
// the file is one of those every disc carries, so it is written with an empty list.

#include <cstdint>
#include <vector>

namespace merrowbdmv {

// The bytes of a MovieObject.bdmv (version "0200") holding no movie object.
std::vector<uint8_t> encodeEmptyMovieObjects();

}  // namespace merrowbdmv
