#pragma once
// The model as JSON, the form the preview page carries (docs/menu-model.md, "JSON encoding").
// The characters <, > and & are written as \u escapes, so that the text can stand inside an
// HTML script element as it is.

#include <string>

#include "cli/menu/MenuModel.h"

namespace merrowcli::menu {

std::string menuJson(const MenuModel& model);

}  // namespace merrowcli::menu
