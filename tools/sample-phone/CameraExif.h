// Exif camera, date and GPS data of a sample photo, written with Exiv2.
#pragma once

#include "PhotoShot.h"

#include <QByteArray>
#include <QSize>
#include <QString>

// Adds the shot's Exif data to an existing JPEG file; throws std::runtime_error on failure.
void writeCameraExif(const QString& jpegPath, const PhotoShot& shot, QSize pixelSize);

// The same Exif data as a TIFF-structured block, for containers that embed Exif (HEIF).
QByteArray encodeCameraExif(const PhotoShot& shot, QSize pixelSize);
