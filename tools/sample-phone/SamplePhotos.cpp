// DCIM and Pictures: camera photos of several cities with Exif data, one DNG, one HEIC,
// screenshots, and albums whose names need careful quoting.
#include "CameraExif.h"
#include "CityPicture.h"
#include "DngWriter.h"
#include "HeicWriter.h"
#include "JpegBytes.h"
#include "SamplePhone.h"

#include <QImageWriter>
#include <QPainter>
#include <QTimeZone>
#include <stdexcept>

namespace {

const QSize landscape(1600, 1200);
const QSize portrait(1200, 1600);

const PhotoShot& shotOf(const QString& city) {
    for (const PhotoShot& shot : cityShots()) {
        if (shot.cityEnglish == city) {
            return shot;
        }
    }
    throw std::logic_error("No shot of " + city.toStdString());
}

// Pixel phones name photos by their local time: PXL_20230509_101542000.jpg.
QString cameraName(const PhotoShot& shot, const QString& extension) {
    return "PXL_" + shot.takenAt.toString("yyyyMMdd_HHmmsszzz") + '.' + extension;
}

void saveImage(const SampleTree& tree, const QString& relativePath, const QImage& image,
               const char* format, const QDateTime& modified) {
    const QString path = tree.prepare(relativePath);
    QImageWriter writer(path, format);
    if (qstrcmp(format, "jpeg") == 0) {
        writer.setQuality(82);
    }
    if (!writer.write(image)) {
        throw std::runtime_error("Cannot write " + path.toStdString() + ": " +
                                 writer.errorString().toStdString());
    }
    tree.setModified(relativePath, modified);
}

void writeJpegPhoto(const SampleTree& tree, const QString& relativePath, const PhotoShot& shot,
                    QSize size) {
    const QImage picture = paintCityPicture(shot, size);
    saveImage(tree, relativePath, picture, "jpeg", shot.takenAt);
    const QImage thumbnail =
        picture.scaled(320, 320, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    writeCameraExif(tree.root() + '/' + relativePath, shot, size, jpegBytes(thumbnail, 75));
    tree.setModified(relativePath, shot.takenAt);
}

void writeCameraRoll(const SampleTree& tree) {
    for (const PhotoShot& shot : cityShots()) {
        const QSize size = shot.cityEnglish == "Istanbul" ? portrait : landscape;
        writeJpegPhoto(tree, "DCIM/Camera/" + cameraName(shot, "jpg"), shot, size);
    }

    PhotoShot rawShot = shotOf("Kazan");
    rawShot.takenAt = rawShot.takenAt.addSecs(4);
    tree.writeFile("DCIM/Camera/" + cameraName(rawShot, "dng"),
                   writeDng(paintCityPicture(rawShot, QSize(1200, 900)), rawShot), rawShot.takenAt);

    PhotoShot heicShot = shotOf("Tokyo");
    heicShot.takenAt = heicShot.takenAt.addSecs(9);
    const QString heicPath = "DCIM/Camera/" + cameraName(heicShot, "heic");
    writeHeic(tree.prepare(heicPath), paintCityPicture(heicShot, QSize(1280, 960)),
              encodeCameraExif(heicShot, QSize(1280, 960)));
    tree.setModified(heicPath, heicShot.takenAt);

    tree.writeFile("DCIM/.thumbnails/.nomedia", {}, shotOf("Moscow").takenAt);
}

// A phone screen: a status bar, a title and a few list rows.
QImage paintScreenshot(const QString& title, QColor accent, int rows) {
    QImage image(540, 1200, QImage::Format_RGB32);
    image.fill(QColor(0xf6, 0xf6, 0xf8));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(0, 0, 540, 44, accent.darker(130));
    painter.fillRect(0, 44, 540, 110, accent);
    QFont font("DejaVu Sans");
    font.setPixelSize(34);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(32, 44, 476, 110), Qt::AlignVCenter, title);
    font.setPixelSize(24);
    font.setBold(false);
    painter.setFont(font);
    for (int row = 0; row < rows; ++row) {
        const int top = 180 + row * 96;
        painter.setPen(Qt::NoPen);
        painter.setBrush(accent.lighter(150 + row * 10));
        painter.drawEllipse(QPoint(64, top + 40), 28, 28);
        painter.setPen(QColor(0x30, 0x30, 0x30));
        painter.drawText(QRect(112, top + 12, 400, 56), Qt::AlignVCenter,
                         QStringLiteral("%1 %2").arg(title).arg(row + 1));
    }
    painter.end();
    return image;
}

void writeScreenshots(const SampleTree& tree) {
    const QTimeZone moscow(3 * 3600);
    saveImage(tree, "Pictures/Screenshots/Screenshot_20240212-093015.png",
              paintScreenshot("Settings", QColor(0x1a, 0x73, 0xe8), 8), "png",
              QDateTime(QDate(2024, 2, 12), QTime(9, 30, 15), moscow));
    saveImage(tree, "Pictures/Screenshots/Screenshot_20240305-184402.png",
              paintScreenshot("Контакты", QColor(0x0b, 0x80, 0x43), 6), "png",
              QDateTime(QDate(2024, 3, 5), QTime(18, 44, 2), moscow));
}

void writeAlbums(const SampleTree& tree) {
    const QSize albumSize(1200, 900);
    writeJpegPhoto(tree, "Pictures/Alice's trip | 2023/Eiffel tower at sunset.jpg", shotOf("Paris"),
                   albumSize);
    writeJpegPhoto(tree, "Pictures/Alice's trip | 2023/Bosphorus, early morning.jpg",
                   shotOf("Istanbul"), albumSize);

    PhotoShot dacha = shotOf("Moscow");
    dacha.cityEnglish = "Istra";
    dacha.cityRussian = "Истра";
    dacha.position = {55.918700, 36.860600, 190.0};
    dacha.takenAt = QDateTime(QDate(2023, 7, 22), QTime(14, 5, 10), QTimeZone(3 * 3600));
    dacha.skyline = QColor(0x3f, 0x7d, 0x2c);
    writeJpegPhoto(tree, "Pictures/Фото с дачи/Яблоня в цвету.jpg", dacha, albumSize);
    dacha.takenAt = dacha.takenAt.addSecs(3600);
    dacha.skyTop = QColor(0x27, 0x5d, 0xad);
    writeJpegPhoto(tree, "Pictures/Фото с дачи/Вечер у реки.jpg", dacha, albumSize);
}

} // namespace

void writeSamplePhotos(const SampleTree& tree) {
    writeCameraRoll(tree);
    writeScreenshots(tree);
    writeAlbums(tree);
}
