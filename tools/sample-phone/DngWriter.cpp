#include "DngWriter.h"

#include "JpegBytes.h"
#include "TiffWriter.h"

#include <QtEndian>
#include <cmath>

namespace {

namespace Tag {
constexpr std::uint16_t newSubFileType = 254;
constexpr std::uint16_t imageWidth = 256;
constexpr std::uint16_t imageLength = 257;
constexpr std::uint16_t bitsPerSample = 258;
constexpr std::uint16_t compression = 259;
constexpr std::uint16_t photometric = 262;
constexpr std::uint16_t make = 271;
constexpr std::uint16_t model = 272;
constexpr std::uint16_t orientation = 274;
constexpr std::uint16_t samplesPerPixel = 277;
constexpr std::uint16_t planarConfiguration = 284;
constexpr std::uint16_t software = 305;
constexpr std::uint16_t dateTime = 306;
constexpr std::uint16_t subIfds = 330;
constexpr std::uint16_t cfaRepeatPatternDim = 33421;
constexpr std::uint16_t cfaPattern = 33422;
constexpr std::uint16_t exposureTime = 33434;
constexpr std::uint16_t fNumber = 33437;
constexpr std::uint16_t exifIfd = 34665;
constexpr std::uint16_t isoSpeed = 34855;
constexpr std::uint16_t gpsIfd = 34853;
constexpr std::uint16_t exifVersion = 36864;
constexpr std::uint16_t dateTimeOriginal = 36867;
constexpr std::uint16_t offsetTimeOriginal = 36881;
constexpr std::uint16_t focalLength = 37386;
constexpr std::uint16_t focalLength35mm = 41989;
constexpr std::uint16_t lensMake = 42035;
constexpr std::uint16_t lensModel = 42036;
constexpr std::uint16_t dngVersion = 50706;
constexpr std::uint16_t dngBackwardVersion = 50707;
constexpr std::uint16_t uniqueCameraModel = 50708;
constexpr std::uint16_t cfaPlaneColor = 50710;
constexpr std::uint16_t cfaLayout = 50711;
constexpr std::uint16_t blackLevel = 50714;
constexpr std::uint16_t whiteLevel = 50717;
constexpr std::uint16_t colorMatrix1 = 50721;
constexpr std::uint16_t asShotNeutral = 50728;
constexpr std::uint16_t calibrationIlluminant1 = 50778;
constexpr std::uint16_t previewColorSpace = 50970;
} // namespace Tag

namespace Gps {
constexpr std::uint16_t versionId = 0;
constexpr std::uint16_t latitudeRef = 1;
constexpr std::uint16_t latitude = 2;
constexpr std::uint16_t longitudeRef = 3;
constexpr std::uint16_t longitude = 4;
constexpr std::uint16_t altitudeRef = 5;
constexpr std::uint16_t altitude = 6;
} // namespace Gps

constexpr std::uint32_t rawBlackLevel = 256;
constexpr std::uint32_t rawWhiteLevel = 16383; // a 14-bit sensor
constexpr std::uint16_t d65Illuminant = 21;
constexpr std::uint32_t srgbPreview = 2;

double srgbToLinear(int component) {
    const double value = component / 255.0;
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

// The camera's RGB is linear sRGB, so its matrix is the XYZ (D65) → linear sRGB one.
std::vector<ExifSignedRational> xyzToCameraMatrix() {
    const int scaled[9] = {32406, -15372, -4986, -9689, 18758, 415, 557, -2040, 10570};
    std::vector<ExifSignedRational> matrix;
    for (const int value : scaled) {
        matrix.push_back({value, 10000});
    }
    return matrix;
}

// RGGB: red on even rows and columns, blue on odd ones, green between.
QByteArray bayerMosaic(const QImage& picture) {
    QByteArray data;
    data.reserve(static_cast<qsizetype>(picture.width()) * picture.height() * 2);
    for (int y = 0; y < picture.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb pixel = line[x];
            const int component = (y % 2 == 0) ? (x % 2 == 0 ? qRed(pixel) : qGreen(pixel))
                                               : (x % 2 == 0 ? qGreen(pixel) : qBlue(pixel));
            const auto value = static_cast<std::uint16_t>(std::lround(
                rawBlackLevel + srgbToLinear(component) * (rawWhiteLevel - rawBlackLevel)));
            char bytes[2];
            qToLittleEndian(value, bytes);
            data.append(bytes, 2);
        }
    }
    return data;
}

QByteArray rgbPixels(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    QByteArray data;
    for (int y = 0; y < rgb.height(); ++y) {
        data.append(reinterpret_cast<const char*>(rgb.constScanLine(y)), rgb.width() * 3);
    }
    return data;
}

QImage scaledToWidth(const QImage& image, int width) {
    return image.scaledToWidth(width, Qt::SmoothTransformation);
}

TiffDirectory rawDirectory(const QImage& picture) {
    TiffDirectory raw;
    raw.addLongs(Tag::newSubFileType, {0});
    raw.addLongs(Tag::imageWidth, {static_cast<std::uint32_t>(picture.width())});
    raw.addLongs(Tag::imageLength, {static_cast<std::uint32_t>(picture.height())});
    raw.addShorts(Tag::bitsPerSample, {16});
    raw.addShorts(Tag::compression, {1});
    raw.addShorts(Tag::photometric, {32803}); // colour filter array
    raw.addShorts(Tag::samplesPerPixel, {1});
    raw.addShorts(Tag::planarConfiguration, {1});
    raw.addShorts(Tag::cfaRepeatPatternDim, {2, 2});
    raw.addBytes(Tag::cfaPattern, {0, 1, 1, 2});
    raw.addBytes(Tag::cfaPlaneColor, {0, 1, 2});
    raw.addShorts(Tag::cfaLayout, {1});
    raw.addLongs(Tag::blackLevel, {rawBlackLevel});
    raw.addLongs(Tag::whiteLevel, {rawWhiteLevel});
    raw.setStrip(bayerMosaic(picture), static_cast<std::uint32_t>(picture.height()));
    return raw;
}

TiffDirectory previewDirectory(const QImage& preview) {
    TiffDirectory directory;
    directory.addLongs(Tag::newSubFileType, {1});
    directory.addLongs(Tag::imageWidth, {static_cast<std::uint32_t>(preview.width())});
    directory.addLongs(Tag::imageLength, {static_cast<std::uint32_t>(preview.height())});
    directory.addShorts(Tag::bitsPerSample, {8, 8, 8});
    directory.addShorts(Tag::compression, {7}); // JPEG
    directory.addShorts(Tag::photometric, {6}); // YCbCr
    directory.addShorts(Tag::samplesPerPixel, {3});
    directory.addShorts(Tag::planarConfiguration, {1});
    directory.addLongs(Tag::previewColorSpace, {srgbPreview});
    directory.setStrip(jpegBytes(preview, 82), static_cast<std::uint32_t>(preview.height()));
    directory.markStripAsJpeg();
    return directory;
}

TiffDirectory exifDirectory(const PhotoShot& shot) {
    const CameraSettings& camera = shot.camera;
    TiffDirectory exif;
    exif.addRationals(Tag::exposureTime,
                      {{1, static_cast<std::uint32_t>(camera.exposureDenominator)}});
    exif.addRationals(Tag::fNumber, {exifRational(camera.fNumber, 100)});
    exif.addShorts(Tag::isoSpeed, {static_cast<std::uint16_t>(camera.iso)});
    exif.addUndefined(Tag::exifVersion, "0232");
    exif.addAscii(Tag::dateTimeOriginal, exifDateTime(shot.takenAt).toLatin1());
    exif.addAscii(Tag::offsetTimeOriginal, exifUtcOffset(shot.takenAt).toLatin1());
    exif.addRationals(Tag::focalLength, {exifRational(camera.focalLength, 100)});
    exif.addShorts(Tag::focalLength35mm, {static_cast<std::uint16_t>(camera.focalLength35mm)});
    exif.addAscii(Tag::lensMake, camera.make.toUtf8());
    exif.addAscii(Tag::lensModel, camera.lens.toUtf8());
    return exif;
}

TiffDirectory gpsDirectory(const GeoPosition& position) {
    TiffDirectory gps;
    gps.addBytes(Gps::versionId, {2, 3, 0, 0});
    gps.addAscii(Gps::latitudeRef, position.latitude < 0 ? "S" : "N");
    gps.addRationals(Gps::latitude, exifDegrees(position.latitude));
    gps.addAscii(Gps::longitudeRef, position.longitude < 0 ? "W" : "E");
    gps.addRationals(Gps::longitude, exifDegrees(position.longitude));
    gps.addBytes(Gps::altitudeRef, {static_cast<std::uint8_t>(position.altitude < 0 ? 1 : 0)});
    gps.addRationals(Gps::altitude, {exifRational(std::abs(position.altitude), 10)});
    return gps;
}

} // namespace

