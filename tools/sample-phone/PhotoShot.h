// What the sample phone's photos claim about themselves: where, when and with which camera
// they were taken. The painters and the metadata writers all read from one PhotoShot.
#pragma once

#include <QColor>
#include <QDateTime>
#include <QString>
#include <vector>

struct GeoPosition {
    double latitude = 0;  // degrees, south is negative
    double longitude = 0; // degrees, west is negative
    double altitude = 0;  // metres above sea level
};

struct CameraSettings {
    QString make;
    QString model;
    QString lens;
    int exposureDenominator = 125; // exposure time is 1/exposureDenominator s
    double fNumber = 1.7;
    int iso = 100;
    double focalLength = 6.9; // millimetres
    int focalLength35mm = 25; // millimetres, full-frame equivalent
};

struct PhotoShot {
    QString cityEnglish;
    QString cityRussian;
    GeoPosition position;
    QDateTime takenAt; // local time of the place, with its UTC offset
    CameraSettings camera;
    QColor skyTop;
    QColor skyBottom;
    QColor skyline;
};

// The cities photographed on the sample phone, in shooting order.
const std::vector<PhotoShot>& cityShots();

// The phone's own camera, used for most shots.
CameraSettings phoneCamera();
