// Reading of `adb devices -l`.
#pragma once

#include "AndroidDevice.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// A serial with an address and a port, or one adb found through mDNS.
bool isWifiSerial(const QString& serial);

// "0123456789abcdef       device usb:2-1 product:panther model:Pixel_7 device:panther
// transport_id:1"
std::optional<AndroidDevice> parseDeviceLine(const QString& line);

// The whole output: a header line ("List of devices attached"), then one line per device.
QList<AndroidDevice> parseDeviceListing(const QByteArray& output);
