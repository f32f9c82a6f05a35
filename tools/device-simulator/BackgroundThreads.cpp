#include "BackgroundThreads.h"

#include <thread>

namespace devicesim {

void BackgroundThreads::start(std::function<void()> work) {
    {
        std::lock_guard lock(mutex_);
        ++running_;
    }
    std::thread([this, work = std::move(work)] {
        work();
        std::lock_guard lock(mutex_);
        --running_;
        finished_.notify_all();
    }).detach();
}

bool BackgroundThreads::waitUntilIdle(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return finished_.wait_for(lock, timeout, [this] { return running_ == 0; });
}

} // namespace devicesim
