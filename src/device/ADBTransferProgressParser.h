// Turns the percentage text adb prints while it copies one file into progress reports.
#pragma once

#include "TransferProgress.h"

#include <QString>

class ADBTransferProgressParser {
public:
    explicit ADBTransferProgressParser(TransferProgressHandler progress);

    // One chunk of adb's output, as it arrived: lines may be split between chunks.
    void feed(const QString& text);

private:
    TransferProgressHandler m_progress;
    QString m_buffer;
};
