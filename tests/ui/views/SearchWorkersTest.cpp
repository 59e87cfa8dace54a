#include "ui/views/SearchWorkers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

TEST(SearchWorkers, WaitingReturnsOnlyWhenEveryWorkerHasFinished) {
    CSearchWorkers workers;
    std::atomic<int> finished = 0;
    std::atomic<bool> go = false;
    for (int i = 0; i < 3; ++i)
        workers.Launch([&] {
            while (!go) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            ++finished;
        });
    EXPECT_EQ(workers.Running(), 3);
    go = true;
    workers.WaitForAll();
    EXPECT_EQ(finished, 3);
    EXPECT_EQ(workers.Running(), 0);
}

TEST(SearchWorkers, AWorkerThatThrowsStillCountsAsFinished) {
    CSearchWorkers workers;
    workers.Launch([] { throw std::runtime_error("search failed"); });
    workers.WaitForAll();
    EXPECT_EQ(workers.Running(), 0);
}
