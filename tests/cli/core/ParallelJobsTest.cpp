#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "cli/core/ParallelJobs.h"

namespace {

using merrowcli::runJobs;

TEST(ParallelJobs, EveryJobRunsOnceAndProgressCountsUpToAll) {
    for (const int workers : {1, 2, 5}) {
        std::vector<std::atomic<int>> runs(200);
        std::vector<size_t> shown;
        const std::thread::id caller = std::this_thread::get_id();
        std::set<std::thread::id> progressThreads;
        runJobs(
            runs.size(), workers,
            [&](size_t index) {
                // Uneven lengths, so that jobs finish out of order.
                if (index % 7 == 0) std::this_thread::sleep_for(std::chrono::microseconds(300));
                ++runs[index];
            },
            [&](size_t finished) {
                shown.push_back(finished);
                progressThreads.insert(std::this_thread::get_id());
            });
        for (size_t i = 0; i < runs.size(); ++i) EXPECT_EQ(runs[i].load(), 1) << i;
        ASSERT_FALSE(shown.empty());
        EXPECT_EQ(shown.back(), runs.size()) << workers;
        for (size_t i = 1; i < shown.size(); ++i) EXPECT_LT(shown[i - 1], shown[i]);
        EXPECT_EQ(progressThreads, std::set<std::thread::id>{caller});
    }
}

TEST(ParallelJobs, SeveralWorkersRunAtOnceAndOneRunsOnTheCaller) {
    std::atomic<int> running{0};
    std::atomic<int> most{0};
    std::set<std::thread::id> threads;
    std::mutex mutex;
    auto job = [&](size_t) {
        const int now = ++running;
        int seen = most.load();
        while (now > seen && !most.compare_exchange_weak(seen, now)) {
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        --running;
        const std::lock_guard<std::mutex> lock(mutex);
        threads.insert(std::this_thread::get_id());
    };
    runJobs(8, 2, job);
    EXPECT_EQ(most.load(), 2);
    EXPECT_EQ(threads.size(), 2u);

    threads.clear();
    most = 0;
    runJobs(8, 1, job);
    EXPECT_EQ(most.load(), 1);
    EXPECT_EQ(threads, std::set<std::thread::id>{std::this_thread::get_id()});
}

TEST(ParallelJobs, AFailureStopsTheJobsNotStartedAndIsRethrown) {
    for (const int workers : {1, 2}) {
        std::atomic<int> started{0};
        try {
            runJobs(1000, workers, [&](size_t index) {
                ++started;
                if (index == 3) throw std::runtime_error("job 3");
                // The first throw in a process can take milliseconds to unwind; jobs that take
                // a little time keep the other worker from finishing the queue meanwhile.
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            });
            ADD_FAILURE() << "nothing thrown";
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(std::string(error.what()), "job 3");
        }
        EXPECT_LT(started.load(), 100) << workers;
    }
}

TEST(ParallelJobs, WorkerCountTakesTheOptionThenTheEnvironmentThenTheCores) {
    const char* saved = std::getenv("MERROWKIT_JOBS");
    const std::string savedValue = saved != nullptr ? saved : "";
    setenv("MERROWKIT_JOBS", "3", 1);
    EXPECT_EQ(merrowcli::workerCount(5), 5);
    EXPECT_EQ(merrowcli::workerCount(), 3);
    const int cores = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    for (const char* bad : {"0", "x", "3x", "", "65"}) {
        setenv("MERROWKIT_JOBS", bad, 1);
        EXPECT_EQ(merrowcli::workerCount(), std::min(cores, 64)) << bad;
    }
    if (saved != nullptr) {
        setenv("MERROWKIT_JOBS", savedValue.c_str(), 1);
    } else {
        unsetenv("MERROWKIT_JOBS");
    }
}

}  // namespace
