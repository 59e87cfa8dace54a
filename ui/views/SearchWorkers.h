#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>

// The food search's worker threads. Each runs on its own, detached; the application waits for
// the running ones before it lets the data source go.
class CSearchWorkers {
public:
    CSearchWorkers() = default;
    ~CSearchWorkers();
    CSearchWorkers(const CSearchWorkers&) = delete;
    CSearchWorkers& operator=(const CSearchWorkers&) = delete;

    // Starts `work` on a new thread.
    void Launch(std::function<void()> work);
    // Returns when no worker runs any more.
    void WaitForAll();
    int Running() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable done_;
    int running_ = 0;
};
