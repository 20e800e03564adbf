#pragma once
// The model as the binary file a BD-J player reads with java.io.DataInputStream: big-endian,
// a magic and a version first (docs/menu-model.md, "Binary encoding").

#include <string>

#include "cli/menu/MenuModel.h"

namespace merrowcli::menu {

constexpr int32_t kMenuMagic = 0x4D4B4D4D;  // "MKMM"

// False with *error naming the value that does not fit its field (a coordinate beyond a
// short, a text longer than 65535 bytes).
bool menuBinary(const MenuModel& model, std::string* bytes, std::string* error);

}  // namespace merrowcli::menu
