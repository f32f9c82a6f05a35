#include "SampleReading.h"

#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <cstdlib>

QString samplePhonePath(const QString& relativePath) {
    const QString root = QStringLiteral(SAMPLE_PHONE_DIR);
    return relativePath.isEmpty() ? root : root + '/' + relativePath;
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::uint32_t littleEndian32(const QByteArray& bytes, qsizetype at) {
    return at + 4 <= bytes.size() ? qFromLittleEndian<std::uint32_t>(bytes.constData() + at) : 0;
}

std::uint16_t littleEndian16(const QByteArray& bytes, qsizetype at) {
    return at + 2 <= bytes.size() ? qFromLittleEndian<std::uint16_t>(bytes.constData() + at) : 0;
}

QColor meanColour(const QImage& image, const QRectF& area) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const QRect pixels(static_cast<int>(area.left() * rgb.width()),
                       static_cast<int>(area.top() * rgb.height()),
                       std::max(1, static_cast<int>(area.width() * rgb.width())),
                       std::max(1, static_cast<int>(area.height() * rgb.height())));
    long long red = 0, green = 0, blue = 0, count = 0;
    for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
        for (int x = pixels.left(); x <= pixels.right(); ++x) {
            const QRgb pixel = rgb.pixel(x, y);
            red += qRed(pixel);
            green += qGreen(pixel);
            blue += qBlue(pixel);
            ++count;
        }
    }
    return QColor(static_cast<int>(red / count), static_cast<int>(green / count),
                  static_cast<int>(blue / count));
}

int colourDistance(const QColor& left, const QColor& right) {
    return std::max({std::abs(left.red() - right.red()), std::abs(left.green() - right.green()),
                     std::abs(left.blue() - right.blue())});
}
