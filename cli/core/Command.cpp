#include "cli/core/Command.h"

#include <exception>

#include "cli/core/Messages.h"

namespace merrowcli {

int runCatching(int failureStatus, const std::function<int()>& body) {
    try {
        return body();
    } catch (const std::exception& e) {
        Messages::instance().error(e.what());
    } catch (...) {
        Messages::instance().error("unexpected failure");
    }
    return failureStatus;
}

}  // namespace merrowcli
