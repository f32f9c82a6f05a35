// Writes Motion-JPEG AVI files: one video stream of JPEG frames, with an index.
#pragma once

#include <QByteArray>
#include <QSize>
#include <vector>

QByteArray writeMjpegAvi(const std::vector<QByteArray>& jpegFrames, QSize frameSize,
                         int framesPerSecond);
