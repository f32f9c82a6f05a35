// Encodes a picture as HEIC (HEVC in HEIF) with libheif, with an Exif block attached.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Whether this libheif can encode HEVC at all: its encoder is a build option or a plugin.
bool heicEncoderAvailable();

// Throws std::runtime_error when no encoder is available or encoding fails.
void writeHeic(const QString& path, const QImage& picture, const QByteArray& exif);
