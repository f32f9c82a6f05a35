// What the sample phone tests share: where the built tree is, and small readers for files.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>
#include <cstdint>

QString samplePhonePath(const QString& relativePath = {});

QByteArray readBytes(const QString& path);

std::uint32_t littleEndian32(const QByteArray& bytes, qsizetype at);
std::uint16_t littleEndian16(const QByteArray& bytes, qsizetype at);

// The mean colour of `area` (relative: 0…1 of width and height) of `image`.
QColor meanColour(const QImage& image, const QRectF& area);

// The largest difference of one channel between two colours.
int colourDistance(const QColor& left, const QColor& right);
