// The two safe words a diagnostic event says about an adb run: what kind of command it was
// and what kind of complaint its standard error carried. Neither ever holds an argument.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// ["-s", "R58M", "shell", "stat -c '%s' '/sdcard/a'"] → "shell.stat"; ["devices", "-l"] →
// "devices".
QString adbCommandCategory(const QStringList& arguments);

// "error: device unauthorized." → "unauthorized"; empty → "none"; unmatched text → "other".
QString adbErrorClassification(const QByteArray& errorData);
