// Writes a small DNG: a Bayer (RGGB) mosaic made from a picture, an RGB thumbnail, an
// embedded JPEG preview, and the shot's camera, date and GPS data.
#pragma once

#include "PhotoShot.h"

#include <QByteArray>
#include <QImage>

struct DngLayout {
    int previewWidth = 1024; // the embedded JPEG preview
    int thumbnailWidth = 256;
};

// `picture` gives the scene; its size (rounded down to even) is the raw image's size.
QByteArray writeDng(const QImage& picture, const PhotoShot& shot, DngLayout layout = {});
