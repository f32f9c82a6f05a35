// Passes a transfer's progress reports on to the caller, never letting the fraction go back
// (adb's percentages and the measured copy interleave) and dropping reports that arrive once
// the transfer has ended (adb's output may reach us after its run has returned).
#pragma once

#include "TransferProgress.h"

#include <memory>

class MonotonicProgress {
public:
    explicit MonotonicProgress(TransferProgressHandler progress)
        : m_progress(std::move(progress)) {}

    void report(TransferProgress progress);
    void close() { m_closed = true; }

    // A handler that reports through `shared` for as long as it lives.
    static TransferProgressHandler handler(const std::shared_ptr<MonotonicProgress>& shared);

private:
    TransferProgressHandler m_progress;
    double m_highest = 0;
    bool m_closed = false;
};
