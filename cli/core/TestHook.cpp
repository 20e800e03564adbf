#include "cli/core/TestHook.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace merrowcli {

// The hooks read their environment variables only in a program built for the tests
// (MERROWKIT_TEST_HOOKS); a release build never stops, never skips the exchange or the hard
// links and keeps the real pixel budget.
#ifdef MERROWKIT_TEST_HOOKS

void killedAtForTest(const char* step) {
    // MERROWKIT_TEST_PLANT_AT=STEP:FILE writes FILE at STEP, as a user who saves a file there
    // while the run works.
    if (const char* plant = std::getenv("MERROWKIT_TEST_PLANT_AT")) {
        const size_t length = std::strlen(step);
        if (std::strncmp(plant, step, length) == 0 && plant[length] == ':') {
            std::ofstream(plant + length + 1) << "planted\n";
        }
    }
    const char* wanted = std::getenv("MERROWKIT_TEST_KILL_AT");
    if (wanted != nullptr && std::strcmp(wanted, step) == 0) std::raise(SIGKILL);
}

bool exchangeDisabledForTest() {
    return std::getenv("MERROWKIT_TEST_NO_EXCHANGE") != nullptr;
}

bool linkDisabledForTest() {
    return std::getenv("MERROWKIT_TEST_NO_LINK") != nullptr;
}

long long pixelBudgetForTest(long long fallback) {
    const char* text = std::getenv("MERROWKIT_TEST_PIXEL_BUDGET");
    if (text == nullptr) return fallback;
    char* end = nullptr;
    const long long value = std::strtoll(text, &end, 10);
    return end != text && *end == '\0' && value > 0 ? value : fallback;
}

#else

void killedAtForTest(const char*) {}

bool exchangeDisabledForTest() {
    return false;
}

bool linkDisabledForTest() {
    return false;
}

long long pixelBudgetForTest(long long fallback) {
    return fallback;
}

#endif

}  // namespace merrowcli
