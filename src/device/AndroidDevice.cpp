#include "AndroidDevice.h"

QString rawValue(AndroidDevice::State state) {
    switch (state) {
    case AndroidDevice::State::connected:
        return QStringLiteral("device");
    case AndroidDevice::State::unauthorized:
        return QStringLiteral("unauthorized");
    case AndroidDevice::State::offline:
        return QStringLiteral("offline");
    case AndroidDevice::State::unknown:
        return QStringLiteral("unknown");
    }
    return {};
}

AndroidDevice::State androidDeviceState(const QString& rawValue) {
    for (const auto state : {AndroidDevice::State::connected, AndroidDevice::State::unauthorized,
                             AndroidDevice::State::offline}) {
        if (rawValue == ::rawValue(state)) {
            return state;
        }
    }
    return AndroidDevice::State::unknown;
}
