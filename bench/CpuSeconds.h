#pragma once
// The CPU time this process has used so far, in seconds, for the bench programs' own timings.

#include <ctime>

inline double cpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}
