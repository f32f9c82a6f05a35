#include "TextDecoding.h"

#include <QStringDecoder>

#include <cmath>
#include <limits>

std::optional<QString> decodedUTF8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        return std::nullopt;
    }
    return text;
}

QString decodedUTF8Lossy(const QByteArray& bytes) {
    return QString::fromUtf8(bytes);
}

std::optional<qint64> parseDecimalInteger(QStringView text) {
    qsizetype index = 0;
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'+' || text.front() == u'-')) {
        negative = text.front() == u'-';
        index = 1;
    }
    if (index == text.size()) {
        return std::nullopt;
    }
    // Accumulate as a negative number so that the minimum value parses too.
    qint64 value = 0;
    constexpr qint64 minimum = std::numeric_limits<qint64>::min();
    for (; index < text.size(); ++index) {
        const char16_t character = text.at(index).unicode();
        if (character < u'0' || character > u'9') {
            return std::nullopt;
        }
        const int digit = character - u'0';
        if (value < (minimum + digit) / 10) {
            return std::nullopt;
        }
        value = value * 10 - digit;
    }
    if (negative) {
        return value;
    }
    if (value == minimum) {
        return std::nullopt;
    }
    return -value;
}

std::optional<double> parseDecimalNumber(QStringView text) {
    if (text.isEmpty() || text.front().isSpace() || text.back().isSpace()) {
        return std::nullopt;
    }
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<qint64> kibibytesToBytes(qint64 kibibytes) {
    qint64 bytes = 0;
    if (__builtin_mul_overflow(kibibytes, qint64(1024), &bytes)) {
        return std::nullopt;
    }
    return bytes;
}
