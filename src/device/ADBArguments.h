// The argument lists handed to adb, without a local shell between.
#pragma once

#include <QString>
#include <QStringList>

namespace ADBArguments {

QStringList deviceListing();
// target is host:port.
QStringList connect(const QString& target);
QStringList disconnect(const QString& serial);
// One command text for the device's shell.
QStringList shell(const QString& serial, const QString& command);
// Like shell, but the command's bytes arrive unaltered.
QStringList execOut(const QString& serial, const QString& command);
QStringList push(const QString& serial, const QString& localPath, const QString& devicePath);
QStringList pull(const QString& serial, const QString& devicePath, const QString& localPath);

} // namespace ADBArguments
