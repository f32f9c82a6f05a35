// Joining and splitting of POSIX path texts, following the platform's path-string rules:
// one "/" between parent and component, trailing slashes ignored.
#pragma once

#include <QString>

QString appendingPathComponent(const QString& parent, const QString& component);
QString deletingLastPathComponent(const QString& path);
// "/sdcard/" gives "sdcard"; "/" gives "/".
QString lastPathComponent(const QString& path);
