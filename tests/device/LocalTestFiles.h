// Small file helpers for the tests of the computer's side of transfers.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Writes `content` to `path`, creating missing folders; a failure fails the test.
void writeFile(const QString& path, const QByteArray& content);
// The file's bytes, or "<missing>" when it cannot be read, so that a missing file never
// passes for an empty one.
QByteArray readFile(const QString& path);
// Names of the items directly in a folder, hidden ones included, sorted.
QStringList entryNames(const QString& folder);
