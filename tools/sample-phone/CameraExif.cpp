#include "CameraExif.h"

#include "ExifValues.h"

#include <QFile>
#include <exiv2/exiv2.hpp>
#include <stdexcept>

namespace {

Exiv2::URationalValue rationals(const std::vector<ExifRational>& values) {
    Exiv2::URationalValue value;
    for (const ExifRational& rational : values) {
        value.value_.emplace_back(rational.numerator, rational.denominator);
    }
    return value;
}

Exiv2::ExifData cameraExifData(const PhotoShot& shot, QSize pixelSize) {
    const CameraSettings& camera = shot.camera;
    const GeoPosition& position = shot.position;
    Exiv2::ExifData exif;
    exif["Exif.Image.Make"] = camera.make.toStdString();
    exif["Exif.Image.Model"] = camera.model.toStdString();
    exif["Exif.Image.Orientation"] = uint16_t(1);
    exif["Exif.Image.Software"] = std::string("Pavrel sample phone");
    exif["Exif.Image.DateTime"] = exifDateTime(shot.takenAt).toStdString();
    exif["Exif.Photo.ExifVersion"] = Exiv2::DataValue(reinterpret_cast<const Exiv2::byte*>("0232"),
                                                      4, Exiv2::invalidByteOrder, Exiv2::undefined);
    exif["Exif.Photo.DateTimeOriginal"] = exifDateTime(shot.takenAt).toStdString();
    exif["Exif.Photo.DateTimeDigitized"] = exifDateTime(shot.takenAt).toStdString();
    exif["Exif.Photo.OffsetTimeOriginal"] = exifUtcOffset(shot.takenAt).toStdString();
    exif["Exif.Photo.ExposureTime"] = Exiv2::URational(1, camera.exposureDenominator);
    const ExifRational fNumber = exifRational(camera.fNumber, 100);
    exif["Exif.Photo.FNumber"] = Exiv2::URational(fNumber.numerator, fNumber.denominator);
    exif["Exif.Photo.ISOSpeedRatings"] = uint16_t(camera.iso);
    const ExifRational focalLength = exifRational(camera.focalLength, 100);
    exif["Exif.Photo.FocalLength"] =
        Exiv2::URational(focalLength.numerator, focalLength.denominator);
    exif["Exif.Photo.FocalLengthIn35mmFilm"] = uint16_t(camera.focalLength35mm);
    exif["Exif.Photo.LensMake"] = camera.make.toStdString();
    exif["Exif.Photo.LensModel"] = camera.lens.toStdString();
    exif["Exif.Photo.PixelXDimension"] = uint32_t(pixelSize.width());
    exif["Exif.Photo.PixelYDimension"] = uint32_t(pixelSize.height());
    exif["Exif.Photo.ColorSpace"] = uint16_t(1);

    Exiv2::DataValue gpsVersion(Exiv2::unsignedByte);
    gpsVersion.read("2 3 0 0");
    exif["Exif.GPSInfo.GPSVersionID"] = gpsVersion;
    exif["Exif.GPSInfo.GPSLatitudeRef"] = std::string(position.latitude < 0 ? "S" : "N");
    exif["Exif.GPSInfo.GPSLatitude"] = rationals(exifDegrees(position.latitude));
    exif["Exif.GPSInfo.GPSLongitudeRef"] = std::string(position.longitude < 0 ? "W" : "E");
    exif["Exif.GPSInfo.GPSLongitude"] = rationals(exifDegrees(position.longitude));
    Exiv2::DataValue altitudeRef(Exiv2::unsignedByte);
    altitudeRef.read(position.altitude < 0 ? "1" : "0");
    exif["Exif.GPSInfo.GPSAltitudeRef"] = altitudeRef;
    exif["Exif.GPSInfo.GPSAltitude"] = rationals({exifRational(std::abs(position.altitude), 10)});
    return exif;
}

} // namespace

void writeCameraExif(const QString& jpegPath, const PhotoShot& shot, QSize pixelSize,
                     const QByteArray& thumbnailJpeg) {
    try {
        auto image = Exiv2::ImageFactory::open(QFile::encodeName(jpegPath).toStdString());
        image->readMetadata();
        Exiv2::ExifData exif = cameraExifData(shot, pixelSize);
        Exiv2::ExifThumb(exif).setJpegThumbnail(
            reinterpret_cast<const Exiv2::byte*>(thumbnailJpeg.constData()),
            static_cast<long>(thumbnailJpeg.size()), Exiv2::URational(72, 1),
            Exiv2::URational(72, 1), 2);
        image->setExifData(exif);
        image->writeMetadata();
    } catch (const Exiv2::AnyError& error) {
        throw std::runtime_error("Cannot write Exif data to " + jpegPath.toStdString() + ": " +
                                 error.what());
    }
}

QByteArray encodeCameraExif(const PhotoShot& shot, QSize pixelSize) {
    Exiv2::Blob blob;
    Exiv2::ExifParser::encode(blob, Exiv2::littleEndian, cameraExifData(shot, pixelSize));
    return QByteArray(reinterpret_cast<const char*>(blob.data()),
                      static_cast<qsizetype>(blob.size()));
}
