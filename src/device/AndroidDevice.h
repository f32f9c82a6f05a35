// One attached or reachable device, as the device listing of adb reports it.
#pragma once

#include "ConnectionMethod.h"

#include <QMetaType>
#include <QString>

struct AndroidDevice {
    // Raw values are the state words of `adb devices -l`.
    enum class State { connected, unauthorized, offline, unknown };

    // The serial adb reports; passed after "-s" to every command.
    QString id;
    QString name;
    State state = State::unknown;
    ConnectionMethod connectionMethod = ConnectionMethod::usb;

    bool operator==(const AndroidDevice&) const = default;
};

QString rawValue(AndroidDevice::State state);
// Any word adb may invent later maps to unknown.
AndroidDevice::State androidDeviceState(const QString& rawValue);

Q_DECLARE_METATYPE(AndroidDevice)
