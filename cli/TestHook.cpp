#include "cli/TestHook.h"

#include <csignal>
#include <cstdlib>
#include <cstring>

namespace merrowcli {

void killedAtForTest(const char* step) {
    const char* wanted = std::getenv("MERROWKIT_TEST_KILL_AT");
    if (wanted != nullptr && std::strcmp(wanted, step) == 0) std::raise(SIGKILL);
}

bool exchangeDisabledForTest() {
    return std::getenv("MERROWKIT_TEST_NO_EXCHANGE") != nullptr;
}

}  // namespace merrowcli
