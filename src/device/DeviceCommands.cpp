#include "DeviceCommands.h"

#include "ShellQuoting.h"

namespace DeviceCommands {

QString modelAndVersion() {
    return QStringLiteral("printf '%s\\n%s\\n' \"$(getprop ro.product.model)\" \"$(getprop "
                          "ro.build.version.release)\"");
}

QString batteryState() {
    return QStringLiteral("dumpsys battery");
}

QString sharedStorageSpace() {
    return QStringLiteral("df -k /sdcard | tail -n 1");
}

QString directoryExists(const QString& path) {
    return QStringLiteral("test -d ") + quote(path);
}

QString itemExists(const QString& path) {
    return QStringLiteral("test -e ") + quote(path);
}

QString listing(const QString& path) {
    // The three patterns catch ordinary names, names with one leading dot, and names with two
    // leading dots and more; a pattern that matched nothing stays literal and fails the test.
    const QString q = quote(path);
    return QStringLiteral("for f in ") + q + QStringLiteral("/* ") + q +
           QStringLiteral("/.[!.]* ") + q +
           QStringLiteral(
               "/..?*; do [ -e \"$f\" ] || continue; stat -c '%F|%s|%Y|%n' \"$f\"; done");
}

QString diskUsage(const QStringList& paths) {
    QStringList quoted;
    for (const QString& path : paths) {
        quoted.append(quote(path));
    }
    return QStringLiteral("du -sk ") + quoted.join(QLatin1Char(' ')) +
           QStringLiteral(" 2>/dev/null");
}

QString freeSpace(const QString& path) {
    return QStringLiteral("df -k ") + quote(path) + QStringLiteral(" 2>/dev/null | tail -n 1");
}

QString filePrefix(qint64 maxBytes, const QString& path) {
    // exec-out has one stream for both outputs: an error message would pass for the file's
    // bytes.
    return QStringLiteral("head -c ") + QString::number(maxBytes) + QLatin1Char(' ') + quote(path) +
           QStringLiteral(" 2>/dev/null");
}

QString readableFile(const QString& path) {
    return QStringLiteral("head -c 1 ") + quote(path) + QStringLiteral(" >/dev/null");
}

QString createFolder(const QString& path) {
    return QStringLiteral("mkdir -p ") + quote(path);
}

QString remove(const QString& path, bool isDirectory) {
    return (isDirectory ? QStringLiteral("rm -rf ") : QStringLiteral("rm -f ")) + quote(path);
}

QString move(const QString& from, const QString& to) {
    return QStringLiteral("mv ") + quote(from) + QLatin1Char(' ') + quote(to);
}

QString fileSize(const QString& path) {
    return QStringLiteral("stat -c '%s' ") + quote(path) + QStringLiteral(" 2>/dev/null");
}

QString itemDiskUsage(const QString& path) {
    return QStringLiteral("du -sk ") + quote(path) + QStringLiteral(" 2>/dev/null");
}

QString tree(const QString& root) {
    return QStringLiteral("find ") + quote(root) +
           QStringLiteral(" -mindepth 1 -exec stat -c '%F|%s|%n' {} \\; && echo ") +
           treeEndMarker();
}

QString treeEndMarker() {
    return QStringLiteral("afm-tree-end");
}

QString prepareFolder(const QString& path) {
    const QString r = quote(path);
    return QStringLiteral("if [ -e ") + r + QStringLiteral(" ] && [ ! -d ") + r +
           QStringLiteral(" ]; then rm -f ") + r + QStringLiteral(" || exit 1; fi; mkdir -p ") + r;
}

QString removeTemporaryItem(const QString& path) {
    return QStringLiteral("rm -rf ") + quote(path);
}

QString swapIntoPlace(const QString& temporary, const QString& final, const QString& backup) {
    const QString t = quote(temporary);
    const QString f = quote(final);
    const QString b = quote(backup);
    return QStringLiteral("if [ -e ") + f + QStringLiteral(" ]; then mv ") + f + QLatin1Char(' ') +
           b + QStringLiteral(" || exit 1; fi; if mv ") + t + QLatin1Char(' ') + f +
           QStringLiteral("; then rm -rf ") + b + QStringLiteral("; else [ -e ") + b +
           QStringLiteral(" ] && mv ") + b + QLatin1Char(' ') + f + QStringLiteral("; exit 1; fi");
}

QString mediaScan(const QString& path) {
    // Newer systems answer the content call; older ones need one broadcast per file.
    const QString p = quote(path);
    return QStringLiteral("content call --uri content://media --method scan_file --arg ") + p +
           QStringLiteral(" 2>&1 ") +
           QStringLiteral("| grep -q android.intent.extra.STREAM || find ") + p +
           QStringLiteral(" -type f | while IFS= read -r f; do ") +
           QStringLiteral("am broadcast -a android.intent.action.MEDIA_SCANNER_SCAN_FILE -d "
                          "\"file://$f\" >/dev/null 2>&1; done");
}

} // namespace DeviceCommands
