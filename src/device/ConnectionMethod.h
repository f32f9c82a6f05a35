// How a device is attached: by cable or over the network.
#pragma once

#include <QList>
#include <QString>

enum class ConnectionMethod { usb, wifi };

QString rawValue(ConnectionMethod method);
QList<ConnectionMethod> allConnectionMethods();
QString connectionMethodTitle(ConnectionMethod method);
QString connectionMethodHint(ConnectionMethod method);
