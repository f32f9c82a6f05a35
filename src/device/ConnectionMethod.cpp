#include "ConnectionMethod.h"

#include "HostNaming.h"

#include "AppLanguageManager.h"

QString rawValue(ConnectionMethod method) {
    switch (method) {
    case ConnectionMethod::usb:
        return QStringLiteral("usb");
    case ConnectionMethod::wifi:
        return QStringLiteral("wifi");
    }
    return {};
}

QList<ConnectionMethod> allConnectionMethods() {
    return {ConnectionMethod::usb, ConnectionMethod::wifi};
}

QString connectionMethodTitle(ConnectionMethod method) {
    // The hyphen of "Wi‑Fi" is U+2011 so that the word never breaks across lines.
    switch (method) {
    case ConnectionMethod::usb:
        return localizedText(QStringLiteral("По кабелю"), QStringLiteral("USB"));
    case ConnectionMethod::wifi:
        return localizedText(QStringLiteral("По Wi\u2011Fi"), QStringLiteral("Wi\u2011Fi"));
    }
    return {};
}

QString connectionMethodHint(ConnectionMethod method) {
    switch (method) {
    case ConnectionMethod::usb:
        return localizedText(
            QStringLiteral("Подключите устройство по USB и разрешите отладку на экране телефона"),
            QStringLiteral("Connect the device via USB and allow debugging on its screen"));
    case ConnectionMethod::wifi:
        return localizedText(hostText(HostPhrase::sameNetworkRequirement));
    }
    return {};
}
