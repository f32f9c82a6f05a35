// The faults a test can switch on while the phone runs: refused authorisation, silence, a
// limited transfer rate and a connection drop after a number of bytes.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>

namespace devicesim {

class FaultState {
public:
    void setAuthorisationRefused(bool refused);
    bool authorisationRefused() const;

    void setSilent(bool silent);
    // Blocks while the phone is silent; false when `abandoned` turned true first.
    bool waitUntilAudible(const std::function<bool()>& abandoned) const;

    void setRate(std::optional<uint64_t> bytesPerSecond);
    void setDropAfter(std::optional<uint64_t> bytes);

    // Under a slow rate data moves in small pieces, so that it flows evenly.
    size_t chunkLimit(size_t maximum) const;

    struct Passage {
        size_t bytes = 0;            // how many of the offered bytes may pass
        bool dropAfterwards = false; // the pending drop is due once they have passed
    };
    // Lets stream data pass: waits as long as the rate demands and spends the drop budget.
    Passage pass(size_t bytes, const std::function<bool()>& abandoned);

private:
    void waitForRate(size_t bytes, const std::function<bool()>& abandoned);

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool authorisationRefused_ = false;
    bool silent_ = false;
    std::optional<uint64_t> rate_;
    std::optional<uint64_t> dropBudget_;
    std::chrono::steady_clock::time_point nextSlot_{};
};

} // namespace devicesim
