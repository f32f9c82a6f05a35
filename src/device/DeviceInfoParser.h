// Reading of the three outputs behind the device card: getprop, dumpsys battery and df.
#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QtGlobal>

#include <optional>

struct ModelAndVersion {
    QString model;
    std::optional<QString> androidVersion;
};

// Two lines printed by printf: "Pixel 7\n14\n".
ModelAndVersion parseModelAndVersion(const QByteArray& output);

// "  level: 78" lines; a later key replaces an earlier one.
QMap<QString, QString> parseKeyValueLines(const QString& text);

struct BatteryState {
    std::optional<int> level;
    bool isCharging = false;
};

// Output of `dumpsys battery`:
//   Current Battery Service state:
//     AC powered: false
//     status: 2
//     level: 78
BatteryState parseBatteryState(const QByteArray& output);

struct StorageSpace {
    std::optional<qint64> totalBytes;
    std::optional<qint64> availableBytes;
};

// The last line of `df -k`, columns file system, 1K-blocks, used, available, use%, mount point:
// "/dev/fuse       115009792 43225164  71653244  38% /storage/emulated"
StorageSpace parseStorageLine(const QByteArray& output);
