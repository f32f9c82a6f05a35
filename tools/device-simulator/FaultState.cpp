#include "FaultState.h"

#include <algorithm>
#include <thread>

namespace devicesim {

namespace {
// Waits re-check their conditions this often, so that a dropped connection or a changed
// fault ends them promptly.
constexpr auto kPollInterval = std::chrono::milliseconds(50);
} // namespace

void FaultState::setAuthorisationRefused(bool refused) {
    std::lock_guard lock(mutex_);
    authorisationRefused_ = refused;
}

bool FaultState::authorisationRefused() const {
    std::lock_guard lock(mutex_);
    return authorisationRefused_;
}

void FaultState::setSilent(bool silent) {
    {
        std::lock_guard lock(mutex_);
        silent_ = silent;
    }
    changed_.notify_all();
}

bool FaultState::waitUntilAudible(const std::function<bool()>& abandoned) const {
    std::unique_lock lock(mutex_);
    while (silent_) {
        if (abandoned()) {
            return false;
        }
        changed_.wait_for(lock, kPollInterval);
    }
    return true;
}

void FaultState::setRate(std::optional<uint64_t> bytesPerSecond) {
    std::lock_guard lock(mutex_);
    rate_ = bytesPerSecond;
    nextSlot_ = std::chrono::steady_clock::now();
}

void FaultState::setDropAfter(std::optional<uint64_t> bytes) {
    std::lock_guard lock(mutex_);
    dropBudget_ = bytes;
}

size_t FaultState::chunkLimit(size_t maximum) const {
    std::lock_guard lock(mutex_);
    if (!rate_) {
        return maximum;
    }
    // About ten pieces a second, never below 512 bytes.
    const uint64_t piece = std::max<uint64_t>(512, *rate_ / 10);
    return static_cast<size_t>(std::min<uint64_t>(maximum, piece));
}

FaultState::Passage FaultState::pass(size_t bytes, const std::function<bool()>& abandoned) {
    Passage passage{bytes, false};
    {
        std::lock_guard lock(mutex_);
        if (dropBudget_) {
            passage.bytes = static_cast<size_t>(std::min<uint64_t>(bytes, *dropBudget_));
            *dropBudget_ -= passage.bytes;
            if (*dropBudget_ == 0) {
                passage.dropAfterwards = true;
                dropBudget_.reset();
            }
        }
    }
    waitForRate(passage.bytes, abandoned);
    return passage;
}

void FaultState::waitForRate(size_t bytes, const std::function<bool()>& abandoned) {
    std::chrono::steady_clock::time_point due;
    {
        std::lock_guard lock(mutex_);
        if (!rate_ || bytes == 0) {
            return;
        }
        const auto now = std::chrono::steady_clock::now();
        const auto start = std::max(now, nextSlot_);
        const auto duration = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::duration<double>(static_cast<double>(bytes) /
                                          static_cast<double>(*rate_)));
        nextSlot_ = start + duration;
        due = nextSlot_;
    }
    while (std::chrono::steady_clock::now() < due) {
        {
            std::lock_guard lock(mutex_);
            if (!rate_) {
                return; // the limit was lifted meanwhile
            }
        }
        if (abandoned()) {
            return;
        }
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
            kPollInterval, due - std::chrono::steady_clock::now()));
    }
}

} // namespace devicesim
