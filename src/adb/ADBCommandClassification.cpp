#include "ADBCommandClassification.h"

#include "StrictUTF8.h"

#include <utility>

QString adbCommandCategory(const QStringList& arguments) {
    QStringList command = arguments;
    if (command.size() >= 2 && command.first() == QLatin1String("-s")) {
        command.remove(0, 2);
    }
    if (command.isEmpty()) {
        return QStringLiteral("unknown");
    }
    const QString& subcommand = command.first();
    if (subcommand != QLatin1String("shell") && subcommand != QLatin1String("exec-out")) {
        return subcommand;
    }
    // Searched as substrings in this order, so "rm -f '/sdcard/stats.txt'" counts as stat:
    // the category is coarse on purpose and must stay comparable across versions.
    static const char* const words[] = {"getprop", "dumpsys", "df",  "stat", "test",
                                        "mkdir",   "rm",      "mv",  "find", "du",
                                        "head",    "printf",  "for", "cat",  "ls"};
    const QString commandText = command.mid(1).join(QLatin1Char(' '));
    for (const char* word : words) {
        if (commandText.contains(QLatin1String(word))) {
            return subcommand + QLatin1Char('.') + QLatin1String(word);
        }
    }
    return subcommand + QStringLiteral(".other");
}

QString adbErrorClassification(const QByteArray& errorData) {
    static const std::pair<const char*, const char*> patterns[] = {
        {"unauthorized", "unauthorized"},
        {"offline", "offline"},
        {"not found", "not_found"},
        {"no devices", "not_found"},
        {"closed", "closed"},
        {"transport", "transport"},
        {"connection reset", "transport"},
        {"broken pipe", "transport"},
        {"daemon", "daemon"},
        {"permission denied", "permission_denied"},
        {"no space left", "no_space"},
    };
    const QString text = decodeStrictUTF8(errorData).value_or(QString()).toLower();
    for (const auto& [pattern, classification] : patterns) {
        if (text.contains(QLatin1String(pattern))) {
            return QLatin1String(classification);
        }
    }
    return text.isEmpty() ? QStringLiteral("none") : QStringLiteral("other");
}