QByteArray writeDng(const QImage& picture, const PhotoShot& shot, DngLayout layout) {
    const QImage scene = picture.convertToFormat(QImage::Format_RGB32)
                             .copy(0, 0, picture.width() & ~1, picture.height() & ~1);
    const QImage thumbnail = scaledToWidth(scene, layout.thumbnailWidth);
    const CameraSettings& camera = shot.camera;

    TiffDirectory first;
    first.addLongs(Tag::newSubFileType, {1}); // the main directory holds the thumbnail
    first.addLongs(Tag::imageWidth, {static_cast<std::uint32_t>(thumbnail.width())});
    first.addLongs(Tag::imageLength, {static_cast<std::uint32_t>(thumbnail.height())});
    first.addShorts(Tag::bitsPerSample, {8, 8, 8});
    first.addShorts(Tag::compression, {1});
    first.addShorts(Tag::photometric, {2}); // RGB
    first.addAscii(Tag::make, camera.make.toUtf8());
    first.addAscii(Tag::model, camera.model.toUtf8());
    first.addShorts(Tag::orientation, {1});
    first.addShorts(Tag::samplesPerPixel, {3});
    first.addShorts(Tag::planarConfiguration, {1});
    first.addAscii(Tag::software, "Pavrel sample phone");
    first.addAscii(Tag::dateTime, exifDateTime(shot.takenAt).toLatin1());
    first.addBytes(Tag::dngVersion, {1, 4, 0, 0});
    first.addBytes(Tag::dngBackwardVersion, {1, 1, 0, 0});
    first.addAscii(Tag::uniqueCameraModel, (camera.make + ' ' + camera.model).toUtf8());
    first.addSignedRationals(Tag::colorMatrix1, xyzToCameraMatrix());
    first.addRationals(Tag::asShotNeutral, {{1, 1}, {1, 1}, {1, 1}});
    first.addShorts(Tag::calibrationIlluminant1, {d65Illuminant});
    first.setStrip(rgbPixels(thumbnail), static_cast<std::uint32_t>(thumbnail.height()));
    first.addDirectories(
        Tag::subIfds,
        {rawDirectory(scene), previewDirectory(scaledToWidth(scene, layout.previewWidth))});
    first.addDirectories(Tag::exifIfd, {exifDirectory(shot)});
    first.addDirectories(Tag::gpsIfd, {gpsDirectory(shot.position)});
    return writeTiff(first);
}
