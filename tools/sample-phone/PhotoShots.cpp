#include "PhotoShot.h"

#include <QTimeZone>

namespace {

QDateTime localTime(int year, int month, int day, int hour, int minute, int second,
                    int utcOffsetHours) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second),
                     QTimeZone(utcOffsetHours * 3600));
}

CameraSettings withExposure(CameraSettings camera, int exposureDenominator, double fNumber,
                            int iso) {
    camera.exposureDenominator = exposureDenominator;
    camera.fNumber = fNumber;
    camera.iso = iso;
    return camera;
}

CameraSettings mirrorlessCamera() {
    CameraSettings camera;
    camera.make = "Canon";
    camera.model = "Canon EOS R6";
    camera.lens = "RF24-105mm F4 L IS USM";
    camera.exposureDenominator = 250;
    camera.fNumber = 8.0;
    camera.iso = 200;
    camera.focalLength = 35.0;
    camera.focalLength35mm = 35;
    return camera;
}

} // namespace

CameraSettings phoneCamera() {
    CameraSettings camera;
    camera.make = "Google";
    camera.model = "Pixel 8";
    camera.lens = "Pixel 8 back camera 6.9mm f/1.68";
    camera.exposureDenominator = 120;
    camera.fNumber = 1.68;
    camera.iso = 64;
    camera.focalLength = 6.9;
    camera.focalLength35mm = 25;
    return camera;
}

// Places near well-known landmarks; New York and Sydney keep a west longitude and a south
// latitude in the set, which readers get wrong most often.
const std::vector<PhotoShot>& cityShots() {
    static const std::vector<PhotoShot> shots = {
        {"Moscow",
         "Москва",
         {55.753930, 37.620795, 145.0},
         localTime(2023, 5, 9, 10, 15, 42, 3),
         withExposure(phoneCamera(), 640, 1.68, 50),
         QColor(0x3b, 0x6f, 0xd6),
         QColor(0xf7, 0xc9, 0x8b),
         QColor(0x8a, 0x1c, 0x24)},
        {"Saint Petersburg",
         "Санкт-Петербург",
         {59.939832, 30.314559, 6.0},
         localTime(2023, 6, 21, 23, 40, 5, 3),
         withExposure(phoneCamera(), 30, 1.68, 800),
         QColor(0x2a, 0x1e, 0x5c),
         QColor(0xf2, 0x9e, 0x86),
         QColor(0x1d, 0x3b, 0x4f)},
        {"Kazan",
         "Казань",
         {55.798399, 49.105147, 80.0},
         localTime(2023, 7, 2, 17, 20, 11, 3),
         withExposure(phoneCamera(), 500, 1.68, 64),
         QColor(0x4d, 0xa3, 0xe0),
         QColor(0xfc, 0xe8, 0xb6),
         QColor(0x2e, 0x6b, 0x3a)},
        {"Paris",
         "Париж",
         {48.858370, 2.294481, 35.0},
         localTime(2023, 8, 14, 20, 5, 33, 2),
         mirrorlessCamera(),
         QColor(0x6a, 0x4c, 0x93),
         QColor(0xff, 0xb3, 0x6b),
         QColor(0x3d, 0x2c, 0x2e)},
        {"Istanbul",
         "Стамбул",
         {41.008583, 28.980175, 40.0},
         localTime(2023, 9, 3, 7, 48, 0, 3),
         withExposure(phoneCamera(), 250, 1.68, 80),
         QColor(0x9f, 0xd3, 0xf5),
         QColor(0xff, 0xe0, 0xa8),
         QColor(0x5b, 0x47, 0x6e)},
        {"Tokyo",
         "Токио",
         {35.658581, 139.745433, 40.0},
         localTime(2023, 10, 28, 19, 2, 57, 9),
         withExposure(phoneCamera(), 60, 1.68, 400),
         QColor(0x0f, 0x14, 0x3c),
         QColor(0xd6, 0x3a, 0x5e),
         QColor(0x12, 0x12, 0x20)},
        {"Sydney",
         "Сидней",
         {-33.856784, 151.215297, 5.0},
         localTime(2024, 1, 26, 12, 30, 0, 11),
         withExposure(phoneCamera(), 2000, 1.68, 25),
         QColor(0x1e, 0x88, 0xe5),
         QColor(0xbb, 0xe6, 0xfb),
         QColor(0xf5, 0xf5, 0xf0)},
        {"New York",
         "Нью-Йорк",
         {40.689247, -74.044502, 10.0},
         localTime(2024, 3, 17, 16, 45, 20, -4),
         mirrorlessCamera(),
         QColor(0x5c, 0x7c, 0xa8),
         QColor(0xe8, 0xd5, 0xc4),
         QColor(0x2f, 0x3e, 0x46)},
    };
    return shots;
}
