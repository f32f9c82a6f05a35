// The command texts run by the device's shell. Every path goes through quote(); nothing else
// is escaped.
#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace DeviceCommands {

// Model and Android release on two lines.
QString modelAndVersion();
QString batteryState();
QString sharedStorageSpace();

QString directoryExists(const QString& path);
QString itemExists(const QString& path);
// One stat line per entry, hidden ones included, in a single round trip.
QString listing(const QString& path);
QString diskUsage(const QStringList& paths);
QString freeSpace(const QString& path);
QString filePrefix(qint64 maxBytes, const QString& path);
// Fails with the shell's words unless the file can be read.
QString readableFile(const QString& path);
QString createFolder(const QString& path);
QString remove(const QString& path, bool isDirectory);
QString move(const QString& from, const QString& to);

QString fileSize(const QString& path);
QString itemDiskUsage(const QString& path);
// One stat line per item below root, then the end marker once find has finished: adb reports
// success for a shell whose connection dropped, and the marker tells a whole tree from a cut one.
QString tree(const QString& root);
// A line without "|", so no stat line can be taken for it.
QString treeEndMarker();
// Removes a file standing where a folder belongs and creates the folder; an existing folder
// stays and is merged into.
QString prepareFolder(const QString& path);
QString removeTemporaryItem(const QString& path);
// Moves the previous item aside, moves the copy in, and restores the previous item when that
// fails.
QString swapIntoPlace(const QString& temporary, const QString& final, const QString& backup);
QString mediaScan(const QString& path);

} // namespace DeviceCommands
