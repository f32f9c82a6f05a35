#include "MonotonicProgress.h"

#include <algorithm>

void MonotonicProgress::report(TransferProgress progress) {
    if (m_closed || !m_progress) {
        return;
    }
    m_highest = std::max(m_highest, progress.fractionCompleted);
    progress.fractionCompleted = m_highest;
    m_progress(progress);
}

TransferProgressHandler
MonotonicProgress::handler(const std::shared_ptr<MonotonicProgress>& shared) {
    return [shared](const TransferProgress& progress) { shared->report(progress); };
}
