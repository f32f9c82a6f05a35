// Draws the picture of a sample photo: the city's sky, a skyline and the city's name.
#pragma once

#include "PhotoShot.h"

#include <QImage>
#include <QSize>

QImage paintCityPicture(const PhotoShot& shot, QSize size);
