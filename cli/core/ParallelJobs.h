#pragma once
// Runs a numbered set of independent jobs on a few worker threads, for the commands' work that
// splits into many files (the import's media and pictures). Each job writes only its own
// result, so what the caller makes of the results does not depend on the number of workers or
// on the order in which jobs finish.

#include <cstddef>
#include <functional>

namespace merrowcli {

// The number of workers a command uses: the -j value when given (jobs > 0), else
// MERROWKIT_JOBS when it is a number from 1 to 64, else the number of cores (at most 64).
int workerCount(int jobs = 0);

// Runs job(0) ... job(count - 1), taken in index order by `workers` threads; with one worker
// (or one job) all run on the caller's thread. Meanwhile the caller's thread calls
// progress(finished) after each job that finishes (never from two threads at once). When a
// job throws, the jobs not yet started are left out, and the first exception (by job number)
// is rethrown here once every worker has stopped.
void runJobs(size_t count, int workers, const std::function<void(size_t index)>& job,
             const std::function<void(size_t finished)>& progress = {});

}  // namespace merrowcli
