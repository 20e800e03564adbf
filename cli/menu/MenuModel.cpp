#include "cli/menu/MenuModel.h"

namespace merrowcli::menu {

const char* keyName(Key key) {
    switch (key) {
        case Key::Up:
            return "UP";
        case Key::Down:
            return "DOWN";
        case Key::Left:
            return "LEFT";
        case Key::Right:
            return "RIGHT";
        case Key::Ok:
            return "OK";
        case Key::Back:
            return "BACK";
        case Key::PopupMenu:
            return "POPUP_MENU";
    }
    return "";
}

}  // namespace merrowcli::menu
