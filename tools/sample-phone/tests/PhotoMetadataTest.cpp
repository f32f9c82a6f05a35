// Exiv2 reads back the camera, date and GPS data of every kind of photo on the sample phone:
// JPEGs (written through Exiv2), the DNG (our own TIFF writer) and the HEIC (libheif's Exif).
#include "SampleReading.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QTimeZone>
#include <algorithm>
#include <exiv2/exiv2.hpp>
#include <gtest/gtest.h>
#include <libheif/heif.h>
#include <memory>

namespace {

Exiv2::ExifData heicExif(const QString& path) {
    std::unique_ptr<heif_context, decltype(&heif_context_free)> context(heif_context_alloc(),
                                                                        heif_context_free);
    if (heif_context_read_from_file(context.get(), QFile::encodeName(path).constData(), nullptr)
            .code != heif_error_Ok) {
        return {};
    }
    heif_image_handle* handle = nullptr;
    heif_context_get_primary_image_handle(context.get(), &handle);
    std::unique_ptr<heif_image_handle, decltype(&heif_image_handle_release)> owned(
        handle, heif_image_handle_release);
    heif_item_id id = 0;
    if (heif_image_handle_get_list_of_metadata_block_IDs(handle, "Exif", &id, 1) != 1) {
        return {};
    }
    std::vector<Exiv2::byte> block(heif_image_handle_get_metadata_size(handle, id));
    heif_image_handle_get_metadata(handle, id, block.data());
    // The block opens with the big-endian offset of the TIFF header that follows it.
    if (block.size() < 4) {
        return {};
    }
    const std::uint32_t skip = 4 + (std::uint32_t(block[0]) << 24 | std::uint32_t(block[1]) << 16 |
                                    std::uint32_t(block[2]) << 8 | std::uint32_t(block[3]));
    Exiv2::ExifData exif;
    if (skip < block.size()) {
        Exiv2::ExifParser::decode(exif, block.data() + skip,
                                  static_cast<std::uint32_t>(block.size() - skip));
    }
    return exif;
}

Exiv2::ExifData exifOf(const QString& path) {
    if (path.endsWith(".heic")) {
        return heicExif(path);
    }
    auto image = Exiv2::ImageFactory::open(QFile::encodeName(path).toStdString());
    image->readMetadata();
    return image->exifData();
}

std::string text(const Exiv2::ExifData& exif, const char* key) {
    const auto found = exif.findKey(Exiv2::ExifKey(key));
    return found == exif.end() ? std::string("<missing>") : found->toString();
}

double rationalAt(const Exiv2::ExifData& exif, const char* key, long index) {
    const auto found = exif.findKey(Exiv2::ExifKey(key));
    if (found == exif.end() || found->count() <= index) {
        return -1;
    }
    const Exiv2::Rational value = found->toRational(index);
    return value.second == 0 ? -1 : static_cast<double>(value.first) / value.second;
}

// Degrees from the GPS triple and its reference letter.
double gpsDegrees(const Exiv2::ExifData& exif, const char* key, const char* refKey,
                  const char* negativeRef) {
    const double magnitude = rationalAt(exif, key, 0) + rationalAt(exif, key, 1) / 60.0 +
                             rationalAt(exif, key, 2) / 3600.0;
    return text(exif, refKey) == negativeRef ? -magnitude : magnitude;
}

struct ExpectedPhoto {
    const char* path;
    double latitude;
    double longitude;
    double altitude;
    const char* make;
    const char* model;
    const char* takenAt; // DateTimeOriginal, local time
    const char* utcOffset;
    const char* iso;
    const char* exposureTime;
};

const ExpectedPhoto expectedPhotos[] = {
    {"DCIM/Camera/PXL_20230509_101542000.jpg", 55.75393, 37.620795, 145, "Google", "Pixel 8",
     "2023:05:09 10:15:42", "+03:00", "50", "1/640"},
    {"DCIM/Camera/PXL_20230621_234005000.jpg", 59.939832, 30.314559, 6, "Google", "Pixel 8",
     "2023:06:21 23:40:05", "+03:00", "800", "1/30"},
    {"DCIM/Camera/PXL_20230702_172011000.jpg", 55.798399, 49.105147, 80, "Google", "Pixel 8",
     "2023:07:02 17:20:11", "+03:00", "64", "1/500"},
    {"DCIM/Camera/PXL_20230814_200533000.jpg", 48.85837, 2.294481, 35, "Canon", "Canon EOS R6",
     "2023:08:14 20:05:33", "+02:00", "200", "1/250"},
    {"DCIM/Camera/PXL_20231028_190257000.jpg", 35.658581, 139.745433, 40, "Google", "Pixel 8",
     "2023:10:28 19:02:57", "+09:00", "400", "1/60"},
    {"DCIM/Camera/PXL_20240126_123000000.jpg", -33.856784, 151.215297, 5, "Google", "Pixel 8",
     "2024:01:26 12:30:00", "+11:00", "25", "1/2000"},
    {"DCIM/Camera/PXL_20240317_164520000.jpg", 40.689247, -74.044502, 10, "Canon", "Canon EOS R6",
     "2024:03:17 16:45:20", "-04:00", "200", "1/250"},
    {"Pictures/Фото с дачи/Яблоня в цвету.jpg", 55.9187, 36.8606, 190, "Google", "Pixel 8",
     "2023:07:22 14:05:10", "+03:00", "50", "1/640"},
    {"DCIM/Camera/PXL_20230702_172015000.dng", 55.798399, 49.105147, 80, "Google", "Pixel 8",
     "2023:07:02 17:20:15", "+03:00", "64", "1/500"},
    {"DCIM/Camera/PXL_20231028_190306000.heic", 35.658581, 139.745433, 40, "Google", "Pixel 8",
     "2023:10:28 19:03:06", "+09:00", "400", "1/60"},
};

TEST(PhotoMetadata, CameraDateAndPlaceReadBackWithExiv2) {
    for (const ExpectedPhoto& photo : expectedPhotos) {
        SCOPED_TRACE(photo.path);
        const Exiv2::ExifData exif = exifOf(samplePhonePath(QString::fromUtf8(photo.path)));
        ASSERT_FALSE(exif.empty());
        EXPECT_EQ(text(exif, "Exif.Image.Make"), photo.make);
        EXPECT_EQ(text(exif, "Exif.Image.Model"), photo.model);
        EXPECT_EQ(text(exif, "Exif.Photo.DateTimeOriginal"), photo.takenAt);
        EXPECT_EQ(text(exif, "Exif.Photo.OffsetTimeOriginal"), photo.utcOffset);
        EXPECT_EQ(text(exif, "Exif.Photo.ISOSpeedRatings"), photo.iso);
        EXPECT_EQ(text(exif, "Exif.Photo.ExposureTime"), photo.exposureTime);
        EXPECT_GT(rationalAt(exif, "Exif.Photo.FNumber", 0), 1.0);
        EXPECT_GT(rationalAt(exif, "Exif.Photo.FocalLength", 0), 1.0);
        EXPECT_NE(text(exif, "Exif.Photo.LensModel"), "<missing>");

        // 1e-6 degrees is about 10 cm: the thousandths of a second keep that.
        EXPECT_NEAR(
            gpsDegrees(exif, "Exif.GPSInfo.GPSLatitude", "Exif.GPSInfo.GPSLatitudeRef", "S"),
            photo.latitude, 1e-6);
        EXPECT_NEAR(
            gpsDegrees(exif, "Exif.GPSInfo.GPSLongitude", "Exif.GPSInfo.GPSLongitudeRef", "W"),
            photo.longitude, 1e-6);
        EXPECT_NEAR(rationalAt(exif, "Exif.GPSInfo.GPSAltitude", 0), photo.altitude, 0.05);
    }
}

// Cameras embed a small thumbnail; list views read it instead of decoding the whole photo.
TEST(PhotoMetadata, JpegsCarryAnExifThumbnailOfTheirShape) {
    for (const ExpectedPhoto& photo : expectedPhotos) {
        const QString path = samplePhonePath(QString::fromUtf8(photo.path));
        if (!path.endsWith(".jpg")) {
            continue;
        }
        SCOPED_TRACE(photo.path);
        const Exiv2::DataBuf thumbnail = Exiv2::ExifThumbC(exifOf(path)).copy();
        ASSERT_GT(thumbnail.size_, 0);
        const QImage decoded =
            QImage::fromData(thumbnail.pData_, static_cast<int>(thumbnail.size_), "JPEG");
        const QSize full = QImageReader(path).size();
        EXPECT_EQ(std::max(decoded.width(), decoded.height()), 320);
        EXPECT_EQ(decoded.width() > decoded.height(), full.width() > full.height());
    }
}

// A file manager shows the file's time; it should agree with the moment the photo was taken.
TEST(PhotoMetadata, FileTimeIsTheMomentOfTheShot) {
    for (const ExpectedPhoto& photo : expectedPhotos) {
        const QString utcOffset = QString::fromLatin1(photo.utcOffset);
        const int offsetMinutes = utcOffset.mid(1, 2).toInt() * 60 + utcOffset.mid(4, 2).toInt();
        const QDateTime local =
            QDateTime::fromString(QString::fromLatin1(photo.takenAt), "yyyy:MM:dd HH:mm:ss");
        const int sign = utcOffset.startsWith('-') ? -1 : 1;
        const QDateTime takenAt(local.date(), local.time(), QTimeZone(sign * offsetMinutes * 60));
        const QFileInfo file(samplePhonePath(QString::fromUtf8(photo.path)));
        EXPECT_EQ(file.lastModified().toSecsSinceEpoch(), takenAt.toSecsSinceEpoch()) << photo.path;
    }
}

} // namespace
