#include "JpegBytes.h"

#include <QBuffer>
#include <QImageWriter>
#include <stdexcept>

QByteArray jpegBytes(const QImage& image, int quality) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    if (!writer.write(image)) {
        throw std::runtime_error("Cannot encode a JPEG image: " +
                                 writer.errorString().toStdString());
    }
    return buffer.data();
}
