// Detached worker threads that are counted, so that shutdown can wait for them to finish.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>

namespace devicesim {

class BackgroundThreads {
public:
    void start(std::function<void()> work);
    // True when every started thread has finished within the timeout.
    bool waitUntilIdle(std::chrono::milliseconds timeout);

private:
    std::mutex mutex_;
    std::condition_variable finished_;
    size_t running_ = 0;
};

} // namespace devicesim
