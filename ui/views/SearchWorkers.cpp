#include "SearchWorkers.h"

#include <thread>

CSearchWorkers::~CSearchWorkers() { WaitForAll(); }

void CSearchWorkers::Launch(std::function<void()> work) {
    {
        std::lock_guard lock(mutex_);
        ++running_;
    }
    std::thread([this, work = std::move(work)] {
        try {
            work();
        } catch (...) {
            // A failed search only loses its results; the program goes on.
        }
        std::lock_guard lock(mutex_);
        --running_;
        done_.notify_all();
    }).detach();
}

void CSearchWorkers::WaitForAll() {
    std::unique_lock lock(mutex_);
    done_.wait(lock, [this] { return running_ == 0; });
}

int CSearchWorkers::Running() const {
    std::lock_guard lock(mutex_);
    return running_;
}
