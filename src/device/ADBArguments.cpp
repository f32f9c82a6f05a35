#include "ADBArguments.h"

namespace ADBArguments {

QStringList deviceListing() {
    return {QStringLiteral("devices"), QStringLiteral("-l")};
}

QStringList connect(const QString& target) {
    return {QStringLiteral("connect"), target};
}

QStringList disconnect(const QString& serial) {
    return {QStringLiteral("disconnect"), serial};
}

QStringList shell(const QString& serial, const QString& command) {
    return {QStringLiteral("-s"), serial, QStringLiteral("shell"), command};
}

QStringList execOut(const QString& serial, const QString& command) {
    return {QStringLiteral("-s"), serial, QStringLiteral("exec-out"), command};
}

QStringList push(const QString& serial, const QString& localPath, const QString& devicePath) {
    return {QStringLiteral("-s"), serial, QStringLiteral("push"), localPath, devicePath};
}

QStringList pull(const QString& serial, const QString& devicePath, const QString& localPath) {
    return {QStringLiteral("-s"), serial, QStringLiteral("pull"), devicePath, localPath};
}

} // namespace ADBArguments
