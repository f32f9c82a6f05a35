// One progress report of a transfer.
#pragma once

#include <QString>

#include <functional>
#include <optional>

struct TransferProgress {
    // 0…1.
    double fractionCompleted = 0;
    // The file now being copied, when known.
    std::optional<QString> currentFileName;

    bool operator==(const TransferProgress&) const = default;
};

// Always called on the main thread.
using TransferProgressHandler = std::function<void(const TransferProgress&)>;
