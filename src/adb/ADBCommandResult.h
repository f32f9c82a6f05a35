// The outcome of one finished adb run.
#pragma once

#include <QByteArray>
#include <QtGlobal>

struct ADBCommandResult {
    QByteArray outputData;
    QByteArray errorData;
    // The exit code, or the signal number for a process that a signal ended.
    qint32 status = 0;
};
