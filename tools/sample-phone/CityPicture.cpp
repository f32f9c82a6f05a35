#include "CityPicture.h"

#include <QFont>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <random>

namespace {

// A seed that depends only on the name, so every run draws the same skyline.
std::uint32_t seedFor(const QString& name) {
    std::uint32_t hash = 2166136261u;
    for (const char byte : name.toUtf8()) {
        hash = (hash ^ static_cast<unsigned char>(byte)) * 16777619u;
    }
    return hash;
}

// A number in [low, high): drawn as a fraction, so that a picture painted at another size is
// the same picture, only scaled.
double randomBetween(std::mt19937& random, double low, double high) {
    return low + (high - low) * (random() / 4294967296.0);
}

bool isNight(const PhotoShot& shot) {
    return shot.skyTop.lightness() < 80;
}

void paintSky(QPainter& painter, const PhotoShot& shot, QSize size) {
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, shot.skyTop);
    sky.setColorAt(1, shot.skyBottom);
    painter.fillRect(QRect(QPoint(0, 0), size), sky);
}

void paintSun(QPainter& painter, const PhotoShot& shot, QSize size, std::mt19937& random) {
    const QPointF centre(randomBetween(random, 0.125, 0.875) * size.width(),
                         randomBetween(random, 0.125, 0.333) * size.height());
    const qreal radius = size.height() / 9.0;
    QRadialGradient glow(centre, radius * 3);
    const QColor core = isNight(shot) ? QColor(0xf4, 0xf1, 0xde) : QColor(0xff, 0xf4, 0xc2);
    glow.setColorAt(0, core);
    glow.setColorAt(0.3, QColor(core.red(), core.green(), core.blue(), 120));
    glow.setColorAt(1, Qt::transparent);
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(centre, radius * 3, radius * 3);
    painter.setBrush(core);
    painter.drawEllipse(centre, radius, radius);
}

void paintClouds(QPainter& painter, QSize size, std::mt19937& random) {
    painter.setPen(Qt::NoPen);
    for (int cloud = 0; cloud < 4; ++cloud) {
        const double x = randomBetween(random, 0, 1) * size.width();
        const double y = randomBetween(random, 0.1, 0.5) * size.height();
        const double width = randomBetween(random, 0.125, 0.25) * size.width();
        painter.setBrush(QColor(255, 255, 255, 70));
        for (int puff = 0; puff < 3; ++puff) {
            painter.drawEllipse(QPointF(x + puff * width / 3, y - (puff % 2) * width / 10),
                                width / 3, width / 7);
        }
    }
}

void paintSkyline(QPainter& painter, const PhotoShot& shot, QSize size, std::mt19937& random) {
    const double ground = size.height() * 5.0 / 6.0;
    const QColor window = isNight(shot) ? QColor(0xff, 0xd8, 0x7a) : shot.skyBottom.lighter(110);
    double x = -randomBetween(random, 0, 0.05) * size.width();
    while (x < size.width()) {
        const double width = randomBetween(random, 0.042, 0.1) * size.width();
        const double height = randomBetween(random, 0.125, 0.5) * size.height();
        const QRectF building(x, ground - height, width, height);
        painter.fillRect(building,
                         shot.skyline.darker(static_cast<int>(randomBetween(random, 90, 150))));
        const double step = width / 6;
        for (double wy = building.top() + step; wy < ground - step; wy += step * 2) {
            for (double wx = building.left() + step / 2; wx < building.right() - step; wx += step) {
                if (random() % 3 == 0) {
                    painter.fillRect(QRectF(wx, wy, step / 2, step), window);
                }
            }
        }
        x += width + randomBetween(random, 0, 0.017) * size.width();
    }
    QLinearGradient water(0, ground, 0, size.height());
    water.setColorAt(0, shot.skyline.darker(160));
    water.setColorAt(1, shot.skyTop.darker(200));
    painter.fillRect(QRectF(0, ground, size.width(), size.height() - ground), water);
}

void paintShadowedText(QPainter& painter, const QRect& box, const QString& text,
                       const QFont& font) {
    painter.setFont(font);
    const int shadow = qMax(2, font.pixelSize() / 24);
    painter.setPen(QColor(0, 0, 0, 110));
    painter.drawText(box.translated(shadow, shadow), Qt::AlignHCenter | Qt::AlignTop, text);
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignHCenter | Qt::AlignTop, text);
}

// The title's font, smaller where a long name would not fit a narrow picture.
QFont titleFont(const QString& text, QSize size) {
    QFont font("DejaVu Sans");
    font.setBold(true);
    font.setPixelSize(size.height() / 8);
    const int available = size.width() * 9 / 10;
    const int width = QFontMetrics(font).horizontalAdvance(text);
    if (width > available) {
        font.setPixelSize(font.pixelSize() * available / width);
    }
    return font;
}

void paintCaption(QPainter& painter, const PhotoShot& shot, QSize size) {
    const QFont title = titleFont(shot.cityEnglish, size);
    QFont subtitle("DejaVu Sans");
    subtitle.setPixelSize(size.height() / 16);
    QFont footnote("DejaVu Sans");
    footnote.setPixelSize(size.height() / 32);

    const int top = size.height() / 2 - size.height() / 8;
    paintShadowedText(painter, QRect(0, top, size.width(), size.height() / 6), shot.cityEnglish,
                      title);
    paintShadowedText(painter, QRect(0, top + size.height() / 6, size.width(), size.height() / 12),
                      shot.cityRussian, subtitle);
    const QString detail = QStringLiteral("%1   %2°, %3°")
                               .arg(shot.takenAt.toString("d MMM yyyy, HH:mm"))
                               .arg(shot.position.latitude, 0, 'f', 4)
                               .arg(shot.position.longitude, 0, 'f', 4);
    paintShadowedText(
        painter, QRect(0, size.height() - size.height() / 12, size.width(), size.height() / 20),
        detail, footnote);
}

} // namespace

QImage paintCityPicture(const PhotoShot& shot, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    std::mt19937 random(seedFor(shot.cityEnglish));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintSky(painter, shot, size);
    paintSun(painter, shot, size, random);
    paintClouds(painter, size, random);
    paintSkyline(painter, shot, size, random);
    paintCaption(painter, shot, size);
    painter.end();
    return image;
}
