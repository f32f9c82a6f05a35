// Exif camera, date and GPS data of a sample photo, written with Exiv2.
#pragma once

#include "PhotoShot.h"

#include <QByteArray>
#include <QSize>
#include <QString>

// Sets the shot's Exif data, with a small JPEG thumbnail as cameras embed one, in an existing
// JPEG file; throws std::runtime_error on failure.
void writeCameraExif(const QString& jpegPath, const PhotoShot& shot, QSize pixelSize,
                     const QByteArray& thumbnailJpeg);

// The same Exif data as a TIFF-structured block, for containers that embed Exif (HEIF).
QByteArray encodeCameraExif(const PhotoShot& shot, QSize pixelSize);
