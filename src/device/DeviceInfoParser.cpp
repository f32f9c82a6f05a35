#include "DeviceInfoParser.h"

#include "TextDecoding.h"

#include <QRegularExpression>

#include <limits>

namespace {

QString trimmedOfSpacesAndTabs(const QString& text) {
    qsizetype start = 0;
    qsizetype end = text.size();
    const auto isBlank = [](QChar character) {
        return character == QLatin1Char(' ') || character == QLatin1Char('\t');
    };
    while (start < end && isBlank(text.at(start))) {
        ++start;
    }
    while (end > start && isBlank(text.at(end - 1))) {
        --end;
    }
    return text.mid(start, end - start);
}

std::optional<qint64> kibibyteColumn(const QStringList& pieces, qsizetype index) {
    if (pieces.size() <= index) {
        return std::nullopt;
    }
    const auto kibibytes = parseDecimalInteger(pieces.at(index));
    return kibibytes ? kibibytesToBytes(*kibibytes) : std::nullopt;
}

} // namespace

ModelAndVersion parseModelAndVersion(const QByteArray& output) {
    const QStringList lines = decodedUTF8(output).value_or(QString()).split(QLatin1Char('\n'));
    ModelAndVersion result;
    result.model = lines.at(0).trimmed();
    if (lines.size() > 1) {
        result.androidVersion = lines.at(1).trimmed();
    }
    return result;
}

QMap<QString, QString> parseKeyValueLines(const QString& text) {
    QMap<QString, QString> values;
    for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon <= 0 || colon == line.size() - 1) {
            continue;
        }
        values.insert(trimmedOfSpacesAndTabs(line.left(colon)),
                      trimmedOfSpacesAndTabs(line.mid(colon + 1)));
    }
    return values;
}

BatteryState parseBatteryState(const QByteArray& output) {
    const auto values = parseKeyValueLines(decodedUTF8(output).value_or(QString()));
    BatteryState state;
    if (const auto level = parseDecimalInteger(values.value(QStringLiteral("level")));
        level && *level >= std::numeric_limits<int>::min() &&
        *level <= std::numeric_limits<int>::max()) {
        state.level = static_cast<int>(*level);
    }
    // 2 is "charging", 5 is "full" (still on the charger).
    const auto status = parseDecimalInteger(values.value(QStringLiteral("status")));
    state.isCharging = status == 2 || status == 5;
    return state;
}

StorageSpace parseStorageLine(const QByteArray& output) {
    static const QRegularExpression whiteSpace(QStringLiteral("\\s+"));
    const QStringList pieces =
        decodedUTF8(output).value_or(QString()).split(whiteSpace, Qt::SkipEmptyParts);
    return {kibibyteColumn(pieces, 1), kibibyteColumn(pieces, 3)};
}
