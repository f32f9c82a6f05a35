#include "DeviceListingParser.h"

#include "TextDecoding.h"

bool isWifiSerial(const QString& serial) {
    if (serial.contains(QLatin1Char(':'))) {
        return true;
    }
    const QString lowered = serial.toLower();
    return lowered.contains(QLatin1String("._adb-tls-connect._tcp")) ||
           lowered.contains(QLatin1String("._adb-tls-pairing._tcp")) ||
           lowered.contains(QLatin1String("._adb._tcp"));
}

std::optional<AndroidDevice> parseDeviceLine(const QString& line) {
    const QStringList pieces = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (pieces.size() < 2) {
        return std::nullopt;
    }
    AndroidDevice device;
    device.id = pieces.at(0);
    device.state = androidDeviceState(pieces.at(1));
    device.name = device.id;
    for (const QString& piece : pieces) {
        if (piece.startsWith(QLatin1String("model:"))) {
            device.name = piece.mid(6).replace(QLatin1Char('_'), QLatin1Char(' '));
            break;
        }
    }
    device.connectionMethod =
        isWifiSerial(device.id) ? ConnectionMethod::wifi : ConnectionMethod::usb;
    return device;
}

QList<AndroidDevice> parseDeviceListing(const QByteArray& output) {
    const QStringList lines =
        decodedUTF8(output).value_or(QString()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QList<AndroidDevice> devices;
    for (qsizetype index = 1; index < lines.size(); ++index) {
        if (auto device = parseDeviceLine(lines.at(index))) {
            devices.append(*device);
        }
    }
    return devices;
}
