// JPEG encoding into memory, for previews, thumbnails and film frames.
#pragma once

#include <QByteArray>
#include <QImage>

// Throws std::runtime_error when the image cannot be encoded.
QByteArray jpegBytes(const QImage& image, int quality);
